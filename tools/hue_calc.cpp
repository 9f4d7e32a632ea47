#include "tools/hue_calc.h"

#include "ui/charge_image_res.h"
#include "ui/place_fenetre.h"
#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "device/etat_pda.h"
#include "device/fonctions_rapi_fichiers.h"
#include "device/identite_ce.h"
#include "device/texte_ce.h"
#include "theme/animation_pause.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"
#include "tools/echelles_teinte.h"
#include "tools/histo_teinte.h"
#include "tools/hls.h"
#include "tools/rgb_vers_teinte.h"
#include "tools/restauration_pda.h"
#include "tools/sauvegarde_pda.h"
#include "tools/teintes_images.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTime>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <numbers>

using namespace EchellesTeinte;

namespace {

constexpr QSize TailleFenetre{517, 674};
constexpr QPoint PosEchelles{48, 8};
constexpr QSize TailleEchelles{297, 96};
// The wheel picture starts at the window's left edge, with room for "270°"
// left of the circle.
constexpr QSize TailleRoue{228, 220};
constexpr QPoint PosRoue{0, 208};
constexpr int DecalageRoue = 8;
constexpr QPoint CentrePointeur{118, 318};
constexpr int LongueurPointeur = 90;
constexpr QSize TailleBarre{240, 26};
constexpr QPoint PosEcran{240, 165};
constexpr QPoint PosBarreHaut{240, 139};
constexpr QPoint PosBarreBas{240, 433};
constexpr QSize TailleEcran{240, 268};
constexpr int kIcones[4] = {139, 206, 140, 300};

const QString kPoliceEchelles = QStringLiteral("Times New Roman");
const QString kPoliceBarres = QStringLiteral("Courrier New");

// The device pictures shown under the theme, their saved copies in the work
// folder and the working pictures pushed in their place.
struct ImagePDA
{
    const char16_t *cheminCE;
    const char *sauvegarde;
    const char *locale;
};
constexpr ImagePDA kImagesPDA[2] = {
    {u"\\Windows\\tdywater.gif", "SauveTDPDA.gif", "tdywater.gif"},
    {u"\\Windows\\stwater.gif", "SauveSTPDA.gif", "stwater.gif"},
};

QLabel *libelle(QWidget *parent, const char *nom, const QString &texte, const QRect &r)
{
    auto *l = new QLabel(texte, parent);
    l->setObjectName(QLatin1String(nom));
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(r);
    return l;
}

QCheckBox *caseACocher(QWidget *parent, const char *nom, const QString &texte, const QRect &r)
{
    auto *c = new QCheckBox(texte, parent);
    c->setObjectName(QLatin1String(nom));
    c->setGeometry(r);
    return c;
}

QToolButton *boutonRapide(QWidget *parent, const char *nom, const QString &texte, const QRect &r)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(nom));
    b->setText(texte);
    b->setGeometry(r);
    b->setAutoRaise(true);
    return b;
}

// The hourglass while the device is busy, on every path.
struct CurseurAttente
{
    CurseurAttente() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CurseurAttente() { QGuiApplication::restoreOverrideCursor(); }
    CurseurAttente(const CurseurAttente &) = delete;
    CurseurAttente &operator=(const CurseurAttente &) = delete;
};

int VersionMajeureCE(LienRapi &rapi)
{
    CEOSVERSIONINFO v{};
    v.dwOSVersionInfoSize = OVD_CEOSVERSIONINFO_SIZE;
    return rapi.CeGetVersionEx(&v) ? int(v.dwMajorVersion) : 0;
}

