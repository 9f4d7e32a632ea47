// The effect side of the image chooser: the six pages of effect options, the
// hue, channel and contrast sliders, the centre pickers and the resets.

#include "tools/choix_images.h"
#include "tools/choix_images_controles.h"

#include "ui/app_context.h"
#include "theme/prompts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char *const ProprieteAide = "helpId";

const QString AideCentreGradient = QStringLiteral(
    "Define Center Gradient :\r\nMove cursor\r\n- with left Button\r\n- with wheel - > X\r\n"
    "- with wheel + SHIFT  -> Y\r\n");

QString nombre(int v)
{
    return QString::number(v);
}

QWidget *page(QTabWidget *onglets, const char *nom, const QString &titre, const QString &hint)
{
    auto *p = new QWidget(onglets);
    p->setObjectName(QString::fromLatin1(nom));
    const int i = onglets->addTab(p, titre);
    onglets->setTabToolTip(i, hint);
    return p;
}

QLabel *texte(const QString &t, QWidget *parent)
{
    auto *l = new QLabel(t, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

// A widget hidden without giving its room away, so nothing moves.
void gardePlace(QWidget *w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

bool toujours(const OptionsEffets &)
{
    return true;
}

} // namespace

// ---- bindings ---------------------------------------------------------------

QCheckBox *TChoixImages::caseEffet(QWidget *parent, const char *nom, const QString &texteCase,
                                   bool OptionsEffets::*champ, Condition relance)
{
    auto *cb = new QCheckBox(texteCase, parent);
    cb->setObjectName(QString::fromLatin1(nom));
    m_liens.push_back({cb, [cb, champ](OptionsEffets &o) { o.*champ = cb->isChecked(); },
                       [cb, champ](const OptionsEffets &o) { cb->setChecked(o.*champ); }});
    connect(cb, &QCheckBox::toggled, this, [this, relance] { effetChange(relance ? relance : toujours); });
    return cb;
}

QSlider *TChoixImages::curseurEffet(QWidget *parent, const char *nom, int min, int max, int OptionsEffets::*champ,
                                    Condition relance)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(QString::fromLatin1(nom));
    s->setRange(min, max);
    s->setValue(OptionsEffets{}.*champ);
    s->setMinimumWidth(56);
    // A dragged slider reruns the chain once, when released; the keyboard and
    // clicks on the groove rerun it at each step.
    s->setTracking(false);
    s->setPageStep(std::max(1, (max - min) / 10));
    m_liens.push_back({s, [s, champ](OptionsEffets &o) { o.*champ = s->value(); },
                       [s, champ](const OptionsEffets &o) { s->setValue(o.*champ); }});
    connect(s, &QSlider::valueChanged, this, [this, relance] { effetChange(relance ? relance : toujours); });
    return s;
}

QLabel *TChoixImages::libelleEffet(QWidget *parent, const char *nom, QSlider *curseur,
                                   std::function<QString(int)> texteValeur)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(nom));
    l->setText(texteValeur(curseur->value()));
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(texteValeur(curseur->maximum())) + 4);
    m_libelles.push_back({l, curseur, texteValeur});
    // The label follows the thumb during a drag.
    connect(curseur, &QSlider::sliderMoved, l, [l, texteValeur](int v) { l->setText(texteValeur(v)); });
    return l;
}

QButtonGroup *TChoixImages::radiosEffet(QWidget *boite, const QStringList &items, int colonnes,
                                        int OptionsEffets::*champ, Condition relance)
{
    auto *groupe = new QButtonGroup(boite);
    auto *grille = new QGridLayout(boite);
    grille->setContentsMargins(4, 2, 4, 2);
    grille->setSpacing(1);
    const int lignes = (int(items.size()) + colonnes - 1) / colonnes;
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], boite);
        groupe->addButton(b, i);
        grille->addWidget(b, i % lignes, i / lignes);
    }
    groupe->button(OptionsEffets{}.*champ)->setChecked(true);
    m_liens.push_back({boite, [groupe, champ](OptionsEffets &o) { o.*champ = std::max(groupe->checkedId(), 0); },
                       [groupe, champ](const OptionsEffets &o) {
                           if (auto *b = groupe->button(o.*champ))
                               b->setChecked(true);
                       }});
    connect(groupe, &QButtonGroup::idToggled, this, [this, relance](int, bool coche) {
        if (coche)
            effetChange(relance);
    });
    return groupe;
}

