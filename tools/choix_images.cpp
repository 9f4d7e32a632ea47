#include "tools/choix_images.h"

#include "tools/choix_images_controles.h"

#include "theme/image_et_copie.h"
#include "theme/fichier_ordinaire.h"
#include "theme/limite_pixels.h"
#include "ui/app_context.h"
#include "ui/apparence_fenetre.h"
#include "ui/charge_image_res.h"
#include "ui/fonctions_indep.h"
#include "ui/utiles_indep.h"
#include "theme/arrondi.h"
#include "theme/prompts.h"
#include "tools/charger_bitmap.h"
#include "tools/charger_bitmap_metafichier.h"
#include "tools/decodage_jpeg.h"
#include "tools/eval_sauve.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

namespace {

const char *const ProprieteAide = "helpId";

// The view is enlarged only from this scale on.
constexpr double SeuilAgrandissementVue = 1.2;

// A widget hidden without giving its room away, so nothing moves.
void gardePlace(QWidget *w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

QString filtreImages()
{
    return QStringLiteral(
        "All (*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.tif;*.png;*.gif)|*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf;*.tif;"
        "*.png;*.gif|Image File JPEG (*.jpg)|*.jpg|Image File JPEG (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|"
        "Icon (*.ico)|*.ico|Metafiles evoluated (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf|TIFF (*.tif)|*.tif|"
        "PNG (*.png)|*.png|GIF (*.gif)|*.gif");
}

bool estIcone(const QString &fichier)
{
    return QFileInfo(fichier).suffix().toLower() == QLatin1String("ico");
}

// The source picture of a file, 32 bits with its own transparency (the
// preview and the saved picture lay it over the background colour, which the
// user may change afterwards); empty when unreadable.
std::optional<QImage> litSource(const QString &fichier)
{
    if (fichier.isEmpty())
        return std::nullopt;
    if (estIcone(fichier)) {
        int l = 0, h = 0;
        const QImage icone = ChargeIconeFichier(fichier, &l, &h);
        if (icone.isNull() || l < 1 || h < 1)
            return std::nullopt;
        return icone.copy(0, 0, l, h).convertToFormat(QImage::Format_ARGB32);
    }
    auto image = ChargerImage32(fichier);
    if (!image || image->isNull())
        return std::nullopt;
    return image;
}

// The preview bitmap. A metafile is drawn by its converter at the preview's
// size over the background colour, turned as the source is, so that it is
// sharp at any size; any other picture is resampled from the source.
QImage construitApercu(const QString &fichier, const QImage &sourceTournee, QSize affichee, int typeRotation,
                       ModeInterpolation mode, TColor fond)
{
    if (TypeFichierMetafichier(fichier) != TypeMetafichier::Aucun) {
        const QSize taille = typeRotation % 2 ? affichee.transposed() : affichee;
        if (const auto dessin = DessineMetafichier(fichier, taille, fond.toQRgb()))
            return TourneImage(*dessin, typeRotation);
    }
    return ConstruitApercu(sourceTournee, affichee, mode, fond);
}

// The file's identity for the source cache: a saved working picture under the
// same name must be read again.
QString cleFichier(const QString &fichier)
{
    const QFileInfo info(fichier);
    return fichier + QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch()) +
           QLatin1Char('|') + QString::number(info.size());
}

QButtonGroup *groupeRadio(QGroupBox *boite, const QStringList &items, int colonnes = 1)
{
    auto *groupe = new QButtonGroup(boite);
    auto *grille = new QGridLayout(boite);
    grille->setContentsMargins(3, 1, 2, 1);
    grille->setHorizontalSpacing(0);
    grille->setVerticalSpacing(1);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], boite);
        groupe->addButton(b, i);
        grille->addWidget(b, i / colonnes, i % colonnes);
    }
    return groupe;
}

// A wrapped text whose height is set by its owner: it never asks its layout
// for the height its text would need at a given width.
class LabelHauteurFixe : public QLabel
{
public:
    using QLabel::QLabel;
    bool hasHeightForWidth() const override { return false; }
};

} // namespace

// ---- view -------------------------------------------------------------------

TVueChoixImages::TVueChoixImages(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setMinimumSize(LargeurVueChoix, HauteurVueChoix);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::SizeAllCursor);
    setMouseTracking(true);
}

double TVueChoixImages::echelle() const
{
    const double k = std::min(double(width()) / LargeurVueChoix, double(height()) / HauteurVueChoix);
    // A slight enlargement would only blur the picture.
    return k < SeuilAgrandissementVue ? 1.0 : k;
}

QPoint TVueChoixImages::versVue(QPointF p) const
{
    const double k = echelle();
    // Enlarged, the picture sits in the middle of the room it has.
    const double x0 = k > 1.0 ? (width() - LargeurVueChoix * k) / 2 : 0.0;
    return QPoint(int(std::floor((p.x() - x0) / k)), int(std::floor(p.y() / k)));
}

void TVueChoixImages::setAffichage(const QImage &image, const QRect &focus)
{
    m_affichage = image;
    m_focus = focus;
    update();
}

void TVueChoixImages::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const double k = echelle();
    if (k > 1.0) {
        p.translate((width() - LargeurVueChoix * k) / 2, 0);
        p.scale(k, k);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    if (!m_affichage.isNull())
        p.drawImage(0, 0, m_affichage);
    if (m_focus.isValid()) {
        // The frame drawn over the picture instead of XORed into it.
        p.setPen(QPen(Qt::white, 1, Qt::SolidLine));
        p.drawRect(m_focus.adjusted(0, 0, -1, -1));
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(m_focus.adjusted(0, 0, -1, -1));
    }
}