// The chromatic wheel: one-degree arcs of pen 3 round a white disc, in colour
// or in the grey levels of the same colours.
QImage dessineRoue(bool enGris, const QColor &fond)
{
    QImage roue = NouvelleImage32(TailleRoue.width(), TailleRoue.height());
    roue.fill(fond);
    QPainter p(&roue);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect cercle(20 + DecalageRoue, 20, 180, 180);
    for (int d = 0; d < 360; ++d) {
        const TColor c = ColorHLSToRGB(d * 2 / 3, 120, 240);
        p.setPen(QPen((enGris ? TColor::gris(NiveauGris(c)) : c).toQColor(), 3, Qt::SolidLine, Qt::FlatCap));
        // Clockwise from the positive x axis, starting at d - 90.
        p.drawArc(cercle, (90 - d) * 16, -16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRect(70 + DecalageRoue, 70, 80, 80));
    p.setPen(Qt::black);
    p.setFont(PoliceHauteurCellule(kPoliceEchelles, 10));
    const QFontMetrics fm(p.font());
    EcritTexteHautGauche(p, 107 + DecalageRoue, 8, QStringLiteral("0") + QChar(0x00B0));
    EcritTexteHautGauche(p, 100 + DecalageRoue, 202, QStringLiteral("180") + QChar(0x00B0));
    EcritTexteHautGauche(p, 202 + DecalageRoue, 105, QStringLiteral("90") + QChar(0x00B0));
    // Right-aligned against the circle, whole inside the picture.
    const QString t270 = QStringLiteral("270") + QChar(0x00B0);
    EcritTexteHautGauche(p, std::max(0, 17 + DecalageRoue - fm.horizontalAdvance(t270)), 105, t270);
    return roue;
}

// The scales: the axis with its ticks and labels, the coloured strip centred
// on y 50 and the grey strip centred on y 80, one column per hue.
QImage dessineEchelles(const QColor &fond)
{
    QImage img = NouvelleImage32(TailleEchelles.width(), TailleEchelles.height());
    img.fill(fond);
    QPainter p(&img);
    p.setPen(Qt::black);
    p.drawLine(20, 20, 281, 20);
    p.drawLine(281, 20, 278, 17);
    p.drawLine(281, 20, 278, 23);
    p.drawLine(20, 17, 20, 23);
    p.setPen(Qt::red);
    for (int x : {64, 128, 192, 240})
        p.drawLine(x + 20, 20, x + 20, 25);
    for (int i = 0; i < HLSMAX; ++i) {
        const TColor c = ColorHLSToRGB(i, 120, 240);
        p.setPen(c.toQColor());
        p.drawLine(i + Gauche, 35, i + Gauche, 64);
        p.setPen((TColor::gris(NiveauGris(c))).toQColor());
        p.drawLine(i + Gauche, 65, i + Gauche, 94);
    }
    p.setPen(Qt::blue);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(PoliceHauteurCellule(kPoliceEchelles, 10));
    const int xs[] = {16, 78, 140, 203, 250};
    const char *textes[] = {"0", "64", "128", "192", "240"};
    for (int k = 0; k < 5; ++k)
        EcritTexteHautGauche(p, xs[k], 4, QLatin1String(textes[k]));
    return img;
}

// One band of a bar: the chosen colour at both edges, the band colour in the middle.
void bandeBarre(QPainter &p, int haut, int hauteur, TColor choisie, TColor bande)
{
    QLinearGradient g1(0, 0, 121, 0);
    g1.setColorAt(0, choisie.toQColor());
    g1.setColorAt(1, bande.toQColor());
    p.fillRect(QRect(0, haut, 120, hauteur), g1);
    QLinearGradient g2(120, 0, 241, 0);
    g2.setColorAt(0, bande.toQColor());
    g2.setColorAt(1, choisie.toQColor());
    p.fillRect(QRect(120, haut, 120, hauteur), g2);
}

// A 3-D frame of the given width round r (raised when clair is the top-left colour).
void cadre3D(QPainter &p, QRect r, int largeur, const QColor &hautGauche, const QColor &basDroite)
{
    for (int k = 0; k < largeur; ++k) {
        p.setPen(hautGauche);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(basDroite);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

THueCalc::THueCalc(const ThemeDocument &doc, const SourcesHueCalc &sources, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_doc(doc), m_sources(sources), m_prompts(prompts), m_parametres(doc.parametres())
{
    // FormCreate
    setObjectName(QStringLiteral("HueCalc"));
    setWindowTitle(QStringLiteral("BaseHue for Windows Mobile 5"));
    setFixedSize(TailleFenetre);

    construitEchelles();
    construitSuggestions();
    construitCles();
    construitVoirSurPDA();
    construitBoutons();
    construitBarreEtat();
    prepareEcritureAppareil();

    LumSE->blockSignals(true);
    SatSE->blockSignals(true);
    LumSE->setValue(120);
    SatSE->setValue(160);
    LumSE->blockSignals(false);
    SatSE->blockSignals(false);

    const QColor fond = palette().color(QPalette::Window);
    m_roueCouleur = dessineRoue(false, fond);
    m_roueGris = dessineRoue(true, fond);
    m_echelles = dessineEchelles(fond);
    EchellesImg->setPixmap(QPixmap::fromImage(m_echelles));
    for (int k = 0; k < 4; ++k)
        m_icones[k] = AvecCouleurTransparente(ChargeImageRes(QString::number(kIcones[k]) + QStringLiteral(".bmp")));
}

// The two hue strips, and the hidden saturation and luminance.
void THueCalc::construitEchelles()
{
    EchellesImg = new QLabel(this);
    EchellesImg->setObjectName(QStringLiteral("EchellesImg"));
    EchellesImg->setGeometry(QRect(PosEchelles, TailleEchelles));
    EchellesImg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    EchellesImg->setMouseTracking(true);
    EchellesImg->installEventFilter(this);

    // Saturation and luminance stay hidden; their values drive every colour.
    libelle(this, "Label3", QStringLiteral("Saturation"), QRect(352, 140, 70, 18))->hide();
    libelle(this, "Label4", QStringLiteral("Luminance"), QRect(432, 140, 70, 18))->hide();
    const auto spin = [this](const char *nom, int x) {
        auto *s = new QSpinBox(this);
        s->setObjectName(QLatin1String(nom));
        s->setRange(0, HLSMAX);
        s->setGeometry(x, 160, 60, 22);
        s->hide();
        connect(s, &QSpinBox::textChanged, this, &THueCalc::SatLumChange);
        return s;
    };
    SatSE = spin("SatSE", 352);
    LumSE = spin("LumSE", 432);

    libelle(this, "Label17", QStringLiteral("Click and move mouse on these scales to choose Hue"),
            QRect(20, 116, 328, 18));
}

// The hues the pictures suggest, their histograms, and the RGB converter.
void THueCalc::construitSuggestions()
{
    libelle(this, "MaxHueLbl", QStringLiteral("Suggested Hue : Dominant"), QRect(352, 8, 163, 18));
    MaxHueLblTD = libelle(this, "MaxHueLblTD", {}, QRect(352, 30, 100, 18));
    MaxHueLblST = libelle(this, "MaxHueLblST", {}, QRect(352, 54, 100, 18));
    OKTDBtn = boutonRapide(this, "OKTDBtn", QStringLiteral("OK"), QRect(456, 28, 40, 22));
    OKSTBtn = boutonRapide(this, "OKSTBtn", QStringLiteral("OK"), QRect(456, 52, 40, 22));
    for (QToolButton *b : {OKTDBtn, OKSTBtn})
        b->setToolTip(QStringLiteral("Fix Hue with this value"));
    connect(OKTDBtn, &QToolButton::clicked, this, [this] { OKTDBtnClick(TeintesImages::TodayPortrait); });
    connect(OKSTBtn, &QToolButton::clicked, this, [this] { OKTDBtnClick(TeintesImages::StartPortrait); });

    HistoTDSBtn = boutonRapide(this, "HistoTDSBtn", {}, QRect(352, 80, 44, 28));
    HistoSTSBtn = boutonRapide(this, "HistoSTSBtn", {}, QRect(400, 80, 44, 28));
    HistoTDSTSBtn = boutonRapide(this, "HistoTDSTSBtn", {}, QRect(448, 80, 44, 28));
    const char *bulles[] = {"Show Today Hue Histogram", "Show Start Hue Histogram",
                            "Show Today and Start Hue Histogram"};
    const char *images[] = {"HA", "HD", "HAD"};
    int tag = 0;
    for (QToolButton *b : {HistoTDSBtn, HistoSTSBtn, HistoTDSTSBtn}) {
        b->setProperty("Tag", tag);
        b->setToolTip(QLatin1String(bulles[tag]));
        b->setIcon(IconeRes(QLatin1String(images[tag]) + QStringLiteral(".png")));
        b->setIconSize(QSize(36, 22));
        connect(b, &QToolButton::clicked, this, [this, tag] { HistoTDSBtnClick(tag); });
        ++tag;
    }

    RVBversTeinte = new QPushButton(QStringLiteral("RGB to Hue"), this);
    RVBversTeinte->setObjectName(QStringLiteral("RVBversTeinte"));
    RVBversTeinte->setGeometry(352, 112, 140, 24);
    connect(RVBversTeinte, &QPushButton::clicked, this, &THueCalc::RVBversTeinteClick);
}

// The registry values the theme may carry, and the dropper choice.
void THueCalc::construitCles()
{
    // Two lines above the wheel, beside the device screen.
    libelle(this, "Label16", QStringLiteral("Selected   Hue   in   the   Chromatic   Wheel"), QRect(8, 148, 228, 40))
        ->setWordWrap(true);

    libelle(this, "Label6", QStringLiteral("Value to put in HKLM\\Software\\Microsoft\\Color\\BaseHue (DWORD) : "),
            QRect(8, 476, 501, 18));
    // The value on the line below its label, beside the one the package holds.
    BaseHueLbl = libelle(this, "BaseHueLbl", {}, QRect(24, 494, 200, 18));
    BHExisteLbl = libelle(this, "BHExisteLbl", {}, QRect(250, 494, 200, 18));
    BaseHueCB = caseACocher(this, "BaseHueCB", QStringLiteral("Create BaseHue Key for the Theme"), QRect(8, 514, 240, 20));
    libelle(this, "Label15", QStringLiteral("Value to put in HKCU\\Software\\Microsoft\\Today\\DPI (DWORD) : "),
            QRect(8, 540, 380, 18));
    // Not editable: the DPI is chosen from the list only.
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("48"), QStringLiteral("96"), QStringLiteral("192")});
    ComboBox1->setCurrentIndex(2);
    ComboBox1->setGeometry(390, 538, 64, 22);
    ComboBox1->installEventFilter(this);
    libelle(this, "Label14", QStringLiteral("DPI"), QRect(460, 540, 40, 18));
    DPICb = caseACocher(this, "DPICb", QStringLiteral("Create DPI key for the Theme"), QRect(8, 562, 240, 20));
    DPIExisteLbl = libelle(this, "DPIExisteLbl", {}, QRect(250, 564, 200, 18));
    PipetteCB = caseACocher(this, "PipetteCB", QStringLiteral("Copy Chosen Hue in the Dropper"), QRect(8, 586, 240, 20));
}

void THueCalc::construitVoirSurPDA()
{
    VoirSurPDAPnl = new QWidget(this);
    VoirSurPDAPnl->setObjectName(QStringLiteral("VoirSurPDAPnl"));
    VoirSurPDAPnl->setGeometry(250, 584, 260, 24);
    ActifSurPDACb = caseACocher(VoirSurPDAPnl, "ActifSurPDACb", QStringLiteral("PDA Interaction"), QRect(0, 2, 140, 20));
    RestaurerCB = caseACocher(VoirSurPDAPnl, "RestaurerCB", QStringLiteral("Restore"), QRect(148, 2, 90, 20));
    RestaurerCB->setChecked(true);
    connect(ActifSurPDACb, &QCheckBox::clicked, this, &THueCalc::ActifSurPDACbClick);
}

void THueCalc::construitBoutons()
{
    ValiderBtn = new QPushButton(QStringLiteral("Validate"), this);
    ValiderBtn->setObjectName(QStringLiteral("ValiderBtn"));
    ValiderBtn->setGeometry(300, 614, 100, 28);
    AnnulerBtn = new QPushButton(QStringLiteral("Cancel"), this);
    AnnulerBtn->setObjectName(QStringLiteral("AnnulerBtn"));
    AnnulerBtn->setGeometry(408, 614, 100, 28);
    ValiderBtn->setAutoDefault(false);
    AnnulerBtn->setAutoDefault(false);
    connect(ValiderBtn, &QPushButton::clicked, this, [this] {
        m_valide = true;
        accept();
    });
    connect(AnnulerBtn, &QPushButton::clicked, this, [this] {
        m_valide = false;
        reject();
    });
}

void THueCalc::construitBarreEtat()
{
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, TailleFenetre.height() - 22, TailleFenetre.width(), 22);
    // The status font, a point smaller than the window's, as status bars have.
    QFont police = StatusBar1->font();
    if (police.pointSizeF() > 0)
        police.setPointSizeF(police.pointSizeF() - 1);
    StatusBar1->setFont(police);
    const char *initiaux[7] = {"", "Hue = 000", "Angle = 000\u00B0", "R = 000", "V = 000", "B = 000", "Grey = 000"};
    // Each panel as wide as the widest text it shows (three digits).
    const char *plusLarges[7] = {"HueK = 000", "Hue = 000   (0 - 240)", "Angle = 000\u00B0", "R = 000", "G = 000",
                                 "B = 000", "Grey = 000"};
    // Placed side by side by hand: the bar's own layout adds margins and
    // spacing that the seven panels have no room for at the window's width.
    std::array<int, 7> largeurs{};
    int total = 0;
    for (int k = 0; k < 7; ++k) {
        m_panneaux[k] = new QLabel(QString::fromUtf8(initiaux[k]), StatusBar1);
        m_panneaux[k]->setObjectName(QStringLiteral("Panel%1").arg(k));
        largeurs[k] = m_panneaux[k]->fontMetrics().horizontalAdvance(QString::fromUtf8(plusLarges[k])) + 2;
        total += largeurs[k];
    }
    // What is left is shared out, so that the panels stand apart.
    const int reste = std::max(0, TailleFenetre.width() - 4 - total);
    for (int k = 0; k < 7; ++k)
        largeurs[k] += reste / 7 + (k < reste % 7 ? 1 : 0);
    int x = 2;
    for (int k = 0; k < 7; ++k) {
        m_panneaux[k]->setGeometry(x, 2, largeurs[k], 18);
        x += largeurs[k];
    }
}

void THueCalc::prepareEcritureAppareil()
{
    m_minuterieCE.setSingleShot(true);
    m_minuterieCE.setInterval(IntervalleEcritureCE);
    connect(&m_minuterieCE, &QTimer::timeout, this, [this] {
        if (m_ecritureEnAttente) {
            m_ecritureEnAttente = false;
            ecritAppareilMaintenant();
            m_minuterieCE.start();
        }
    });
}

THueCalc::~THueCalc() = default;

void THueCalc::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void THueCalc::FormShow()
{
    m_ferme = false;
    MajPanneauPDA();

    construitEcran();

    const TeintesImages *t = m_sources.teintes;
    const bool okTD = t && t->PicImage[0] > 0 && !m_sources.miniatureTD.isNull();
    const bool okST = t && t->PicImage[1] > 0 && !m_sources.miniatureST.isNull();
    OKTDBtn->setEnabled(okTD);
    MaxHueLblTD->setEnabled(okTD);
    MaxHueLblTD->setText(QStringLiteral("Today : %1 ->").arg(t ? t->TeinteImage[0] : 0));
    OKSTBtn->setEnabled(okST);
    MaxHueLblST->setEnabled(okST);
    MaxHueLblST->setText(QStringLiteral("Start    : %1 ->").arg(t ? t->TeinteImage[1] : 0));
    HistoTDSBtn->setEnabled(okTD);
    HistoSTSBtn->setEnabled(okST);
    HistoTDSTSBtn->setEnabled(okTD && okST);

    BaseHueCB->setChecked(false);
    PipetteCB->setChecked(false);
    m_choisi = m_occupe = m_valide = m_boutonBas = false;
    BHExisteLbl->clear();
    m_choisie = TColor::fromQRgb(palette().color(QPalette::Button).rgb());
    m_compagne = TColor::fromRgb(255, 255, 255);
    m_angle = 0;
    m_hueK = 0;
    m_derniereTeinte = 0;
    m_dernierY = HautBandeBasse;
    construitBarres();

    const ParametresWM5 &p = m_parametres;
    DPICb->setChecked(p.DPIDefini);
    if (p.DPIDefini) {
        DPIExisteLbl->setText(QStringLiteral("DPI in TSK : %1").arg(p.ValDPI));
        const int i = ComboBox1->findText(QString::number(p.ValDPI));
        ComboBox1->setCurrentIndex(i >= 0 ? i : 2);
    } else {
        DPIExisteLbl->clear();
    }
    if (p.BaseHueDefini) {
        BHExisteLbl->setText(QStringLiteral("BaseHue in TSK : %1").arg(uint16_t(p.ValBaseHue)));
        BaseHueCB->setChecked(true);
        const PositionTeinte pos = BaseHueVersPosition(uint32_t(p.ValBaseHue));
        m_derniereTeinte = pos.teinte;
        m_dernierY = pos.bandeHaute ? HautBandeHaute : HautBandeBasse;
    }

    if (const QRect &m = m_sources.fenetrePrincipale; m.isValid())
        PlaceFenetreDansEcran(this, QPoint(m.left() + 90, m.top() + (m.height() - height()) / 2), parentWidget());

    choisitTeinte(m_derniereTeinte, m_dernierY);
}

void THueCalc::choisitTeinte(int teinte, int y)
{
    EchellesImgMouseMove(Emetteur::LumSE, false, teinte, y);
}

void THueCalc::placeEtChoisit(int teinte, int y)
{
    m_derniereTeinte = teinte;
    m_dernierY = y;
    choisitTeinte(teinte, y);
}

void THueCalc::EchellesImgMouseMove(Emetteur emetteur, bool ctrlSeul, int x, int y)
{
    if (m_occupe || m_ferme)
        return;
    // The hue follows the mouse while a button is held, or while Ctrl alone is.
    if (!ctrlSeul && emetteur != Emetteur::LumSE && !m_boutonBas)
        return;
    if (LumSE->cleanText().isEmpty() || SatSE->cleanText().isEmpty())
        return;
    int teinte = x;
    if (emetteur != Emetteur::LumSE) {
        if (!dansEchelles(x, y)) {
            m_occupe = false;
            return;
        }
        teinte = x - Gauche;
    }
    m_occupe = true;
    m_choisi = true;
    m_hueK = HueK(teinte, bandeHaute(y));

    if (ActifSurPDACb->isChecked() && m_apercuJoignable)
        ecritAppareil();

    m_angle = AngleTeinte(teinte);
    const TColor hls = ColorHLSToRGB(teinte, LumSE->value(), SatSE->value());
    const int g = NiveauGris(hls);
    m_panneaux[0]->setText(QString::asprintf("HueK = %.3d", m_hueK));
    m_panneaux[1]->setText(QString::asprintf("Hue = %.3d   (%d - %.3d)", teinte, 0, 240));
    m_panneaux[2]->setText(QString::asprintf("Angle = %.3d", m_angle) + QChar(0x00B0));
    m_panneaux[3]->setText(QString::asprintf("R = %.3d", hls.red()));
    m_panneaux[4]->setText(QString::asprintf("G = %.3d", hls.green()));
    m_panneaux[5]->setText(QString::asprintf("B = %.3d", hls.blue()));
    m_panneaux[6]->setText(QString::asprintf("Grey = %.3d", g));
    BaseHueLbl->setText(QStringLiteral("%1(d) <=> %2(h)")
                            .arg(m_hueK)
                            .arg(QStringLiteral("%1").arg(m_hueK, 4, 16, QLatin1Char('0')).toUpper()));

    if (m_hueK >= BIT_BANDE_HAUTE) {
        m_choisie = hls;
        m_compagne = ColorAdjustLuma(m_choisie, PasLuma);
    } else {
        m_choisie = TColor::gris(g);
        m_compagne = TColor::gris(NiveauGris(ColorAdjustLuma(hls, PasLuma)));
    }
    if (emetteur != Emetteur::LumSE) {
        m_derniereTeinte = teinte;
        m_dernierY = y;
    }
    construitBarres();
    update();
    m_occupe = false;
    emit couleurChoisieChangee(m_choisie);
}

void THueCalc::EchellesImgClick(QPoint p)
{
    if (!dansEchelles(p.x(), p.y()))
        return;
    m_derniereTeinte = p.x() - Gauche;
    m_dernierY = p.y();
    choisitTeinte(m_derniereTeinte, m_dernierY);
}

void THueCalc::FormMouseWheel(QPoint p, int delta, Qt::KeyboardModifiers modificateurs)
{
    if (!dansEchelles(p.x(), p.y()))
        return;
    const int pas = modificateurs == Qt::ShiftModifier ? 10 : 1;
    if (delta >= 0) {
        m_derniereTeinte -= pas;
        if (m_derniereTeinte < 0)
            m_derniereTeinte = HLSMAX - 1;
    } else {
        m_derniereTeinte += pas;
        if (m_derniereTeinte > HLSMAX - 1)
            m_derniereTeinte = 0;
    }
    m_dernierY = p.y();
    choisitTeinte(m_derniereTeinte, m_dernierY);
}

void THueCalc::SatLumChange()
{
    if (m_derniereTeinte >= 0 && m_dernierY >= 0 && isVisible())
        choisitTeinte(m_derniereTeinte, m_dernierY);
}

void THueCalc::OKTDBtnClick(int emplacement)
{
    if (!m_sources.teintes)
        return;
    placeEtChoisit(m_sources.teintes->TeinteImage[emplacement], HautBandeHaute);
}

int THueCalc::nombreImagesHisto() const
{
    int n = 2;
    for (bool today : {true, false}) {
        const QString nom = NomImagePaysage(today, m_sources.format);
        if (!nom.isEmpty() && EstFichierOrdinaire(QDir(m_sources.dossierAppli).filePath(nom)))
            ++n;
    }
    return n;
}

void THueCalc::HistoTDSBtnClick(int tag)
{
    if (!m_sources.teintes)
        return;
    THistoTeinte histo(*m_sources.teintes, tag, m_sources.format, m_sources.dossierAppli, m_sources.image12, this);
    if (tag == THistoTeinte::ModeToday)
        histo.setWindowTitle(QStringLiteral("Hues in Today Image"));
    else if (tag == THistoTeinte::ModeStart)
        histo.setWindowTitle(QStringLiteral("Hues in Start Image"));
    else
        histo.setWindowTitle(QStringLiteral("Hues in %1 images").arg(nombreImagesHisto()));
    histo.setCalculateur(m_derniereTeinte, m_dernierY, LumSE->value(), SatSE->value(), m_choisie);
    connect(&histo, &THistoTeinte::choix, this, &THueCalc::placeEtChoisit);
    connect(this, &THueCalc::couleurChoisieChangee, &histo, &THistoTeinte::setCouleurChoisie);
    connect(&histo, &THistoTeinte::demandeCapture, this, &THueCalc::demandeCapture);
    histo.exec();
}

void THueCalc::RVBversTeinteClick()
{
    TRGBversTeinte fenetre(m_prompts, this);
    fenetre.setCouleur(m_choisie);
    fenetre.exec();
}

bool THueCalc::appareilWM5() const
{
    EtatPDA *pda = m_sources.pda;
    return pda && pda->PDAConnecte && VersionMajeureCE(pda->Rapi) >= 5;
}

int THueCalc::sessionCourante() const
{
    EtatPDA *pda = m_sources.pda;
    return pda && pda->PDAConnecte ? pda->Rapi.numeroSession() : -1;
}

void THueCalc::MajPanneauPDA()
{
    // The device panel, with what the device holds now: the restore point of
    // the next live preview.
    const bool appareil = appareilWM5();
    VoirSurPDAPnl->setVisible(appareil);
    m_lectureCE = false;
    m_identiteCE = {};
    if (appareil) {
        m_lectureCE = LitCouleursCE(m_sources.pda->Rapi, m_etatCE, m_baseHueCE, m_dpiCE, m_useStartImageCE)
                      && m_etatCE.valide;
        m_identiteCE = LitIdentiteCE(m_sources.pda->Rapi);
    }
    // A failed read would make "Restore" delete the device's colours: no live preview then.
    // Nor without the device's identity, by which its restore point is kept.
    const bool apercuPossible = appareil && m_lectureCE && m_identiteCE.lue;
    ActifSurPDACb->setEnabled(apercuPossible);
    RestaurerCB->setEnabled(apercuPossible);
    ActifSurPDACb->setChecked(false);
    m_apercuJoignable = false;
    m_sessionVue = sessionCourante();
}

// Whether the device of this connection is the one the live preview was
// shown on, as the preview left it: the same device, its BaseHue one that
// the preview wrote (or the one it had), and the pictures pushed still there.
// A device changed since, or another one, is left alone: putting the saved
// values on it would overwrite its own.
bool THueCalc::appareilDeLApercu()
{
    LienRapi &rapi = m_sources.pda->Rapi;
    if (!m_identiteCE.lue || LitIdentiteCE(rapi) != m_identiteCE)
        return false;
    const std::optional<uint32_t> bh = LitDwordCE(rapi, OVD_HKEY_LOCAL_MACHINE,
                                                  QStringLiteral("SOFTWARE\\Microsoft\\Color"),
                                                  QStringLiteral("BaseHue"));
    if (!bh || (!m_baseHuesEcrites.contains(int(*bh)) && !(m_baseHueCE >= 0 && int(*bh) == m_baseHueCE)))
        return false;
    const QString verif = QDir(m_sources.dossierTravail).filePath(QStringLiteral("VerifPDA.gif"));
    for (int k = 0; k < 2; ++k) {
        if (!m_poussees[k])
            continue;
        const bool lu = CopieDepuisCE(rapi, QString::fromUtf16(kImagesPDA[k].cheminCE), verif);
        const QByteArray empreinte = lu ? EmpreinteFichier(verif) : QByteArray();
        QFile::remove(verif);
        if (empreinte.isEmpty() || empreinte != m_empreintes[k])
            return false;
    }
    return true;
}

void THueCalc::ConnexionChangee()
{
    const int session = sessionCourante();
    if (session == m_sessionVue)
        return;
    m_sessionVue = session;
    m_minuterieCE.stop();
    m_ecritureEnAttente = false;
    if (!ActifSurPDACb->isChecked()) {
        MajPanneauPDA();
        return;
    }
    // A live preview: its restore point (the values read before it and the
    // device's own pictures) stays until the device is put back or the
    // window closes, whatever the connection does meanwhile.
    const bool appareil = appareilWM5();
    VoirSurPDAPnl->setVisible(appareil);
    m_apercuJoignable = session != -1 && appareilDeLApercu();
    ActifSurPDACb->setEnabled(m_apercuJoignable);
    if (m_apercuJoignable) {
        // Its own device is back: the saved values belong to this connection
        // too, and the device catches up with the picks made meanwhile.
        m_etatCE.numeroSession = session;
        ecritAppareil();
    } else if (session != -1) {
        m_prompts.message(QStringLiteral("The device connected is not the one of the live preview, or it has changed "
                                         "since: the hue calculator leaves it alone.\n\nTo put the previewed device "
                                         "back as it was, plug it in again while this window is open."),
                          windowTitle(), Prompts::Icon::Warning);
    }
}

void THueCalc::ActifSurPDACbClick()
{
    if (!VoirSurPDAPnl->isVisible() || !m_sources.pda)
        return;
    CurseurAttente attente;
    if (ActifSurPDACb->isChecked())
        activePDA();
    else
        desactivePDA();
}

void THueCalc::activePDA()
{
    LienRapi &rapi = m_sources.pda->Rapi;
    const QDir appli(m_sources.dossierAppli);
    // A restore point that this device still has from a preview never put
    // back holds its own theme: what it shows now is that preview's.
    m_point = PointRestaurationDe(m_sources.dossierAppli, m_identiteCE);
    if (m_point) {
        const EtatARestaurer e = EtatPourRestauration(m_point->etat, rapi.numeroSession());
        m_etatCE = e.etat;
        m_baseHueCE = e.baseHue;
        m_dpiCE = e.dpi;
        for (int k = 0; k < 2; ++k) {
            switch (m_point->images[k]) {
            case PointRestaurationPDA::Image::Gardee:
                m_sauvegardes[k] = Sauvegarde::Sauvee;
                m_copies[k] = QDir(m_point->dossier).filePath(NomImagePDA(k));
                break;
            case PointRestaurationPDA::Image::Absente: m_sauvegardes[k] = Sauvegarde::AbsenteSurAppareil; break;
            case PointRestaurationPDA::Image::Intacte: m_sauvegardes[k] = Sauvegarde::Echec; break;
            }
        }
    } else if (!ecritPointRestauration()) {
        return;
    }
    for (int k = 0; k < 2; ++k) {
        const QString cheminCE = QString::fromUtf16(kImagesPDA[k].cheminCE);
        const QString locale = appli.filePath(QLatin1String(kImagesPDA[k].locale));
        // A pipe or a folder under the name is no picture: nothing is pushed.
        m_empreintes[k] = EmpreinteFichier(locale);
        m_poussees[k] = m_sauvegardes[k] != Sauvegarde::Echec && !m_empreintes[k].isEmpty()
                        && CopieVersCE(rapi, cheminCE, locale);
    }
    m_baseHuesEcrites.clear();
    m_apercuJoignable = true;
    m_ecritureEnAttente = false;
    m_minuterieCE.stop();
    if (m_derniereTeinte >= 0 && m_dernierY >= 0)
        choisitTeinte(m_derniereTeinte, m_dernierY);
}

// Before the preview's first write to the device: its own pictures saved
// (a picture is replaced only once it is safe on the desktop), then the
// restore point written under the program folder. Without it the preview
// does not start.
bool THueCalc::ecritPointRestauration()
{
    LienRapi &rapi = m_sources.pda->Rapi;
    const QDir travail(m_sources.dossierTravail);
    PointRestaurationPDA point;
    point.identite = m_identiteCE;
    point.etat = m_etatCE;
    for (int k = 0; k < 2; ++k) {
        const ImagePDA &im = kImagesPDA[k];
        const QString cheminCE = QString::fromUtf16(im.cheminCE);
        m_copies[k] = travail.filePath(QLatin1String(im.sauvegarde));
        if (ExisteFichierCE(rapi, cheminCE))
            m_sauvegardes[k] = CopieDepuisCE(rapi, cheminCE, m_copies[k]) ? Sauvegarde::Sauvee : Sauvegarde::Echec;
        else
            m_sauvegardes[k] = Sauvegarde::AbsenteSurAppareil;
        point.images[k] = m_sauvegardes[k] == Sauvegarde::Sauvee              ? PointRestaurationPDA::Image::Gardee
                          : m_sauvegardes[k] == Sauvegarde::AbsenteSurAppareil ? PointRestaurationPDA::Image::Absente
                                                                                : PointRestaurationPDA::Image::Intacte;
    }
    QString raison;
    if (EcritPointRestauration(m_sources.dossierAppli, point, m_copies, &raison)) {
        m_point = point;
        return true;
    }
    for (int k = 0; k < 2; ++k) {
        if (m_sauvegardes[k] == Sauvegarde::Sauvee)
            QFile::remove(m_copies[k]);
        m_sauvegardes[k] = Sauvegarde::Aucune;
        m_copies[k].clear();
    }
    ActifSurPDACb->setChecked(false);
    m_prompts.message(QStringLiteral("What the device holds could not be kept on this computer (%1): the live "
                                     "preview does not start, and nothing was written to the device.")
                          .arg(raison),
                      windowTitle(), Prompts::Icon::Warning);
    return false;
}

// Ends the live preview. With "Restore", the device gets back every value and
// picture it had and loses what it did not have; what cannot be put back
// (the device is gone, or a write fails) is kept for the user and said.
void THueCalc::desactivePDA()
{
    m_minuterieCE.stop();
    const bool restaure = RestaurerCB->isChecked();
    const bool joignable = m_apercuJoignable && m_sources.pda;
    // Kept on the device: the last pick must reach it.
    if (joignable && m_ecritureEnAttente && !restaure)
        ecritAppareilMaintenant();
    m_ecritureEnAttente = false;
    m_apercuJoignable = false;
    const QDir travail(m_sources.dossierTravail);
    QList<ImageGardee> gardees;
    QStringList aSupprimer;
    for (int k = 0; k < 2; ++k) {
        const ImagePDA &im = kImagesPDA[k];
        const QString cheminCE = QString::fromUtf16(im.cheminCE);
        if (restaure) {
            if (m_sauvegardes[k] == Sauvegarde::Sauvee
                && !(joignable && CopieVersCE(m_sources.pda->Rapi, cheminCE, m_copies[k])))
                gardees.append({QLatin1String(im.locale), m_copies[k]});
            else if (m_sauvegardes[k] == Sauvegarde::AbsenteSurAppareil && m_poussees[k]
                     && !(joignable
                          && (!ExisteFichierCE(m_sources.pda->Rapi, cheminCE)
                              || m_sources.pda->Rapi.CeDeleteFile(versCE(cheminCE)))))
                aSupprimer << cheminCE;
        }
        m_poussees[k] = false;
    }
    const bool registre
        = restaure && !(joignable && RestaureCouleursCE(m_sources.pda->Rapi, m_etatCE, m_baseHueCE, m_dpiCE));
    // The restore point goes once the device no longer needs it: put back
    // whole, or the preview kept by the user's choice. Otherwise it stays,
    // and is offered again at the device's next connection.
    const bool complet = gardees.isEmpty() && !registre && aSupprimer.isEmpty();
    if (!complet)
        signaleEtatGarde(gardees, registre, aSupprimer, joignable);
    else if (m_point)
        SupprimePointRestauration(*m_point);
    m_point.reset();
    for (int k = 0; k < 2; ++k) {
        QFile::remove(travail.filePath(QLatin1String(kImagesPDA[k].sauvegarde)));
        m_sauvegardes[k] = Sauvegarde::Aucune;
        m_copies[k].clear();
    }
}

// What the device held and did not get back is in the restore point's
// folder under the program folder, which the end of the program does not
// clear; the user is told where, and what to do with it.
void THueCalc::signaleEtatGarde(const QList<ImageGardee> &images, bool registre, const QStringList &aSupprimer,
                                bool joignable)
{
    QString texte;
    if (joignable)
        texte = QStringLiteral("The device could not be put back entirely as it was before the preview.");
    else if (sessionCourante() == -1)
        texte = QStringLiteral("The device of the live preview is not connected: it could not be put back as it "
                               "was before the preview.");
    else
        texte = QStringLiteral("The device connected is not the one of the live preview, or it has changed since: "
                               "nothing was put back on it.");
    if (m_point) {
        texte += QStringLiteral("\n\nWhat it held is kept in:\n%1\n").arg(QDir::toNativeSeparators(m_point->dossier));
        for (const ImageGardee &im : images)
            texte += QStringLiteral("\n%1: its own picture, to copy back to \\Windows").arg(im.nom);
        if (registre)
            texte += QStringLiteral("\n%1: its previous registry values, to import with a registry editor of "
                                    "the device")
                         .arg(QLatin1String(kFichierRegPDA));
        texte += QStringLiteral("\n\nIt is offered back when the device is connected again.");
    }
    for (const QString &f : aSupprimer)
        texte += QStringLiteral("\n%1 was added by the preview: delete it.").arg(f);
    m_prompts.message(texte, windowTitle(), Prompts::Icon::Warning);
}

// Closing while "Restore" cannot reach the previewed device: the user may
// keep the window open to plug it back in (No, the answer a question gives by
// default), or close it, and what the device held is then kept for them.
bool THueCalc::fermeSansAppareil()
{
    const QString etat
        = sessionCourante() == -1
              ? QStringLiteral("The device of the live preview is not connected: it still shows the previewed hue "
                               "and pictures, and cannot be put back now.")
              : QStringLiteral("The device connected is not the one of the live preview, or it has changed since: "
                               "the values the previewed device had cannot be put back on it.");
    const Prompts::Answer r = m_prompts.question(
        etat
            + QStringLiteral("\n\nClose this window anyway?\n(Yes: it closes; what the device held before the "
                             "preview stays kept in a folder, and is offered back when the device is connected "
                             "again. No: it stays open, to plug the previewed device in and put it back.)"),
        windowTitle(), Prompts::Buttons::YesNo, Prompts::Icon::Warning);
    return r == Prompts::Answer::Yes;
}

void THueCalc::ecritAppareil()
{
    if (m_minuterieCE.isActive()) {
        m_ecritureEnAttente = true;
        return;
    }
    ecritAppareilMaintenant();
    m_minuterieCE.start();
}

void THueCalc::ecritAppareilMaintenant()
{
    if (!m_sources.pda || !m_apercuJoignable)
        return;
    const int dpi = DPICb->isChecked() ? ComboBox1->currentText().toInt() : -1;
    std::array<TColor, JeuCouleurs::NbCouleurs> couleurs;
    std::array<bool, JeuCouleurs::NbCouleurs> inclus;
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        couleurs[i] = m_doc.slot(i).couleur;
        inclus[i] = m_doc.slot(i).inclus;
    }
    m_baseHuesEcrites.insert(m_hueK);
    EcritCouleursCE(m_sources.pda->Rapi, m_hueK, dpi, couleurs, inclus, true);
}

