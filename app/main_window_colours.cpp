// The colours page: the 22 colour slots, the dropper colour, the dots
// animation, the theme names, and the commands that save and load a colour set.
#include "app/orvandel_main_window.h"

#include "apercu/vue_apercu_ecran.h"
#include "app/panneau_couleur.h"
#include "app/commandes_couleurs.h"
#include "theme/prompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

QWidget *TOrvandel::construitPageCouleurs()
{
    auto *page = new QWidget;
    m_pageCouleurs = page;
    page->setObjectName(QStringLiteral("CoulTabS"));
    auto *panel23 = new QWidget(page); // the slots and what lies below them
    panel23->setObjectName(QStringLiteral("Panel23"));
    auto *cadre = new QVBoxLayout(page);
    cadre->setContentsMargins(0, 0, 0, 0);
    cadre->addWidget(panel23);
    auto *grille = new QGridLayout(panel23);
    constexpr int kLignes = 11; // two columns of eleven slots
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        const QString n = QString::number(i + 1);
        const int ligne = i % kLignes, col = (i / kLignes) * 3;

        m_inclus[i] = new QCheckBox(page);
        m_inclus[i]->setObjectName(QStringLiteral("CB") + n);
        m_inclus[i]->setToolTip(QStringLiteral("Save Color in Theme if checked"));
        m_panneaux[i] = new PanneauCouleur(page);
        m_panneaux[i]->setObjectName(QStringLiteral("Panel") + n);
        m_libelles[i] = new QLabel(page);
        m_libelles[i]->setObjectName(QStringLiteral("Label") + n);

        // A slot that is left out hides its panel: its place stays, so
        // ticking boxes (or All and None) moves nothing.
        QSizePolicy politique = m_panneaux[i]->sizePolicy();
        politique.setRetainSizeWhenHidden(true);
        m_panneaux[i]->setSizePolicy(politique);

        grille->addWidget(m_inclus[i], ligne, col);
        grille->addWidget(m_panneaux[i], ligne, col + 1);
        grille->addWidget(m_libelles[i], ligne, col + 2);

        connect(m_panneaux[i], &PanneauCouleur::clicked, this, [this, i] { PanelClick(i); });
        connect(m_inclus[i], &QCheckBox::toggled, this, [this, i](bool on) { m_ctx.document.setInclus(i, on); });
    }
    grille->setColumnStretch(2, 1);
    grille->setColumnStretch(5, 1);

    // Below the slots: the tap-and-hold dots, the theme format and the slot
    // selection. The dropper colour (made here, placed beside the
    // preview) and the theme keys command (placed on the theme parameters page).
    auto *bas = new QHBoxLayout;
    m_pipette = new PanneauCouleur(page);
    m_pipette->setObjectName(QStringLiteral("Panel26"));
    m_pipette->setToolTip(QStringLiteral("Choose color in Image"));
    m_pipette->setCouleur(TColor::fromQRgb(palette().color(QPalette::Window).rgb()));
    m_image8 = new QLabel(page);
    m_image8->setObjectName(QStringLiteral("Image8"));
    m_image8->setFixedSize(42, 42); // the size of "Points.gif"
    m_actualFmtLbl = new QLabel(page);
    m_actualFmtLbl->setObjectName(QStringLiteral("ActualFmtLbl"));
    m_ctBtn = new QPushButton(QStringLiteral("Keys +"), page);
    m_ctBtn->setObjectName(QStringLiteral("CTBtn"));
    m_ctBtn->setToolTip(QStringLiteral("See or change specific keys for the theme"));
    connect(m_ctBtn, &QPushButton::clicked, this, &TOrvandel::CTBtnClick);
    // The dropper colour is a colour panel like the slots' (PanelClick).
    connect(m_pipette, &PanneauCouleur::clicked, this, [this] { PanelClick(-1); });
    auto *tous = new QPushButton(QStringLiteral("All"), page);
    tous->setObjectName(QStringLiteral("SelALLBtn"));
    tous->setToolTip(QStringLiteral("Select All"));
    auto *aucun = new QPushButton(QStringLiteral("None"), page);
    aucun->setObjectName(QStringLiteral("DeSelALLSBtn"));
    aucun->setToolTip(QStringLiteral("Deselect All"));
    connect(tous, &QPushButton::clicked, this, [this] { SelDeSelALLClick(true); });
    connect(aucun, &QPushButton::clicked, this, [this] { SelDeSelALLClick(false); });
    bas->addWidget(m_image8);
    bas->addWidget(m_actualFmtLbl, 1);
    bas->addWidget(tous);
    bas->addWidget(aucun);
    grille->addLayout(bas, kLignes, 0, 1, 6);
    grille->setRowStretch(kLignes + 1, 1);
    return page;
}

