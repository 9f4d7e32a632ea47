#include "app/fenetre_aide.h"

#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton *bouton(const QString &texte, const char *nom, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(nom));
    b->setText(texte);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

} // namespace

FenetreAide::FenetreAide(const QUrl &racine, QWidget *parent) : QWidget(parent, Qt::Window), m_racine(racine)
{
    setObjectName(QStringLiteral("FenetreAide"));
    setWindowTitle(QStringLiteral("Orvandel Help"));
    resize(640, 520);

    PrecedentBtn = bouton(QStringLiteral("< Back"), "PrecedentBtn", this);
    SuivantBtn = bouton(QStringLiteral("Forward >"), "SuivantBtn", this);
    SommaireBtn = bouton(QStringLiteral("Contents"), "SommaireBtn", this);
    AideTexte = new QTextBrowser(this);
    AideTexte->setObjectName(QStringLiteral("AideTexte"));
    AideTexte->setOpenExternalLinks(true);

    auto *barre = new QHBoxLayout;
    barre->addWidget(PrecedentBtn);
    barre->addWidget(SuivantBtn);
    barre->addWidget(SommaireBtn);
    barre->addStretch(1);
    auto *colonne = new QVBoxLayout(this);
    colonne->addLayout(barre);
    colonne->addWidget(AideTexte, 1);

    PrecedentBtn->setEnabled(false);
    SuivantBtn->setEnabled(false);
    connect(PrecedentBtn, &QToolButton::clicked, AideTexte, &QTextBrowser::backward);
    connect(SuivantBtn, &QToolButton::clicked, AideTexte, &QTextBrowser::forward);
    connect(SommaireBtn, &QToolButton::clicked, this, [this] { montre(QStringLiteral("index.htm")); });
    connect(AideTexte, &QTextBrowser::backwardAvailable, PrecedentBtn, &QToolButton::setEnabled);
    connect(AideTexte, &QTextBrowser::forwardAvailable, SuivantBtn, &QToolButton::setEnabled);
    // "Orvandel Help - " and the page's title; the contents page, whose
    // title is the window's own, says it once.
    connect(AideTexte, &QTextBrowser::sourceChanged, this, [this] {
        const QString titre = AideTexte->documentTitle().trimmed();
        const QString fenetre = QStringLiteral("Orvandel Help");
        setWindowTitle(titre.isEmpty() || titre == fenetre ? fenetre : fenetre + QStringLiteral(" - ") + titre);
    });
}

void FenetreAide::montre(const QString &page)
{
    AideTexte->setSource(m_racine.resolved(QUrl(page)));
    show();
    raise();
    activateWindow();
}

QString FenetreAide::page() const
{
    return AideTexte->source().fileName();
}