TPanneauCouleurChoix *TChoixImages::couleurEffet(QWidget *parent, const char *nom, const QString &quoi,
                                                 TColor OptionsEffets::*champ, Condition relance)
{
    auto *p = new TPanneauCouleurChoix(parent);
    p->setObjectName(QString::fromLatin1(nom));
    p->setToolTip(QStringLiteral("Color %1\r\nShift+Click : Dropper Color").arg(quoi));
    p->setCouleur(OptionsEffets{}.*champ);
    m_liens.push_back({p, [p, champ](OptionsEffets &o) { o.*champ = p->couleur(); },
                       [p, champ](const OptionsEffets &o) { p->setCouleur(o.*champ); }});
    connect(p, &QPushButton::clicked, this, [this, p, relance] {
        std::optional<TColor> c;
        if (p->avecShift() || m_shift)
            c = m_couleurPipette;
        else if (m_ctx.prompts)
            c = m_ctx.prompts->chooseColor(p->couleur());
        if (!c)
            return;
        p->setCouleur(*c);
        effetChange(relance);
    });
    return p;
}

QPushButton *TChoixImages::boutonReset(QWidget *parent, const char *nom)
{
    auto *b = new QPushButton(QStringLiteral("Reset"), parent);
    b->setObjectName(QString::fromLatin1(nom));
    b->setToolTip(QStringLiteral("Reset the effects"));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, &TChoixImages::InitialiserBtnClick);
    return b;
}

// A page's reset button at the right of its own row.
QHBoxLayout *TChoixImages::ligneReset(QWidget *parent, const char *nom)
{
    auto *ligne = new QHBoxLayout;
    ligne->addStretch();
    ligne->addWidget(boutonReset(parent, nom));
    return ligne;
}

TImageMouse *TChoixImages::picker(QWidget *parent, const char *nom, int tag, QPoint OptionsEffets::*champ,
                                  const QString &aide)
{
    auto *p = new TImageMouse(tag, parent);
    p->setObjectName(QString::fromLatin1(nom));
    m_pickers.push_back(p);
    m_textesAide << AideCentreGradient + aide;
    m_liens.push_back({p, [p, champ](OptionsEffets &o) { o.*champ = p->centre(); },
                       [p, champ](const OptionsEffets &o) { p->setCentre(o.*champ); }});
    connect(p, &TImageMouse::centreChange, this, [this, champ](QPoint c, bool fini) {
        m_effets.*champ = c;
        if (fini)
            planifieApercu();
    });
    connect(p, &TImageMouse::survol, this, [this, aide](bool entre) { aidePicker(entre, aide); });
    return p;
}

void TChoixImages::effetChange(const Condition &relance)
{
    if (m_majControles)
        return;
    for (const LienEffet &l : m_liens)
        l.lit(m_effets);
    majLibelles();
    majVisibilites();
    if (!relance || relance(m_effets))
        planifieApercu();
}

void TChoixImages::majControlesEffets()
{
    m_majControles = true;
    for (const LienEffet &l : m_liens)
        l.ecrit(m_effets);
    m_majControles = false;
    majLibelles();
    majVisibilites();
}

void TChoixImages::majLibelles()
{
    for (const LienLibelle &l : m_libelles)
        l.libelle->setText(l.texte(l.curseur->value()));
}

void TChoixImages::majVisibilites()
{
    m_gradientPnl->setVisible(m_effets.TranspCB);
    m_panel17->setVisible(m_effets.TranspCB && m_effets.TypeGradient == 4);
    m_gradientPnl->setToolTip(m_effets.TypeGradient == 4
                                  ? AideCentreGradient + QStringLiteral("Choose Transparency for Image or Background.\r\n"
                                                                        "Set colors transparency and Circle Radius "
                                                                        "containing gradient.")
                                  : QString());
    const TColor c1 = m_effets.InvCoulCB ? m_effets.Panel13 : m_effets.Panel26;
    const TColor fond = m_effets.TypeGradient == 0 || m_effets.TypeGradient == 4 ? c1 : m_effets.Panel26;
    m_fondPnl->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                                 .arg(QColor(fond.toQRgb()).name()));
}

