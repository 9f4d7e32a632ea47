#include "tools/texte_sur_image.h"

#include "theme/image_et_copie.h"
#include "theme/fichier_ordinaire.h"
#include "ui/app_context.h"
#include "ui/charge_image_res.h"
#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "theme/animation_pause.h"
#include "theme/arrondi.h"
#include "theme/prompts.h"
#include "tools/charger_bitmap.h"
#include "tools/couleur_contraste.h"
#include "tools/drapeaux_fichier_image.h"
#include "tools/encodeurs_image.h"
#include "tools/hls.h"
#include "tools/teintes_images.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QCheckBox>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <memory>
#include <vector>

namespace {

constexpr QSize TaillePortrait{240, 320};
constexpr QSize TaillePaysage{320, 240};
constexpr int TailleDecalage = 31;
constexpr QSize TailleBouton{24, 24};
// The picture panel holds either display; the strip panel the one-line strip.
constexpr QSize TailleZoneImage{320, 320};
constexpr int HauteurPanneauTexte = 60;
// The thumbnails by tag: 0 Today portrait, 1 Today landscape, 2 Start portrait, 3 Start landscape.
constexpr const char *NomsMiniatures[4] = {"MinTD", "MinTDL", "MinST", "MinSTL"};
constexpr const char *NomsPanneauxMin[4] = {"PanelTD", "PanelTDL", "PanelST", "PanelSTL"};
// Slots of the shared hue analysis for those tags.
constexpr int EmplacementTeintes[4] = {TeintesImages::TodayPortrait, TeintesImages::TodayPaysage,
                                       TeintesImages::StartPortrait, TeintesImages::StartPaysage};

QString titre()
{
    return QStringLiteral("Add text on images");
}

void peint(QFrame *panneau, TColor c)
{
    QPalette pal = panneau->palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(c.toQRgb()));
    panneau->setPalette(pal);
}

QFrame *panneauCouleur(QWidget *parent, const char *nom, const QString &hint, QSize taille)
{
    auto *p = new QFrame(parent);
    p->setObjectName(QLatin1String(nom));
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(QFrame::Sunken);
    p->setAutoFillBackground(true);
    p->setFixedSize(taille);
    p->setToolTip(hint);
    p->setCursor(Qt::PointingHandCursor);
    return p;
}

void gardeLaPlace(QWidget *w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

// The picture fitted into a thumbnail (never enlarged, centred) over white.
QImage miniature(const QImage &image, QSize taille)
{
    QImage m(taille, QImage::Format_ARGB32);
    m.fill(Qt::white);
    QSize s = image.size();
    if (s.width() > taille.width() || s.height() > taille.height())
        s.scale(taille, Qt::KeepAspectRatio);
    QPainter p(&m);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint((taille.width() - s.width()) / 2, (taille.height() - s.height()) / 2), s), image);
    return m;
}

} // namespace

std::array<QString, 4> TTexteSurImg::NomsFichiers(int format, bool useStartImage)
{
    std::array<QString, 4> n;
    if (format == 4 || format == 5) {
        const QString p = format == 4 ? QStringLiteral("_240_320.gif") : QStringLiteral("_480_640.gif");
        const QString l = format == 4 ? QStringLiteral("_320_240.gif") : QStringLiteral("_640_480.gif");
        n = {QStringLiteral("tdywater") + p, QStringLiteral("tdywater") + l, QStringLiteral("stwater") + p,
             QStringLiteral("stwater") + l};
    } else {
        n = {QStringLiteral("tdywater.gif"), QString(), QStringLiteral("stwater.gif"), QString()};
    }
    if (useStartImage)
        n[0] = n[1] = QString();
    return n;
}

TTexteSurImg::TTexteSurImg(AppContext &ctx, OptionsTexteSurImg &options, TColor couleurPipette, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_opt(options), m_prompts(*ctx.prompts), m_pipette(couleurPipette)
{
    setObjectName(QStringLiteral("TexteSurImg"));
    setWindowTitle(titre());
    m_minuterie = new QTimer(this);
    m_minuterie->setSingleShot(true);
    m_minuterie->setInterval(40);
    connect(m_minuterie, &QTimer::timeout, this, &TTexteSurImg::rendu);
    construit();
}

TTexteSurImg::~TTexteSurImg() = default;

void TTexteSurImg::construit()
{
    auto *principal = new QHBoxLayout(this);
    principal->addLayout(construitColonneImage());
    principal->addLayout(construitColonneTexte());
    // The window keeps its size whatever the picture, the writing direction
    // or the texts shown: the displays and the strip sit in fixed panels.
    m_tailleFixe = sizeHint();
    setFixedSize(m_tailleFixe);
}

QToolButton *TTexteSurImg::nouveauBouton(const char *nom, const QString &image, const QString &hint, bool basculant)
{
    auto *b = new QToolButton(this);
    b->setObjectName(QLatin1String(nom));
    b->setIcon(IconeRes(image + QStringLiteral(".png")));
    b->setIconSize(TailleBouton);
    b->setToolTip(hint);
    b->setCheckable(basculant);
    b->setAutoRaise(false);
    gardeLaPlace(b);
    return b;
}

// A picture standing beside a control (the letters, the shadow, the offset).
QLabel *TTexteSurImg::nouvelleImage(const char *nom, const QString &image)
{
    auto *l = new QLabel(this);
    l->setObjectName(QLatin1String(nom));
    l->setPixmap(QPixmap::fromImage(ChargeImageRes(image + QStringLiteral(".png"))));
    l->setFixedSize(TailleBouton);
    return l;
}

QLabel *TTexteSurImg::nouveauLibelle(const char *nom, const QString &texte)
{
    auto *l = new QLabel(texte, this);
    l->setObjectName(QLatin1String(nom));
    return l;
}

QSlider *TTexteSurImg::nouvelleGlissiere(const char *nom, int valeur, const QString &hint)
{
    auto *s = new QSlider(Qt::Horizontal, this);
    s->setObjectName(QLatin1String(nom));
    s->setRange(0, 255);
    s->setValue(valeur);
    s->setToolTip(hint);
    connect(s, &QSlider::valueChanged, this, &TTexteSurImg::Changement);
    return s;
}

// A row of exclusive buttons named prefixe + number + suffixe, each calling action with its number.
QHBoxLayout *TTexteSurImg::rangeeExclusive(std::span<QToolButton *> boutons, const char *prefixe, const char *suffixe,
                                           const QStringList &images, const QStringList &hints,
                                           const std::function<void(int)> &action)
{
    auto *g = new QButtonGroup(this);
    g->setExclusive(true);
    auto *ligne = new QHBoxLayout;
    for (int i = 0; i < int(boutons.size()); ++i) {
        const QByteArray nom = QByteArray(prefixe) + QByteArray::number(i) + suffixe;
        boutons[i] = nullptr;
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(nom));
        b->setIcon(IconeRes(images.value(i) + QStringLiteral(".png")));
        b->setIconSize(TailleBouton);
        b->setToolTip(hints.value(i, hints.value(0)));
        b->setCheckable(true);
        b->setProperty("Tag", i);
        g->addButton(b, i);
        boutons[i] = b;
        ligne->addWidget(b);
        connect(b, &QToolButton::clicked, this, [action, i] { action(i); });
    }
    return ligne;
}

