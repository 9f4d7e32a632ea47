// The idle pass of the main window: which working pictures exist, which
// commands and thumbnails that allows, the create-state pictures, and on the
// first pass after the window is shown the check of the pictures' sizes
// against the theme format. It runs from a timer, after every command and
// whenever a window of the program closes.
#include "app/orvandel_main_window.h"

#include "apercu/miniatures.h"
#include "ui/charge_image_res.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>
#include <QToolButton>

namespace {

constexpr int kIntervalleTempsLibreMs = 250;

void couleurTexte(QLabel *label, QColor couleur)
{
    QPalette pal = label->palette();
    if (pal.color(QPalette::WindowText) == couleur)
        return;
    pal.setColor(QPalette::WindowText, couleur);
    label->setPalette(pal);
}

} // namespace

void TOrvandel::crochetTempsLibre()
{
    m_minuterieTempsLibre = new QTimer(this);
    m_minuterieTempsLibre->setObjectName(QStringLiteral("MinuterieTempsLibre"));
    m_minuterieTempsLibre->setInterval(kIntervalleTempsLibreMs);
    connect(m_minuterieTempsLibre, &QTimer::timeout, this, &TOrvandel::TempsLibre);
    m_minuterieTempsLibre->start();

    // After every command (once its handler has returned) and whenever a
    // window of the program closes and the focus comes back.
    for (QAbstractButton *b : findChildren<QAbstractButton *>())
        connect(b, &QAbstractButton::clicked, this, &TOrvandel::TempsLibre, Qt::QueuedConnection);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TOrvandel::TempsLibre, Qt::QueuedConnection);
    TempsLibre();
}

void TOrvandel::VerifFichiersImages()
{
    const QDir dossier(m_ctx.dossiers.DossierAppli);
    const auto &noms = NomsImagesTravail();
    for (int k = 0; k < NbImagesTravail; ++k) {
        // A pipe or a folder under the name is no picture.
        const bool present = EstFichierOrdinaire(dossier.filePath(noms[k]));
        m_presents[k] = present;
        m_checkImages[k]->setChecked(present);
        couleurTexte(m_ficLbl[k], present ? QColor(0x00, 0x80, 0x00) : QColor(0xFF, 0x00, 0x00));
    }
}

void TOrvandel::TempsLibre()
{
    if (m_fermee)
        return;
    VerifFichiersImages();
    const EtatCommandes e = CalculeEtatCommandes(m_presents, m_ctx.document.format().FormatTheme,
                                                 m_ctx.document.parametres().UseStartImageDefini,
                                                 m_ctx.appareil.connecte);
    m_tdyDispo->setChecked(e.tdyDispo);
    m_stDispo->setChecked(e.stDispo);

    const bool changement = m_creer->isEnabled() != e.creer;
    m_creer->setEnabled(e.creer);
    if (changement)
        MajEtatCreation();
    m_tailleTsk->setVisible(e.creer);
    m_sauveInf->setEnabled(e.creer);
    m_transfert->setEnabled(e.transfert);
    m_miniatures->setPermises(e.miniatures);
    m_image12->setVisible(m_ctx.indicateurWM5);

    // The first pass after the window is shown, and drawn, looks at the
    // pictures' sizes (never one run from inside FormShow's package read).
    if (m_verifFormatEnAttente && m_montree && windowHandle() && windowHandle()->isExposed()) {
        m_verifFormatEnAttente = false;
        if (m_controleTailles)
            verifieTaillesImages();
    }
    // A device restore point is offered once the start has said what it had
    // to say, and never while another window waits for an answer.
    if (m_restaurationAProposer && !m_verifFormatEnAttente && !QApplication::activeModalWidget()) {
        m_restaurationAProposer = false;
        ProposeRestaurationAppareil();
    }
}

void TOrvandel::verifieTaillesImages()
{
    if (TaillesConformes(m_taillesImg, m_ctx.document.format()))
        return;
    if (QScreen *ecran = screen()) {
        const QRect g = ecran->geometry();
        QCursor::setPos(ecran, g.left() + g.width() / 2, g.top() + g.height() / 2 + 27);
    }
    if (m_ctx.prompts) {
        AnimationPauseGuard pause(&m_ctx.animation);
        m_ctx.prompts->message(QStringLiteral("Adapt Theme format if needed !"));
    }
    m_pages->setCurrentWidget(m_pageOptions);
    QCursor::setPos(m_optionsBtn->mapToGlobal(QPoint(m_optionsBtn->width() / 2, m_optionsBtn->height() / 2)));
}

void TOrvandel::crochetMajEtatCreation()
{
    // The create command's hint says where the package goes: it follows the
    // theme name as it is typed or read (the save folder: RepBtnClick).
    connect(m_themeEdit, &QLineEdit::textChanged, this, &TOrvandel::MajBulleCreer);
    MajEtatCreation();
}

void TOrvandel::MajBulleCreer()
{
    // Kept true while the command is disabled too (a disabled button shows
    // its hint): it names the package the command writes once it can run.
    const QString nom = m_themeEdit->text();
    m_creer->setToolTip(nom.isEmpty() ? QStringLiteral("Create the Theme on the PC")
                                      : QStringLiteral("Create the Theme on the PC") + QStringLiteral(" : ")
                                            + QStringLiteral("\r\n") + m_ctx.dossiers.DossierTsk + nom
                                            + QStringLiteral(".tsk"));
}

void TOrvandel::MajEtatCreation()
{
    const bool creer = m_creer->isEnabled();
    m_feuImg->setPixmap(QPixmap::fromImage(ChargeImageRes(creer ? QStringLiteral("feuvert.png")
                                                                : QStringLiteral("feurouge.png"))));
    m_cocheImg->setPixmap(QPixmap::fromImage(ChargeImageRes(creer ? QStringLiteral("coche.png")
                                                                  : QStringLiteral("cochenon.png"))));
    m_feuImg->setProperty("etatCreation", creer);
    m_addText->setVisible(creer);
    MajEtiquettesRelief();
    MajBulleCreer();
    if (m_pageImages)
        m_pageImages->update();
}
