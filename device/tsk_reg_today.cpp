#include "device/tsk_reg_today.h"

#include "device/etat_pda.h"
#include "device/fonctions_rapi_registre.h"
#include "theme/prompts.h"
#include "ui/bulle_immediate.h"
#include "ui/texte_brut.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

TTskRegTodayF::TTskRegTodayF(EtatPDA &etat, Prompts &prompts, const QStringList &cles,
                             std::function<QStringList()> rafraichit, QWidget *parent)
    : QDialog(parent), m_etat(etat), m_prompts(prompts), m_cles(cles), m_rafraichit(std::move(rafraichit))
{
    setObjectName(QStringLiteral("TskRegTodayF"));
    setWindowTitle(QStringLiteral("TSK in HKCU\\Software\\Microsoft\\Today"));
    EnTete = new QLabel(QStringLiteral("Check Themes to erase from Registry"), this);
    EnTete->setObjectName(QStringLiteral("EnTete"));
    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setMouseTracking(true);
    CheckListBox1->viewport()->installEventFilter(this);
    DelKeysBtn = new QPushButton(QStringLiteral("Erase Key(s)"), this);
    DelKeysBtn->setObjectName(QStringLiteral("DelKeysBtn"));
    DelKeysBtn->setAutoDefault(false);
    QuitterBtn = new QPushButton(QStringLiteral("Quit"), this);
    QuitterBtn->setObjectName(QStringLiteral("QuitterBtn"));
    QuitterBtn->setAutoDefault(false);

    auto *boutons = new QHBoxLayout;
    boutons->addWidget(DelKeysBtn);
    boutons->addStretch();
    boutons->addWidget(QuitterBtn);
    auto *tout = new QVBoxLayout(this);
    tout->addWidget(EnTete);
    tout->addWidget(CheckListBox1, 1);
    tout->addLayout(boutons);

    connect(CheckListBox1, &QListWidget::itemChanged, this, &TTskRegTodayF::CheckListBox1ClickCheck);
    connect(DelKeysBtn, &QPushButton::clicked, this, &TTskRegTodayF::DelKeysBtnClick);
    connect(QuitterBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TTskRegTodayF::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TTskRegTodayF::FormShow()
{
    remplit(m_cles);
}

void TTskRegTodayF::remplit(const QStringList &cles)
{
    const QSignalBlocker bloque(CheckListBox1);
    CheckListBox1->clear();
    DelKeysBtn->hide();
    for (const QString &cle : cles) {
        auto *ligne = new QListWidgetItem(cle, CheckListBox1);
        ligne->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        ligne->setCheckState(Qt::Unchecked);
    }
    m_ligneSurvolee = -1;
}

void TTskRegTodayF::CheckListBox1ClickCheck()
{
    bool coche = false;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        coche = coche || CheckListBox1->item(i)->checkState() == Qt::Checked;
    DelKeysBtn->setVisible(coche);
}

void TTskRegTodayF::CheckListBox1MouseMove(const QPoint &position, const QPoint &global)
{
    QListWidgetItem *ligne = CheckListBox1->itemAt(position);
    if (!ligne) {
        QToolTip::hideText();
        CheckListBox1->setToolTip(QString());
        m_ligneSurvolee = -1;
        return;
    }
    const int index = CheckListBox1->row(ligne);
    if (index == m_ligneSurvolee)
        return;
    QToolTip::hideText();
    // Key and value names come from the device: shown as they are.
    const QString bulle = BulleTexteBrut(
        ListeValeursCleToday(m_etat.Rapi, ligne->text(), QStringLiteral("Keys defined for the Theme ")));
    CheckListBox1->setToolTip(bulle);
    // The row holds the hint too: the list asks its row when the hint comes
    // due, and a row without one would take the hint away while the pointer rests.
    ligne->setToolTip(bulle);
    if (!bulle.isEmpty())
        MontreBulleImmediate(CheckListBox1, global);
    m_ligneSurvolee = index;
}

bool TTskRegTodayF::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == CheckListBox1->viewport() && e->type() == QEvent::MouseMove) {
        const auto *m = static_cast<QMouseEvent *>(e);
        CheckListBox1MouseMove(m->position().toPoint(), m->globalPosition().toPoint());
    }
    return QDialog::eventFilter(objet, e);
}

void TTskRegTodayF::DelKeysBtnClick()
{
    if (m_prompts.question(QStringLiteral("Are you sure that you want to erase these Keys and their Contents ?"),
                           windowTitle(), Prompts::Buttons::YesNo, Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    QStringList refusees;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked
            && !SupprimeCleToday(m_etat.Rapi, CheckListBox1->item(i)->text()))
            refusees << CheckListBox1->item(i)->text();
    // The list read again shows what the device really holds now.
    if (m_rafraichit)
        m_cles = m_rafraichit();
    FormShow();
    // A key the device kept is never passed over in silence.
    if (!refusees.isEmpty())
        m_prompts.message(QStringLiteral("These Keys could not be erased :\r\n\r\n")
                              + refusees.join(QStringLiteral("\r\n")),
                          windowTitle(), Prompts::Icon::Warning);
}

QStringList ClesTskTriees(EtatPDA &etat)
{
    QStringList cles;
    if (etat.PDAConnecte)
        ListeClesTsk(etat.Rapi, cles);
    cles.sort(Qt::CaseInsensitive);
    return cles;
}

int OuvreTskRegToday(EtatPDA &etat, Prompts &prompts, QWidget *parent, std::function<QStringList()> rafraichit)
{
    if (!etat.PDAConnecte) {
        prompts.message(QStringLiteral("Not connected"));
        return QDialog::Rejected;
    }
    if (!rafraichit)
        rafraichit = [&etat] { return ClesTskTriees(etat); };
    const QStringList cles = rafraichit();
    if (cles.isEmpty())
        return QDialog::Rejected;
    TTskRegTodayF fenetre(etat, prompts, cles, rafraichit, parent);
    return fenetre.exec();
}
