#pragma once

#include "theme/couleur.h"

#include <QImage>
#include <QObject>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

class QPainter;
class QWidget;

// The main window's background picture: a gradient between the two form
// colours, a soft translucent curve, five faint light rays from the top-right
// corner and the product name with the version in shadowed lettering.

struct ParamsFond
{
    QSize taille;              // W x H (the status bar included)
    int hauteurBarreEtat = 0;  // S
    TColor inferieure;         // L, the first form colour
    TColor superieure;         // U, the second form colour
    int direction = 0;         // 0 "/", 1 "\", 2 "|"
    QRect boutonApercu;        // the preview button, in the picture's coordinates; empty: no fifth ray
    QString version;           // the program's version line
    // The product name and version above the status bar; a tool window,
    // which keeps no strip clear of controls there, goes without them.
    bool lettrage = true;
};

// The form colour darkened by `pas` luminance steps (never below black).
TColor CouleurOmbre(TColor couleur, int pas = 100);

// A closed cardinal spline through the points (tension 0.5 as the Windows
// curve routines take it), as cubic Béziers.
QPainterPath CourbeCardinaleFermee(const QVector<QPointF> &points, double tension = 0.5);

// The strip above the status bar that the product name and version take, in
// both looks: the main window keeps it clear of controls.
constexpr int HauteurBandeLettrage = 50;

// The background picture, 32 bits, W x H. An empty size gives a null picture.
QImage DessineFond(const ParamsFond &params);

// The bracket diagram above the device-screen preview's hot zones, in the
// painter's current pen, (x, y) being the top of its upper bracket.
void DessineCrochets(QPainter &p, int x, int y);

// Paints the background of a widget (the main window's central area): in the
// normal look the stored picture at (0, 0), in the uniform look the product
// name and version in plain text. (The bracket diagram above the preview is
// a CalqueCrochets of its own, over the widgets.) The picture is drawn by
// DessineFond when the colours change (at the widget's first paint while it
// is not shown yet, so that a window is drawn once, at the size its layout
// gives it) and when the widget's size has changed.
class PeintreFond : public QObject
{
    Q_OBJECT
public:
    explicit PeintreFond(QWidget *cible);

    // Colours, direction, status-bar height and version (the size comes
    // from the widget); draws the picture again at once when the widget is
    // shown, else at its first paint.
    void fixe(const ParamsFond &params, bool uniforme);
    // The picture as last drawn (null before the first drawing).
    const QImage &image() const { return m_image; }
    // What the last fixe() gave.
    const ParamsFond &params() const { return m_params; }
    // Whether the picture follows the last fixe() (false until a widget not
    // yet shown is painted).
    bool aJour() const { return !m_aRedessiner; }
    bool uniforme() const { return m_uniforme; }
    // How many times the picture has been drawn.
    int nombreDessins() const { return m_dessins; }

    // Called with the picture each time it is drawn.
    std::function<void(const QImage &)> apresDessin;
    // The status bar's height when the picture is drawn (the layout may
    // change it after fixe()); none: the height given to fixe().
    std::function<int()> hauteurBarreEtat;

protected:
    bool eventFilter(QObject *objet, QEvent *evenement) override;

private:
    void redessine();
    QSize tailleVoulue() const;
    int hauteurBarre() const;

    QWidget *m_cible;
    ParamsFond m_params;
    bool m_uniforme = false;
    QImage m_image;
    bool m_aRedessiner = false;
    int m_dessins = 0;
};