void TVueChoixImages::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit souris(versVue(event->position()), true, false);
    else
        QWidget::mousePressEvent(event);
}

void TVueChoixImages::mouseMoveEvent(QMouseEvent *event)
{
    emit souris(versVue(event->position()), false, false);
}

void TVueChoixImages::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit souris(versVue(event->position()), false, true);
}

void TVueChoixImages::wheelEvent(QWheelEvent *event)
{
    bool pris = false;
    emit molette(versVue(event->position()), event->angleDelta().y(), event->modifiers(), &pris);
    event->setAccepted(pris);
}

// ---- tool bar ---------------------------------------------------------------

TBarreChoix::TBarreChoix(QWidget *parent) : QWidget(parent) {}

void TBarreChoix::setLegendes(const QString &orientation, const QString &type)
{
    m_orientation = orientation;
    m_type = type;
    update();
}

void TBarreChoix::paintEvent(QPaintEvent *)
{
    QImage canevas(size(), QImage::Format_ARGB32_Premultiplied);
    canevas.fill(Qt::transparent);
    const QString police = QStringLiteral("Times New Roman");
    // Bold italic, a light copy under a copy in the caption colour.
    const TColor blanc = TColor::fromValue(0xFFFFFF);
    DessineTexteOmbre(canevas, m_orientation, police, 14, XOrientation, 2, -2, -2, blanc, m_ombre, 3, 160, 255);
    DessineTexteOmbre(canevas, m_type, police, 14, XType, 2, -2, -2, blanc, m_ombre, 3, 160, 255);
    QPainter p(this);
    p.drawImage(0, 0, canevas);
}

// ---- window -----------------------------------------------------------------

TChoixImages::TChoixImages(AppContext &ctx, std::function<void(int)> aide, QWidget *parent)
    : QDialog(parent), m_ctx(ctx), m_aide(std::move(aide))
{
    setObjectName(QStringLiteral("ChoixImages"));
    m_minuterie = new QTimer(this);
    m_minuterie->setSingleShot(true);
    m_minuterie->setInterval(DelaiApercuMs);
    connect(m_minuterie, &QTimer::timeout, this, &TChoixImages::recalculeApercu);
    construitInterface();
    fixeTailleCible(true, false);
}

TChoixImages::~TChoixImages() = default;

void TChoixImages::construitInterface()
{
    setWindowTitle(QStringLiteral("Images"));
    setWindowIcon(QIcon(QPixmap::fromImage(ChargeImageRes(QStringLiteral("tskimg.png")))));
    resize(696, 700);
    auto *racine = new QGridLayout(this);
    racine->setContentsMargins(3, 2, 3, 4);
    racine->setHorizontalSpacing(4);
    racine->setVerticalSpacing(4);

    racine->addWidget(construitBarreOutils(), 0, 0, 1, 2);

    // The view.
    m_image1 = new TVueChoixImages(this);
    m_image1->setProperty(ProprieteAide, 1011);
    connect(m_image1, &TVueChoixImages::souris, this, &TChoixImages::sourisVue);
    connect(m_image1, &TVueChoixImages::molette, this, &TChoixImages::moletteVue);
    racine->addWidget(m_image1, 1, 0);

    racine->addLayout(construitInfos(), 2, 0, 1, 2);
    racine->addLayout(construitColonne(), 1, 1);

    // The effects: six pages, and the hue, channel and contrast sliders.
    m_zoneEffets = construitEffets();
    m_zoneEffets->setEnabled(false);
    racine->addWidget(m_zoneEffets, 3, 0, 1, 2);

    racine->setRowStretch(3, 1);
    racine->setColumnStretch(0, 1);
    majBarre();
}

QWidget *TChoixImages::construitBarreOutils()
{
    m_barre = new TBarreChoix(this);
    m_barre->setObjectName(QStringLiteral("CoolBar1"));
    m_barre->setProperty(ProprieteAide, 1001);
    auto *lb = new QHBoxLayout(m_barre);
    lb->setContentsMargins(0, 0, 0, 0);
    lb->setSpacing(2);
    auto bouton = [&](QToolButton *&b, const char *nom, const QString &texte, const QString &hint,
                      QStyle::StandardPixmap icone) {
        b = new QToolButton(m_barre);
        b->setObjectName(QString::fromLatin1(nom));
        b->setText(texte);
        b->setToolTip(hint);
        b->setIcon(style()->standardIcon(icone));
        b->setIconSize(QSize(24, 24));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setAutoRaise(true);
        b->setMinimumSize(54, 46);
        lb->addWidget(b);
    };
    bouton(m_ouvrirTBtn, "OuvrirTBtn", tr("Open"), QStringLiteral("Load an image"), QStyle::SP_DialogOpenButton);
    bouton(m_todayEnCoursTBtn, "TodayEnCoursTBtn", QStringLiteral("Today"), QStringLiteral("Load available Today Image"),
           QStyle::SP_FileIcon);
    bouton(m_startEnCoursTBtn, "StartEnCoursTBtn", QStringLiteral("Start"), QStringLiteral("Load available Start Image"),
           QStyle::SP_FileIcon);
    bouton(m_sauverTBtn, "SauverTBtn", tr("Save"), QStringLiteral("Save Today Image"), QStyle::SP_DialogSaveButton);
    bouton(m_evalTBtn, "EvalTBtn", tr("Evaluate"), QStringLiteral("Quality evaluation of files"),
           QStyle::SP_FileDialogContentsView);
    bouton(m_quitterTBtn, "QuitterTBtn", tr("Back"), QStringLiteral("Back to main form"), QStyle::SP_DialogCloseButton);
    lb->addStretch();
    // Room for the two captions the bar writes after its buttons.
    m_barre->setMinimumWidth(TBarreChoix::XType + 90);
    m_sauverTBtn->setEnabled(false);
    m_evalTBtn->setEnabled(false);
    connect(m_ouvrirTBtn, &QToolButton::clicked, this, &TChoixImages::OuvrirBtnClick);
    connect(m_todayEnCoursTBtn, &QToolButton::clicked, this, &TChoixImages::TodayEnCoursClick);
    connect(m_startEnCoursTBtn, &QToolButton::clicked, this, &TChoixImages::StartEnCoursClick);
    connect(m_sauverTBtn, &QToolButton::clicked, this, &TChoixImages::SauverBtnClick);
    connect(m_evalTBtn, &QToolButton::clicked, this, &TChoixImages::EvalTBtnClick);
    connect(m_quitterTBtn, &QToolButton::clicked, this, &QDialog::accept);
    return m_barre;
}

