#pragma once

#include "theme/couleur.h"

#include <QImage>
#include <QPoint>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

// The small controls of the image chooser's effect pages.

// Size of a centre picker: the view (408 x 306) reduced by the picker factor.
inline constexpr int LargeurPicker = 61;
inline constexpr int HauteurPicker = 46;

// A point held inside a picker of w x h and rounded down to an even value.
QPoint PointPicker(QPoint p, int w = LargeurPicker, int h = HauteurPicker);
// The centre a picker's wheel gives: 2 pixels (4 with Ctrl), toward smaller
// values when the wheel turns down, along x (along y with Shift).
QPoint MoletteCentre(QPoint centre, int delta, Qt::KeyboardModifiers modifs, int w = LargeurPicker,
                     int h = HauteurPicker);

// A centre picker: the picture's miniature at 70 % over a cyan ground with
// two grey diagonals, and a red cross on the chosen centre. The mouse drags
// the centre; the wheel moves it while the picker shows.
class TImageMouse : public QWidget
{
    Q_OBJECT
public:
    TImageMouse(int tag, QWidget *parent = nullptr);
    int tag() const { return m_tag; }
    QPoint centre() const { return m_centre; }
    void setCentre(QPoint c);
    // The picture as the view shows it (rectangle in view pixels), reduced by
    // the picker factor f (view pixels = picker pixels × f / 10).
    void setMiniature(const QImage &apercu, const QRect &dansVue, int facteurPicker);
    const QImage &dessin() const { return m_dessin; }

signals:
    // The centre moved (pendant the drag: fini false; released or wheeled: true).
    void centreChange(QPoint centre, bool fini);
    void survol(bool entre);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void redessine();

    int m_tag;
    QPoint m_centre;
    bool m_glisse = false;
    QImage m_miniature; // picker-sized, transparent where there is no picture
    QImage m_dessin;
};

// A colour swatch that opens the colour dialog, or takes the dropper colour
// when clicked with Shift held.
class TPanneauCouleurChoix : public QPushButton
{
    Q_OBJECT
public:
    explicit TPanneauCouleurChoix(QWidget *parent = nullptr);
    TColor couleur() const { return m_couleur; }
    void setCouleur(TColor c);
    // Shift was held when the last click began.
    bool avecShift() const { return m_shift; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    TColor m_couleur;
    bool m_shift = false;
};

// The tabs of the effect pages: the form's colour behind them, the text
// centred, the active one dark blue and underlined; the hint of a tab shows
// at once when the mouse moves over it and goes when it leaves the tabs.
class TOngletsEffets : public QTabBar
{
    Q_OBJECT
public:
    explicit TOngletsEffets(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

// The effect pages with those tabs.
class TPagesEffets : public QTabWidget
{
public:
    explicit TPagesEffets(QWidget *parent = nullptr) : QTabWidget(parent) { setTabBar(new TOngletsEffets(this)); }
};

// The glyphs of the gradient buttons (0 plain colour, 1..4 the gradients).
QImage GlypheGradient(int type, int taille = 20);
