// The device link on the main window: the library and the connection watcher
// bound at start, the connection state label and icon, connecting when the
// watcher reports an active device, and the shut-down of all of it.
#include "app/orvandel_main_window.h"

#include "app/anime_thread.h"
#include "tools/hue_calc.h"
#include "tools/restauration_pda.h"
#include "device/etat_pda.h"
#include "device/fonctions_rapi_fichiers.h"
#include "theme/prompts.h"

#include <QGridLayout>

#include <algorithm>
#include <QImage>
#include <QLabel>
#include <QToolBar>

namespace {

// The connection icon's pictures: a strip of 42 x 42 pictures, 0..15 the
// connected animation.
QList<QImage> imagesConnexion()
{
    const QImage bande(QStringLiteral(":/art/as16img.png"));
    QList<QImage> liste;
    for (int x = 0; x + 42 <= bande.width(); x += 42)
        liste << bande.copy(x, 0, 42, 42);
    return liste;
}

} // namespace

QWidget *TOrvandel::construitEtatAppareil(QWidget *parent)
{
    auto *zone = new QWidget(parent);
    zone->setObjectName(QStringLiteral("ZoneEtatAS"));
    // The icon, and beside it the caption over the state: two short lines
    // take less of the tool bar than one long one.
    auto *grille = new QGridLayout(zone);
    grille->setContentsMargins(4, 0, 4, 0);
    grille->setHorizontalSpacing(6);
    grille->setVerticalSpacing(0);
    m_image11 = new QLabel(zone);
    m_image11->setObjectName(QStringLiteral("Image11"));
    m_image11->setFixedSize(42, 42);
    auto *asLbl = new QLabel(QStringLiteral("ActiveSync (State)"), zone);
    asLbl->setObjectName(QStringLiteral("ASLbl"));
    m_etatASLbl = new QLabel(zone);
    m_etatASLbl->setObjectName(QStringLiteral("EtatASLbl"));
    // Room for the longest state from the start, so that the tool bar keeps
    // it in view when a device connects and nothing moves.
    int largeur = 0;
    for (int status = -1; status <= 8; ++status)
        largeur = std::max(largeur, m_etatASLbl->fontMetrics().horizontalAdvance(
                                        TexteEtatAS(status, QStringLiteral("IP Adress : 255.255.255.255"))));
    m_etatASLbl->setMinimumWidth(largeur + 2);
    grille->addWidget(m_image11, 0, 0, 2, 1);
    grille->addWidget(asLbl, 0, 1, Qt::AlignBottom);
    grille->addWidget(m_etatASLbl, 1, 1, Qt::AlignTop);
    return zone;
}

QString TOrvandel::TexteEtatAS(int status, const QString &texte)
{
    switch (status) {
    case -1: return QStringLiteral("Missing");
    case 1: return QStringLiteral("Active ( ") + texte + QStringLiteral(" )");
    case 2: return QStringLiteral("Closed");
    case 3: return QStringLiteral("Active");
    case 4: return QStringLiteral("InActive");
    case 5: return QStringLiteral("Answer");
    case 6: return QStringLiteral("Listen");
    case 7: return QStringLiteral("Disconnected");
    case 8: return QStringLiteral("Error");
    default: return QString();
    }
}

void TOrvandel::afficheEtatAS(const QString &texte)
{
    m_etatASLbl->setText(texte);
}

void TOrvandel::crochetLienAppareil()
{
    m_pda = std::make_unique<EtatPDA>();
    m_pda->demarre();
    m_ctx.appareil.RapiPresent = m_pda->RapiPresent;
    AffEtatAS();
    MajBoutonsAS();
    if (!m_pda->DccMan || m_pda->DccMan->Status() < 0) {
        m_iconeEtatAS = 14; // the handheld without its library
        AffEtatAS();
        afficheEtatAS(m_pda->texteEtat()); // "Missing"
        return;
    }
    connect(m_pda->DccMan.get(), &TDccMan::OnChange, this, &TOrvandel::ChangeActif);
    m_pda->DccMan->Advise();
}

void TOrvandel::ChangeActif(TDccMan *sender)
{
    const int s = sender->Status();
    afficheEtatAS(TexteEtatAS(s, sender->StatusText()));
    m_iconeEtatAS = IconeEtatPour(s, m_iconeEtatAS);
    // A repeated "connected" while connected only renames the state: the
    // connection animation goes on turning over icon 11.
    const bool resteConnecte = s == 1 && m_pda->PDAConnecte && m_animeBouton;
    if (!resteConnecte) {
        if (m_animeBouton) {
            m_animeBouton->arreter();
            m_animeBouton.reset();
        }
        AffEtatAS();
    }
    if (!m_pda->PDAConnecte && s == 1) {
        m_pda->PDAConnecte = m_pda->Rapi.ConnecteCE(5000);
        if (m_pda->PDAConnecte)
            RepareCopiesCE(m_pda->Rapi); // a copy cut off by the last unplug
        if (m_pda->PDAConnecte)
            m_animeBouton = std::make_unique<TBtnAnimeThread>(m_image11, imagesConnexion(), 0, 15, 200);
        m_ctx.appareil.connecte = m_pda->PDAConnecte;
        MajBoutonsAS();
        // Asked by the idle pass: never over the start's own message or
        // another question.
        m_restaurationAProposer = m_pda->PDAConnecte;
    } else if (m_pda->PDAConnecte && s != 1) {
        m_pda->PDAConnecte = false;
        m_pda->Rapi.DeconnecteCE();
        m_ctx.appareil.connecte = false;
        MajBoutonsAS();
        if (m_ctx.prompts) {
            AnimationPauseGuard pause(&m_ctx.animation);
            m_ctx.prompts->message(QStringLiteral("Disconnected"), QStringLiteral("Orvandel ActiveSync"),
                                   Prompts::Icon::Warning);
        }
    }
    m_ctx.appareil.connecte = m_pda->PDAConnecte;
    // An open hue calculator offers its live preview only while connected.
    if (auto *calc = findChild<THueCalc *>())
        calc->ConnexionChangee();
}

void TOrvandel::ProposeRestaurationAppareil()
{
    // An open hue calculator looks after its own preview and its device.
    if (!m_ctx.prompts || m_restaurationEnCours || findChild<THueCalc *>() || !m_pda->PDAConnecte)
        return;
    m_restaurationEnCours = true;
    AnimationPauseGuard pause(&m_ctx.animation);
    ProposeRestaurationPDA(m_ctx.dossiers.DossierAppli, m_pda->Rapi, *m_ctx.prompts);
    m_restaurationEnCours = false;
}

void TOrvandel::crochetLibereAppareil()
{
    if (m_animeBouton) {
        m_animeBouton->arreter();
        m_animeBouton.reset();
    }
    if (m_pda)
        m_pda->arrete(); // the watcher, an open connection, the libraries
    m_ctx.appareil = {};
}
