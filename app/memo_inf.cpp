#include "app/memo_inf.h"

#include "theme/fichier_lignes.h"
#include "theme/package_reader.h"
#include "theme/prompts.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

TMemoInf::TMemoInf(Prompts &prompts, QString dossierAppli, std::function<QString()> nomTheme, QWidget *parent)
    : QDialog(parent), m_prompts(prompts), m_dossierAppli(std::move(dossierAppli)), m_nomTheme(std::move(nomTheme))
{
    setObjectName(QStringLiteral("MemoInf"));
    setWindowTitle(QStringLiteral("Reverse Build of Theme loaded installation file (Original)"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    MemoFic = new QPlainTextEdit(this);
    MemoFic->setObjectName(QStringLiteral("MemoFic"));
    for (QPlainTextEdit *m : {Memo1, MemoFic}) {
        m->setReadOnly(true);
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
        m->setMouseTracking(true);
        m->viewport()->setMouseTracking(true);
        m->viewport()->installEventFilter(this);
    }
    QuitterBtn = new QPushButton(QStringLiteral("Quit"), this);
    QuitterBtn->setObjectName(QStringLiteral("QuitterBtn"));
    SauveInfBtn = new QPushButton(QStringLiteral("Save INF"), this);
    SauveInfBtn->setObjectName(QStringLiteral("SauveInfBtn"));
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    for (QLabel *&p : m_panneaux) {
        p = new QLabel(StatusBar1);
        StatusBar1->addWidget(p, 1);
    }

    auto *memos = new QHBoxLayout;
    memos->addWidget(Memo1, 3);
    memos->addWidget(MemoFic, 2);
    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(SauveInfBtn);
    boutons->addWidget(QuitterBtn);
    auto *l = new QVBoxLayout(this);
    l->addLayout(memos, 1);
    l->addLayout(boutons);
    l->addWidget(StatusBar1);
    resize(900, 560);

    connect(QuitterBtn, &QPushButton::clicked, this, &QDialog::close);
    connect(SauveInfBtn, &QPushButton::clicked, this, &TMemoInf::SauveInfBtnClick);
}

void TMemoInf::afficher(const InfosLecture &infos)
{
    Memo1->setPlainText(infos.texteInf.join(QLatin1Char('\n')));
    MemoFic->setPlainText(infos.texteFic.join(QLatin1Char('\n')));
    m_panneaux[0]->setText(infos.statut0);
    m_panneaux[1]->setText(infos.statut1);
}

void TMemoInf::SauveInfBtnClick()
{
    Prompts::FileDialog d;
    d.initialDir = m_dossierAppli;
    d.fileName = (m_nomTheme ? m_nomTheme() : QString()) + QLatin1String("(Orig).inf");
    d.defaultSuffix = QStringLiteral("inf");
    d.filter = QStringLiteral("INF File (*.inf)|*.inf");
    const auto choisi = m_prompts.saveFile(d);
    if (!choisi || choisi->isEmpty())
        return;
    // The INF text is Windows-1252 as the CAB wizard reads it: a character it
    // cannot hold is refused with a message rather than written otherwise.
    QString erreur;
    if (!EcritLignesCRLF(*choisi, Memo1->toPlainText().split(QLatin1Char('\n')), &erreur))
        m_prompts.message(erreur, QString(), Prompts::Icon::Error);
}

bool TMemoInf::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        if (watched == Memo1->viewport())
            Memo1->setFocus();
        else if (watched == MemoFic->viewport())
            MemoFic->setFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void TMemoInf::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Memo1->setFocus();
}