void TChoixImages::setOptionsEffets(const OptionsEffets &o)
{
    m_effets = o;
    majControlesEffets();
    planifieApercu();
}

void TChoixImages::InitialiserBtnClick()
{
    // The six pages go back to their defaults; the hue, channel and contrast
    // sliders and the centres stay.
    OptionsEffets d;
    d.TeinteTb = m_effets.TeinteTb;
    d.SaturationTb = m_effets.SaturationTb;
    d.LuminanceTb = m_effets.LuminanceTb;
    d.RTB = m_effets.RTB;
    d.GTB = m_effets.GTB;
    d.BTB = m_effets.BTB;
    d.ContrasteTB = m_effets.ContrasteTB;
    d.CenterImg = m_effets.CenterImg;
    d.CenterFlouRImg = m_effets.CenterFlouRImg;
    d.CenterZoomImg = m_effets.CenterZoomImg;
    m_effets = d;
    majControlesEffets();
    planifieApercu();
}

void TChoixImages::resetComplet()
{
    m_effets = OptionsEffets{};
    centresAuMilieu();
    majControlesEffets();
    m_quartsDeTour = 0;
    m_typeRotation = 0;
    const QSignalBlocker b1(m_miroirCB), b2(m_basculeCB);
    m_miroirCB->setChecked(false);
    m_basculeCB->setChecked(false);
}

void TChoixImages::centresAuMilieu()
{
    const QPoint milieu = PointPicker(QPoint(LargeurPicker / 2, HauteurPicker / 2));
    m_effets.CenterImg = m_effets.CenterFlouRImg = m_effets.CenterZoomImg = milieu;
    m_majControles = true;
    for (TImageMouse *p : m_pickers)
        p->setCentre(milieu);
    m_majControles = false;
}

void TChoixImages::majMiniatures()
{
    for (TImageMouse *p : m_pickers)
        p->setMiniature(m_bmpApercu, m_rectImage, FacteurPicker(LargeurVueChoix, LargeurPicker));
}

void TChoixImages::majHauteurAide()
{
    const QMargins m = m_aideCImgPnl->layout()->contentsMargins();
    // The page takes the width of the stack (a hidden page is not laid out).
    const int cadre = static_cast<QFrame *>(m_aideCImgPnl)->frameWidth();
    const int largeur = m_sauvegardeOuAide->width() - 2 * cadre - m.left() - m.right();
    if (largeur < 20)
        return;
    const QFontMetrics fm(m_aideGradLbl->font());
    int hauteur = 0;
    for (const QString &texte : std::as_const(m_textesAide))
        hauteur = std::max(hauteur, fm.boundingRect(QRect(0, 0, largeur, 100000), Qt::TextWordWrap, texte).height());
    // The page's height is fixed: it does not follow the text shown.
    const int page = hauteur + m.top() + m.bottom() + 2 * cadre;
    if (hauteur > 0 && (m_aideCImgPnl->minimumHeight() != page || m_aideCImgPnl->maximumHeight() != page))
        m_aideCImgPnl->setFixedHeight(page);
}

void TChoixImages::aidePicker(bool entre, const QString &texteAide)
{
    if (entre) {
        m_aideGradLbl->setText(AideCentreGradient + texteAide);
        m_sauvegardeOuAide->setCurrentWidget(m_aideCImgPnl);
    } else {
        m_sauvegardeOuAide->setCurrentWidget(m_panel5);
    }
}

void TChoixImages::gradientChoisi(int type)
{
    if (m_majControles)
        return;
    m_effets.TypeGradient = type;
    majVisibilites();
    if (type == 4)
        imgTranspClick();
    planifieApercu();
}

void TChoixImages::imgTranspClick()
{
    if (m_majControles)
        return;
    for (const LienEffet &l : m_liens)
        l.lit(m_effets);
    m_effets.TranspTB = m_effets.ImgTranspCB ? 100 : 80;
    m_effets.TranspCoul1TB = m_effets.TranspCoul2TB = 255;
    majControlesEffets();
    planifieApercu();
}

// ---- pages ------------------------------------------------------------------