// Sizes and frame, under the view.
QGridLayout *TChoixImages::construitInfos()
{
    auto *infos = new QGridLayout;
    infos->setContentsMargins(0, 0, 0, 0);
    infos->setVerticalSpacing(0);
    infos->setHorizontalSpacing(10);
    auto label = [&](QLabel *&l, const char *nom, int ligne, int col) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(nom));
        infos->addWidget(l, ligne, col);
    };
    auto *imgOrig = new QLabel(QStringLiteral(" Original Image :"), this);
    imgOrig->setObjectName(QStringLiteral("ImgOrigLbl"));
    infos->addWidget(imgOrig, 0, 0);
    label(m_largLbl, "LargLbl", 0, 1);
    label(m_hautLbl, "HautLbl", 0, 2);
    auto *affT = new QLabel(QStringLiteral("Showed as :"), this);
    affT->setObjectName(QStringLiteral("AffTLbl"));
    infos->addWidget(affT, 0, 3);
    label(m_affLargLbl, "AffLargLbl", 0, 4);
    label(m_affHautLbl, "AffHautLbl", 0, 5);
    label(m_leftLbl, "LeftLbl", 1, 0);
    label(m_topLbl, "TopLbl", 1, 1);
    label(m_rightLbl, "RightLbl", 1, 2);
    label(m_bottomLbl, "BottomLbl", 1, 3);
    infos->setColumnStretch(6, 1);
    return infos;
}

// The column beside the view.
QVBoxLayout *TChoixImages::construitColonne()
{
    auto *cote = new QVBoxLayout;
    cote->setSpacing(3);
    cote->addLayout(construitLigneType());
    cote->addWidget(construitPanneauRotation());
    cote->addWidget(construitInterpolation());
    cote->addWidget(construitSauvegardeOuAide());
    cote->addStretch();
    return cote;
}

// Today or Start, and Landscape.
QHBoxLayout *TChoixImages::construitLigneType()
{
    auto *ligneType = new QHBoxLayout;
    auto *typeBox = new QGroupBox(this);
    typeBox->setObjectName(QStringLiteral("TypeImgRG"));
    typeBox->setProperty(ProprieteAide, 1029);
    m_typeImgRG = groupeRadio(typeBox, {QStringLiteral("Today"), QStringLiteral("Start")}, 2);
    m_typeImgRG->button(0)->setChecked(true);
    connect(m_typeImgRG, &QButtonGroup::idClicked, this, [this](int id) { fixeTailleCible(id == 0, true); });
    ligneType->addWidget(typeBox, 1);
    m_landscapeCB = new QCheckBox(QStringLiteral("Landscape"), this);
    m_landscapeCB->setObjectName(QStringLiteral("LandscapeCB"));
    gardePlace(m_landscapeCB);
    connect(m_landscapeCB, &QCheckBox::clicked, this, [this] {
        resetComplet();
        fixeTailleCible(true, false);
        // The current-picture buttons load the files of the new orientation.
        MajBoutonsImagesEnCours();
        preCharge();
    });
    ligneType->addWidget(m_landscapeCB);
    return ligneType;
}

// Rotation, mirror and flip, and the view's background colour.
QWidget *TChoixImages::construitPanneauRotation()
{
    auto *panel8 = new QWidget(this);
    panel8->setObjectName(QStringLiteral("Panel8"));
    panel8->setProperty(ProprieteAide, 1021);
    auto *l8 = new QHBoxLayout(panel8);
    l8->setContentsMargins(0, 0, 0, 0);
    m_rotHSBtn = new QToolButton(panel8);
    m_rotHSBtn->setObjectName(QStringLiteral("RotHSBtn"));
    m_rotHSBtn->setText(QStringLiteral("↻"));
    m_rotHSBtn->setToolTip(QStringLiteral("Rotate 90° clockwise"));
    m_rotAHSBtn = new QToolButton(panel8);
    m_rotAHSBtn->setObjectName(QStringLiteral("RotAHSBtn"));
    m_rotAHSBtn->setText(QStringLiteral("↺"));
    m_rotAHSBtn->setToolTip(QStringLiteral("Rotate 90° counter-clockwise"));
    m_miroirCB = new QCheckBox(QStringLiteral("Mirror"), panel8);
    m_miroirCB->setObjectName(QStringLiteral("MiroirCB"));
    m_basculeCB = new QCheckBox(QStringLiteral("Flip"), panel8);
    m_basculeCB->setObjectName(QStringLiteral("BasculeCB"));
    for (QWidget *w : std::initializer_list<QWidget *>{m_rotHSBtn, m_rotAHSBtn, m_miroirCB, m_basculeCB})
        l8->addWidget(w);
    l8->addStretch();
    // The view's background colour, beside its label.
    l8->addWidget(new QLabel(QStringLiteral("Bkg"), panel8));
    m_panel7 = new QPushButton(panel8);
    m_panel7->setObjectName(QStringLiteral("Panel7"));
    m_panel7->setToolTip(QStringLiteral("Change background image (Theme Independant !)"));
    m_panel7->setFixedSize(40, 20);
    m_panel7->setAutoDefault(false);
    connect(m_panel7, &QPushButton::clicked, this, &TChoixImages::choisitFond);
    l8->addWidget(m_panel7);
    connect(m_rotHSBtn, &QToolButton::clicked, this, [this] {
        m_quartsDeTour = (m_quartsDeTour + 1) % 4;
        rotationChange();
    });
    connect(m_rotAHSBtn, &QToolButton::clicked, this, [this] {
        m_quartsDeTour = (m_quartsDeTour + 3) % 4;
        rotationChange();
    });
    connect(m_miroirCB, &QCheckBox::clicked, this, &TChoixImages::rotationChange);
    connect(m_basculeCB, &QCheckBox::clicked, this, &TChoixImages::rotationChange);
    return panel8;
}

