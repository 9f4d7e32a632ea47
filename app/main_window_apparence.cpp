// The window's look on the options page: the two form colours, the gradient
// direction, the swap box, the uniform look and the device skin; every change
// is kept in the options and the look applied again.
#include "app/orvandel_main_window.h"

#include "apercu/apparence_principale.h"
#include "apercu/preview_hp.h"
#include "app/panneau_couleur.h"
#include "resources/strings.h"
#include "theme/animation_pause.h"
#include "theme/prompts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kIndiceApparence = QStringLiteral("Orvandel Skin");

QGroupBox *groupeRadio(const QString &titre, const QString &nom, const QStringList &items, QButtonGroup *&groupe,
                       QWidget *parent)
{
    auto *boite = new QGroupBox(titre, parent);
    boite->setObjectName(nom);
    auto *ligne = new QHBoxLayout(boite);
    ligne->setContentsMargins(6, 2, 6, 2);
    groupe = new QButtonGroup(boite);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], boite);
        b->setObjectName(nom + QString::number(i));
        groupe->addButton(b, i);
        ligne->addWidget(b);
    }
    ligne->addStretch(1);
    return boite;
}

// Puts `nouveau` just before `repere` in whichever layout of its parent holds it.
bool insereAvant(QLayout *layout, QWidget *repere, QWidget *nouveau)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == repere) {
            if (auto *boite = qobject_cast<QBoxLayout *>(layout)) {
                boite->insertWidget(i, nouveau);
                return true;
            }
            return false;
        }
        if (QLayout *interne = item->layout(); interne && insereAvant(interne, repere, nouveau))
            return true;
    }
    return false;
}

} // namespace

QWidget *TOrvandel::construitApparence(QWidget *parent)
{
    auto *zone = new QWidget(parent);
    zone->setObjectName(QStringLiteral("ZoneApparence"));
    auto *colonne = new QVBoxLayout(zone);
    colonne->setContentsMargins(0, 0, 0, 0);

    auto *ligne = new QHBoxLayout;
    m_coulFormPnl = new PanneauCouleur(zone);
    m_coulFormPnl->setObjectName(QStringLiteral("CoulFormPnl"));
    m_coulFormSupDPnl = new PanneauCouleur(zone);
    m_coulFormSupDPnl->setObjectName(QStringLiteral("CoulFormSupDPnl"));
    for (PanneauCouleur *p : {m_coulFormPnl, m_coulFormSupDPnl}) {
        p->setFixedSize(42, 21);
        p->setToolTip(kIndiceApparence);
    }
    m_invCoulCB = new QCheckBox(QStringLiteral("Inv"), zone);
    m_invCoulCB->setObjectName(QStringLiteral("InvCoulCB"));
    m_invCoulCB->setToolTip(kIndiceApparence);
    QGroupBox *gradient = groupeRadio(QStringLiteral(" Gradient "), QStringLiteral("GradientRG"),
                                      {QStringLiteral("   /"), QStringLiteral("   \\"), QStringLiteral("   |")},
                                      m_gradientRG, zone);
    gradient->setToolTip(kIndiceApparence);
    m_ficheUnieCB = new QCheckBox(QStringLiteral("Page with a uniform color"), zone);
    m_ficheUnieCB->setObjectName(QStringLiteral("FicheUnieCB"));
    m_ficheUnieCB->setToolTip(kIndiceApparence);
    auto *label24 = new QLabel(QStringLiteral("Click here for change"), zone);
    label24->setObjectName(QStringLiteral("Label24"));
    ligne->addWidget(m_ficheUnieCB);
    ligne->addWidget(label24);
    ligne->addWidget(m_coulFormPnl);
    ligne->addWidget(m_coulFormSupDPnl);
    ligne->addWidget(m_invCoulCB);
    ligne->addWidget(gradient, 1);
    colonne->addLayout(ligne);
    // The uniform look hides these: their place stays, so nothing moves.
    for (QWidget *w : std::initializer_list<QWidget *>{m_coulFormPnl, m_coulFormSupDPnl, m_invCoulCB, gradient}) {
        QSizePolicy politique = w->sizePolicy();
        politique.setRetainSizeWhenHidden(true);
        w->setSizePolicy(politique);
    }

    auto *skinPrev = new QLabel(QStringLiteral("Skins (") + QStringLiteral("Preview") + QStringLiteral(")"), zone);
    skinPrev->setObjectName(QStringLiteral("SkinPrevLbl"));
    colonne->addWidget(skinPrev);
    colonne->addWidget(groupeRadio(QStringLiteral("Skin"), QStringLiteral("SkinRG"),
                                   {QStringLiteral("HP"), QStringLiteral("QTek"), QStringLiteral("Acer"),
                                    QStringLiteral("Axim"), QStringLiteral("HP col.")},
                                   m_skinRG, zone));

    connect(m_coulFormPnl, &PanneauCouleur::clicked, this, [this] { CoulFormPnlClick(m_coulFormPnl); });
    connect(m_coulFormSupDPnl, &PanneauCouleur::clicked, this, [this] { CoulFormPnlClick(m_coulFormSupDPnl); });
    connect(m_gradientRG, &QButtonGroup::idClicked, this, [this](int id) {
        m_ctx.options.GradientRG = id;
        GradientRGClick();
    });
    connect(m_invCoulCB, &QCheckBox::clicked, this, &TOrvandel::InvCoulCBClick);
    connect(m_ficheUnieCB, &QCheckBox::clicked, this, &TOrvandel::FicheUnieCBClick);
    return zone;
}