QWidget *TChoixImages::construitEffets()
{
    auto *zone = new QWidget(this);
    zone->setObjectName(QStringLiteral("ZoneEffets"));
    auto *l = new QHBoxLayout(zone);
    l->setContentsMargins(0, 0, 0, 0);

    m_pageControl1 = new TPagesEffets(zone);
    m_pageControl1->setObjectName(QStringLiteral("PageControl1"));
    const auto ajoutePage = [&](QWidget *contenu) {
        auto *v = new QVBoxLayout(contenu->parentWidget());
        v->setContentsMargins(4, 4, 4, 4);
        v->addWidget(contenu);
    };
    ajoutePage(construitPageEffets());
    ajoutePage(construitPageTransparence());
    ajoutePage(construitPageMotif());
    ajoutePage(construitPageTramage());
    ajoutePage(construitPageFlouRadial());
    ajoutePage(construitPageZoom());
    m_pageControl1->setCurrentIndex(0);
    l->addWidget(m_pageControl1, 1);
    l->addWidget(construitCurseursCouleur(), 0);
    majControlesEffets();
    return zone;
}

QWidget *TChoixImages::construitPageEffets()
{
    QWidget *p = page(m_pageControl1, "TabSheet1", QStringLiteral("- 1 -"), QStringLiteral("Effects Options"));
    auto *panel2 = new QWidget(p);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setProperty(ProprieteAide, 1018);
    auto *g = new QGridLayout(panel2);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(10);
    const auto si = [](bool OptionsEffets::*champ) { return Condition([champ](const OptionsEffets &o) { return o.*champ; }); };

    g->addWidget(caseEffet(panel2, "ExploseCB", QStringLiteral("Explosion"), &OptionsEffets::ExploseCB), 0, 0);
    g->addWidget(curseurEffet(panel2, "AleaTB", 3, 10, &OptionsEffets::AleaTB, si(&OptionsEffets::ExploseCB)), 0, 1);
    g->addWidget(caseEffet(panel2, "KuwaharaCB", QStringLiteral("Kuwahara"), &OptionsEffets::KuwaharaCB), 0, 2);
    g->addWidget(curseurEffet(panel2, "KuwaTB", 0, 7, &OptionsEffets::KuwaTB, si(&OptionsEffets::KuwaharaCB)), 0, 3);

    g->addWidget(texte(QStringLiteral("Light"), panel2), 1, 0);
    g->addWidget(curseurEffet(panel2, "ClairTB", 0, 9, &OptionsEffets::ClairTB), 1, 1);
    g->addWidget(caseEffet(panel2, "NegCB", QStringLiteral("Negative"), &OptionsEffets::NegCB), 1, 2);
    g->addWidget(caseEffet(panel2, "GrisCB", QStringLiteral("Grey"), &OptionsEffets::GrisCB), 1, 3);

    QSlider *gamma = curseurEffet(panel2, "GammaTB", 1, 30, &OptionsEffets::GammaTB);
    QLabel *gammaLbl = libelleEffet(panel2, "GammaLbl", gamma,
                                    [](int v) { return QString::asprintf("Gamma = %.2f", v * 0.1); });
    gammaLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(gammaLbl, 2, 0);
    g->addWidget(gamma, 2, 1);
    g->addWidget(caseEffet(panel2, "MasqueFlouCB", QStringLiteral("Bl. Mask"), &OptionsEffets::MasqueFlouCB), 2, 2);
    g->addWidget(caseEffet(panel2, "SepiaCB", QStringLiteral("Sepia"), &OptionsEffets::SepiaCB), 2, 3);

    g->addWidget(caseEffet(panel2, "TraitsCB", QStringLiteral("Edges"), &OptionsEffets::TraitsCB), 3, 0);
    g->addWidget(curseurEffet(panel2, "TraitsTB", 1, 10, &OptionsEffets::TraitsTB, si(&OptionsEffets::TraitsCB)), 3, 1);
    g->addWidget(caseEffet(panel2, "MedAvantCB", QStringLiteral("Median before"), &OptionsEffets::MedAvantCB,
                           si(&OptionsEffets::TraitsCB)), 3, 2);
    g->addWidget(caseEffet(panel2, "ImgPlusCB", QStringLiteral("Over image"), &OptionsEffets::ImgPlusCB,
                           si(&OptionsEffets::TraitsCB)), 3, 3);

    auto *bas = new QHBoxLayout;
    bas->addStretch();
    bas->addWidget(boutonReset(panel2, "InitialiserBtn"));
    g->setRowStretch(4, 1);
    g->addLayout(bas, 5, 0, 1, 4);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    return panel2;
}

