#include "app/memo_inf.h"

#include "theme/fichier_lignes.h"
#include "theme/package_reader.h"
#include "theme/prompts.h"

#include <algorithm>

#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

constexpr int kCaracteresParTabulation = 8;

} // namespace

QFont PoliceLectureSetup()
{
    QFont fixe(QStringLiteral("Courier New"));
    fixe.setStyleHint(QFont::Monospace);
    fixe.setFixedPitch(true);
    fixe.setPointSize(9);
    return fixe;
}

void PrepareTexteLecture(QPlainTextEdit *texte)
{
    texte->setFont(PoliceLectureSetup());
    texte->setTabStopDistance(kCaracteresParTabulation * QFontMetricsF(texte->font()).horizontalAdvance(QLatin1Char('0')));
}

QString TexteInfosEnColonnes(const QStringList &lignes)
{
    QStringList resultat = lignes;
    qsizetype debut = 0;
    while (debut < resultat.size()) {
        if (!resultat[debut].contains(QLatin1Char('\t'))) {
            ++debut;
            continue;
        }
        // A run: lines with a TAB, and the empty lines between them.
        qsizetype fin = debut;
        qsizetype premiere = 0; // the longest first column of the run
        for (qsizetype i = debut; i < resultat.size(); ++i) {
            const QString &l = resultat[i];
            if (l.isEmpty())
                continue;
            const qsizetype tab = l.indexOf(QLatin1Char('\t'));
            if (tab < 0)
                break;
            premiere = std::max(premiere, tab);
            fin = i + 1;
        }
        // The second column starts at the first tab stop past the longest one.
        const qsizetype colonne = (premiere / kCaracteresParTabulation + 1) * kCaracteresParTabulation;
        if (colonne > kCaracteresParTabulation)
            for (qsizetype i = debut; i < fin; ++i) {
                QString &l = resultat[i];
                const qsizetype tab = l.indexOf(QLatin1Char('\t'));
                if (tab >= 0 && tab < colonne - kCaracteresParTabulation)
                    l.insert(tab, QString(colonne - 1 - tab, QLatin1Char(' ')));
            }
        debut = fin;
    }
    return resultat.join(QLatin1Char('\n'));
}

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

    // The information text is in columns: the pane shows the legend whole,
    // and the headings of a theme's keys (their name and references).
    for (QPlainTextEdit *m : {Memo1, MemoFic})
        PrepareTexteLecture(m);
    const QFontMetrics fm(MemoFic->font());
    const int largeurLegende = fm.horizontalAdvance(QString(80, QLatin1Char('0')));
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
    MemoFic->setPlainText(TexteInfosEnColonnes(infos.texteFic));
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