QWidget *TChoixImages::construitInterpolation()
{
    auto *interpBox = new QGroupBox(this);
    interpBox->setObjectName(QStringLiteral("InterpolRG"));
    interpBox->setProperty(ProprieteAide, 1014);
    QStringList items;
    for (int i = 0; i < NombreModesInterpolation; ++i)
        items << ItemInterpolation(i);
    m_interpolRG = groupeRadio(interpBox, items, 2);
    if (auto *b = m_interpolRG->button(std::clamp(m_ctx.options.InterpolImg, 0, NombreModesInterpolation - 1)))
        b->setChecked(true);
    connect(m_interpolRG, &QButtonGroup::idClicked, this, &TChoixImages::choixInterpolation);
    return interpBox;
}

// The saving panel, or the help of the centre picker under the mouse.
QWidget *TChoixImages::construitSauvegardeOuAide()
{
    m_sauvegardeOuAide = new QStackedWidget(this);
    m_sauvegardeOuAide->addWidget(construitPanneauSauvegarde());
    m_sauvegardeOuAide->addWidget(construitAideCentre());
    m_sauvegardeOuAide->setCurrentWidget(m_panel5);
    m_sauvegardeOuAide->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    return m_sauvegardeOuAide;
}

// The file type and the JPEG quality.
QWidget *TChoixImages::construitPanneauSauvegarde()
{
    auto *panel5 = new QGroupBox(TitreTypeSauver(), m_sauvegardeOuAide);
    m_panel5 = panel5;
    panel5->setObjectName(QStringLiteral("Panel5"));
    panel5->setProperty(ProprieteAide, 1022);
    auto *l5 = new QVBoxLayout(panel5);
    l5->setContentsMargins(6, 2, 6, 4);
    l5->setSpacing(1);
    auto *sauverBox = new QWidget(panel5);
    sauverBox->setObjectName(QStringLiteral("TypeSauverRG"));
    auto *lsb = new QGridLayout(sauverBox);
    lsb->setContentsMargins(0, 0, 0, 0);
    lsb->setSpacing(1);
    m_typeSauverRG = new QButtonGroup(sauverBox);
    const int lignesTypes = (NombreTypesSauver + 1) / 2;
    for (int i = 0; i < NombreTypesSauver; ++i) {
        auto *b = new QRadioButton(ItemTypeSauver(TypeSauver(i)), sauverBox);
        b->setToolTip(HintTypeSauver(TypeSauver(i)));
        m_typeSauverRG->addButton(b, i);
        lsb->addWidget(b, i % lignesTypes, i / lignesTypes);
    }
    if (auto *b = m_typeSauverRG->button(std::clamp(m_ctx.options.TypeImgSauver, 0, NombreTypesSauver - 1)))
        b->setChecked(true);
    // The choice is the user's from now on: the options file keeps it.
    connect(m_typeSauverRG, &QButtonGroup::idClicked, this, [this](int id) { m_ctx.options.TypeImgSauver = id; });
    l5->addWidget(sauverBox);
    m_qualJpgTB = new QSlider(Qt::Horizontal, panel5);
    m_qualJpgTB->setObjectName(QStringLiteral("QualJpgTB"));
    m_qualJpgTB->setRange(10, 100);
    m_qualJpgTB->setValue(100);
    m_qualJpgTB->setToolTip(HintQualiteJpeg());
    l5->addWidget(m_qualJpgTB);
    return panel5;
}

QWidget *TChoixImages::construitAideCentre()
{
    m_aideCImgPnl = new QFrame(m_sauvegardeOuAide);
    m_aideCImgPnl->setObjectName(QStringLiteral("AideCImgPnl"));
    static_cast<QFrame *>(m_aideCImgPnl)->setFrameShape(QFrame::StyledPanel);
    auto *la = new QVBoxLayout(m_aideCImgPnl);
    la->setContentsMargins(4, 2, 4, 2);
    m_aideGradLbl = new LabelHauteurFixe(m_aideCImgPnl);
    m_aideGradLbl->setObjectName(QStringLiteral("AideGradLbl"));
    m_aideGradLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont f = m_aideGradLbl->font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    m_aideGradLbl->setFont(f);
    // The help takes the column's width, never widens it: its lines wrap, and
    // its height is kept for the longest help (majHauteurAide), so that
    // nothing grows or moves under the mouse.
    m_aideGradLbl->setWordWrap(true);
    m_aideGradLbl->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    la->addWidget(m_aideGradLbl, 1);
    return m_aideCImgPnl;
}