// Left: the thumbnails, the picture and its information.
QVBoxLayout *TTexteSurImg::construitColonneImage()
{
    auto *gauche = new QVBoxLayout;
    gauche->addLayout(construitMiniatures());
    auto *etiquettes = new QHBoxLayout;
    etiquettes->addWidget(nouveauLibelle("TDLbl", QStringLiteral("Today")));
    etiquettes->addWidget(nouveauLibelle("STLbl", QStringLiteral("Start")));
    gauche->addLayout(etiquettes);

    // Both displays in one panel of fixed size, each centred in it.
    auto *zone = new QWidget(this);
    zone->setObjectName(QStringLiteral("ImagePnl"));
    zone->setFixedSize(TailleZoneImage);
    Image1 = new QLabel(zone);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(QRect(QPoint((TailleZoneImage.width() - TaillePortrait.width()) / 2, 0), TaillePortrait));
    Image2 = new QLabel(zone);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(QRect(QPoint(0, (TailleZoneImage.height() - TaillePaysage.height()) / 2), TaillePaysage));
    Image2->hide();
    for (QLabel *im : {Image1, Image2}) {
        im->setMouseTracking(true);
        im->installEventFilter(this);
    }
    gauche->addWidget(zone);

    auto *infos = new QFrame(this);
    infos->setObjectName(QStringLiteral("Panel10"));
    infos->setToolTip(QStringLiteral("Current image Infos"));
    auto *infosL = new QVBoxLayout(infos);
    NomFicLbl = nouveauLibelle("NomFicLbl");
    TypeImgLbl = nouveauLibelle("TypeImgLbl");
    PixelsCarLbl = nouveauLibelle("PixelsCarLbl");
    EspaceCouleurLbl = nouveauLibelle("EspaceCouleurLbl");
    for (QLabel *l : {NomFicLbl, TypeImgLbl, PixelsCarLbl, EspaceCouleurLbl})
        infosL->addWidget(l);
    gauche->addWidget(infos);
    gauche->addWidget(nouveauLibelle("AideLbl",
                                     QStringLiteral("Move Focus Rect with left button\r\n  - wheel (1 pixel)\r\n"
                                                    "  - wheel + SHIFT (5 pixel)\r\n  - wheel + CTRL  (15 pixels)")));
    return gauche;
}

// The four thumbnails, each over its colour panel.
QHBoxLayout *TTexteSurImg::construitMiniatures()
{
    auto *minis = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto *col = new QVBoxLayout;
        auto *m = nouveauLibelle(NomsMiniatures[i]);
        m->setToolTip(QStringLiteral("Select image"));
        m->setFixedSize(i % 2 ? QSize(80, 64) : QSize(64, 80));
        m->setCursor(Qt::PointingHandCursor);
        m->installEventFilter(this);
        gardeLaPlace(m);
        m_miniatures[i] = m;
        auto *p
            = panneauCouleur(this, NomsPanneauxMin[i],
                             QStringLiteral("Click ->  Letters Color\r\nShift+Click : Shadow Color"), QSize(24, 12));
        p->installEventFilter(this);
        gardeLaPlace(p);
        m_panneauxMin[i] = p;
        col->addWidget(m);
        col->addWidget(p);
        minis->addLayout(col);
    }
    return minis;
}

// Right: the text, its strip and every option.
QVBoxLayout *TTexteSurImg::construitColonneTexte()
{
    auto *droite = new QVBoxLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TTexteSurImg::Edit1Change);
    droite->addWidget(Edit1);
    // The strip, centred in a panel of fixed height (from its top-left
    // corner, cut, when it is larger).
    m_panneauTexte = new QFrame(this);
    m_panneauTexte->setObjectName(QStringLiteral("TextePnl"));
    m_panneauTexte->setFixedHeight(HauteurPanneauTexte);
    m_panneauTexte->setMinimumWidth(TailleZoneImage.width());
    m_panneauTexte->installEventFilter(this);
    TexteImg = new QLabel(m_panneauTexte);
    TexteImg->setObjectName(QStringLiteral("TexteImg"));
    droite->addWidget(m_panneauTexte);
    construitPolice(droite);
    construitCouleurs(droite);
    construitJustificationEtDegrades(droite);
    construitEffets(droite);
    construitFormesFond(droite);
    construitDecalage(droite);
    construitSauvegarde(droite);
    droite->addStretch(1);
    return droite;
}

void TTexteSurImg::construitPolice(QVBoxLayout *droite)
{
    auto *police = new QHBoxLayout;
    FonteSBtn = nouveauBouton("FonteSBtn", QStringLiteral("FONTE"), QStringLiteral("Change Font"), false);
    connect(FonteSBtn, &QToolButton::clicked, this, &TTexteSurImg::FonteSBtnClick);
    FonteNomLbl = nouveauLibelle("FonteNomLbl");
    FonteNomLbl->setToolTip(QStringLiteral("Current Font"));
    police->addWidget(FonteSBtn);
    police->addWidget(FonteNomLbl, 1);
    ExempleImg = nouveauLibelle("ExempleImg");
    ExempleImg->setFixedSize(40, 40);
    police->addWidget(ExempleImg);
    droite->addLayout(police);
}

