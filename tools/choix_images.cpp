#include "tools/choix_images.h"

#include "ui/app_context.h"
#include "ui/fonctions_indep.h"
#include "theme/arrondi.h"
#include "theme/prompts.h"
#include "tools/charger_bitmap.h"
#include "tools/decodage_jpeg.h"
#include "tools/eval_sauve.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

// Width of the centre pickers' miniature: fixes the picker factor of the chain.
constexpr int LargeurPicker = 61;

const char *const ProprieteAide = "helpId";

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

// The source picture of a file, opaque, 32 bits; empty when unreadable.
std::optional<QImage> litSource(const QString &fichier, TColor fond)
{
    if (fichier.isEmpty())
        return std::nullopt;
    if (estIcone(fichier)) {
        if (ChargeIconeFichier(fichier).isNull())
            return std::nullopt;
        return IconeVersBitmap(fichier, fond);
    }
    auto image = ChargerBitmap32GDIP(fichier);
    if (!image || image->isNull())
        return std::nullopt;
    return image;
}

// The file's identity for the source cache: a saved working picture under the
// same name must be read again.
QString cleFichier(const QString &fichier)
{
    const QFileInfo info(fichier);
    return fichier + QLatin1Char('|') + QString::number(info.lastModified().toMSecsSinceEpoch()) +
           QLatin1Char('|') + QString::number(info.size());
}

bool ecritAtomique(const QString &fichier, const QByteArray &octets)
{
    QSaveFile f(fichier);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(octets) != octets.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

QSlider *curseur(const QString &nom, int min, int max, int valeur, QWidget *parent)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(nom);
    s->setRange(min, max);
    s->setValue(valeur);
    // A dragged slider changes its value once, when released.
    s->setTracking(false);
    return s;
}

QButtonGroup *groupeRadio(QGroupBox *boite, const QStringList &items, int colonnes = 1)
{
    auto *groupe = new QButtonGroup(boite);
    auto *grille = new QGridLayout(boite);
    grille->setContentsMargins(4, 2, 4, 2);
    grille->setSpacing(1);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i], boite);
        groupe->addButton(b, i);
        grille->addWidget(b, i / colonnes, i % colonnes);
    }
    return groupe;
}

} // namespace

// ---- view -------------------------------------------------------------------

TVueChoixImages::TVueChoixImages(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(LargeurVueChoix, HauteurVueChoix);
    setCursor(Qt::SizeAllCursor);
    setMouseTracking(true);
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
        emit souris(event->position().toPoint(), true, false);
    else
        QWidget::mousePressEvent(event);
}

void TVueChoixImages::mouseMoveEvent(QMouseEvent *event)
{
    emit souris(event->position().toPoint(), false, false);
}

void TVueChoixImages::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit souris(event->position().toPoint(), false, true);
}