void TChoixImages::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!m_zoneEffets || !m_barre)
        return;
    // The view takes the room the window gives it, at the picture's aspect:
    // its width beside the column, its height above the labels and effects.
    const auto *racine = static_cast<QGridLayout *>(layout());
    const QMargins m = racine->contentsMargins();
    const int colonne = std::max(racine->itemAtPosition(1, 1)->sizeHint().width(), 1);
    const int largeur = width() - m.left() - m.right() - racine->horizontalSpacing() - colonne;
    const int autres = m_barre->sizeHint().height() + 2 * m_largLbl->sizeHint().height() +
                       m_zoneEffets->sizeHint().height() + 3 * racine->verticalSpacing() + m.top() + m.bottom();
    const int hauteur = height() - autres;
    double k = std::min(double(largeur) / LargeurVueChoix, double(hauteur) / HauteurVueChoix);
    if (k < SeuilAgrandissementVue)
        k = 1.0;
    const int voulue = int(std::floor(HauteurVueChoix * k));
    if (m_image1->height() != voulue || m_image1->minimumHeight() != voulue)
        m_image1->setFixedHeight(voulue);
    majHauteurAide();
}

bool TChoixImages::paysage() const
{
    return FormatImages::deuxOrientations(m_ctx.document.format().FormatTheme) && m_landscapeCB->isChecked();
}

QString TChoixImages::dossierAppli() const
{
    QString d = m_ctx.dossiers.DossierAppli;
    if (!d.isEmpty() && !d.endsWith(QLatin1Char('/')))
        d += QLatin1Char('/');
    return d;
}

QRect TChoixImages::RectFocus() const
{
    QRect r = RectCadre();
    if (m_modeToday)
        r.setBottom(std::max(r.top(), r.bottom() - m_decalageAffiche));
    return r;
}

void TChoixImages::fixeTailleCible(bool today, bool recharger)
{
    m_modeToday = today;
    {
        const QSignalBlocker bloque(m_typeImgRG);
        m_typeImgRG->button(today ? 0 : 1)->setChecked(true);
    }
    m_tailleCible = TailleCibleChoix(m_ctx.document.format(), today, paysage(),
                                     m_ctx.document.parametres().UseStartImageDefini);
    m_sauverTBtn->setToolTip(today ? QStringLiteral("Save Today Image") : QStringLiteral("Save Start Image"));
    m_evalTBtn->setToolTip(today ? QStringLiteral("Quality evaluation of Today file")
                                 : QStringLiteral("Quality evaluation of Start file"));
    majBarre();
    if (recharger && m_imageChargee)
        recharge(true);
}

void TChoixImages::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    const bool deux = FormatImages::deuxOrientations(m_ctx.document.format().FormatTheme);
    m_landscapeCB->setVisible(deux);
    {
        const QSignalBlocker bloque(m_landscapeCB);
        m_landscapeCB->setChecked(false);
    }
    m_panel7->setStyleSheet(QStringLiteral("background-color: %1;")
                                .arg(QColor(m_ctx.options.CouleurFond.toQRgb()).name()));
    MajFondCoolBar(m_barre, m_ctx.apparence.BmpDegrade, m_ctx.apparence.uniforme);
    m_barre->setCouleurOmbre(m_ctx.CouleursSysteme[0]);
    m_pageControl1->setCurrentIndex(0);
    resetComplet();
    fixeTailleCible(true, false);
    MajBoutonsImagesEnCours();
    // Let the window appear before a dialog opens over it.
    QTimer::singleShot(0, this, &TChoixImages::preCharge);
}

void TChoixImages::MajBoutonsImagesEnCours()
{
    const int format = m_ctx.document.format().FormatTheme;
    if (format < 0 || format >= FormatImages::NbFormats)
        return;
    m_todayEnCoursTBtn->setEnabled(EstFichierOrdinaire(dossierAppli() + NomImageTravail(format, true, paysage())));
    m_startEnCoursTBtn->setEnabled(EstFichierOrdinaire(dossierAppli() + NomImageTravail(format, false, paysage())));
}

void TChoixImages::preCharge()
{
    const int format = m_ctx.document.format().FormatTheme;
    const QString today = dossierAppli() + NomImageTravail(format, true, paysage());
    const QString start = dossierAppli() + NomImageTravail(format, false, paysage());
    if (EstFichierOrdinaire(today) && m_modeToday && chargeFichier(today))
        return;
    if (EstFichierOrdinaire(start)) {
        fixeTailleCible(false, false);
        if (chargeFichier(start))
            return;
        fixeTailleCible(true, false);
    }
    OuvrirBtnClick();
    // Nothing new loaded (the open dialog cancelled): the picture already
    // shown is framed again for the target it now has.
    cadreSuitCible();
}

void TChoixImages::cadreSuitCible()
{
    if (m_imageChargee && m_cadreCible != m_tailleCible)
        recharge(true);
}

void TChoixImages::TodayEnCoursClick()
{
    fixeTailleCible(true, false);
    if (!chargeFichier(dossierAppli() + NomImageTravail(m_ctx.document.format().FormatTheme, true, paysage()))) {
        MajBoutonsImagesEnCours();
        cadreSuitCible();
    }
}

void TChoixImages::StartEnCoursClick()
{
    fixeTailleCible(false, false);
    if (!chargeFichier(dossierAppli() + NomImageTravail(m_ctx.document.format().FormatTheme, false, paysage()))) {
        MajBoutonsImagesEnCours();
        cadreSuitCible();
    }
}

void TChoixImages::OuvrirBtnClick()
{
    if (!m_ctx.prompts)
        return;
    Prompts::FileDialog options;
    options.title = m_modeToday ? QStringLiteral("Choose an Image for Today") : QStringLiteral("Choose an Image for Start");
    options.initialDir = m_ctx.dossiers.DossierImg;
    options.filter = filtreImages();
    const auto choisi = m_ctx.prompts->openPicture(options);
    if (!choisi || choisi->isEmpty())
        return;
    if (!chargeFichier(*choisi)) {
        m_ctx.prompts->message(QStringLiteral("Unknown Format for GDI+"));
        return;
    }
    m_ctx.dossiers.DossierImg = QFileInfo(*choisi).absolutePath() + QLatin1Char('/');
}