// Colours and alphas.
void TTexteSurImg::construitCouleurs(QVBoxLayout *droite)
{
    auto *couleurs = new QGridLayout;
    const char *nomsPanneaux[4] = {"LettrePnl", "OmbrePnl", "FondPnl", "FondPnl2"};
    const QString hintsPanneaux[4] = {QStringLiteral("Letters Color"), QStringLiteral("Shadow Color"),
                                      QStringLiteral("Background Color"), QStringLiteral("Background Color")};
    for (int i = 0; i < 4; ++i) {
        m_panneauxCouleur[i] = panneauCouleur(this, nomsPanneaux[i], hintsPanneaux[i], QSize(32, 20));
        m_panneauxCouleur[i]->installEventFilter(this);
    }
    Transp1TB = nouvelleGlissiere("Transp1TB", 255, QStringLiteral("Letters transparency level 0 - 255"));
    Transp2TB = nouvelleGlissiere("Transp2TB", 64, QStringLiteral("Shadow transparency level 0 - 255"));
    FondTB = nouvelleGlissiere("FondTB", 64, QStringLiteral("Background transparency level 0 - 255"));
    InvSBtn = nouveauBouton("InvSBtn", QStringLiteral("INVLETOMB"),
                            QStringLiteral("Permutate Letters Color with Shadow Color"), false);
    connect(InvSBtn, &QToolButton::clicked, this, &TTexteSurImg::InvBtnClick);
    InvFondSB = nouveauBouton("InvFondSB", QStringLiteral("INVFOND"), QStringLiteral("Background"), false);
    connect(InvFondSB, &QToolButton::clicked, this, &TTexteSurImg::InvFondSBClick);
    // The run-long states follow the controls.
    connect(Transp1TB, &QSlider::valueChanged, this, [this](int v) { m_opt.alphaLettre = v; });
    connect(Transp2TB, &QSlider::valueChanged, this, [this](int v) { m_opt.alphaOmbre = v; });
    couleurs->addWidget(m_panneauxCouleur[0], 0, 0);
    couleurs->addWidget(nouvelleImage("LettreImg", QStringLiteral("LETTREIMG")), 0, 1);
    couleurs->addWidget(Transp1TB, 0, 2);
    couleurs->addWidget(InvSBtn, 0, 3, 2, 1);
    couleurs->addWidget(m_panneauxCouleur[1], 1, 0);
    couleurs->addWidget(nouvelleImage("OmbreImg", QStringLiteral("OMBREIMG")), 1, 1);
    couleurs->addWidget(Transp2TB, 1, 2);
    couleurs->addWidget(m_panneauxCouleur[2], 2, 0);
    couleurs->addWidget(FondTB, 2, 2);
    couleurs->addWidget(InvFondSB, 2, 3, 2, 1);
    couleurs->addWidget(m_panneauxCouleur[3], 3, 0);
    droite->addLayout(couleurs);
}

// Justification, writing direction, gradients.
void TTexteSurImg::construitJustificationEtDegrades(QVBoxLayout *droite)
{
    auto *justif = new QHBoxLayout;
    auto *g = new QButtonGroup(this);
    const char *noms[3] = {"GJSBtn", "CJSBtn", "DJSBtn"};
    const QString images[3] = {QStringLiteral("JUSTIFYL"), QStringLiteral("JUSTIFYC"), QStringLiteral("JUSTIFYR")};
    const QString hints[3]
        = {QStringLiteral("Left Justify"), QStringLiteral("Center"), QStringLiteral("Right Justify")};
    for (int i = 0; i < 3; ++i) {
        m_justif[i] = nouveauBouton(noms[i], images[i], hints[i], true);
        m_justif[i]->setProperty("Tag", i);
        g->addButton(m_justif[i], i);
        justif->addWidget(m_justif[i]);
        connect(m_justif[i], &QToolButton::clicked, this, [this, i] {
            m_opt.justification = i;
            Edit1Change();
        });
    }
    droite->addLayout(justif);

    auto *ecriture = new QFrame(this);
    ecriture->setObjectName(QStringLiteral("Panel6"));
    ecriture->setToolTip(QStringLiteral("Text Orientation"));
    ecriture->setLayout(rangeeExclusive(m_ecriture, "Ec", "SBtn", {"EC0", "EC1", "EC2", "EC3"},
                                        {QStringLiteral("Text Orientation")}, [this](int i) { EcritureClick(i); }));
    droite->addWidget(ecriture);

    droite->addLayout(rangeeExclusive(
        m_degrades, "Grad", "SBtn", {"GR0", "GR1", "GR2", "GR3", "GR4"},
        {QStringLiteral("Letters with shadow"), QStringLiteral("Letters with Gradient Top G - Bottom D"),
         QStringLiteral("Letters with Gradient Top - Bottom"), QStringLiteral("Letters with Gradient Bottom G - Top D"),
         QStringLiteral("Letters with Centered Gradient")},
        [this](int i) { BrossesClick(i); }));
}

// Effects: outline, mirror, fade, perspective and its four kinds, gamma.
void TTexteSurImg::construitEffets(QVBoxLayout *droite)
{
    auto *effets = new QHBoxLayout;
    OutlineSB = nouveauBouton("OutlineSB", QStringLiteral("OUTLINE"), QString(), true);
    connect(OutlineSB, &QToolButton::clicked, this, &TTexteSurImg::OutlineSBClick);
    connect(OutlineSB, &QToolButton::toggled, this, [this](bool c) { m_opt.contour = c; });
    ReflectSB = nouveauBouton("ReflectSB", QStringLiteral("MIROIRX"), QStringLiteral("Mirror / X"), true);
    connect(ReflectSB, &QToolButton::clicked, this, &TTexteSurImg::ReflectSBClick);
    AttenueSBtn = nouveauBouton("AttenueSBtn", QStringLiteral("ATTENUE"),
                                QStringLiteral("More transparency in the letters bottom"), true);
    connect(AttenueSBtn, &QToolButton::clicked, this, &TTexteSurImg::Changement);
    AttenueSBtn->hide();
    PerspectiveSB
        = nouveauBouton("PerspectiveSB", QStringLiteral("PERSPECTIVE"), QStringLiteral("Letters in perspective"), true);
    connect(PerspectiveSB, &QToolButton::clicked, this, &TTexteSurImg::PerspectiveSBClick);
    GammaCorrCB = new QCheckBox(QStringLiteral("Gamma"), this);
    GammaCorrCB->setObjectName(QStringLiteral("GammaCorrCB"));
    connect(GammaCorrCB, &QCheckBox::clicked, this, [this](bool c) {
        m_opt.gamma = c;
        Changement();
    });
    for (QWidget *w : {static_cast<QWidget *>(OutlineSB), static_cast<QWidget *>(ReflectSB),
                       static_cast<QWidget *>(AttenueSBtn), static_cast<QWidget *>(PerspectiveSB),
                       static_cast<QWidget *>(GammaCorrCB)})
        effets->addWidget(w);
    droite->addLayout(effets);
    auto *persp = rangeeExclusive(m_persp, "Persp", "SB", {"PERSP1", "PERSP2", "PERSP3", "PERSP4"},
                                  {QStringLiteral("Change perspective type")}, [this](int i) {
                                      m_opt.typeDistorsion = i;
                                      Changement();
                                  });
    // The distortion buttons are numbered from 1.
    for (int i = 0; i < 4; ++i) {
        m_persp[i]->setObjectName(QStringLiteral("Persp%1SB").arg(i + 1));
        gardeLaPlace(m_persp[i]);
        m_persp[i]->hide();
    }
    droite->addLayout(persp);
}