void THueCalc::construitEcran()
{
    m_ecran = m_sources.ecran.isNull() ? QImage() : m_sources.ecran.convertToFormat(QImage::Format_ARGB32);
    if (m_ecran.isNull()) {
        m_ecran = NouvelleImage32(TailleEcran.width(), TailleEcran.height());
        m_ecran.fill(Qt::white);
    }
    QPainter p(&m_ecran);
    const int w = m_ecran.width(), h = m_ecran.height();
    if (!m_sources.image12.isNull())
        p.drawImage(QPoint(0, h - m_sources.image12.height()), m_sources.image12);
    const QColor face = palette().color(QPalette::Button);
    const QColor clair = palette().color(QPalette::Light);
    const QColor sombre = palette().color(QPalette::Dark);
    const auto miniature = [&](const QImage &m, int position) {
        if (m.isNull())
            return;
        const int gauche = w - (m.width() + 14) * position;
        const int haut = h - m.height() - 14;
        const QRect r(gauche, haut, m.width() + 10, m.height() + 10);
        p.fillRect(r, face);
        cadre3D(p, r, 1, clair, sombre);
        cadre3D(p, r.adjusted(4, 4, -4, -4), 1, sombre, clair);
        p.drawImage(QPoint(gauche + 5, haut + 5), m);
    };
    miniature(m_sources.miniatureTD, 2);
    miniature(m_sources.miniatureST, 1);
}