void TVueChoixImages::wheelEvent(QWheelEvent *event)
{
    bool pris = false;
    emit molette(event->position().toPoint(), event->angleDelta().y(), event->modifiers(), &pris);
    event->setAccepted(pris);
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
    resize(696, 700);
    auto *racine = new QVBoxLayout(this);

    // Tool bar.
    auto *barre = new QWidget(this);
    barre->setProperty(ProprieteAide, 1001);
    auto *lb = new QHBoxLayout(barre);
    lb->setContentsMargins(0, 0, 0, 0);
    auto bouton = [&](QToolButton *&b, const char *nom, const QString &texte, const QString &hint,
                      QStyle::StandardPixmap icone) {
        b = new QToolButton(barre);
        b->setObjectName(QString::fromLatin1(nom));
        b->setText(texte);
        b->setToolTip(hint);
        b->setIcon(style()->standardIcon(icone));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setMinimumSize(42, 42);
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
    m_sauverTBtn->setEnabled(false);
    m_evalTBtn->setEnabled(false);
    connect(m_ouvrirTBtn, &QToolButton::clicked, this, &TChoixImages::OuvrirBtnClick);
    connect(m_todayEnCoursTBtn, &QToolButton::clicked, this, &TChoixImages::TodayEnCoursClick);
    connect(m_startEnCoursTBtn, &QToolButton::clicked, this, &TChoixImages::StartEnCoursClick);
    connect(m_sauverTBtn, &QToolButton::clicked, this, &TChoixImages::SauverBtnClick);
    connect(m_evalTBtn, &QToolButton::clicked, this, &TChoixImages::EvalTBtnClick);
    connect(m_quitterTBtn, &QToolButton::clicked, this, &QDialog::accept);
    racine->addWidget(barre);

    // View and its side panel.
    auto *milieu = new QHBoxLayout;
    m_image1 = new TVueChoixImages(this);
    m_image1->setProperty(ProprieteAide, 1011);
    connect(m_image1, &TVueChoixImages::souris, this, &TChoixImages::sourisVue);
    connect(m_image1, &TVueChoixImages::molette, this, &TChoixImages::moletteVue);
    milieu->addWidget(m_image1, 0, Qt::AlignTop);

    auto *cote = new QVBoxLayout;
    auto *typeBox = new QGroupBox(this);
    typeBox->setObjectName(QStringLiteral("TypeImgRG"));
    typeBox->setProperty(ProprieteAide, 1029);
    m_typeImgRG = groupeRadio(typeBox, {QStringLiteral("Today"), QStringLiteral("Start")}, 2);
    m_typeImgRG->button(0)->setChecked(true);
    connect(m_typeImgRG, &QButtonGroup::idClicked, this, [this](int id) { fixeTailleCible(id == 0, true); });
    cote->addWidget(typeBox);

    m_landscapeCB = new QCheckBox(QStringLiteral("Landscape"), this);
    m_landscapeCB->setObjectName(QStringLiteral("LandscapeCB"));
    connect(m_landscapeCB, &QCheckBox::clicked, this, [this] {
        m_effets = OptionsEffets{};
        majControlesEffets();
        fixeTailleCible(true, false);
        preCharge();
    });
    cote->addWidget(m_landscapeCB);

    auto *panel8 = new QWidget(this);
    panel8->setObjectName(QStringLiteral("Panel8"));
    panel8->setProperty(ProprieteAide, 1021);
    auto *l8 = new QHBoxLayout(panel8);
    l8->setContentsMargins(0, 0, 0, 0);
    m_rotHSBtn = new QToolButton(panel8);
    m_rotHSBtn->setObjectName(QStringLiteral("RotHSBtn"));
    m_rotHSBtn->setText(QStringLiteral("↻"));
    m_rotAHSBtn = new QToolButton(panel8);
    m_rotAHSBtn->setObjectName(QStringLiteral("RotAHSBtn"));
    m_rotAHSBtn->setText(QStringLiteral("↺"));
    m_miroirCB = new QCheckBox(QStringLiteral("Mirror"), panel8);
    m_miroirCB->setObjectName(QStringLiteral("MiroirCB"));
    m_basculeCB = new QCheckBox(QStringLiteral("Flip"), panel8);
    m_basculeCB->setObjectName(QStringLiteral("BasculeCB"));
    for (QWidget *w : std::initializer_list<QWidget *>{m_rotHSBtn, m_rotAHSBtn, m_miroirCB, m_basculeCB})
        l8->addWidget(w);
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
    cote->addWidget(panel8);

    auto *interpBox = new QGroupBox(this);
    interpBox->setObjectName(QStringLiteral("InterpolRG"));
    interpBox->setProperty(ProprieteAide, 1014);
    QStringList items;
    for (int i = 0; i < NombreModesInterpolation; ++i)
        items << ItemInterpolation(i);
    m_interpolRG = groupeRadio(interpBox, items, 2);
    if (auto *b = m_interpolRG->button(std::clamp(m_ctx.options.InterpolImg, 0, NombreModesInterpolation - 1)))
        b->setChecked(true);
    connect(m_interpolRG, &QButtonGroup::idClicked, this, [this] {
        if (m_imageChargee)
            recharge(false);
    });
    cote->addWidget(interpBox);

    auto *fondL = new QHBoxLayout;
    fondL->addWidget(new QLabel(QStringLiteral("Bkg"), this));
    m_panel7 = new QPushButton(this);
    m_panel7->setObjectName(QStringLiteral("Panel7"));
    m_panel7->setToolTip(QStringLiteral("Change background image (Theme Independant !)"));
    m_panel7->setFixedSize(40, 20);
    connect(m_panel7, &QPushButton::clicked, this, &TChoixImages::choisitFond);
    fondL->addWidget(m_panel7);
    fondL->addStretch();
    cote->addLayout(fondL);

    auto *panel5 = new QGroupBox(TitreTypeSauver(), this);
    panel5->setObjectName(QStringLiteral("Panel5"));
    panel5->setProperty(ProprieteAide, 1022);
    auto *l5 = new QVBoxLayout(panel5);
    auto *sauverBox = new QWidget(panel5);
    sauverBox->setObjectName(QStringLiteral("TypeSauverRG"));
    QStringList types;
    for (int i = 0; i < NombreTypesSauver; ++i)
        types << ItemTypeSauver(TypeSauver(i));
    auto *lsb = new QVBoxLayout(sauverBox);
    lsb->setContentsMargins(0, 0, 0, 0);
    m_typeSauverRG = new QButtonGroup(sauverBox);
    for (int i = 0; i < NombreTypesSauver; ++i) {
        auto *b = new QRadioButton(types[i], sauverBox);
        b->setToolTip(HintTypeSauver(TypeSauver(i)));
        m_typeSauverRG->addButton(b, i);
        lsb->addWidget(b);
    }
    if (auto *b = m_typeSauverRG->button(std::clamp(m_ctx.options.TypeImgSauver, 0, NombreTypesSauver - 1)))
        b->setChecked(true);
    l5->addWidget(sauverBox);
    m_qualJpgTB = new QSlider(Qt::Horizontal, panel5);
    m_qualJpgTB->setObjectName(QStringLiteral("QualJpgTB"));
    m_qualJpgTB->setRange(10, 100);
    m_qualJpgTB->setValue(100);
    m_qualJpgTB->setToolTip(HintQualiteJpeg());
    l5->addWidget(m_qualJpgTB);
    cote->addWidget(panel5);
    cote->addStretch();
    milieu->addLayout(cote);
    racine->addLayout(milieu);

    // Sizes and frame.
    auto *infos = new QGridLayout;
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
    infos->addWidget(affT, 1, 0);
    label(m_affLargLbl, "AffLargLbl", 1, 1);
    label(m_affHautLbl, "AffHautLbl", 1, 2);
    label(m_leftLbl, "LeftLbl", 2, 0);
    label(m_topLbl, "TopLbl", 2, 1);
    label(m_rightLbl, "RightLbl", 2, 2);
    label(m_bottomLbl, "BottomLbl", 2, 3);
    racine->addLayout(infos);

    racine->addWidget(construitEffets());
    racine->addStretch();
}

QWidget *TChoixImages::construitEffets()
{
    auto *panel2 = new QGroupBox(this);
    panel2->setObjectName(QStringLiteral("Panel2"));
    panel2->setProperty(ProprieteAide, 1018);
    auto *g = new QGridLayout(panel2);
    m_grisCB = new QCheckBox(QStringLiteral("Grey"), panel2);
    m_grisCB->setObjectName(QStringLiteral("GrisCB"));
    m_negCB = new QCheckBox(QStringLiteral("Negative"), panel2);
    m_negCB->setObjectName(QStringLiteral("NegCB"));
    m_sepiaCB = new QCheckBox(QStringLiteral("Sepia"), panel2);
    m_sepiaCB->setObjectName(QStringLiteral("SepiaCB"));
    m_clairTB = curseur(QStringLiteral("ClairTB"), 0, 9, 9, panel2);
    m_gammaTB = curseur(QStringLiteral("GammaTB"), 1, 30, 10, panel2);
    m_contrasteTB = curseur(QStringLiteral("ContrasteTB"), -100, 100, 0, panel2);
    g->addWidget(m_grisCB, 0, 0);
    g->addWidget(m_negCB, 0, 1);
    g->addWidget(m_sepiaCB, 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Light"), panel2), 1, 0);
    g->addWidget(m_clairTB, 1, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("Gamma"), panel2), 2, 0);
    g->addWidget(m_gammaTB, 2, 1, 1, 2);
    g->addWidget(new QLabel(QStringLiteral("Contrast"), panel2), 3, 0);
    g->addWidget(m_contrasteTB, 3, 1, 1, 2);
    for (QCheckBox *c : {m_grisCB, m_negCB, m_sepiaCB})
        connect(c, &QCheckBox::toggled, this, &TChoixImages::majEffetsDepuisControles);
    for (QSlider *s : {m_clairTB, m_gammaTB, m_contrasteTB})
        connect(s, &QSlider::valueChanged, this, &TChoixImages::majEffetsDepuisControles);
    panel2->setVisible(false);
    return panel2;
}

void TChoixImages::majEffetsDepuisControles()
{
    if (m_majControles)
        return;
    m_effets.GrisCB = m_grisCB->isChecked();
    m_effets.NegCB = m_negCB->isChecked();
    m_effets.SepiaCB = m_sepiaCB->isChecked();
    m_effets.ClairTB = m_clairTB->value();
    m_effets.GammaTB = m_gammaTB->value();
    m_effets.ContrasteTB = m_contrasteTB->value();
    planifieApercu();
}

void TChoixImages::majControlesEffets()
{
    m_majControles = true;
    m_grisCB->setChecked(m_effets.GrisCB);
    m_negCB->setChecked(m_effets.NegCB);
    m_sepiaCB->setChecked(m_effets.SepiaCB);
    m_clairTB->setValue(m_effets.ClairTB);
    m_gammaTB->setValue(m_effets.GammaTB);
    m_contrasteTB->setValue(m_effets.ContrasteTB);
    m_majControles = false;
}

void TChoixImages::setOptionsEffets(const OptionsEffets &o)
{
    m_effets = o;
    majControlesEffets();
    planifieApercu();
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
    m_effets = OptionsEffets{};
    majControlesEffets();
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
    m_todayEnCoursTBtn->setEnabled(QFileInfo::exists(dossierAppli() + NomImageTravail(format, true, paysage())));
    m_startEnCoursTBtn->setEnabled(QFileInfo::exists(dossierAppli() + NomImageTravail(format, false, paysage())));
}

void TChoixImages::preCharge()
{
    const int format = m_ctx.document.format().FormatTheme;
    const QString today = dossierAppli() + NomImageTravail(format, true, paysage());
    const QString start = dossierAppli() + NomImageTravail(format, false, paysage());
    if (QFileInfo::exists(today) && m_modeToday && chargeFichier(today))
        return;
    if (QFileInfo::exists(start)) {
        fixeTailleCible(false, false);
        if (chargeFichier(start))
            return;
        fixeTailleCible(true, false);
    }
    OuvrirBtnClick();
}

void TChoixImages::TodayEnCoursClick()
{
    fixeTailleCible(true, false);
    chargeFichier(dossierAppli() + NomImageTravail(m_ctx.document.format().FormatTheme, true, paysage()));
}

void TChoixImages::StartEnCoursClick()
{
    fixeTailleCible(false, false);
    chargeFichier(dossierAppli() + NomImageTravail(m_ctx.document.format().FormatTheme, false, paysage()));
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
        if (taille) {
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
            auto source = litSource(fichier, m_ctx.options.CouleurFond);
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
    auto source = litSource(m_fichierSource, m_ctx.options.CouleurFond);
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
        auto source = litSource(m_fichierSource, m_ctx.options.CouleurFond);
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
    if (resetEffets) {
        m_effets = OptionsEffets{};
        majControlesEffets();
    }
    if (!chargeSource())
        return;
    ajuste();
    m_coinCadre = m_rectImage.topLeft();
    majLabelsCadre();
    m_imageChargee = true;
    m_sauverTBtn->setEnabled(true);
    m_evalTBtn->setEnabled(true);
    if (auto *panel2 = findChild<QWidget *>(QStringLiteral("Panel2")))
        panel2->setVisible(true);
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
    m_bmpApercu = ConstruitApercu(s, m_rectImage.size(), mode, m_ctx.options.CouleurFond);
    m_cadre = CalculeCadre(m_tailleCible, m_rectImage.size());
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
    ContexteChaine ctx;
    ctx.imageDansVue = m_rectImage;
    ctx.facteurPicker = FacteurPicker(LargeurVueChoix, LargeurPicker);
    ctx.graineExplosion = m_graine;
    m_apercuFiltre = AppliqueChaine(m_bmpApercu, m_effets, ctx);
    ++m_calculsApercu;
    majVue();
    emit apercuRecalcule();
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
        m_bmpApercu = ConstruitApercu(m_sourceTournee, m_rectImage.size(), mode, *c);
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
    if (!m_sourceReduite.isNull()) {
        // Built before the full picture was decoded: decode it here.
        const auto source = litSource(m_fichierSource, m_ctx.options.CouleurFond);
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
    if (!octets || !ecritAtomique(fichier, *octets)) {
        prompts.message(QStringLiteral("Save Error !"));
        return false;
    }

    bool copieOk = true;
    const bool portrait = deux && !paysage();
    if (m_modeToday) {
        if (portrait)
            copieOk = ecritAtomique(dossierAppli() + QStringLiteral("tdywater.gif"), *octets);
        ParametresWM5 p = m_ctx.document.parametres();
        if (p.UseStartImageDefini) {
            p.UseStartImageDefini = false;
            m_ctx.document.setParametres(p);
        }
    } else if (portrait) {
        copieOk = ecritAtomique(dossierAppli() + QStringLiteral("stwater.gif"), *octets);
    } else if (!deux && m_ctx.document.parametres().UseStartImageDefini) {
        copieOk = ecritAtomique(dossierAppli() + QStringLiteral("tdywater.gif"), *octets);
    }
    if (!copieOk)
        prompts.message(QStringLiteral("Save Error !"));

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

bool OuvreChoixImages(AppContext &ctx, std::function<void(int)> aide, QWidget *parent)
{
    const AnimationPauseGuard pause(&ctx.animation);
    TChoixImages choix(ctx, std::move(aide), parent);
    choix.exec();
    return choix.imageEnregistree();
}