// Background shapes (each toggles; none down means no background) and gradients.
void TTexteSurImg::construitFormesFond(QVBoxLayout *droite)
{
    auto *formes = new QHBoxLayout;
    const char *nomsFormes[3] = {"FCarreSB", "FCercleSB", "FRoundSb"};
    const QString imagesFormes[3] = {QStringLiteral("FCARRE"), QStringLiteral("FCERCLE"), QStringLiteral("FROUND")};
    auto *gFormes = new QButtonGroup(this);
    gFormes->setExclusive(false);
    for (int i = 0; i < 3; ++i) {
        m_formes[i] = nouveauBouton(nomsFormes[i], imagesFormes[i], QStringLiteral("Background"), true);
        m_formes[i]->setProperty("Tag", i);
        formes->addWidget(m_formes[i]);
        connect(m_formes[i], &QToolButton::clicked, this, [this, i](bool c) { FormeFondSBClick(i, c); });
    }
    TranspLFSB = nouveauBouton("TranspLFSB", QStringLiteral("TRANSPLF"),
                               QStringLiteral("Letters transparency follows or not Background transparency"), true);
    TranspLFSB->setEnabled(false);
    connect(TranspLFSB, &QToolButton::clicked, this, &TTexteSurImg::Changement);
    formes->addWidget(TranspLFSB);
    droite->addLayout(formes);
    auto *gradFond = new QHBoxLayout;
    const char *nomsGradFond[5] = {"FHSB", "FVSB", "FFSB", "FBSB", "FCSB"};
    const char *imagesGradFond[5] = {"FH", "FV", "FF", "FB", "FC"};
    auto *gGradFond = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        m_degradesFond[i]
            = nouveauBouton(nomsGradFond[i], QLatin1String(imagesGradFond[i]), QStringLiteral("Background"), true);
        m_degradesFond[i]->setProperty("Tag", i);
        gGradFond->addButton(m_degradesFond[i], i);
        gradFond->addWidget(m_degradesFond[i]);
        connect(m_degradesFond[i], &QToolButton::clicked, this, [this, i] { FondGradientClick(i); });
    }
    droite->addLayout(gradFond);
}

// Offset picker.
void TTexteSurImg::construitDecalage(QVBoxLayout *droite)
{
    auto *decalage = new QHBoxLayout;
    ShiftImg = nouveauLibelle("ShiftImg");
    ShiftImg->setFixedSize(TailleDecalage, TailleDecalage);
    ShiftImg->installEventFilter(this);
    auto *decCol = new QVBoxLayout;
    DecLbl = nouveauLibelle("DecLbl", QStringLiteral("Shift Letter - Shadow"));
    XYLbl = nouveauLibelle("XYLbl", QStringLiteral("0 x 0"));
    decCol->addWidget(DecLbl);
    decCol->addWidget(XYLbl);
    decCol->addWidget(nouveauLibelle("AideDecLbl", QStringLiteral("Move cursor L Button (Wheel X (+Shift Y)")));
    decalage->addWidget(nouvelleImage("DecImg", QStringLiteral("DECIMG")));
    decalage->addWidget(ShiftImg);
    decalage->addLayout(decCol, 1);
    droite->addLayout(decalage);
}

// Saving: the file type, the JPEG quality, Save and Quit.
void TTexteSurImg::construitSauvegarde(QVBoxLayout *droite)
{
    auto *sauver = new QGroupBox(TitreTypeSauver(), this);
    sauver->setObjectName(QStringLiteral("TypeSauverRG"));
    auto *sauverL = new QVBoxLayout(sauver);
    // The format chosen here lasts the run; before that, the chooser's.
    const int choix = std::clamp(m_opt.typeSauver >= 0 ? m_opt.typeSauver : m_ctx.options.TypeImgSauver, 0,
                                 NombreTypesSauver - 1);
    for (int i = 0; i < NombreTypesSauver; ++i) {
        auto *r = new QRadioButton(ItemTypeSauver(TypeSauver(i)), sauver);
        r->setObjectName(QStringLiteral("TypeSauverRG%1").arg(i));
        r->setToolTip(HintTypeSauver(TypeSauver(i)));
        r->setChecked(i == choix);
        m_typesSauver[i] = r;
        sauverL->addWidget(r);
        connect(r, &QRadioButton::clicked, this, [this, i] { m_opt.typeSauver = i; });
    }
    QualJpgTB = new QSlider(Qt::Horizontal, this);
    QualJpgTB->setObjectName(QStringLiteral("QualJpgTB"));
    QualJpgTB->setRange(10, 100);
    QualJpgTB->setValue(100);
    QualJpgTB->setToolTip(HintQualiteJpeg());
    connect(QualJpgTB, &QSlider::valueChanged, this, [this](int v) { m_opt.qualiteJpeg = v; });
    sauverL->addWidget(QualJpgTB);
    droite->addWidget(sauver);

    auto *fin = new QHBoxLayout;
    SauverSBtn = nouveauBouton("SauverSBtn", QStringLiteral("SAUVEIMG"), QStringLiteral("Save current image with text"),
                               false);
    SauverSBtn->setText(QStringLiteral("Save"));
    SauverSBtn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(SauverSBtn, &QToolButton::clicked, this, &TTexteSurImg::SauverBtnClick);
    QuitterSBtn
        = nouveauBouton("QuitterSBtn", QStringLiteral("QUITTEIMG"), QStringLiteral("Quit (but don't save !)"), false);
    connect(QuitterSBtn, &QToolButton::clicked, this, &TTexteSurImg::close);
    fin->addWidget(SauverSBtn);
    fin->addWidget(QuitterSBtn);
    droite->addLayout(fin);
}

QLabel *TTexteSurImg::affichage() const
{
    return (m_index == 1 || m_index == 3) ? Image2 : Image1;
}

void TTexteSurImg::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TTexteSurImg::paintEvent(QPaintEvent *e)
{
    QDialog::paintEvent(e);
    // FormPaint: the main window's background picture, in its normal look,
    // over the whole window: drawn for this window's size as the main window
    // draws its own, or else the main window's picture scaled to it.
    const ApparenceFenetre &a = m_ctx.apparence;
    if (a.uniforme) {
        m_fond = QImage();
        return;
    }
    if (m_fond.size() != size()) {
        if (a.FondPourTaille)
            m_fond = a.FondPourTaille(size());
        else if (!a.BmpFond.isNull())
            m_fond = a.BmpFond.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        else
            m_fond = QImage();
    }
    if (m_fond.isNull())
        return;
    QPainter p(this);
    p.setClipRegion(e->region());
    p.drawImage(rect(), m_fond);
}