bool TChoixImages::chargeFichier(const QString &fichier, bool resetEffets)
{
    const QString cle = cleFichier(fichier);
    if (cle != m_sourceChargee || (m_source.isNull() && m_sourceReduite.isNull())) {
        // A JPEG at least twice the preview's size in each direction shows its
        // first preview from libjpeg's reduced decoding; the full picture follows.
        QImage reduite;
        const auto taille = estIcone(fichier) ? std::nullopt : TailleJpeg(fichier);
        if (taille && !ImageTropGrande(*taille)) {
            const QSize tournee = m_typeRotation % 2 ? taille->transposed() : *taille;
            const QSize apercu = AjusteDansVue(tournee.width(), tournee.height()).size();
            const QSize minimum = 2 * (m_typeRotation % 2 ? apercu.transposed() : apercu);
            const int reduction = ReductionPour(*taille, minimum);
            if (reduction > 1) {
                if (auto r = DecodeJpeg32(fichier, nullptr, reduction))
                    reduite = std::move(*r);
            }
        }
        if (!reduite.isNull()) {
            m_source = QImage();
            m_sourceReduite = std::move(reduite);
            m_tailleComplete = *taille;
            QTimer::singleShot(0, this, [this] { completeSource(); });
        } else {
            auto source = litSource(fichier);
            if (!source)
                return false;
            m_source = std::move(*source);
            m_sourceReduite = QImage();
        }
        m_sourceChargee = cle;
        m_rotationTournee = -1;
    }
    m_fichierSource = fichier;
    m_reduitPermis = true;
    recharge(resetEffets);
    m_reduitPermis = false;
    return true;
}

void TChoixImages::completeSource(bool rafraichir)
{
    if (m_sourceReduite.isNull())
        return;
    auto source = litSource(m_fichierSource);
    if (!source)
        return; // the final build will report the file as unreadable
    m_source = std::move(*source);
    m_sourceReduite = QImage();
    m_rotationTournee = -1;
    if (!rafraichir || !m_imageChargee)
        return;
    // The preview again, now from the full picture (same size, same frame).
    if (chargeSource()) {
        ajuste();
        recalculeApercu();
    }
}

QSize TChoixImages::tailleSourceTournee() const
{
    if (m_sourceReduite.isNull())
        return m_sourceTournee.size();
    return m_typeRotation % 2 ? m_tailleComplete.transposed() : m_tailleComplete;
}

bool TChoixImages::chargeSource()
{
    if (m_fichierSource.isEmpty())
        return false;
    // Past the first preview every use needs the full picture.
    if (!m_sourceReduite.isNull() && !m_reduitPermis)
        completeSource(false);
    const QString cle = cleFichier(m_fichierSource);
    if (cle != m_sourceChargee || (m_source.isNull() && m_sourceReduite.isNull())) {
        auto source = litSource(m_fichierSource);
        if (!source)
            return !m_source.isNull(); // keep the picture already read
        m_source = std::move(*source);
        m_sourceReduite = QImage();
        m_sourceChargee = cle;
        m_rotationTournee = -1;
    }
    if (m_rotationTournee != m_typeRotation) {
        m_sourceTournee = TourneImage(m_sourceReduite.isNull() ? m_source : m_sourceReduite, m_typeRotation);
        m_rotationTournee = m_typeRotation;
    }
    return true;
}

void TChoixImages::recharge(bool resetEffets)
{
    if (resetEffets)
        resetComplet();
    if (!chargeSource())
        return;
    ajuste();
    // Every load, turned or reloaded included, starts the centres afresh.
    centresAuMilieu();
    m_coinCadre = m_rectImage.topLeft();
    majLabelsCadre();
    m_imageChargee = true;
    m_sauverTBtn->setEnabled(true);
    m_evalTBtn->setEnabled(true);
    m_zoneEffets->setEnabled(true);
    majMiniatures();
    recalculeApercu();
}

void TChoixImages::ajuste()
{
    const QImage &s = m_sourceTournee;
    const QSize taille = tailleSourceTournee();
    m_largLbl->setText(QStringLiteral("Width  : ") + QString::number(taille.width()));
    m_hautLbl->setText(QStringLiteral("Height : ") + QString::number(taille.height()));
    m_rectImage = AjusteDansVue(taille.width(), taille.height());
    m_affLargLbl->setText(QString::number(m_rectImage.width()));
    m_affHautLbl->setText(QString::number(m_rectImage.height()));
    const auto mode = ModeInterpolation(std::max(m_interpolRG->checkedId(), 0));
    m_bmpApercu = construitApercu(m_fichierSource, s, m_rectImage.size(), m_typeRotation, mode,
                                  m_ctx.options.CouleurFond);
    m_cadre = CalculeCadre(m_tailleCible, m_rectImage.size());
    m_cadreCible = m_tailleCible;
    m_decalageAffiche = arrondi(FormatImages::DecalageHauteur * m_cadre.s);
}

void TChoixImages::majLabelsCadre()
{
    const QRect f = RectFocus();
    m_leftLbl->setText(TexteLimiteCadre(f.left() - m_rectImage.left(), 0));
    m_topLbl->setText(TexteLimiteCadre(f.top() - m_rectImage.top(), 0));
    m_rightLbl->setText(TexteLimiteCadre(f.left() + f.width() - m_rectImage.left(), m_rectImage.width()));
    m_bottomLbl->setText(TexteLimiteCadre(f.top() + f.height() - m_rectImage.top(), m_rectImage.height()));
}

