#pragma once

#include "ui/utiles_indep.h"
#include "theme/couleur.h"

#include <QImage>
#include <QMap>
#include <QPalette>
#include <QProxyStyle>
#include <QString>

#include <array>
#include <functional>

class QWidget;

// The main window's look, shared with the image chooser and the device
// browser: the three interface colours derived from the first form colour
// (a deep shade, a very light tint and a middle tone of its hue), the glassy
// tile behind the tool bars, and the form background picture.

struct CouleursDerivees
{
    TColor c0;
    TColor c1;
    TColor c2;

    constexpr bool operator==(const CouleursDerivees &) const = default;
};

// Indexes of the four system colours saved at start-up (AppContext::CouleursSysteme).
enum CouleurSysteme {
    LegendeActive = 0,        // active caption
    TexteLegendeInactive = 1, // inactive caption text
    SurbrillanceBouton = 2,   // button highlight
    SurbrillanceMenu = 3,     // menu highlight
};
using CouleursSystemeFenetre = std::array<TColor, 4>;

struct ApparenceFenetre
{
    bool uniforme = false; // the system's own colours ("uniform" look)
    CouleursDerivees derivees;
    QImage BmpDegrade; // 42 x 48 tile built from c0
    QImage BmpFond;    // the form background, as last drawn
    // The same background drawn for another window's size (no status bar,
    // no lettering): what a tool window paints behind its controls. Empty
    // when the main window has not set it.
    std::function<QImage(QSize)> FondPourTaille;
};

// The glassy tile: a (W x 4 div 3) by (H x 4 div 3) light grey picture with
// three bands of the colour at rising then falling opacity, scaled to W x H.
QImage DessineDegrade(TColor couleur, int largeur, int hauteur);

// The two looks of a hot tool button: set A from the system colours (pen menu
// highlight, surround button highlight, centre inactive caption text), set B
// from the derived colours (pen c0, surround c1, centre c2).
JeuBouton JeuBoutonSysteme(const CouleursSystemeFenetre &systeme);
JeuBouton JeuBoutonDerive(const CouleursDerivees &derivees);

// The tag of a main-window tool button from its object name; -1 for a
// button that the program draws in the default way.
int TagBoutonOutil(const QString &nomObjet);
// The embedded picture of a tagged tool button: the coloured one when the
// button is enabled, the grey one (or none) when it is disabled. Empty when
// the tag has no such picture.
QString ImageBoutonOutil(int tag, bool actif);
constexpr int TagBoutonOutilMax = 12;

// Every picture a tool button can show, loaded once.
QMap<QString, QImage> ChargeImagesBoutons();

// Draws a tagged tool button into a picture the size of the button: the
// rounded gradient shape when hot (set A in the uniform look, else set B),
// then its 42 x 42 picture at (4, 3), and for a disabled button the
// forbidden mark at (30, 28). Returns false (nothing drawn) for a tag that
// the default drawing handles.
bool DessineBoutonOutil(QImage &canevas, int tag, bool actif, bool survol, const JeuBouton &a, const JeuBouton &b,
                        bool uniforme, const QMap<QString, QImage> &images);

// The tool buttons' drawing for a whole window: buttons carrying a "tag"
// property of 0 to 12 are drawn by DessineBoutonOutil, every other control
// by the application's style.
class StyleBoutonsOutils : public QProxyStyle
{
    Q_OBJECT
public:
    StyleBoutonsOutils();
    void fixeJeux(const JeuBouton &a, const JeuBouton &b, bool uniforme);
    bool uniforme() const { return m_uniforme; }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;

private:
    JeuBouton m_a;
    JeuBouton m_b;
    bool m_uniforme = false;
    void chargeImage(const QString &nom) const;
    mutable QMap<QString, QImage> m_images; // the pictures drawn so far
};

// The palette of a tool bar showing the tile behind its buttons; the base
// palette unchanged for the uniform look or without a tile.
QPalette PaletteCoolBar(const QPalette &base, const QImage &tuile, bool uniforme);
// Applies it to a bar: the tile is filled in under whatever the bar paints
// itself (a plain tool bar's own panel, drawn by the style, gives way to it).
void MajFondCoolBar(QWidget *barre, const QImage &tuile, bool uniforme);

// The embossed "Theme Format " label: a rounded box of the active caption
// colour, its size the text's measure plus 3, and the text twice, white and
// then in the label colour (the inactive caption text colour, or red while
// the create command is disabled).
TColor CouleurEtiquetteRelief(const CouleursSystemeFenetre &systeme, bool creationActive);
QImage DessineEtiquetteRelief(const QString &texte, TColor fond, TColor couleurTexte);