void TTexteSurImg::FormShow()
{
    m_index = -1;
    const bool useStart = m_ctx.document.parametres().UseStartImageDefini;
    const auto noms = NomsFichiers(m_ctx.document.format().FormatTheme, useStart);
    for (int i = 0; i < 4; ++i)
        m_fichiers[i] = noms[i].isEmpty() ? QString() : QDir(m_ctx.dossiers.DossierAppli).filePath(noms[i]);
    chargeMiniatures();
    {
        const QSignalBlocker b(Edit1);
        Edit1->clear();
    }
    m_justif[std::clamp(m_opt.justification, 0, 2)]->setChecked(true);
    m_ecriture[std::clamp(m_opt.ecriture, 0, 3)]->setChecked(true);
    m_degrades[std::clamp(m_opt.modeDegrade, 0, 4)]->setChecked(true);
    m_degradesFond[std::clamp(m_opt.degradeFond, 0, 4)]->setChecked(true);
    OutlineSB->setVisible(m_opt.modeDegrade == 0);
    {
        // The switches as the user left them at the last opening.
        const QSignalBlocker b1(Transp1TB), b2(Transp2TB), b3(OutlineSB), b4(QualJpgTB);
        Transp1TB->setValue(m_opt.alphaLettre);
        Transp2TB->setValue(m_opt.alphaOmbre);
        OutlineSB->setChecked(m_opt.contour && m_opt.modeDegrade == 0);
        QualJpgTB->setValue(m_opt.qualiteJpeg);
        if (m_opt.typeSauver >= 0)
            m_typesSauver[std::clamp(m_opt.typeSauver, 0, NombreTypesSauver - 1)]->setChecked(true);
    }
    majDecLbl();
    AffNomFonte();
    peintPanneaux();
    m_opt.dx = m_opt.dy = 0;
    MajCouleurContraste();
    MiniaturesClick(useStart ? 2 : 0);
    CentreDecalage();
}

void TTexteSurImg::chargeMiniatures()
{
    for (int i = 0; i < 4; ++i) {
        QImage image;
        if (!m_fichiers[i].isEmpty())
            image = ChargerBitmap32GDIP(m_fichiers[i]).value_or(QImage());
        QLabel *m = m_miniatures[i];
        QFrame *p = m_panneauxMin[i];
        if (image.isNull()) {
            m->hide();
            p->hide();
            continue;
        }
        m->setPixmap(QPixmap::fromImage(miniature(image, m->size())));
        m->show();
        TeintesImages teintes;
        teintes.analyse(EmplacementTeintes[i], image);
        const auto c = CouleurDominante(teintes.TeinteImage[EmplacementTeintes[i]], teintes.PicImage[EmplacementTeintes[i]]);
        p->setVisible(c.has_value());
        if (c) {
            p->setProperty("Couleur", uint(c->value()));
            peint(p, *c);
        }
    }
}

void TTexteSurImg::MiniaturesClick(int index)
{
    if (index == m_index || index < 0 || index > 3)
        return;
    {
        std::vector<std::unique_ptr<QSignalBlocker>> bloque;
        for (QObject *o : std::initializer_list<QObject *>{PerspectiveSB, ReflectSB, AttenueSBtn, TranspLFSB, FondTB,
                                                          GammaCorrCB, m_formes[0], m_formes[1], m_formes[2],
                                                          m_persp[0]})
            bloque.push_back(std::make_unique<QSignalBlocker>(o));
        PerspectiveSB->setChecked(false);
        ReflectSB->setChecked(false);
        AttenueSBtn->setChecked(false);
        AttenueSBtn->hide();
        for (QToolButton *b : m_persp)
            b->hide();
        m_opt.typeDistorsion = 0;
        m_persp[0]->setChecked(true);
        for (QToolButton *b : m_formes)
            b->setChecked(false);
        m_opt.fond = false;
        m_opt.formeFond = 0;
        FondTB->setValue(64);
        TranspLFSB->setChecked(false);
        TranspLFSB->setEnabled(false);
        GammaCorrCB->setChecked(false);
        m_opt.gamma = false;
    }
    m_index = index;
    const bool paysage = index == 1 || index == 3;
    Image2->setVisible(paysage);
    Image1->setVisible(!paysage);
    ChargeImageTexte();
    Changement();
}

void TTexteSurImg::ChargeImageTexte()
{
    QLabel *cible = affichage();
    QImage blanc(cible->size(), QImage::Format_ARGB32);
    blanc.fill(Qt::white);
    m_affichage = blanc;
    m_ecranLettre = QImage();
    m_pleine = QImage();
    m_geo = GeometrieAffichage();
    m_bande = QRect();
    m_imageLue = false;
    const QString fichier = m_fichiers.at(m_index);
    NomFicLbl->setText(QFileInfo(fichier).fileName());
    ErreurImage erreur = ErreurImage::Introuvable;
    const auto image = fichier.isEmpty() ? std::nullopt : ChargerBitmap32GDIP(fichier, &erreur);
    if (!image || image->isNull()) {
        // Nothing to letter: the display stays white and nothing can be saved.
        TypeImgLbl->setText(texteErreurImage(erreur));
        PixelsCarLbl->clear();
        EspaceCouleurLbl->clear();
        cible->setPixmap(QPixmap::fromImage(blanc));
        TexteImg->clear();
        placeBandeau();
        SauverSBtn->setEnabled(false);
        m_prompts.message(QStringLiteral("The picture \"%1\" cannot be read: %2")
                              .arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), texteErreurImage(erreur)),
                          titre(), Prompts::Icon::Warning);
        return;
    }
    QByteArray format;
    if (QFile source; OuvreFichierOrdinaire(source, fichier)) {
        QImageReader lecteur(&source);
        lecteur.setDecideFormatFromContent(true);
        format = lecteur.format();
    }
    TypeImgLbl->setText(QStringLiteral("%1 (%2 x %3)")
                            .arg(NomFormatImageFr(format))
                            .arg(image->width())
                            .arg(image->height()));
    // What the file holds, not the 32-bit copy made of it.
    const unsigned drapeaux = DrapeauxFichierImage(fichier);
    PixelsCarLbl->setText(DrapeauxImage(drapeaux));
    EspaceCouleurLbl->setText(EspaceCouleurImage(drapeaux));
    m_pleine = *image;
    m_imageLue = true;
    SauverSBtn->setEnabled(true);
    PlaceBandeTexte();
    if (!m_geo.visible.isEmpty()) {
        QPainter p(&m_affichage);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(m_geo.ajuste, m_pleine, QRect(QPoint(0, 0), m_geo.visible));
    }
}