void TOrvandel::afficheApparence()
{
    const QSignalBlocker b1(m_gradientRG), b2(m_skinRG), b3(m_ficheUnieCB);
    m_coulFormPnl->setCouleur(m_ctx.options.CouleurFormInfG);
    m_coulFormSupDPnl->setCouleur(m_ctx.options.CouleurFormSupD);
    if (QAbstractButton *b = m_gradientRG->button(m_ctx.options.GradientRG))
        b->setChecked(true);
    if (QAbstractButton *b = m_skinRG->button(m_ctx.options.Skin))
        b->setChecked(true);
    m_ficheUnieCB->setChecked(m_ctx.options.CoulFormUni);
}

void TOrvandel::construitEtiquettesRelief()
{
    // The embossed "Theme Format " before both format labels.
    const std::pair<QLabel *, const char *> places[] = {{m_fmtActuelLbl, "PaintPanel1"},
                                                         {m_actualFmtLbl, "PaintPanel2"}};
    for (int i = 0; i < 2; ++i) {
        QLabel *repere = places[i].first;
        auto *etiquette = new QLabel(repere->parentWidget());
        etiquette->setObjectName(QLatin1String(places[i].second));
        QLayout *layout = repere->parentWidget() ? repere->parentWidget()->layout() : nullptr;
        if (!layout || !insereAvant(layout, repere, etiquette))
            etiquette->hide();
        m_etiquettesRelief[i] = etiquette;
    }
}

void TOrvandel::MajEtiquettesRelief()
{
    const QImage image = DessineEtiquetteRelief(
        chaineRes(65062), m_ctx.CouleursSysteme[LegendeActive],
        CouleurEtiquetteRelief(m_ctx.CouleursSysteme, m_creer && m_creer->isEnabled()));
    for (QLabel *etiquette : m_etiquettesRelief)
        if (etiquette) {
            etiquette->setPixmap(QPixmap::fromImage(image));
            etiquette->setFixedSize(image.size());
        }
}

void TOrvandel::crochetApparence()
{
    if (!m_etiquettesRelief[0])
        construitEtiquettesRelief();
    MajEtiquettesRelief();
    afficheApparence();
    AppliqueApparence(this, m_ctx.options, m_ctx.CouleursSysteme, m_ctx.apparence);
    // The package-open dialog reads the look from the window that opens it.
    setProperty("apparenceUniforme", m_ctx.apparence.uniforme);
    MajOnglets();
}

void TOrvandel::crochetLieSkin()
{
    // Bound only now, so that the index read from the options loads no skin.
    connect(m_skinRG, &QButtonGroup::idClicked, this, [this](int) { SkinRGClick(); });
}

void TOrvandel::CoulFormPnlClick(PanneauCouleur *panneau)
{
    TColor couleur = panneau->couleur();
    if (m_pipetteSBtn && m_pipetteSBtn->isChecked() && m_pipette) {
        couleur = m_pipette->couleur();
    } else {
        if (!m_ctx.prompts)
            return;
        AnimationPauseGuard pause(&m_ctx.animation);
        const std::optional<TColor> choisie = m_ctx.prompts->chooseColor(couleur);
        if (!choisie)
            return;
        couleur = *choisie;
    }
    panneau->setCouleur(couleur);
    m_ctx.options.CouleurFormInfG = m_coulFormPnl->couleur();
    m_ctx.options.CouleurFormSupD = m_coulFormSupDPnl->couleur();
    GradientRGClick();
}

void TOrvandel::GradientRGClick()
{
    AppliqueApparence(this, m_ctx.options, m_ctx.CouleursSysteme, m_ctx.apparence);
    MajOnglets();
}

void TOrvandel::InvCoulCBClick()
{
    std::swap(m_ctx.options.CouleurFormInfG, m_ctx.options.CouleurFormSupD);
    m_coulFormPnl->setCouleur(m_ctx.options.CouleurFormInfG);
    m_coulFormSupDPnl->setCouleur(m_ctx.options.CouleurFormSupD);
    GradientRGClick();
}

void TOrvandel::FicheUnieCBClick()
{
    m_ctx.options.CoulFormUni = m_ficheUnieCB->isChecked();
    AppliqueApparence(this, m_ctx.options, m_ctx.CouleursSysteme, m_ctx.apparence);
    setProperty("apparenceUniforme", m_ctx.apparence.uniforme);
    MajOnglets();
}

void TOrvandel::SkinRGClick()
{
    const int index = m_skinRG->checkedId();
    if (index < 0 || index >= NombreSkins)
        return;
    m_ctx.options.Skin = index;
    if (auto *apercu = findChild<TPreviewHP *>(QStringLiteral("PreviewHP"), Qt::FindDirectChildrenOnly))
        apercu->changeSkin(index);
}