void THueCalc::construitBarres()
{
    const TColor c = m_choisie;
    const TColor m = m_compagne;
    const TColor l = ColorAdjustLuma(m, PasLuma / 2);
    const TColor stylo = m_doc.slot(2).couleur; // Panel3, the navigation bar's text
    const QFont police = PoliceHauteurCellule(kPoliceBarres, 14, 1);

    m_barreHaut = NouvelleImage32(TailleBarre.width(), TailleBarre.height());
    {
        QPainter p(&m_barreHaut);
        bandeBarre(p, 0, 24, c, m);
        bandeBarre(p, 24, 2, c, l);
        p.drawImage(QPoint(4, 4), m_icones[0]);
        p.drawImage(QPoint(140, 6), m_icones[1]);
        p.drawImage(QPoint(160, 6), m_icones[2]);
        p.setPen(stylo.toQColor());
        p.drawLine(28, 0, 28, 26);
        p.setFont(police);
        p.setRenderHint(QPainter::TextAntialiasing);
        EcritTexteHautGauche(p, 30, 6, QStringLiteral("Start"));
        EcritTexteHautGauche(p, 180, 6, QTime::currentTime().toString(QStringLiteral("HH:mm")).left(5));
    }
    m_barreBas = NouvelleImage32(TailleBarre.width(), TailleBarre.height());
    {
        QPainter p(&m_barreBas);
        bandeBarre(p, 0, 2, c, l);
        bandeBarre(p, 2, 24, c, m);
        p.drawImage(QPoint(220, 6), m_icones[3]);
        p.setPen(Qt::black);
        p.setFont(PoliceHauteurCellule(kPoliceBarres, 14));
        p.setRenderHint(QPainter::TextAntialiasing);
        EcritTexteHautGauche(p, 2, 6, QStringLiteral("New"));
    }
}

