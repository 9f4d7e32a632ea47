// The setup-text page: after a package read that rebuilt an INF text (or
// read a setup XML), the text and the information on the package's files,
// values and strings, with the button of the INF window that saves it. The
// page's tab and the button show exactly after such a read.
#include "app/orvandel_main_window.h"

#include "app/memo_inf.h"
#include "ui/charge_image_res.h"
#include "theme/package_reader.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QPlainTextEdit *texteLecture(const char *nom, QWidget *parent)
{
    auto *t = new QPlainTextEdit(parent);
    t->setObjectName(QLatin1String(nom));
    t->setReadOnly(true);
    t->setLineWrapMode(QPlainTextEdit::NoWrap);
    return t;
}

} // namespace

QWidget *TOrvandel::construitPageInf()
{
    auto *page = new QWidget;
    m_pageInf = page;
    page->setObjectName(QStringLiteral("InfTabS"));
    auto *colonne = new QVBoxLayout(page);

    auto *ligne = new QHBoxLayout;
    m_infS = new QToolButton(page);
    m_infS->setObjectName(QStringLiteral("InfSBtn"));
    m_infS->setToolTip(QStringLiteral("View and/or save original Theme installation file"));
    m_infS->setIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("inftextico.png")))));
    m_infS->setIconSize(QSize(42, 42));
    m_infS->setAutoRaise(true);
    auto *infLbl = new QLabel(QStringLiteral("View and/or save original Theme installation file"), page);
    infLbl->setObjectName(QStringLiteral("InfLbl"));
    infLbl->setBuddy(m_infS);
    ligne->addWidget(m_infS);
    ligne->addWidget(infLbl, 1);
    colonne->addLayout(ligne);

    auto *partage = new QSplitter(Qt::Vertical, page);
    partage->setObjectName(QStringLiteral("InfPartage"));
    m_infTexte = texteLecture("InfTexteMemo", partage);
    m_infFichiers = texteLecture("InfFichiersMemo", partage);
    partage->addWidget(m_infTexte);
    partage->addWidget(m_infFichiers);
    colonne->addWidget(partage, 1);

    connect(m_infS, &QToolButton::clicked, this, &TOrvandel::InfSBtnClick);
    m_infS->hide();
    return page;
}

void TOrvandel::afficheLectureInf(const InfosLecture *infos)
{
    const bool montre = infos && infos->infOuXml;
    if (montre) {
        // The fixed-pitch type is given when the boxes are first filled (the
        // page is hidden until then, and loading the type is much of what
        // the page costs at start-up).
        PrepareTexteLecture(m_infTexte);
        PrepareTexteLecture(m_infFichiers);
        m_infTexte->setPlainText(infos->texteInf.join(QLatin1Char('\n')));
        m_infFichiers->setPlainText(TexteInfosEnColonnes(infos->texteFic));
    }
    m_infS->setVisible(montre);
    const int index = m_pages->indexOf(m_pageInf);
    if (!montre && m_pages->currentIndex() == index)
        m_pages->setCurrentWidget(m_pageCouleurs);
    m_pages->setTabVisible(index, montre);
}

bool TOrvandel::ongletInfVisible() const
{
    return m_pages->isTabVisible(m_pages->indexOf(m_pageInf));
}