QWidget *TChoixImages::construitPageTransparence()
{
    QWidget *p = page(m_pageControl1, "TabSheet2", QStringLiteral("- 2 -"), QStringLiteral("Transparence / Bkg"));
    auto *contenu = new QWidget(p);
    auto *h = new QHBoxLayout(contenu);
    h->setContentsMargins(0, 0, 0, 0);
    const auto siTransp = Condition([](const OptionsEffets &o) { return o.TranspCB; });

    auto *gauche = new QVBoxLayout;
    auto *ligne = new QHBoxLayout;
    ligne->addWidget(caseEffet(contenu, "TranspCB", QStringLiteral("Transparency / Bkg"), &OptionsEffets::TranspCB));
    QSlider *transp = curseurEffet(contenu, "TranspTB", 0, 100, &OptionsEffets::TranspTB, siTransp);
    ligne->addWidget(transp, 1);
    ligne->addWidget(libelleEffet(contenu, "TranspLbl", transp, [](int v) { return QStringLiteral("%1 %").arg(v); }));
    gauche->addLayout(ligne);

    m_gradientPnl = new QWidget(contenu);
    m_gradientPnl->setObjectName(QStringLiteral("GradientPnl"));
    gardePlace(m_gradientPnl);
    auto *gp = new QGridLayout(m_gradientPnl);
    gp->setContentsMargins(0, 0, 0, 0);
    gp->setVerticalSpacing(3);
    auto *couleurs = new QHBoxLayout;
    couleurs->addWidget(new QLabel(QStringLiteral("1"), m_gradientPnl));
    couleurs->addWidget(couleurEffet(m_gradientPnl, "Panel26", QStringLiteral("1"), &OptionsEffets::Panel26, siTransp));
    couleurs->addSpacing(6);
    couleurs->addWidget(new QLabel(QStringLiteral("2"), m_gradientPnl));
    couleurs->addWidget(couleurEffet(m_gradientPnl, "Panel13", QStringLiteral("2"), &OptionsEffets::Panel13, siTransp));
    couleurs->addSpacing(6);
    couleurs->addWidget(caseEffet(m_gradientPnl, "InvCoulCB", QStringLiteral("Swap"), &OptionsEffets::InvCoulCB, siTransp));
    couleurs->addStretch();
    couleurs->addWidget(new QLabel(QStringLiteral("Bkg"), m_gradientPnl));
    m_fondPnl = new QWidget(m_gradientPnl);
    m_fondPnl->setObjectName(QStringLiteral("FondPnl"));
    m_fondPnl->setAttribute(Qt::WA_StyledBackground);
    m_fondPnl->setFixedSize(24, 20);
    couleurs->addWidget(m_fondPnl);
    gp->addLayout(couleurs, 0, 0);

    auto *degrades = new QHBoxLayout;
    m_gradients = new QButtonGroup(m_gradientPnl);
    const QStringList hints{QStringLiteral("1 color"), QStringLiteral("Gradient Top L - Bottom R"),
                            QStringLiteral("Gradient Top - Bottom"), QStringLiteral("Gradient Bottom L - Top R"),
                            QStringLiteral("Centered Gradient")};
    for (int i = 0; i < 5; ++i) {
        auto *b = new QToolButton(m_gradientPnl);
        b->setObjectName(QStringLiteral("Grad%1SBtn").arg(i));
        b->setProperty("Tag", i);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(QIcon(QPixmap::fromImage(GlypheGradient(i))));
        b->setIconSize(QSize(20, 20));
        b->setToolTip(hints[i]);
        m_gradients->addButton(b, i);
        degrades->addWidget(b);
    }
    m_gradients->button(0)->setChecked(true);
    m_liens.push_back({m_gradientPnl, [this](OptionsEffets &o) { o.TypeGradient = std::max(m_gradients->checkedId(), 0); },
                       [this](const OptionsEffets &o) {
                           if (auto *b = m_gradients->button(o.TypeGradient))
                               b->setChecked(true);
                       }});
    connect(m_gradients, &QButtonGroup::idClicked, this, &TChoixImages::gradientChoisi);
    degrades->addStretch();
    gp->addLayout(degrades, 1, 0);
    QCheckBox *imgTransp = caseEffet(m_gradientPnl, "ImgTranspCB", QStringLiteral("Transparent image"),
                                     &OptionsEffets::ImgTranspCB, siTransp);
    // Its own handler: the opacities follow the choice.
    disconnect(imgTransp, &QCheckBox::toggled, this, nullptr);
    connect(imgTransp, &QCheckBox::toggled, this, &TChoixImages::imgTranspClick);
    gp->addWidget(imgTransp, 2, 0);
    gauche->addWidget(m_gradientPnl);
    gauche->addStretch();
    QHBoxLayout *reset = ligneReset(contenu, "AnnuleTranspBtn");
    gauche->addLayout(reset);
    h->addLayout(gauche, 1);

    m_panel17 = new QWidget(contenu);
    m_panel17->setObjectName(QStringLiteral("Panel17"));
    gardePlace(m_panel17);
    auto *p17 = new QGridLayout(m_panel17);
    p17->setContentsMargins(0, 0, 0, 0);
    p17->setVerticalSpacing(2);
    p17->addWidget(texte(QStringLiteral("Alpha 1"), m_panel17), 0, 0);
    p17->addWidget(curseurEffet(m_panel17, "TranspCoul1TB", 0, 255, &OptionsEffets::TranspCoul1TB, siTransp), 0, 1);
    p17->addWidget(texte(QStringLiteral("Alpha 2"), m_panel17), 1, 0);
    p17->addWidget(curseurEffet(m_panel17, "TranspCoul2TB", 0, 255, &OptionsEffets::TranspCoul2TB, siTransp), 1, 1);
    p17->addWidget(texte(QStringLiteral("Radius"), m_panel17), 2, 0);
    QSlider *rayon = curseurEffet(m_panel17, "RayonTB", -1, 5, &OptionsEffets::RayonTB, siTransp);
    rayon->setToolTip(QStringLiteral("Circle Radius containing gradient"));
    p17->addWidget(rayon, 2, 1);
    p17->addWidget(picker(m_panel17, "CenterImg", 0, &OptionsEffets::CenterImg,
                          QStringLiteral("Choose Transparency for Image or Background.\r\nSet colors transparency and "
                                         "Circle Radius containing gradient.")),
                   0, 2, 3, 1, Qt::AlignTop);
    p17->setRowStretch(3, 1);
    h->addWidget(m_panel17);
    return contenu;
}