void TTexteSurImg::PlaceBandeTexte()
{
    if (!m_imageLue)
        return;
    const int hs = MesureTexteSurImg(QStringLiteral("gGjJqQfFwW"), m_opt, OutlineSB->isChecked()).height();
    const QLabel *cible = affichage();
    const bool paysage = m_index == 1 || m_index == 3;
    m_geo = CalculeGeometrie(m_pleine.size(), cible->size(), paysage, m_ctx.document.format().TailleImages, hs + 2);
    m_bande = BandeInitiale(m_geo, cible->size(), m_opt.vertical());
}

ParamsTexte TTexteSurImg::params() const
{
    ParamsTexte p;
    p.texte = Edit1->text();
    p.options = m_opt;
    p.alphaLettre = Transp1TB->value();
    p.alphaOmbre = Transp2TB->value();
    p.alphaFond = FondTB->value();
    p.contour = OutlineSB->isChecked() && m_opt.modeDegrade == 0;
    p.reflet = ReflectSB->isChecked();
    p.fondu = p.reflet && AttenueSBtn->isChecked();
    p.fonduTout = m_opt.fond && TranspLFSB->isChecked();
    p.distord = PerspectiveSB->isChecked();
    const bool vertical = m_opt.vertical();
    p.longueur = vertical ? m_geo.visible.height() : m_geo.visible.width();
    p.position = PositionBande(m_geo, m_bande, vertical);
    return p;
}

void TTexteSurImg::Edit1Change()
{
    if (m_imageLue) {
        const int longueur = m_opt.vertical() ? m_geo.visible.height() : m_geo.visible.width();
        QString texte = Edit1->text();
        bool coupe = false;
        // Stops at the empty text, which may itself be wider than a tiny strip.
        while (!texte.isEmpty() && MesureTexteSurImg(texte, m_opt, OutlineSB->isChecked()).width() > longueur - 1) {
            texte.chop(1);
            coupe = true;
        }
        if (coupe) {
            const QSignalBlocker b(Edit1);
            Edit1->setText(texte);
            Edit1->setCursorPosition(int(texte.size()));
            m_prompts.beep();
        }
    }
    planifieRendu();
}

void TTexteSurImg::Changement()
{
    planifieRendu();
    DessineExemple();
}

void TTexteSurImg::planifieRendu()
{
    m_minuterie->start();
}

void TTexteSurImg::rendu()
{
    if (!m_imageLue) {
        emit apercuRendu();
        return;
    }
    const ParamsTexte p = params();
    const QImage lettree = apply(m_pleine, p);
    QImage ecran = m_affichage;
    {
        QPainter peintre(&ecran);
        peintre.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!m_geo.visible.isEmpty())
            peintre.drawImage(m_geo.ajuste, lettree, QRect(QPoint(0, 0), m_geo.visible));
    }
    m_ecranLettre = ecran;
    afficheBande();

    // The strip: the band's part of the lettered picture, along the writing.
    const int h = m_geo.hauteurBande;
    QImage bande = m_opt.vertical() ? lettree.copy(p.position, 0, h, p.longueur).transformed(QTransform().rotate(-90))
                                    : lettree.copy(0, p.position, p.longueur, h);
    TexteImg->setPixmap(QPixmap::fromImage(bande));
    placeBandeau();
    emit apercuRendu();
}

void TTexteSurImg::placeBandeau()
{
    const QSize s = TexteImg->pixmap().isNull() ? QSize(0, 0) : TexteImg->pixmap().size();
    const QSize p = m_panneauTexte->size();
    const int x = s.width() < p.width() ? (p.width() - s.width()) / 2 : 1;
    const int y = s.height() < p.height() ? (p.height() - s.height()) / 2 : 1;
    TexteImg->setGeometry(x, y, s.width(), s.height());
}

void TTexteSurImg::afficheBande()
{
    QImage ecran = m_ecranLettre.isNull() ? m_affichage : m_ecranLettre;
    if (ecran.isNull())
        return;
    {
        // The band as a focus rectangle (dotted, inverting what lies under it).
        QPainter peintre(&ecran);
        peintre.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        peintre.setPen(QPen(Qt::white, 1, Qt::DotLine));
        peintre.setBrush(Qt::NoBrush);
        peintre.drawRect(m_bande.adjusted(0, 0, -1, -1));
    }
    affichage()->setPixmap(QPixmap::fromImage(ecran));
}

void TTexteSurImg::DessineExemple()
{
    QImage e(40, 40, QImage::Format_ARGB32);
    e.fill(CouleurContraste(m_opt.couleurLettre, m_opt.couleurOmbre).toQRgb());
    ParamsTexte p = params();
    p.texte = QStringLiteral("A");
    p.options.police = QStringLiteral("Tahoma");
    p.options.taille = 24;
    const QImage t = ImageTexteTournee(p);
    ComposeImage(e, t, QPoint((40 - t.width()) / 2, (40 - t.height()) / 2), p.options.gamma);
    ExempleImg->setPixmap(QPixmap::fromImage(e));
}

void TTexteSurImg::AffNomFonte()
{
    FonteNomLbl->setText(QStringLiteral("%1 (%2)").arg(m_opt.police).arg(m_opt.taille));
}

void TTexteSurImg::MajCouleurContraste()
{
    DessineExemple();
}

void TTexteSurImg::CentreDecalage()
{
    fixeDecalage(QPoint(15, 15));
}

void TTexteSurImg::fixeDecalage(QPoint point)
{
    int x = std::clamp(point.x(), 0, TailleDecalage - 1);
    int y = std::clamp(point.y(), 0, TailleDecalage - 1);
    x -= x % 3;
    y -= y % 3;
    m_marque = QPoint(x, y);
    m_opt.dx = x / 3 - 5;
    m_opt.dy = y / 3 - 5;
    XYLbl->setText(QStringLiteral("%1 x %2").arg(m_opt.dx).arg(m_opt.dy));
    dessineDecalage();
    Changement();
}

void TTexteSurImg::dessineDecalage()
{
    QImage im(TailleDecalage, TailleDecalage, QImage::Format_ARGB32);
    im.fill(Qt::white);
    QPainter p(&im);
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    p.drawLine(0, 0, TailleDecalage - 1, TailleDecalage - 1);
    p.drawLine(0, TailleDecalage - 1, TailleDecalage - 1, 0);
    p.setPen(Qt::red);
    p.drawLine(m_marque.x() - 4, m_marque.y(), m_marque.x() + 4, m_marque.y());
    p.drawLine(m_marque.x(), m_marque.y() - 4, m_marque.x(), m_marque.y() + 4);
    p.end();
    ShiftImg->setPixmap(QPixmap::fromImage(im));
}

void TTexteSurImg::majDecLbl()
{
    DecLbl->setText(m_opt.modeDegrade == 0   ? QStringLiteral("Shift Letter - Shadow")
                    : m_opt.modeDegrade == 4 ? QStringLiteral("Shift Gradient Center")
                                             : QStringLiteral("Décalage not available here"));
}