void THueCalc::paintEvent(QPaintEvent *e)
{
    QDialog::paintEvent(e);
    QPainter p(this);
    if (!m_ecran.isNull())
        p.drawImage(PosEcran, m_ecran);
    if (!m_barreHaut.isNull())
        p.drawImage(PosBarreHaut, m_barreHaut);
    if (!m_barreBas.isNull())
        p.drawImage(PosBarreBas, m_barreBas);
    const bool enGris = m_hueK <= 255;
    p.drawImage(PosRoue, enGris ? m_roueGris : m_roueCouleur);
    if (!m_sources.image12.isNull())
        p.drawImage(QPoint(2, height() - 41), m_sources.image12);

    p.setRenderHint(QPainter::Antialiasing);
    // The wheel's pointer.
    p.setPen(QPen(enGris ? Qt::red : Qt::black, 1));
    const double a = (180 - m_angle) * std::numbers::pi / 180;
    const QPointF centre(CentrePointeur);
    const QPointF pointe(centre.x() + LongueurPointeur * std::sin(a), centre.y() + LongueurPointeur * std::cos(a));
    p.drawLine(centre, pointe);
    for (double b : {a + 3 * std::numbers::pi / 4, a - 3 * std::numbers::pi / 4})
        p.drawLine(pointe, pointe + QPointF(8 * std::sin(b), 8 * std::cos(b)));
    p.setRenderHint(QPainter::Antialiasing, false);

    // The marker under the scales.
    const int gauche = PosEchelles.x();
    p.fillRect(QRect(QPoint(gauche + 15, 104), QPoint(gauche + 280 - 1, 112 - 1)), palette().color(QPalette::Button));
    const int x = gauche + Gauche + m_derniereTeinte;
    p.setPen(m_hueK >= BIT_BANDE_HAUTE ? Qt::red : Qt::black);
    p.drawLine(x, 104, x, 111);
    p.drawLine(x, 104, x - 3, 107);
    p.drawLine(x, 104, x + 3, 107);

    p.fillRect(QRect(QPoint(8, 16), QPoint(40, 95)), m_choisie.toQColor());
    p.fillRect(QRect(0, 467, width(), 3), palette().color(QPalette::Highlight));
}