QWidget *TChoixImages::construitPageMotif()
{
    QWidget *p = page(m_pageControl1, "TabSheet3", QStringLiteral("- 3 -"), QStringLiteral("Pattern"));
    auto *contenu = new QWidget(p);
    auto *g = new QGridLayout(contenu);
    g->setContentsMargins(0, 0, 0, 0);
    const auto si = Condition([](const OptionsEffets &o) { return o.AppliquerCB; });
    g->addWidget(caseEffet(contenu, "AppliquerCB", QStringLiteral("Apply pattern"), &OptionsEffets::AppliquerCB), 0, 0, 1, 2);
    auto *formes = new QGroupBox(QStringLiteral("Shape"), contenu);
    formes->setObjectName(QStringLiteral("FormeMotifGrp"));
    radiosEffet(formes,
                {QStringLiteral("Circle"), QStringLiteral("Rhombus"), QStringLiteral("Octagone"), QStringLiteral("Star"),
                 QStringLiteral("Square"), QStringLiteral("Bounded Square"), QStringLiteral("Star 2"),
                 QStringLiteral("4 points / block")},
                2, &OptionsEffets::FormeMotifGrp, si);
    g->addWidget(formes, 1, 0, 3, 1);
    g->addWidget(new QLabel(QStringLiteral("Block size"), contenu), 1, 1);
    auto *ligne = new QHBoxLayout;
    QSlider *diam = curseurEffet(contenu, "DiamTb", 2, 50, &OptionsEffets::DiamTb, si);
    ligne->addWidget(diam, 1);
    ligne->addWidget(libelleEffet(contenu, "DiametreLbl", diam, nombre));
    g->addLayout(ligne, 2, 1);
    auto *fond = new QHBoxLayout;
    fond->addWidget(new QLabel(QStringLiteral("Bkg"), contenu));
    fond->addWidget(couleurEffet(contenu, "Panel11", QStringLiteral("Bkg"), &OptionsEffets::Panel11, si));
    fond->addStretch();
    g->addLayout(fond, 3, 1, Qt::AlignTop);
    QHBoxLayout *reset = ligneReset(contenu, "AnnuleMotifBtn");
    g->setColumnStretch(1, 1);
    g->setRowStretch(4, 1);
    g->addLayout(reset, 5, 0, 1, 2);
    return contenu;
}

