#include "apercu/apparence_principale.h"

#include "apercu/fond_fenetre.h"
#include "ui/info_version.h"
#include "tools/hls.h"

#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

CouleursDerivees CalculeCouleursFond(TColor f)
{
    if (f.red() == f.green() && f.green() == f.blue())
        return {TColor::fromValue(0x000000), TColor::fromValue(0xECECEC), TColor::fromValue(0x8C8C8C)};
    const int h = ColorRGBToHLS(f).teinte;
    return {ColorHLSToRGB(h, 60, 240), ColorHLSToRGB(h, 238, 160), ColorHLSToRGB(h, 120, 160)};
}

void AppliqueApparence(QMainWindow *fenetre, const OptionsOVD &options, const CouleursSystemeFenetre &systeme,
                       ApparenceFenetre &apparence, const QString &version)
{
    if (!fenetre)
        return;
    apparence.uniforme = options.CoulFormUni;
    apparence.derivees = CalculeCouleursFond(options.CouleurFormInfG);
    apparence.BmpDegrade = DessineDegrade(apparence.derivees.c0, 42, 48);

    // The tool buttons' drawing, one style for the window.
    auto *style = fenetre->findChild<StyleBoutonsOutils *>(QStringLiteral("StyleBoutonsOutils"),
                                                            Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new StyleBoutonsOutils;
        style->setParent(fenetre);
    }
    style->fixeJeux(JeuBoutonSysteme(systeme), JeuBoutonDerive(apparence.derivees), apparence.uniforme);

    for (QToolBar *barre : fenetre->findChildren<QToolBar *>()) {
        MajFondCoolBar(barre, apparence.BmpDegrade, apparence.uniforme);
        for (QToolButton *bouton : barre->findChildren<QToolButton *>()) {
            bool ok = false;
            int tag = bouton->property("tag").toInt(&ok);
            if (!ok) {
                tag = TagBoutonOutil(bouton->objectName());
                if (tag < 0)
                    continue;
                bouton->setProperty("tag", tag);
            }
            if (tag < 0 || tag > TagBoutonOutilMax)
                continue;
            if (bouton->style() != style) {
                bouton->setStyle(style);
                bouton->setAttribute(Qt::WA_Hover);
                bouton->setFixedSize(51, 48);
            }
            bouton->update();
        }
    }

    // The gradient choice and the colour panels exist only outside the uniform look.
    for (const char *nom : {"GradientRG", "CoulFormSupDPnl", "CoulFormPnl", "InvCoulCB", "Label24"})
        if (auto *w = fenetre->findChild<QWidget *>(QLatin1String(nom)))
            w->setVisible(!apparence.uniforme);

    // The form background.
    if (QWidget *centre = fenetre->centralWidget()) {
        auto *peintre = centre->findChild<PeintreFond *>(QStringLiteral("PeintreFond"), Qt::FindDirectChildrenOnly);
        if (!peintre)
            peintre = new PeintreFond(centre);
        ParamsFond params;
        // (statusBar() would make one: look for the window's own.)
        const auto *barreEtat = fenetre->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly);
        params.hauteurBarreEtat = barreEtat && !barreEtat->isHidden() ? barreEtat->height() : 0;
        params.inferieure = options.CouleurFormInfG;
        params.superieure = options.CouleurFormSupD;
        params.direction = options.GradientRG;
        params.version = version;
        // The window keeps the picture as drawn, now or at its first paint,
        // with the status bar as the layout has made it by then.
        peintre->apresDessin = [bmpFond = &apparence.BmpFond](const QImage &image) { *bmpFond = image; };
        peintre->hauteurBarreEtat = [barre = QPointer<const QStatusBar>(barreEtat)] {
            return barre && !barre->isHidden() ? barre->height() : 0;
        };
        peintre->fixe(params, apparence.uniforme);
        // The tool windows draw the same picture at their own size.
        apparence.FondPourTaille = [params](QSize taille) {
            ParamsFond p = params;
            p.taille = taille;
            p.hauteurBarreEtat = 0;
            p.boutonApercu = QRect();
            p.lettrage = false;
            return DessineFond(p);
        };
    }

    if (auto *pages = fenetre->findChild<QWidget *>(QStringLiteral("PageControl1")))
        pages->update();
    fenetre->update();
}

void AppliqueApparence(QMainWindow *fenetre, const OptionsOVD &options, const CouleursSystemeFenetre &systeme,
                       ApparenceFenetre &apparence)
{
    AppliqueApparence(fenetre, options, systeme, apparence, LigneVersionProgramme());
}
