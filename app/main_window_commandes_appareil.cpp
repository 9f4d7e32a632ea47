// The device commands of the main window: reading a package from the device
// (chosen in the device browser, or the device's current theme), sending the
// theme, the device information, and which of them a connection allows; the
// state icon of the connection.
#include "app/orvandel_main_window.h"
#include "app/filtre_bulles.h"

#include "app/boutons_commandes.h"
#include "device/arbre_ce.h"
#include "device/etat_pda.h"
#include "device/infos_pda.h"
#include "device/fonctions_rapi_registre.h"
#include "device/lit_tsk_pda.h"
#include "device/transfert_vers_ce.h"
#include "theme/cabinet_paquet.h"
#include "theme/package_reader.h"
#include "theme/package_writer.h"
#include "theme/prompts.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

using commandes::bouton;

namespace {

// Tile k of the one-row strip of state icons (42 x 42).
QPixmap iconeEtat(const QImage &bande, int k)
{
    return QPixmap::fromImage(bande.copy(k * 42, 0, 42, 42));
}

} // namespace

void TOrvandel::construitCommandesAppareil(QToolBar *barre)
{
    m_lireCE = bouton(barre, "LireTskCETBtn", QStringLiteral("Read PPC"),
                      QStringLiteral("Read a Theme on the Pocket PC"));
    connect(m_lireCE, &QToolButton::clicked, this, &TOrvandel::LireTskCETBtnClick);
    m_transfert = bouton(barre, "TransfertTskTBtn", QStringLiteral("To PPC"),
                         QStringLiteral("Copy the Theme to the Pocket PC"));
    connect(m_transfert, &QToolButton::clicked, this, &TOrvandel::TransfertTskTBtnClick);
    m_winVer = bouton(barre, "WinVerTBtn", QStringLiteral("PDA Infos"),
                      QStringLiteral("PDA Infos if connected to ActiveSync"));
    connect(m_winVer, &QToolButton::clicked, this, &TOrvandel::WinVerTBtnClick);
}

QWidget *TOrvandel::construitPageAppareil()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("ASTabS"));
    auto *grille = new QGridLayout(page);
    m_tskActSBtn = new QToolButton(page);
    m_tskActSBtn->setObjectName(QStringLiteral("TskActSBtn"));
    m_tskActSBtn->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("tskact.png")))));
    m_tskActSBtn->setIconSize(QSize(32, 32));
    m_tskActSBtn->setToolTip(QStringLiteral("Load PDA current Theme"));
    m_taskActLbl = new QLabel(QStringLiteral("Load PDA current Theme"), page);
    m_taskActLbl->setObjectName(QStringLiteral("TaskActLbl"));
    m_taskActLbl->setToolTip(QStringLiteral("Load PDA current Theme"));
    connect(m_tskActSBtn, &QToolButton::clicked, this, &TOrvandel::TskActSBtnClick);

    m_infPDASBtn = new QToolButton(page);
    m_infPDASBtn->setObjectName(QStringLiteral("InfPDASBtn"));
    m_infPDASBtn->setToolTip(QStringLiteral("PDA Infos if connected to ActiveSync"));
    m_infPDASBtn->setIcon(QIcon(iconeEtat(bandeEtats(), 9)));
    m_infPDASBtn->setIconSize(QSize(42, 42));
    connect(m_infPDASBtn, &QToolButton::clicked, this, &TOrvandel::WinVerTBtnClick);

    grille->addWidget(m_tskActSBtn, 0, 0);
    grille->addWidget(m_taskActLbl, 0, 1);
    grille->addWidget(m_infPDASBtn, 1, 0);
    grille->setColumnStretch(1, 1);
    grille->setRowStretch(2, 1);
    return page;
}

const QImage &TOrvandel::bandeEtats()
{
    // Decoded once for the run: every state change shows one of its tiles.
    if (m_bandeEtats.isNull())
        m_bandeEtats = ChargeImageRes(QStringLiteral("uneligneimg.png"));
    return m_bandeEtats;
}