QWidget *TChoixImages::construitPageTramage()
{
    QWidget *p = page(m_pageControl1, "TabSheet4", QStringLiteral("- 4 -"), QStringLiteral("Floyd - Steinberg"));
    auto *contenu = new QWidget(p);
    auto *g = new QGridLayout(contenu);
    g->setContentsMargins(0, 0, 0, 0);
    const auto si = Condition([](const OptionsEffets &o) { return o.TramageCB; });
    g->addWidget(caseEffet(contenu, "TramageCB", QStringLiteral("Hatching"), &OptionsEffets::TramageCB), 0, 0);
    auto *opt = new QGroupBox(contenu);
    opt->setObjectName(QStringLiteral("OptComp"));
    radiosEffet(opt,
                {QStringLiteral("Hatching") + QStringLiteral(" FS"), QStringLiteral("   \"     \"    2x2"),
                 QStringLiteral("   \"     \"    3x3")},
                1, &OptionsEffets::OptComp, si);
    g->addWidget(opt, 1, 0, 2, 1);
    auto *couleurs = new QGridLayout;
    couleurs->addWidget(texte(QStringLiteral("Color 1"), contenu), 0, 0);
    couleurs->addWidget(couleurEffet(contenu, "Panel15", QStringLiteral("1"), &OptionsEffets::Panel15, si), 0, 1);
    couleurs->addWidget(texte(QStringLiteral("Bkg"), contenu), 1, 0);
    couleurs->addWidget(couleurEffet(contenu, "Panel12", QStringLiteral("Bkg"), &OptionsEffets::Panel12, si), 1, 1);
    couleurs->setColumnStretch(2, 1);
    g->addLayout(couleurs, 1, 1, Qt::AlignTop);
    QHBoxLayout *reset = ligneReset(contenu, "AnnuleTrameBtn");
    g->setColumnStretch(1, 1);
    g->setRowStretch(3, 1);
    g->addLayout(reset, 4, 0, 1, 2);
    return contenu;
}

QWidget *TChoixImages::construitPageFlouRadial()
{
    QWidget *p = page(m_pageControl1, "TabSheet5", QStringLiteral("- 5 -"), QStringLiteral("Radial Blur"));
    auto *contenu = new QWidget(p);
    auto *g = new QGridLayout(contenu);
    g->setContentsMargins(0, 0, 0, 0);
    const auto si = Condition([](const OptionsEffets &o) { return o.FRCB; });
    g->addWidget(caseEffet(contenu, "FRCB", QStringLiteral("Radial Blur"), &OptionsEffets::FRCB), 0, 0, 1, 3);
    g->addWidget(texte(QStringLiteral("Strength"), contenu), 1, 0);
    QSlider *rayon = curseurEffet(contenu, "RayonFRTB", 1, 100, &OptionsEffets::RayonFRTB, si);
    g->addWidget(rayon, 1, 1);
    g->addWidget(libelleEffet(contenu, "RayonFRLbl", rayon, nombre), 1, 2);
    g->addWidget(picker(contenu, "CenterFlouRImg", 1, &OptionsEffets::CenterFlouRImg,
                        QStringLiteral("Define Blur zone size.")),
                 0, 3, 3, 1, Qt::AlignTop);
    QHBoxLayout *reset = ligneReset(contenu, "AnnuleFRBtn");
    g->setColumnStretch(1, 1);
    g->setRowStretch(2, 1);
    g->addLayout(reset, 3, 0, 1, 4);
    return contenu;
}

