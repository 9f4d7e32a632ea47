#include "device/app_inst.h"

#include "device/etat_pda.h"
#include "device/fonctions_rapi_fichiers.h"
#include "device/fonctions_rapi_registre.h"
#include "theme/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
constexpr int kRoleVisible = 24;
}

TAppInstF::TAppInstF(EtatPDA &etat, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_etat(etat), m_prompts(prompts)
{
    setObjectName(QStringLiteral("AppInstF"));
    setWindowTitle(QStringLiteral("Applications in HKLM\\Security\\AppInstall"));
    EnTete = new QLabel(this);
    EnTete->setObjectName(QStringLiteral("EnTete"));
    InfosLbl = new QLabel(this);
    InfosLbl->setObjectName(QStringLiteral("InfosLbl"));
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    ModifKeysBtn = new QPushButton(QStringLiteral("Modify Key(s) -> 24"), this);
    ModifKeysBtn->setObjectName(QStringLiteral("ModifKeysBtn"));
    ModifKeysBtn->setAutoDefault(false);
    QuitterBtn = new QPushButton(QStringLiteral("Quit"), this);
    QuitterBtn->setObjectName(QStringLiteral("QuitterBtn"));
    QuitterBtn->setAutoDefault(false);

    auto *listes = new QHBoxLayout;
    listes->addWidget(CheckListBox1, 2);
    listes->addWidget(Memo1, 1);
    auto *boutons = new QHBoxLayout;
    boutons->addWidget(ModifKeysBtn);
    boutons->addStretch();
    boutons->addWidget(QuitterBtn);
    auto *tout = new QVBoxLayout(this);
    tout->addWidget(EnTete);
    tout->addWidget(InfosLbl);
    tout->addLayout(listes, 1);
    tout->addLayout(boutons);

    connect(CheckListBox1, &QListWidget::itemChanged, this, &TAppInstF::CheckListBox1ClickCheck);
    connect(ModifKeysBtn, &QPushButton::clicked, this, &TAppInstF::ModifKeysBtnClick);
    connect(QuitterBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TAppInstF::ChargeAppInstall()
{
    m_noms.clear();
    m_roles.clear();
    QStringList entrees;
    ListeFichiersCE(m_etat.Rapi, QStringLiteral("\\Windows\\AppMgr\\*"), &entrees);
    for (const QString &entree : entrees) {
        const int role = LitRoleAppInstall(m_etat.Rapi, entree);
        if (role != -1) {
            m_noms << entree;
            m_roles << QString::number(role);
        }
    }
}

void TAppInstF::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TAppInstF::FormShow()
{
    const QSignalBlocker bloque(CheckListBox1);
    CheckListBox1->clear();
    Memo1->clear();
    m_nomsAffiches.clear();
    ModifKeysBtn->hide();

    QStringList tries = m_noms;
    tries.sort();
    Memo1->setPlainText(tries.join(QLatin1Char('\n')));

    for (int i = 0; i < m_noms.size(); ++i) {
        if (m_roles.at(i) == QString::number(kRoleVisible))
            continue;
        auto *ligne = new QListWidgetItem(QStringLiteral("%1 (Role = %2)").arg(m_noms.at(i), m_roles.at(i)),
                                          CheckListBox1);
        ligne->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        ligne->setCheckState(Qt::Unchecked);
        m_nomsAffiches << m_noms.at(i);
    }

    const int politique = LitPolitique1001(m_etat.Rapi);
    CheckListBox1->setEnabled(politique == 1);
    if (politique == 1) {
        EnTete->setText(QStringLiteral("Check Applications to let visible to Uninstaller"));
        InfosLbl->clear();
    } else {
        EnTete->setText(QStringLiteral("Not allowed to overwrite these keys !"));
        InfosLbl->setText(
            QStringLiteral("(Change HKLM\\Security\\Policies\\Policies\\00001001 = 1 instead of %1  RAPI Policy )")
                .arg(politique));
    }
}

void TAppInstF::CheckListBox1ClickCheck()
{
    bool coche = false;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        coche = coche || CheckListBox1->item(i)->checkState() == Qt::Checked;
    ModifKeysBtn->setVisible(coche);
}

void TAppInstF::ModifKeysBtnClick()
{
    if (m_prompts.question(QStringLiteral("Are you sure that you want to modify these Keys ?"), windowTitle(),
                           Prompts::Buttons::YesNo, Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            EcritRoleAppInstall(m_etat.Rapi, m_nomsAffiches.at(i), kRoleVisible);
    ChargeAppInstall();
    FormShow();
}

int OuvreAppInst(EtatPDA &etat, Prompts &prompts, QWidget *parent)
{
    if (!etat.PDAConnecte) {
        prompts.message(QStringLiteral("Not connected"));
        return QDialog::Rejected;
    }
    TAppInstF fenetre(etat, prompts, parent);
    fenetre.ChargeAppInstall();
    if (fenetre.noms().isEmpty())
        return QDialog::Rejected;
    return fenetre.exec();
}