void TTexteSurImg::peintPanneaux()
{
    peint(m_panneauxCouleur[0], m_opt.couleurLettre);
    peint(m_panneauxCouleur[1], m_opt.couleurOmbre);
    peint(m_panneauxCouleur[2], m_opt.couleurFond1);
    peint(m_panneauxCouleur[3], m_opt.couleurFond2);
}

void TTexteSurImg::couleurPanneau(int quel)
{
    TColor *c = quel == 0   ? &m_opt.couleurLettre
                : quel == 1 ? &m_opt.couleurOmbre
                : quel == 2 ? &m_opt.couleurFond1
                            : &m_opt.couleurFond2;
    if (m_maj) {
        *c = m_pipette;
    } else {
        const auto choisie = m_prompts.chooseColor(*c);
        if (!choisie)
            return;
        *c = *choisie;
    }
    peintPanneaux();
    if (quel < 2)
        MajCouleurContraste();
    Changement();
}

void TTexteSurImg::PanelMiniaturesClick(int index)
{
    const QVariant v = m_panneauxMin[index]->property("Couleur");
    if (!v.isValid())
        return;
    const TColor c = TColor::fromValue(v.toUInt());
    (m_maj ? m_opt.couleurOmbre : m_opt.couleurLettre) = c;
    peintPanneaux();
    MajCouleurContraste();
    Changement();
}

void TTexteSurImg::InvBtnClick()
{
    std::swap(m_opt.couleurLettre, m_opt.couleurOmbre);
    peintPanneaux();
    MajCouleurContraste();
    Changement();
}

void TTexteSurImg::InvFondSBClick()
{
    std::swap(m_opt.couleurFond1, m_opt.couleurFond2);
    peintPanneaux();
    if (m_opt.fond)
        Changement();
}

void TTexteSurImg::BrossesClick(int mode)
{
    m_opt.modeDegrade = mode;
    OutlineSB->setChecked(false);
    OutlineSB->setVisible(mode == 0);
    fixeAlphas(255, mode == 0 ? 64 : 255);
    majDecLbl();
    m_opt.dx = m_opt.dy = 0;
    m_marque = QPoint(15, 15);
    XYLbl->setText(QStringLiteral("0 x 0"));
    dessineDecalage();
    EcritureClick(m_opt.ecriture);
}

void TTexteSurImg::fixeAlphas(int lettre, int ombre)
{
    const QSignalBlocker b1(Transp1TB), b2(Transp2TB);
    Transp1TB->setValue(lettre);
    Transp2TB->setValue(ombre);
    m_opt.alphaLettre = lettre;
    m_opt.alphaOmbre = ombre;
}

void TTexteSurImg::EcritureClick(int direction)
{
    m_opt.ecriture = direction;
    m_ecriture[direction]->setChecked(true);
    const int courant = m_index;
    m_index = -1;
    MiniaturesClick(courant < 0 ? (m_ctx.document.parametres().UseStartImageDefini ? 2 : 0) : courant);
    Edit1Change();
}

void TTexteSurImg::FormeFondSBClick(int forme, bool enfonce)
{
    if (enfonce)
        for (int i = 0; i < 3; ++i)
            if (i != forme)
                m_formes[i]->setChecked(false);
    m_opt.fond = std::any_of(m_formes.begin(), m_formes.end(), [](QToolButton *b) { return b->isChecked(); });
    m_opt.formeFond = forme;
    TranspLFSB->setEnabled(m_opt.fond);
    Changement();
}

void TTexteSurImg::FondGradientClick(int mode)
{
    m_opt.degradeFond = mode;
    if (m_opt.fond)
        Changement();
}

void TTexteSurImg::PerspectiveSBClick()
{
    for (QToolButton *b : m_persp)
        b->setVisible(PerspectiveSB->isChecked());
    Changement();
}

void TTexteSurImg::ReflectSBClick()
{
    AttenueSBtn->setVisible(ReflectSB->isChecked());
    AttenueSBtn->setChecked(false);
    Changement();
}

void TTexteSurImg::OutlineSBClick()
{
    PlaceBandeTexte();
    Edit1Change();
    DessineExemple();
}

void TTexteSurImg::FonteSBtnClick()
{
    const auto f = m_prompts.chooseFont(PoliceImage(m_opt.police, m_opt.taille, m_opt.style));
    if (!f)
        return;
    m_opt.police = f->family();
    const double points = f->pointSizeF() > 0 ? f->pointSizeF() : f->pixelSize() * 72.0 / 96.0;
    m_opt.taille = std::clamp(arrondi(points), 1, 72);
    m_opt.style = (f->bold() ? StyleGras : 0) | (f->italic() ? StyleItalique : 0) |
                  (f->underline() ? StyleSouligne : 0) | (f->strikeOut() ? StyleBarre : 0);
    PlaceBandeTexte();
    AffNomFonte();
    Edit1Change();
    DessineExemple();
}