void TChoixImages::majVue()
{
    QImage vue(LargeurVueChoix, HauteurVueChoix, QImage::Format_ARGB32);
    vue.fill(m_ctx.options.CouleurFond.toQRgb());
    if (!m_apercuFiltre.isNull()) {
        QPainter p(&vue);
        p.drawImage(m_rectImage.topLeft(), m_apercuFiltre);
    }
    m_image1->setAffichage(vue, m_imageChargee ? RectFocus() : QRect());
}

bool TChoixImages::apercuEnAttente() const
{
    return m_minuterie->isActive();
}

void TChoixImages::planifieApercu()
{
    if (m_imageChargee)
        m_minuterie->start();
}

void TChoixImages::recalculeApercu()
{
    m_minuterie->stop();
    if (m_bmpApercu.isNull())
        return;
    const bool lente = ChaineLente(m_effets);
    if (lente)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_apercuFiltre = AppliqueChaine(m_bmpApercu, m_effets, contexteApercu());
    if (lente)
        QApplication::restoreOverrideCursor();
    ++m_calculsApercu;
    majVue();
    emit apercuRecalcule();
}

ContexteChaine TChoixImages::contexteApercu() const
{
    ContexteChaine ctx;
    ctx.imageDansVue = m_rectImage;
    ctx.facteurPicker = FacteurPicker(LargeurVueChoix, LargeurPicker);
    ctx.graineExplosion = m_graine;
    return ctx;
}

void TChoixImages::choixInterpolation(int id)
{
    // Kept in the options: the next showing and the next run start with it.
    m_ctx.options.InterpolImg = id;
    if (m_imageChargee)
        recharge(false);
}

void TChoixImages::majBarre()
{
    if (!m_barre)
        return;
    m_barre->setLegendes(m_landscapeCB->isChecked() ? QStringLiteral("LandScape") : QStringLiteral("Portrait"),
                         m_modeToday ? QStringLiteral("Today") : QStringLiteral("Start"));
}

void TChoixImages::rotationChange()
{
    m_typeRotation = TypeRotationPour(m_quartsDeTour, m_miroirCB->isChecked(), m_basculeCB->isChecked());
    if (m_imageChargee)
        recharge(false);
}

void TChoixImages::sourisVue(QPoint pos, bool enfonce, bool relache)
{
    if (enfonce)
        m_boutonEnfonce = true;
    if (relache) {
        m_boutonEnfonce = false;
        return;
    }
    m_image1->setCursor(m_rectImage.contains(pos) ? Qt::SizeAllCursor : Qt::ForbiddenCursor);
    if (!m_imageChargee || !m_boutonEnfonce)
        return;
    const QPoint coin = CadreCentreSur(pos, QSize(m_cadre.fw, m_cadre.fh), m_rectImage);
    if (coin == m_coinCadre)
        return;
    m_coinCadre = coin;
    majLabelsCadre();
    m_image1->setAffichage(m_image1->affichage(), RectFocus());
}

void TChoixImages::moletteVue(QPoint pos, int delta, Qt::KeyboardModifiers modifs, bool *pris)
{
    if (!m_imageChargee || !m_rectImage.contains(pos) || delta == 0)
        return;
    *pris = true;
    const int pas = (modifs & Qt::ControlModifier) ? 10 : (modifs & Qt::ShiftModifier) ? 5 : 1;
    const int d = delta < 0 ? pas : -pas;
    QPoint coin = m_coinCadre;
    if (m_cadre.fh != m_rectImage.height()) {
        const int top = coin.y() + d;
        if (top < m_rectImage.top() || top + m_cadre.fh > m_rectImage.top() + m_rectImage.height())
            return;
        coin.setY(top);
    } else {
        const int left = coin.x() + d;
        if (left < m_rectImage.left() || left + m_cadre.fw > m_rectImage.left() + m_rectImage.width())
            return;
        coin.setX(left);
    }
    m_coinCadre = coin;
    majLabelsCadre();
    m_image1->setAffichage(m_image1->affichage(), RectFocus());
}

void TChoixImages::choisitFond()
{
    if (!m_ctx.prompts)
        return;
    const auto c = m_ctx.prompts->chooseColor(m_ctx.options.CouleurFond);
    if (!c)
        return;
    m_ctx.options.CouleurFond = *c;
    m_panel7->setStyleSheet(QStringLiteral("background-color: %1;").arg(QColor(c->toQRgb()).name()));
    if (m_imageChargee) {
        const auto mode = ModeInterpolation(std::max(m_interpolRG->checkedId(), 0));
        m_bmpApercu = construitApercu(m_fichierSource, m_sourceTournee, m_rectImage.size(), m_typeRotation, mode, *c);
        majMiniatures();
        recalculeApercu();
    }
}

ParametresFinale TChoixImages::parametresFinale() const
{
    ParametresFinale p;
    p.cible = m_tailleCible;
    p.rectImage = m_rectImage;
    p.coinCadre = m_coinCadre;
    p.s = m_cadre.s;
    p.interpolation = ModeInterpolation(std::max(m_interpolRG->checkedId(), 0));
    p.fond = m_ctx.options.CouleurFond;
    p.effets = m_effets;
    p.facteurPicker = FacteurPicker(LargeurVueChoix, LargeurPicker);
    p.graineExplosion = m_graine;
    return p;
}

