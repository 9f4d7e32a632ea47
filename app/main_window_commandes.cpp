// The package commands of the main window: create, read (also from the
// command line and from a dropped file), save the installation files, the
// INF window and the theme keys editor.
#include "app/orvandel_main_window.h"

#include "app/boutons_commandes.h"
#include "app/commandes_paquet.h"
#include "app/memo_inf.h"
#include "app/options_form.h"
#include "apercu/vue_apercu_ecran.h"
#include "device/fonctions_rapi_registre.h"
#include "theme/cabinet_paquet.h"
#include "theme/fichier_couleurs.h"
#include "theme/package_reader.h"
#include "theme/package_writer.h"
#include "theme/prompts.h"
#include "tools/td_theme_cles.h"
#include "app/panneau_couleur.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

using commandes::bouton;

void TOrvandel::construitCommandes(QToolBar *barre)
{
    m_lireTsk = bouton(barre, "LireTskTBtn", QStringLiteral("Read"), QStringLiteral("Read a Theme on the PC"),
                       QStringLiteral("liretsk.png"));
    construitCommandesAppareil(barre);
    m_creer = bouton(barre, "CreerTBtn", QStringLiteral("Create"), QStringLiteral("Create the Theme on the PC"),
                     QStringLiteral("ecriretsk.png"));
    m_sauveInf = bouton(barre, "SauveInfTBtn", QStringLiteral("INF/XML"), QStringLiteral("Save Theme INF file"),
                        QStringLiteral("infxml.png"));
    connect(m_lireTsk, &QToolButton::clicked, this, &TOrvandel::LireFichierBtnClick);
    connect(m_creer, &QToolButton::clicked, this, &TOrvandel::GenereBtnClick);
    connect(m_sauveInf, &QToolButton::clicked, this, &TOrvandel::SauveInfBtnClick);

}

TMemoInf *TOrvandel::memoInf()
{
    // Made at the first package read or the first look, then kept for the run.
    if (!m_memoInf && m_ctx.prompts)
        m_memoInf = new TMemoInf(*m_ctx.prompts, m_ctx.dossiers.DossierAppli,
                                 [this] { return m_ctx.document.nomTheme(); }, this);
    return m_memoInf;
}

ContextePackage TOrvandel::contextePaquet()
{
    ContextePackage ctx;
    ctx.prompts = m_ctx.prompts;
    ctx.pause = &m_ctx.animation;
    ctx.dossierAppli = m_ctx.dossiers.DossierAppli;
    ctx.dossierTravail = m_ctx.dossiers.DossierThemeTmp;
    ctx.option = OptionSetupPackage(m_ctx.options.TskInfXmlRG);
    const QString fichierCouleurs = m_ctx.dossiers.FichierCouleurs;
    ctx.sauveCouleurs = [this, fichierCouleurs](QString *erreur) {
        return SauveThemeTravail(m_ctx.document, fichierCouleurs, erreur);
    };
    return ctx;
}

void TOrvandel::GenereBtnClick()
{
    if (m_ctx.prompts)
        ::GenereBtnClick(m_ctx.document, contextePaquet(), m_ctx.dossiers.DossierTsk);
}

void TOrvandel::SauveInfBtnClick()
{
    if (m_ctx.prompts)
        ::SauveInfBtnClick(m_ctx.document, *m_ctx.prompts, m_ctx.dossiers.DossierAppli, &m_ctx.animation);
}

ContexteLecture TOrvandel::contexteLecture(LecteurCabinet &cabinet)
{
    // While a device is connected, the slots a package leaves undefined take
    // the device's own colours ("(SHColor)").
    return {m_ctx.dossiers.DossierAppli, m_ctx.dossiers.FichierCouleurs, m_ctx.dossiers.DossierThemeTmp,
            *m_ctx.prompts, cabinet, &m_ctx.animation, m_pda ? TableCouleursDe(*m_pda) : TableCouleursAppareil{}};
}

void TOrvandel::LireFichierBtnClick()
{
    if (!m_ctx.prompts)
        return;
    const auto choisi = ChoisitPaquet(*m_ctx.prompts, &m_ctx.animation, m_ctx.dossiers.DossierLitTSK);
    if (!choisi)
        return; // no read: the theme and its pages stay as they are
    LitTsk(*choisi);
    m_pages->update();
}

