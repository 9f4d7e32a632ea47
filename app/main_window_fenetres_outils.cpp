// The windows the main window opens for the theme's pictures and settings:
// the image chooser, the hue calculator, the text tool, the size estimate
// and the device-skin preview; and the about box and the site window. Each is modal; the main
// window refreshes what the window may have changed once it is closed.
#include "app/orvandel_main_window.h"

#include "app/about_box.h"
#include "apercu/miniatures.h"
#include "apercu/preview_hp.h"
#include "apercu/vue_apercu_ecran.h"
#include "app/capture_ecran.h"
#include "app/estimation_taille.h"
#include "app/panneau_couleur.h"
#include "app/zantiq_form.h"
#include "device/etat_pda.h"
#include "theme/fichier_couleurs.h"
#include "theme/prompts.h"
#include "tools/choix_images.h"
#include "tools/hue_calc.h"

#include <QLabel>

void TOrvandel::ImagesBtnClick()
{
    // The notifications and the Start menu drawn over the preview are closed first.
    switch (m_apercu->surimpression()) {
    case Surimpression::MessageNormal: m_apercu->basculeZone(1); break;
    case Surimpression::MessageCritique: m_apercu->basculeZone(2); break;
    case Surimpression::MenuDemarrer: m_apercu->basculeZone(3); break;
    case Surimpression::Aucune: break;
    }
    if (OuvreChoixImages(m_ctx, [this](int id) { AfficheAideContexte(id); }, this, m_pipette->couleur()))
        imagesEnregistrees();
}

void TOrvandel::WM5BtnClick()
{
    if (!m_ctx.prompts)
        return;
    SourcesHueCalc sources;
    sources.teintes = m_ctx.teintes.get();
    sources.format = m_ctx.document.format().FormatTheme;
    sources.dossierAppli = m_ctx.dossiers.DossierAppli;
    sources.dossierTravail = m_ctx.dossiers.DossierTravail;
    sources.ecran = m_apercu->images().ecranToday;
    sources.image12 = m_image12->pixmap().toImage();
    // The thumbnails as the window shows them: a hidden one gives nothing.
    if (!m_miniatures->miniature(0)->isHidden())
        sources.miniatureTD = m_miniatures->imageMiniature(0);
    if (!m_miniatures->miniature(1)->isHidden())
        sources.miniatureST = m_miniatures->imageMiniature(1);
    sources.pda = m_pda.get();
    sources.fenetrePrincipale = frameGeometry();

    std::optional<TColor> pipette;
    OuvreHueCalc(m_ctx.document, *m_ctx.prompts, sources, &m_ctx.animation, this, &pipette,
                 [this](QWidget *fenetre, bool jpeg) { m_ctx.capture->CaptureMainForm(fenetre, jpeg); });
    if (pipette)
        m_pipette->setCouleur(*pipette);
    m_ctx.indicateurWM5 = IndicateurWM5(m_ctx.document.parametres());
    MajMarqueurWM5();
    crochetAffImage();
}

void TOrvandel::TailleTskBtnClick()
{
    OuvreEstimationTaille(m_ctx);
}

void TOrvandel::PreviewSBtnClick()
{
    OuvrePreviewHP(m_ctx, this, [this](QWidget *fenetre, bool jpeg) { m_ctx.capture->CaptureMainForm(fenetre, jpeg); });
    // The right click that closed the preview shows no help.
    m_aideContexteActive = false;
}

void TOrvandel::AddTextSBtnClick()
{
    if (!m_ctx.prompts)
        return;
    // Each save refreshes the thumbnails and the preview while the tool is open.
    OuvreTexteSurImg(m_ctx, m_optionsTexte, m_pipette->couleur(), this, [this] { imagesEnregistrees(); },
                     [this](int id) { AfficheAideContexte(id); });
}

void TOrvandel::BlancTBtnClick()
{
    OuvreZantiqForm(this, &m_ctx.animation);
}

void TOrvandel::AproposBtnClick()
{
    if (m_ctx.prompts)
        OuvreAboutBox(this, *m_ctx.prompts, &m_ctx.animation);
}