QWidget *TChoixImages::construitPageZoom()
{
    QWidget *p = page(m_pageControl1, "TabSheet6", QStringLiteral("- 6 -"), QStringLiteral("Radial Zoom"));
    auto *contenu = new QWidget(p);
    auto *g = new QGridLayout(contenu);
    g->setContentsMargins(0, 0, 0, 0);
    g->setVerticalSpacing(2);
    const auto si = Condition([](const OptionsEffets &o) { return o.ZoomCB; });
    g->addWidget(caseEffet(contenu, "ZoomCB", QStringLiteral("Radial Zoom"), &OptionsEffets::ZoomCB), 0, 0, 1, 3);
    const auto ligne = [&](int r, const QString &titre, const char *nom, const char *nomLbl, int min, int max,
                           int OptionsEffets::*champ, std::function<QString(int)> valeur) {
        g->addWidget(texte(titre, contenu), r, 0);
        QSlider *s = curseurEffet(contenu, nom, min, max, champ, si);
        g->addWidget(s, r, 1);
        g->addWidget(libelleEffet(contenu, nomLbl, s, std::move(valeur)), r, 2);
    };
    ligne(1, QStringLiteral("Clear zone %"), "RNetTB", "RNetLbl", 1, 100, &OptionsEffets::RNetTB, nombre);
    ligne(2, QStringLiteral("Transition"), "SharpTB", "SharpLbl", 0, 1000, &OptionsEffets::SharpTB,
          [](int v) { return QString::number(v / 100.0, 'f', 2); });
    ligne(3, QStringLiteral("Inside streak"), "FlouIntTB", "FlouIntLbl", 0, 50, &OptionsEffets::FlouIntTB, nombre);
    ligne(4, QStringLiteral("Outside streak"), "FlouExtTB", "FlouExtLbl", 0, 50, &OptionsEffets::FlouExtTB, nombre);
    g->addWidget(picker(contenu, "CenterZoomImg", 2, &OptionsEffets::CenterZoomImg,
                        QStringLiteral("Define :\r\n- clear zone radius.\r\n- transition Clear - Zoom\r\n"
                                       "- outside streak\r\n- inside streak.")),
                 0, 3, 4, 1, Qt::AlignTop);
    QHBoxLayout *reset = ligneReset(contenu, "AnnuleZoomBtn");
    g->setColumnStretch(1, 1);
    g->setRowStretch(5, 1);
    g->addLayout(reset, 6, 0, 1, 4);
    return contenu;
}

QWidget *TChoixImages::construitCurseursCouleur()
{
    auto *boite = new QGroupBox(this);
    boite->setObjectName(QStringLiteral("CouleursPnl"));
    auto *g = new QGridLayout(boite);
    g->setContentsMargins(6, 4, 6, 4);
    g->setVerticalSpacing(2);
    int r = 0;
    const auto ligne = [&](QWidget *entete, const char *nom, const char *nomLbl, int min, int max,
                           int OptionsEffets::*champ) {
        g->addWidget(entete, r, 0);
        QSlider *s = curseurEffet(boite, nom, min, max, champ);
        g->addWidget(s, r, 1);
        g->addWidget(libelleEffet(boite, nomLbl, s, nombre), r, 2);
        ++r;
    };
    ligne(texte(QStringLiteral("Hue"), boite), "TeinteTb", "TeinteLbl", 0, 359, &OptionsEffets::TeinteTb);
    ligne(texte(QStringLiteral("Saturation"), boite), "SaturationTb", "SaturationLbl", -100, 100,
          &OptionsEffets::SaturationTb);
    ligne(texte(QStringLiteral("Luminance"), boite), "LuminanceTb", "LuminanceLbl", -100, 100,
          &OptionsEffets::LuminanceTb);
    const auto pastille = [&](const char *nom, QRgb couleur) {
        auto *l = new QLabel(boite);
        l->setObjectName(QString::fromLatin1(nom));
        QPixmap px(14, 14);
        px.fill(QColor::fromRgb(couleur));
        l->setPixmap(px);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    ligne(pastille("RedImg", qRgb(255, 0, 0)), "RTB", "RLbl", 0, 100, &OptionsEffets::RTB);
    ligne(pastille("GreenImg", qRgb(0, 128, 0)), "GTB", "GLbl", 0, 100, &OptionsEffets::GTB);
    ligne(pastille("BlueImg", qRgb(0, 0, 255)), "BTB", "BLbl", 0, 100, &OptionsEffets::BTB);
    ligne(texte(QStringLiteral("Contrast"), boite), "ContrasteTB", "ContrasteLbl", -100, 100,
          &OptionsEffets::ContrasteTB);
    g->setColumnStretch(1, 1);
    g->setRowStretch(r, 1);
    return boite;
}