QImage TChoixImages::ConstruitImageFinale() const
{
    if (!m_imageChargee || m_sourceTournee.isNull())
        return {};
    if (TypeFichierMetafichier(m_fichierSource) != TypeMetafichier::Aucun) {
        // A metafile is drawn again at the size where the frame holds the
        // target's pixels one for one, over the background colour.
        const QSize vue = m_rectImage.size();
        QSize taille(std::max(1, arrondi(vue.width() / m_cadre.s)), std::max(1, arrondi(vue.height() / m_cadre.s)));
        taille = TailleDessinMetafichier(m_typeRotation % 2 ? taille.transposed() : taille);
        if (const auto dessin = DessineMetafichier(m_fichierSource, taille, m_ctx.options.CouleurFond.toQRgb()))
            return ::ConstruitImageFinale(TourneImage(*dessin, m_typeRotation), parametresFinale());
    }
    if (!m_sourceReduite.isNull()) {
        // Built before the full picture was decoded: decode it here.
        const auto source = litSource(m_fichierSource);
        if (!source)
            return {};
        return ::ConstruitImageFinale(TourneImage(*source, m_typeRotation), parametresFinale());
    }
    return ::ConstruitImageFinale(m_sourceTournee, parametresFinale());
}

bool TChoixImages::SauverBtnClick()
{
    if (!m_imageChargee || !m_ctx.prompts)
        return false;
    Prompts &prompts = *m_ctx.prompts;
    const int format = m_ctx.document.format().FormatTheme;
    const bool deux = FormatImages::deuxOrientations(format);
    // Only a region the user has seen framed for this target is saved.
    if (m_cadreCible != m_tailleCible) {
        cadreSuitCible();
        return false;
    }
    const QString fichier = dossierAppli() + NomImageTravail(format, m_modeToday, paysage());
    if (QFileInfo::exists(fichier) &&
        prompts.question(QStringLiteral("Overwrite original file (or existing) ?"), QStringLiteral("Confirm"),
                         Prompts::Buttons::YesNo) != Prompts::Answer::Yes)
        return false;

    QImage finale;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        finale = ConstruitImageFinale();
        QApplication::restoreOverrideCursor();
    }
    const auto type = TypeSauver(std::max(m_typeSauverRG->checkedId(), 0));
    const auto octets = finale.isNull() ? std::nullopt : EncodeImageFormat(finale, m_qualJpgTB->value(), type,
                                                                           QDateTime::currentDateTime());
    // The plain-named copy the picture also goes to: the portrait pictures of
    // the two-orientation formats, and the Start picture while it stands for
    // Today.
    const bool portrait = deux && !paysage();
    QString copie;
    if (portrait)
        copie = m_modeToday ? QStringLiteral("tdywater.gif") : QStringLiteral("stwater.gif");
    else if (!m_modeToday && !deux && m_ctx.document.parametres().UseStartImageDefini)
        copie = QStringLiteral("tdywater.gif");
    const ResultatImageEtCopie resultat =
        octets ? EcritImageEtCopie(dossierAppli(), QFileInfo(fichier).fileName(), *octets, copie, nullptr,
                                   m_ctx.entreImageEtCopie)
               : ResultatImageEtCopie::ImageNonEcrite;
    if (resultat == ResultatImageEtCopie::ImageNonEcrite) {
        prompts.message(QStringLiteral("Save Error !"));
        return false;
    }
    if (resultat == ResultatImageEtCopie::CopieNonEcrite)
        prompts.message(QStringLiteral("Save Error !"));
    if (m_modeToday) {
        ParametresWM5 p = m_ctx.document.parametres();
        if (p.UseStartImageDefini) {
            p.UseStartImageDefini = false;
            m_ctx.document.setParametres(p);
        }
    }

    m_enregistre = true;
    MajBoutonsImagesEnCours();
    emit imageSauvee(fichier);
    m_fichierSource = fichier;
    recharge(true);
    return true;
}

void TChoixImages::EvalTBtnClick()
{
    if (!m_imageChargee)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage finale = ConstruitImageFinale();
    QString dossier = m_ctx.dossiers.DossierTravail;
    if (dossier.isEmpty())
        dossier = QDir::tempPath();
    const QString temp = QDir(dossier).filePath(QString::fromLatin1(NomFichierEvalSauve));
    const auto resultats = EvalueSauvegardes(finale, temp);
    QApplication::restoreOverrideCursor();

    TEvalSauve eval(this);
    eval.remplit(resultats);
    eval.exec();
    eval.vide();
}

void TChoixImages::hideEvent(QHideEvent *event)
{
    m_ctx.options.InterpolImg = std::max(m_interpolRG->checkedId(), 0);
    m_ctx.options.TypeImgSauver = std::max(m_typeSauverRG->checkedId(), 0);
    m_shift = false;
    QDialog::hideEvent(event);
}

void TChoixImages::keyPressEvent(QKeyEvent *event)
{
    m_shift = event->modifiers() & Qt::ShiftModifier;
    if (event->key() != Qt::Key_Escape && (event->modifiers() & Qt::AltModifier)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TChoixImages::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift)
        m_shift = false;
    QDialog::keyReleaseEvent(event);
}

void TChoixImages::contextMenuEvent(QContextMenuEvent *event)
{
    for (QWidget *w = childAt(event->pos()); w && w != this; w = w->parentWidget()) {
        const QVariant id = w->property(ProprieteAide);
        if (id.isValid()) {
            if (m_aide)
                m_aide(id.toInt());
            event->accept();
            return;
        }
    }
    QDialog::contextMenuEvent(event);
}

bool OuvreChoixImages(AppContext &ctx, std::function<void(int)> aide, QWidget *parent, TColor couleurPipette)
{
    const AnimationPauseGuard pause(&ctx.animation);
    TChoixImages choix(ctx, std::move(aide), parent);
    choix.setCouleurPipette(couleurPipette);
    choix.exec();
    return choix.imageEnregistree();
}
