#pragma once

#include "ui/apparence_fenetre.h"
#include "ui/utiles_indep.h"

#include <QImage>
#include <QProxyStyle>

#include <functional>

// The look of the main window's page tabs: each tab is filled with the
// shared tab painter from the window's colours (the selected one with its
// gradient, shifted and a pixel taller), and shows a 42 x 21 picture centred
// near its top, or its caption (maroon and underlined while selected) when
// it has no picture. A tab whose caption is blank is sized for its picture.
class StyleOnglets : public QProxyStyle
{
    Q_OBJECT
public:
    StyleOnglets();

    // The system colours saved at start, the derived colours and the
    // uniform look.
    void fixeCouleurs(const CouleursSystemeFenetre &systeme, const CouleursDerivees &derivees, bool uniforme);
    // The picture of a tab by its index; a null picture shows the caption.
    std::function<QImage(int index)> imageOnglet;

    // The two sets the tab painter gets for a tab: set A from the system
    // colours (pen red on the selected tab, menu highlight on the others),
    // set B from the derived colours.
    JeuBouton jeuA(bool selectionne) const;
    JeuBouton jeuB() const;
    bool uniforme() const { return m_uniforme; }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *p,
                     const QWidget *widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &taille,
                           const QWidget *widget) const override;

    static constexpr QSize TailleImage{42, 21};

private:
    CouleursSystemeFenetre m_systeme{};
    CouleursDerivees m_derivees{};
    bool m_uniforme = false;
};