bool THueCalc::eventFilter(QObject *objet, QEvent *e)
{
    if (objet == ComboBox1 && e->type() == QEvent::KeyPress) {
        // ComboBox1KeyDown: the DPI is chosen from the list only. Moving the
        // focus and closing the window still work.
        const int touche = static_cast<QKeyEvent *>(e)->key();
        return touche != Qt::Key_Tab && touche != Qt::Key_Backtab && touche != Qt::Key_Escape;
    }
    if (objet != EchellesImg)
        return QDialog::eventFilter(objet, e);
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        m_boutonBas = true;
        return true;
    case QEvent::MouseButtonRelease: {
        m_boutonBas = false;
        auto *m = static_cast<QMouseEvent *>(e);
        if (m->button() == Qt::LeftButton)
            EchellesImgClick(m->position().toPoint());
        return true;
    }
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(e);
        const bool ctrlSeul = m->modifiers() == Qt::ControlModifier && m->buttons() == Qt::NoButton;
        const QPoint pos = m->position().toPoint();
        EchellesImgMouseMove(Emetteur::Echelles, ctrlSeul, pos.x(), pos.y());
        return true;
    }
    case QEvent::Wheel: {
        auto *w = static_cast<QWheelEvent *>(e);
        // Some platforms turn Shift + wheel into a horizontal wheel.
        const int delta = w->angleDelta().y() != 0 ? w->angleDelta().y() : w->angleDelta().x();
        FormMouseWheel(w->position().toPoint(), delta, w->modifiers());
        w->accept();
        return true;
    }
    default:
        return QDialog::eventFilter(objet, e);
    }
}

