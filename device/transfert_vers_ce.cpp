#include "device/transfert_vers_ce.h"

#include "ui/charge_image_res.h"
#include "device/etat_pda.h"
#include "device/fonctions_rapi_fichiers.h"
#include "theme/animation_pause.h"
#include "theme/controle_noms.h"
#include "theme/prompts.h"
#include "theme/theme_document.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QIcon>
#include <QPixmap>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const QString kTitre = QStringLiteral("File TSK transfer to CE");
}

TTransfertVersCE::TTransfertVersCE(EtatPDA &etat, const ThemeDocument &doc, const ContexteArbreCE &ctxArbre,
                                   const ContextePackage &ctxPaquet, QWidget *parent)
    : QDialog(parent), m_etat(etat), m_doc(doc), m_ctxArbre(ctxArbre), m_ctxPaquet(ctxPaquet)
{
    setObjectName(QStringLiteral("TransfertVersCE"));
    setWindowTitle(kTitre);
    setWindowIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("tskas.png")))));

    const auto libelle = [this](const char *nom, const QString &texte) {
        auto *l = new QLabel(texte, this);
        l->setObjectName(QLatin1String(nom));
        return l;
    };
    const auto zone = [this](const char *nom, bool lectureSeule) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(nom));
        e->setReadOnly(lectureSeule);
        e->setMinimumWidth(320);
        return e;
    };
    const auto bouton = [this](const char *nom, const QString &texte) {
        auto *b = new QPushButton(texte, this);
        b->setObjectName(QLatin1String(nom));
        b->setAutoDefault(false);
        return b;
    };
    DossierCEBtn = bouton("DossierCEBtn", QStringLiteral("Folder on CE"));
    DirEdt = zone("DirEdt", true);
    ThemeNomEdt = zone("ThemeNomEdt", false);
    ThemeNomEdt->setMaxLength(ControleNoms::LongueurMax);
    AppNameEdt = zone("AppNameEdt", false);
    AppNameEdt->setMaxLength(ControleNoms::LongueurMax);
    AppNameEdt->setPlaceholderText(QStringLiteral("Internal name (empty: the theme name)"));
    NomCompletEdt = zone("NomCompletEdt", true);
    TranfertBtn = bouton("TranfertBtn", QStringLiteral("Tranfer"));
    // Why the transfer is not offered yet; its room is kept so that
    // nothing moves when the text comes and goes.
    RaisonLbl = libelle("RaisonLbl", QString());
    RaisonLbl->setWordWrap(true);
    RaisonLbl->setTextFormat(Qt::PlainText);
    RaisonLbl->setStyleSheet(QStringLiteral("color: #B00000;"));
    // Room for the longest refusal of a name (the character, the file that
    // cannot hold it, the way out), so that nothing moves when it comes.
    RaisonLbl->setFixedHeight(6 * RaisonLbl->fontMetrics().lineSpacing() + 4);
    RaisonLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QuitterBtn = bouton("QuitterBtn", QStringLiteral("Quit"));

    auto *grille = new QGridLayout;
    grille->addWidget(libelle("Label1", QStringLiteral("1)")), 0, 0);
    grille->addWidget(DossierCEBtn, 0, 1);
    grille->addWidget(DirEdt, 0, 2);
    grille->addWidget(libelle("Label2", QStringLiteral("2)")), 1, 0);
    grille->addWidget(libelle("Label6", QStringLiteral("Theme Name on CE")), 1, 1);
    grille->addWidget(ThemeNomEdt, 1, 2);
    grille->addWidget(AppNameEdt, 2, 2);
    grille->addWidget(libelle("Label3", QStringLiteral("3)")), 3, 0);
    grille->addWidget(libelle("Label4", QStringLiteral("File Name on CE")), 3, 1);
    grille->addWidget(NomCompletEdt, 3, 2);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(libelle("Label5", QStringLiteral("4)")));
    boutons->addWidget(TranfertBtn);
    boutons->addStretch();
    boutons->addWidget(QuitterBtn);
    auto *tout = new QVBoxLayout(this);
    tout->addLayout(grille);
    tout->addWidget(RaisonLbl);
    tout->addLayout(boutons);

    connect(DossierCEBtn, &QPushButton::clicked, this, &TTransfertVersCE::DossierCEBtnClick);
    connect(ThemeNomEdt, &QLineEdit::textChanged, this, &TTransfertVersCE::ThemeNomEdtChange);
    connect(AppNameEdt, &QLineEdit::textChanged, this, &TTransfertVersCE::ThemeNomEdtChange);
    connect(ThemeNomEdt, &QLineEdit::returnPressed, this, &TTransfertVersCE::ThemeNomEdtKeyPress);
    connect(AppNameEdt, &QLineEdit::returnPressed, this, &TTransfertVersCE::ThemeNomEdtKeyPress);
    connect(TranfertBtn, &QPushButton::clicked, this, &TTransfertVersCE::TranfertBtnClick);
    connect(QuitterBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TTransfertVersCE::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TTransfertVersCE::FormShow()
{
    m_dossierCE.clear();
    DirEdt->clear();
    ThemeNomEdt->clear();
    TranfertBtn->setEnabled(false);
    RaisonLbl->setText(raison());
}

ControleNoms::Refus TTransfertVersCE::refusNoms() const
{
    // The names become a desktop file, a device file, registry keys and the
    // setup documents of the package option chosen in the main window.
    return RefusNomsPaquet(ThemeNomEdt->text(), AppNameEdt->text(), CleThemeEcrite(m_doc), m_ctxPaquet.option);
}

bool TTransfertVersCE::nomsValides() const
{
    return !ThemeNomEdt->text().isEmpty() && refusNoms().estVide();
}

QString TTransfertVersCE::raison() const
{
    if (m_dossierCE.isEmpty())
        return QStringLiteral("1) Choose the folder on the Pocket PC.");
    if (ThemeNomEdt->text().isEmpty())
        return QStringLiteral("2) Give the Theme a name.");
    const ControleNoms::Refus r = refusNoms();
    if (!r.theme.isEmpty())
        return QStringLiteral("Theme Name : ") + r.theme;
    if (!r.interne.isEmpty())
        return QStringLiteral("Internal name : ") + r.interne;
    return QString();
}

void TTransfertVersCE::DossierCEBtnClick()
{
    if (!m_etat.PDAConnecte) {
        m_ctxPaquet.prompts->message(QStringLiteral("Not connected"));
        return;
    }
    // No hint sound while the device browser is open; the handler comes
    // back as the options say however the browser ends.
    if (m_bulles.retire)
        m_bulles.retire();
    struct Remet {
        const GestionBulles &b;
        ~Remet()
        {
            if (b.remet)
                b.remet();
        }
    } remet{m_bulles};
    m_dossierCE = OuvreArbreCE(m_etat, m_ctxArbre, true, this);
    DirEdt->setText(m_dossierCE);
    if (m_dossierCE.isEmpty()) {
        TranfertBtn->setEnabled(false);
        ThemeNomEdt->clear();
        NomCompletEdt->clear();
        RaisonLbl->setText(raison());
        return;
    }
    ThemeNomEdtChange();
}

void TTransfertVersCE::ThemeNomEdtChange()
{
    TranfertBtn->setEnabled(!m_dossierCE.isEmpty() && nomsValides());
    RaisonLbl->setText(raison());
    if (m_dossierCE.isEmpty())
        return;
    if (ThemeNomEdt->text().isEmpty()) {
        NomCompletEdt->clear();
        return;
    }
    QString nom = DirEdt->text();
    if (!nom.endsWith(QLatin1Char('\\')))
        nom += QLatin1Char('\\');
    NomCompletEdt->setText(nom + ThemeNomEdt->text() + QStringLiteral(".tsk"));
}

void TTransfertVersCE::ThemeNomEdtKeyPress()
{
    if (TranfertBtn->isEnabled())
        TranfertBtn->click();
}

void TTransfertVersCE::TranfertBtnClick()
{
    if (m_dossierCE.isEmpty() || !nomsValides())
        return;
    Prompts &prompts = *m_ctxPaquet.prompts;
    const QString fichierCE = NomCompletEdt->text();
    const QString nom = ThemeNomEdt->text();
    const QString appli = AppNameEdt->text().isEmpty() ? nom : AppNameEdt->text();
    const auto ferme = qScopeGuard([this] { accept(); });
    if (ExisteFichierCE(m_etat.Rapi, fichierCE)
        && prompts.question(QStringLiteral("Overwrite original file (or existing) ?"), kTitre,
                            Prompts::Buttons::YesNo, Prompts::Icon::Question)
               != Prompts::Answer::Yes)
        return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString local = m_ctxPaquet.dossierTravail + QLatin1Char('/') + nom + QStringLiteral(".tsk");
    const auto fin = qScopeGuard([&] {
        QFile::remove(local);
        QApplication::restoreOverrideCursor();
    });
    // A package that was not built is never copied: the device file stays as it was.
    const bool construit = GenereTsk(m_doc, m_ctxPaquet, nom, appli) && QFileInfo(local).isFile();
    if (!construit || !CopieVersCE(m_etat.Rapi, fichierCE, local))
        prompts.message(QStringLiteral("Transfer Error"));
}

int OuvreTransfertVersCE(EtatPDA &etat, const ThemeDocument &doc, const ContexteArbreCE &ctxArbre,
                         const ContextePackage &ctxPaquet, QWidget *parent, const GestionBulles &bulles)
{
    if (!etat.PDAConnecte) {
        ctxPaquet.prompts->message(QStringLiteral("Not connected"));
        return QDialog::Rejected;
    }
    AnimationPauseGuard pause(ctxPaquet.pause);
    TTransfertVersCE fenetre(etat, doc, ctxArbre, ctxPaquet, parent);
    fenetre.setGestionBulles(bulles);
    return fenetre.exec();
}
