#include "app/memo_inf.h"

#include "theme/fichier_lignes.h"
#include "theme/package_reader.h"
#include "theme/prompts.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
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

    // The information text is in columns. One tab stop a little narrower than
    // a value's eight hexadecimal digits puts the types under the legend (four
    // tab stops in), as the lines are laid out for; the pane shows the legend
    // whole.
    const QFontMetrics fm(MemoFic->font());
    const int tabulation = std::max(8, fm.horizontalAdvance(QStringLiteral("00E3972E")) - 2);
    MemoFic->setTabStopDistance(tabulation);
    const int finLegende = 4 * tabulation + fm.horizontalAdvance(QStringLiteral("1 : REG_BINARY;"));
    const int largeurLegende = (finLegende / tabulation + 1) * tabulation
                               + fm.horizontalAdvance(QStringLiteral(" 65537 : REG_DWORD"));
    const int marges = 2 * MemoFic->frameWidth() + 2 * int(MemoFic->document()->documentMargin())
                       + MemoFic->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    MemoFic->setMinimumWidth(std::max(largeurLegende, fm.horizontalAdvance(QString(36, QLatin1Char('*')))) + marges);
    auto *memos = new QHBoxLayout;
    memos->addWidget(Memo1, 1);
    memos->addWidget(MemoFic, 0);
    auto *boutons = new QHBoxLayout;
    boutons->addStretch();
    boutons->addWidget(SauveInfBtn);
    boutons->addWidget(QuitterBtn);
    auto *l = new QVBoxLayout(this);
    l->addLayout(memos, 1);
    l->addLayout(boutons);
    l->addWidget(StatusBar1);
    resize(std::max(900, MemoFic->minimumWidth() + 440), 560);

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