void THueCalc::keyPressEvent(QKeyEvent *e)
{
    if (e->modifiers().testFlag(Qt::ShiftModifier) && (e->key() == Qt::Key_P || e->key() == Qt::Key_J)) {
        emit demandeCapture(this, e->key() == Qt::Key_J);
        return;
    }
    if (e->key() == Qt::Key_Escape)
        m_valide = false;
    QDialog::keyPressEvent(e);
}

ResultatHueCalc THueCalc::resultat() const
{
    ResultatHueCalc r;
    r.parametres = m_parametres;
    r.parametres.DPIDefini = DPICb->isChecked();
    if (r.parametres.DPIDefini)
        r.parametres.ValDPI = uint16_t(ComboBox1->currentText().toInt());
    r.parametres.BaseHueDefini = m_choisi && BaseHueCB->isChecked();
    if (r.parametres.BaseHueDefini)
        r.parametres.ValBaseHue = uint16_t(m_hueK);
    if (PipetteCB->isChecked())
        r.pipette = m_choisie;
    return r;
}

void THueCalc::done(int)
{
    if (!m_ferme) {
        // FormCloseQuery: the live preview ends (and may restore the device) first.
        if (ActifSurPDACb->isChecked()) {
            if (!m_apercuJoignable && RestaurerCB->isChecked() && !fermeSansAppareil()) {
                m_valide = false;
                return; // still open: the device can be plugged in again
            }
            ActifSurPDACb->setChecked(false);
            CurseurAttente attente;
            desactivePDA();
        }
        m_ferme = true;
        m_ecran = QImage();
        m_barreHaut = QImage();
        m_barreBas = QImage();
        if (m_valide)
            emit valide(resultat());
    }
    QDialog::done(m_valide ? QDialog::Accepted : QDialog::Rejected);
}