void TOrvandel::AffEtatAS()
{
    m_image11->setPixmap(iconeEtat(bandeEtats(), m_iconeEtatAS));
}

int TOrvandel::IconeEtatPour(int status, int icone)
{
    switch (status) {
    case 1: return 11;
    case 2:
    case 4:
    case 8: return 12;
    case 5: return 16;
    case 6: return 15;
    case 7: return 17;
    default: return icone;
    }
}

void TOrvandel::MajBoutonsAS()
{
    const bool connecte = m_ctx.appareil.connecte;
    m_lireCE->setEnabled(connecte);
    m_winVer->setEnabled(connecte);
    m_tskActSBtn->setEnabled(connecte);
    m_taskActLbl->setEnabled(connecte);
    m_infPDASBtn->setVisible(connecte);
    m_transfert->setEnabled(connecte && m_creer->isEnabled());
}

ContexteArbreCE TOrvandel::contexteArbre()
{
    // The browser shows the device's current skin with the glyph of the
    // current-theme button, and follows the main window's look.
    ContexteArbreCE ctx{m_ctx.prompts, &m_ctx.animation, m_ctx.dossiers.DossierThemeTmp, m_tskActSBtn->icon()};
    ctx.apparence = &m_ctx.apparence;
    ctx.systeme = m_ctx.CouleursSysteme;
    return ctx;
}

void TOrvandel::LitTskPDA(const QString &cheminPDA)
{
    if (!m_ctx.prompts || !m_pda)
        return;
    CabinetPaquet cabinet;
    const ContexteLecture ctx = contexteLecture(cabinet);
    const int avant = m_ctx.document.format().FormatTheme;
    apresLectureCE(::LitTskPDA(*m_pda, cheminPDA, m_ctx.document, ctx), avant);
}

void TOrvandel::TskActSBtnClick()
{
    if (m_ctx.prompts && m_pda && m_pda->PDAConnecte) {
        CabinetPaquet cabinet;
        const ContexteLecture ctx = contexteLecture(cabinet);
        const int avant = m_ctx.document.format().FormatTheme;
        apresLectureCE(LitTskActuelPDA(*m_pda, m_ctx.document, ctx), avant);
    }
    m_pages->setCurrentWidget(m_pageCouleurs);
}

void TOrvandel::WinVerTBtnClick()
{
    if (!m_ctx.prompts)
        return;
    if (!m_pda) {
        m_ctx.prompts->message(QStringLiteral("Not connected !"));
        return;
    }
    // The colour report names the slots as this window's labels do.
    ContexteInfosPDA ctx{m_ctx.prompts, &m_ctx.animation, m_ctx.dossiers.DossierAppli, LibellesCouleursDefaut()};
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        ctx.libelles[i] = m_libelles[i]->text();
    OuvreInfosPDA(*m_pda, ctx, this); // says "Not connected !" itself
}

void TOrvandel::LireTskCETBtnClick()
{
    // Without a connected device the command does nothing.
    if (!m_ctx.prompts || !m_pda || !m_pda->PDAConnecte)
        return;
    CabinetPaquet cabinet;
    const ContexteLecture ctx = contexteLecture(cabinet);
    const int avant = m_ctx.document.format().FormatTheme;
    apresLectureCE(ImporteTskCE(*m_pda, contexteArbre(), m_ctx.document, ctx, this), avant);
}

void TOrvandel::apresLectureCE(const LectureCE &lecture, int formatAvant)
{
    // A read that never started (no path, no connection, a copy that failed,
    // a refused name) leaves the theme and its pages as they were.
    if (lecture.lue)
        apresLecture(lecture.infos, formatAvant);
}

void TOrvandel::TransfertTskTBtnClick()
{
    if (!m_ctx.prompts || !m_pda || !m_pda->PDAConnecte)
        return;
    // The device browser opened from there runs without the hint sound.
    const GestionBulles bulles{[this] { m_filtreBulles->surBulle = nullptr; }, [this] { AppliqueBulles(); }};
    OuvreTransfertVersCE(*m_pda, m_ctx.document, contexteArbre(), contextePaquet(), this, bulles);
}