void TOrvandel::LitTsk(const QString &fichier)
{
    if (!m_ctx.prompts)
        return;
    CabinetPaquet cabinet;
    const ContexteLecture ctx = contexteLecture(cabinet);
    const int avant = m_ctx.document.format().FormatTheme;
    const ResultatLecture lu = ::LitTsk(fichier, m_ctx.document, ctx);
    if (const QStringList textes = TextesLecture(lu); !textes.isEmpty()) {
        AnimationPauseGuard pause(&m_ctx.animation);
        for (const QString &t : textes)
            m_ctx.prompts->message(t);
    }
    apresLecture(lu.infos(), avant);
}

void TOrvandel::apresLecture(const std::optional<InfosLecture> &infos, int formatAvant)
{
    // The setup text shows only after a read that rebuilt it.
    afficheLectureInf(infos ? &*infos : nullptr);
    if (!infos)
        return; // the reader has reported why; the theme is as it was
    if (TMemoInf *memo = memoInf())
        memo->afficher(*infos);
    // The size options window shows the format the package brought.
    const int format = m_ctx.document.format().FormatTheme;
    if (format != formatAvant)
        optionsForm()->choisitFormat(format);
    m_ctx.indicateurWM5 = IndicateurWM5(m_ctx.document.parametres());
    MajMarqueurWM5();
    // The new theme shows with its Start menu closed.
    if (m_apercu)
        m_apercu->masqueMenuDemarrer();
    apresChangementImages();
    m_pages->update();
    // The names come from the package's file name and its setup document:
    // names that no package of the chosen option can hold are said now, not
    // first when the theme is created again.
    const ThemeDocument &doc = m_ctx.document;
    if (const QString refus = RefusNomsTheme(doc.nomTheme(), doc.nomInterne(), CleThemeEcrite(doc),
                                             OptionSetupPackage(m_ctx.options.TskInfXmlRG))
                                  .texte();
        !refus.isEmpty() && m_ctx.prompts) {
        AnimationPauseGuard pause(&m_ctx.animation);
        m_ctx.prompts->message(refus + QStringLiteral("\nThe theme is read under these names."), {},
                               Prompts::Icon::Warning);
    }
    // After the first idle pass, a package whose pictures do not have the
    // format's sizes points the user to the options.
    if (!m_verifFormatEnAttente && m_controleTailles)
        verifieTaillesImages();
}

void TOrvandel::InfSBtnClick()
{
    TMemoInf *memo = memoInf();
    if (!memo)
        return;
    AnimationPauseGuard pause(&m_ctx.animation);
    memo->exec();
}

void TOrvandel::CTBtnClick()
{
    if (!m_ctx.prompts)
        return;
    {
        AnimationPauseGuard pause(&m_ctx.animation);
        OuvreTDThemeCles(m_ctx.document, *m_ctx.prompts, m_pipette->couleur(), this,
                         QStringLiteral("Theme specific keys") + m_ctx.document.lectureSetup().NomCleTheme);
    }
    m_ctx.indicateurWM5 = IndicateurWM5(m_ctx.document.parametres());
    MajMarqueurWM5();
    crochetAffImage();
}

void TOrvandel::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_montree && !m_dansFormShow) {
        m_dansFormShow = true;
        FormShow();
        m_dansFormShow = false;
        // From now on the idle passes may look at the pictures' sizes.
        m_montree = true;
    }
}

void TOrvandel::FormShow()
{
    // The first argument is opened as a package, whatever its extension. The
    // first idle pass has not run yet, so the read does not compare the
    // pictures' sizes: that pass does, once the window is on the screen.
    if (!m_ligneCommande.isEmpty() && !m_ligneCommande.first().isEmpty()) {
        const QString fichier = m_ligneCommande.first();
        m_ctx.dossiers.DossierLitTSK = QFileInfo(fichier).absolutePath() + QLatin1Char('/');
        LitTsk(fichier);
    }
    m_pages->setCurrentWidget(m_pageCouleurs);
}

void TOrvandel::crochetAccepteFichiers()
{
    setAcceptDrops(true);
}

void TOrvandel::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TOrvandel::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    if (urls.size() != 1) {
        if (m_ctx.prompts)
            m_ctx.prompts->message(QStringLiteral("Only one File !"));
        return;
    }
    const QString fichier = urls.first().toLocalFile();
    if (fichier.isEmpty() || QFileInfo(fichier).suffix().toLower() != QLatin1String("tsk"))
        return; // other files are ignored
    m_ctx.dossiers.DossierLitTSK = QFileInfo(fichier).absolutePath() + QLatin1Char('/');
    LitTsk(fichier);
    crochetMajEtatCreation();
}