void AppliqueHueCalc(ThemeDocument &doc, const ResultatHueCalc &resultat)
{
    if (doc.parametres() != resultat.parametres)
        doc.setParametres(resultat.parametres);
}

int OuvreHueCalc(ThemeDocument &doc, Prompts &prompts, const SourcesHueCalc &sources, AnimationPause *animation,
                 QWidget *parent, std::optional<TColor> *pipette,
                 const std::function<void(QWidget *fenetre, bool jpeg)> &capture)
{
    AnimationPauseGuard pause(animation);
    // A live preview the program never put back is offered back first: the
    // calculator must not take what the device shows for its own theme.
    if (sources.pda && sources.pda->PDAConnecte)
        ProposeRestaurationPDA(sources.dossierAppli, sources.pda->Rapi, prompts);
    THueCalc fenetre(doc, sources, prompts, parent);
    if (capture)
        QObject::connect(&fenetre, &THueCalc::demandeCapture, &fenetre, capture);
    std::optional<ResultatHueCalc> resultat;
    QObject::connect(&fenetre, &THueCalc::valide, &fenetre, [&resultat](const ResultatHueCalc &r) { resultat = r; });
    const int code = fenetre.exec();
    if (resultat) {
        AppliqueHueCalc(doc, *resultat);
        if (pipette)
            *pipette = resultat->pipette;
    }
    return code;
}