void TOrvandel::lieDocument()
{
    ThemeDocument &doc = m_ctx.document;
    connect(&doc, &ThemeDocument::slotChanged, this, &TOrvandel::afficheSlot);
    connect(&doc, &ThemeDocument::nomsChanged, this, &TOrvandel::afficheNoms);
    // The theme's own keys are named after the theme: they decide whether
    // the setup files must hold its name.
    connect(&doc, &ThemeDocument::clesThemeChanged, this, &TOrvandel::MajMarquesNoms);
    connect(&doc, &ThemeDocument::parametresChanged, this, &TOrvandel::MajMarquesNoms);
    connect(m_themeEdit, &QLineEdit::textEdited, &doc, &ThemeDocument::setNomTheme);
    connect(m_themeAppEdt, &QLineEdit::textEdited, &doc, &ThemeDocument::setNomInterne);
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        afficheSlot(i);
    afficheNoms();
}

void TOrvandel::afficheSlot(int i)
{
    const SlotCouleur &s = m_ctx.document.slot(i);
    m_panneaux[i]->setCouleur(s.couleur);
    const QSignalBlocker bloque(m_inclus[i]);
    m_inclus[i]->setChecked(s.inclus);
    m_libelles[i]->setText(s.libelle);
    CBPanelCoulClick(i);
}

void TOrvandel::afficheNoms()
{
    if (m_themeEdit->text() != m_ctx.document.nomTheme())
        m_themeEdit->setText(m_ctx.document.nomTheme());
    if (m_themeAppEdt->text() != m_ctx.document.nomInterne())
        m_themeAppEdt->setText(m_ctx.document.nomInterne());
}

void TOrvandel::PanelClick(int i)
{
    // i: the slot of Panel1..Panel22, or -1 for the dropper colour Panel26.
    if (m_apercu->surimpression() == Surimpression::MenuDemarrer)
        m_apercu->basculeZone(3);
    // With the dropper down the panel takes the dropper's colour.
    if (m_pipetteSBtn->isChecked()) {
        if (i >= 0)
            m_ctx.document.setCouleur(i, m_pipette->couleur());
        crochetAffImage();
        return;
    }
    if (!m_ctx.prompts)
        return;
    std::optional<TColor> choix;
    {
        AnimationPauseGuard pause(&m_ctx.animation);
        choix = m_ctx.prompts->chooseColor(i >= 0 ? m_ctx.document.slot(i).couleur : m_pipette->couleur());
    }
    if (choix) {
        if (i >= 0)
            m_ctx.document.setCouleur(i, *choix);
        m_pipette->setCouleur(*choix);
        crochetAffImage();
    }
}

void TOrvandel::SauveCoulTbtnClick()
{
    if (!m_ctx.prompts)
        return;
    ::SauveCoulTbtnClick({m_ctx.document, *m_ctx.prompts, m_ctx.dossiers.DossierAppli,
                          m_ctx.dossiers.FichierCouleurs, &m_ctx.animation});
}

void TOrvandel::ChargeCoulBtnClick()
{
    if (!m_ctx.prompts)
        return;
    // The command has already reported a failure; a cancel changes nothing.
    if (const auto r = ::ChargeCoulBtnClick({m_ctx.document, *m_ctx.prompts, m_ctx.dossiers.DossierAppli,
                                             m_ctx.dossiers.FichierCouleurs, &m_ctx.animation});
        r && r->ok)
        apresChargeCouleurs(*r);
}

void TOrvandel::apresChargeCouleurs(const ResultatChargeCouleurs &r)
{
    if (!r.ok) {
        if (m_ctx.prompts)
            m_ctx.prompts->message(r.erreur, {}, Prompts::Icon::Error);
        return;
    }
    if (r.indicateurWM5) {
        m_ctx.indicateurWM5 = *r.indicateurWM5;
        MajMarqueurWM5();
    }
    m_ctx.MajMiniatures = r.majMiniatures;
    crochetAffImage();
    m_ctx.MajMiniatures = false;
}