void TTexteSurImg::SauverBtnClick()
{
    if (!m_imageLue || m_index < 0)
        return;
    const QString fichier = m_fichiers.at(m_index);
    if (QFileInfo::exists(fichier) &&
        m_prompts.question(QStringLiteral("Overwrite original file (or existing) ?"), QStringLiteral("Confirm"),
                           Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
        return;
    int type = 0;
    for (int i = 0; i < NombreTypesSauver; ++i)
        if (m_typesSauver[i]->isChecked())
            type = i;
    const QImage lettree = apply(m_pleine, params());
    // Formats with two orientations keep a plain-named copy of each portrait picture.
    const int format = m_ctx.document.format().FormatTheme;
    QString copie;
    if ((format == 4 || format == 5) && (m_index == 0 || m_index == 2))
        copie = m_index == 0 ? QStringLiteral("tdywater.gif") : QStringLiteral("stwater.gif");
    const auto octets =
        EncodeImageFormat(lettree, QualJpgTB->value(), TypeSauver(type), QDateTime::currentDateTime());
    const ResultatImageEtCopie resultat =
        octets ? EcritImageEtCopie(m_ctx.dossiers.DossierAppli, QFileInfo(fichier).fileName(), *octets, copie,
                                   nullptr, m_ctx.entreImageEtCopie)
               : ResultatImageEtCopie::ImageNonEcrite;
    if (resultat == ResultatImageEtCopie::ImageNonEcrite) {
        m_prompts.message(QStringLiteral("Save Error !"), titre(), Prompts::Icon::Error);
        return;
    }
    if (resultat == ResultatImageEtCopie::CopieNonEcrite)
        m_prompts.message(QStringLiteral("Save Error !"), titre(), Prompts::Icon::Error);
    m_sauvee = true;
    emit imagesEnregistrees();
    chargeMiniatures();
    // The text is in the picture now: reloading it must not letter it again.
    {
        const QSignalBlocker b(Edit1);
        Edit1->clear();
    }
    m_index = -1;
    Image1->show();
    Image2->hide();
    MiniaturesClick(m_ctx.document.parametres().UseStartImageDefini ? 2 : 0);
}

void TTexteSurImg::reject()
{
    // FormCloseQuery: every way of closing asks, the pointer on the question.
    QCursor::setPos(mapToGlobal(rect().center() + QPoint(50, 40)));
    if (m_prompts.question(QStringLiteral("Quit without saving ?"), QStringLiteral("Confirm"),
                           Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
        return;
    {
        const QSignalBlocker b(Edit1);
        Edit1->clear();
    }
    m_minuterie->stop();
    QDialog::reject();
}

void TTexteSurImg::closeEvent(QCloseEvent *e)
{
    QDialog::closeEvent(e); // goes through reject(), which asks
}

void TTexteSurImg::afficheAide()
{
    if (m_aide)
        m_aide(AideTexteSurImg);
}

void TTexteSurImg::contextMenuEvent(QContextMenuEvent *e)
{
    // A right click on any control shows the window's help, no menu.
    afficheAide();
    e->accept();
}

void TTexteSurImg::keyPressEvent(QKeyEvent *e)
{
    // F1 on any control (none of them takes it): the window's help.
    if (e->key() == Qt::Key_F1) {
        afficheAide();
        return;
    }
    if (e->key() == Qt::Key_Shift)
        m_maj = true;
    if (e->key() == Qt::Key_Alt)
        return; // swallowed
    QDialog::keyPressEvent(e);
}

void TTexteSurImg::keyReleaseEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Shift)
        m_maj = false;
    QDialog::keyReleaseEvent(e);
}

void TTexteSurImg::deplaceBande(int coordonnee, bool centre)
{
    if (m_bande.isEmpty())
        return;
    if (m_opt.vertical()) {
        const int gauche = centre ? coordonnee - m_bande.width() / 2 : coordonnee;
        m_bande.moveLeft(std::clamp(gauche, 0, std::max(0, m_geo.ajuste.width() - m_bande.width())));
    } else {
        const int haut = centre ? coordonnee - m_bande.height() / 2 : coordonnee;
        const int bas = m_geo.ajuste.top() + m_geo.ajuste.height();
        m_bande.moveTop(std::clamp(haut, m_geo.ajuste.top(), std::max(m_geo.ajuste.top(), bas - m_bande.height())));
    }
}

bool TTexteSurImg::eventFilter(QObject *objet, QEvent *e)
{
    const auto type = e->type();
    if (type == QEvent::ContextMenu) {
        // The text field's own menu gives way to the help too.
        afficheAide();
        return true;
    }
    // The modifier keys as the event carries them: Shift picks the dropper or the shadow.
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease)
        m_maj = static_cast<QMouseEvent *>(e)->modifiers().testFlag(Qt::ShiftModifier);

    for (int i = 0; i < 4; ++i) {
        if (objet == m_miniatures[i] && type == QEvent::MouseButtonRelease) {
            MiniaturesClick(i);
            return true;
        }
        if (objet == m_panneauxMin[i] && type == QEvent::MouseButtonRelease) {
            PanelMiniaturesClick(i);
            return true;
        }
        if (objet == m_panneauxCouleur[i] && type == QEvent::MouseButtonRelease) {
            couleurPanneau(i);
            return true;
        }
    }

    if (objet == m_panneauTexte && type == QEvent::Resize)
        placeBandeau();

    if (objet == ShiftImg) {
        if (type == QEvent::MouseButtonPress ||
            (type == QEvent::MouseMove && static_cast<QMouseEvent *>(e)->buttons().testFlag(Qt::LeftButton))) {
            fixeDecalage(static_cast<QMouseEvent *>(e)->position().toPoint());
            return true;
        }
        if (type == QEvent::Wheel) {
            auto *w = static_cast<QWheelEvent *>(e);
            const int pas = w->angleDelta().y() > 0 ? 1 : -1;
            const bool y = w->modifiers().testFlag(Qt::ShiftModifier);
            const int dx = m_opt.dx + (y ? 0 : pas), dy = m_opt.dy + (y ? pas : 0);
            fixeDecalage(QPoint((std::clamp(dx, -5, 5) + 5) * 3, (std::clamp(dy, -5, 5) + 5) * 3));
            return true;
        }
    }

    if (objet == Image1 || objet == Image2) {
        auto *label = static_cast<QLabel *>(objet);
        if (type == QEvent::MouseButtonPress) {
            auto *m = static_cast<QMouseEvent *>(e);
            if (m->button() == Qt::LeftButton && m_bande.contains(m->position().toPoint()))
                m_tire = true;
            return true;
        }
        if (type == QEvent::MouseMove) {
            auto *m = static_cast<QMouseEvent *>(e);
            const QPoint pt = m->position().toPoint();
            if (m_tire) {
                const QRect avant = m_bande;
                deplaceBande(m_opt.vertical() ? pt.x() : pt.y(), true);
                if (m_bande != avant) {
                    setProperty("bandeDeplacee", true);
                    // The outline follows the pointer; the text follows on release.
                    afficheBande();
                }
            }
            label->setCursor(m_tire || m_bande.contains(pt) ? Qt::SizeAllCursor : Qt::ForbiddenCursor);
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            if (m_tire && property("bandeDeplacee").toBool())
                planifieRendu();
            m_tire = false;
            setProperty("bandeDeplacee", false);
            return true;
        }
        if (type == QEvent::Wheel) {
            auto *w = static_cast<QWheelEvent *>(e);
            int pas = w->modifiers().testFlag(Qt::ControlModifier) ? 15
                      : w->modifiers().testFlag(Qt::ShiftModifier) ? 5
                                                                     : 1;
            if (w->angleDelta().y() > 0)
                pas = -pas;
            deplaceBande((m_opt.vertical() ? m_bande.left() : m_bande.top()) + pas, false);
            planifieRendu();
            return true;
        }
    }
    return QDialog::eventFilter(objet, e);
}

bool OuvreTexteSurImg(AppContext &ctx, OptionsTexteSurImg &options, TColor couleurPipette, QWidget *parent,
                      const std::function<void()> &enregistre, const std::function<void(int)> &aide)
{
    const AnimationPauseGuard pause(&ctx.animation);
    TTexteSurImg fenetre(ctx, options, couleurPipette, parent);
    fenetre.setAide(aide);
    if (enregistre)
        QObject::connect(&fenetre, &TTexteSurImg::imagesEnregistrees, &fenetre, enregistre);
    fenetre.exec();
    return fenetre.imageSauvee();
}
