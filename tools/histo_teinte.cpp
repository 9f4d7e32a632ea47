#include "tools/histo_teinte.h"

#include "ui/place_fenetre.h"
#include "ui/polices.h"
#include "ui/utiles_indep.h"
#include "tools/echelles_teinte.h"
#include "tools/hls.h"
#include "tools/teintes_images.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>

#include <cmath>

#include "theme/arrondi.h"
#include "theme/fichier_ordinaire.h"

using namespace GeometrieHisto;

namespace {

constexpr int NbPoints = NOMBRE_BINS_TEINTE + 2;
const QString kPolice = QStringLiteral("Times New Roman");
constexpr int kCellulePolice = 10;

// Outline and fill of each slot's curve (ARGB).
struct CouleursCourbe
{
    QRgb contour;
    QRgb remplissage;
};
constexpr CouleursCourbe kTodayPortrait{0xFF008000, 0x2000FF00};
constexpr CouleursCourbe kStartPortrait{0xFFFF0000, 0x20FF0000};
constexpr CouleursCourbe kTodayPaysage{0xFFFFFF00, 0x40FFFF00};
constexpr CouleursCourbe kStartPaysage{0xFF0000FF, 0x200000FF};
constexpr QRgb kBandeFond = 0x200000FF;

QColor argb(QRgb c)
{
    return QColor::fromRgba(c);
}

QString texteDegres(int angle)
{
    return QString::number(angle) + QChar(0x00B0);
}

} // namespace

QList<QPoint> PointsCourbeHisto(const HistogrammeTeintes &bins, int32_t pic, bool logarithmique)
{
    QList<QPoint> points;
    points.reserve(NbPoints);
    points << QPoint(X0, Y0);
    const double lnPic = pic > 1 ? std::log(double(pic)) : 0.0;
    for (int i = 0; i < NOMBRE_BINS_TEINTE; ++i) {
        // A slot may hold a stale histogram beside a newer peak: never above the top.
        const int64_t n = std::max<int64_t>(0, bins[i]);
        int64_t h = 0;
        if (logarithmique) {
            if (n > 0 && pic > 1)
                h = int64_t(arrondi(std::log(double(n)) * HauteurCourbe / lnPic));
            else if (n > 0 && pic == 1)
                h = HauteurCourbe;
        } else if (pic > 0) {
            h = n * HauteurCourbe / pic;
        }
        points << QPoint(X0 + i + 1, Y0 - int(std::min<int64_t>(h, HauteurCourbe)));
    }
    points << QPoint(X0 + NOMBRE_BINS_TEINTE + 1, Y0);
    return points;
}

QString NomImagePaysage(bool today, int format)
{
    const QString base = today ? QStringLiteral("tdywater") : QStringLiteral("stwater");
    if (format == 4)
        return base + QStringLiteral("_320_240.gif");
    if (format == 5)
        return base + QStringLiteral("_640_480.gif");
    return {};
}

THistoTeinte::THistoTeinte(const TeintesImages &teintes, int mode, int format, const QString &dossierAppli,
                           const QImage &image12, QWidget *parent)
    : QDialog(parent), m_teintes(teintes), m_mode(mode), m_format(format), m_dossier(dossierAppli),
      m_image12(image12)
{
    // FormCreate
    setObjectName(QStringLiteral("HistoTeinte"));
    setFixedSize(330, 441);

    ImageHisto = new QLabel(this);
    ImageHisto->setObjectName(QStringLiteral("ImageHisto"));
    ImageHisto->setGeometry(18, 8, Largeur, Hauteur);
    ImageHisto->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ImageHisto->setMouseTracking(true);
    ImageHisto->installEventFilter(this);

    auto maroon = [this](const char *nom, int y) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(nom));
        l->setGeometry(76, y, 190, 18);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, QColor(0x80, 0, 0));
        l->setPalette(pal);
        return l;
    };
    TeinteEval = maroon("TeinteEval", 282);
    TeinteEval2 = maroon("TeinteEval2", 304);

    EchelleCB = new QCheckBox(QStringLiteral("Logarithmic Scale"), this);
    EchelleCB->setObjectName(QStringLiteral("EchelleCB"));
    EchelleCB->setToolTip(QStringLiteral("Attenuate spikes"));
    EchelleCB->setGeometry(19, 330, 200, 20);
    connect(EchelleCB, &QCheckBox::clicked, this, &THistoTeinte::EchelleCBClick);

    Label1 = new QLabel(QStringLiteral("Move mouse on histogram image and validate by double-click when shown "
                                       "Hue is good for you. (+ CTRL : Grey)"),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setGeometry(19, 354, 292, 48);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setGeometry(0, height() - 22, width(), 22);
    m_panneau0 = new QLabel(StatusBar1);
    m_panneau0->setObjectName(QStringLiteral("Panel0"));
    m_panneau0->setMinimumWidth(60);
    m_panneau1 = new QLabel(StatusBar1);
    m_panneau1->setObjectName(QStringLiteral("Panel1"));
    m_panneau1->setMinimumWidth(50);
    StatusBar1->addWidget(m_panneau0);
    StatusBar1->addWidget(m_panneau1, 1);
}

void THistoTeinte::setCalculateur(int derniereTeinte, int dernierY, int luminance, int saturation, TColor choisie)
{
    m_teinteSauvee = derniereTeinte;
    m_ySauve = dernierY;
    m_luminance = luminance;
    m_saturation = saturation;
    m_choisie = choisie;
}

void THistoTeinte::setCouleurChoisie(TColor c)
{
    m_choisie = c;
    update();
}

bool THistoTeinte::paysagePresent(bool today) const
{
    const QString nom = NomImagePaysage(today, m_format);
    return !nom.isEmpty() && EstFichierOrdinaire(QDir(m_dossier).filePath(nom));
}

void THistoTeinte::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void THistoTeinte::FormShow()
{
    m_valide = false;
    m_ferme = false;
    m_lineaire = construitRendu(false);
    m_log = construitRendu(true);
    EchelleCB->setChecked(false);
    ImageHisto->setPixmap(QPixmap::fromImage(m_lineaire));

    const auto suggere = [](int teinte) { return QStringLiteral("Suggested Hue : %1").arg(teinte); };
    TeinteEval->setText(suggere(m_teintes.TeinteImage[m_mode == ModeStart ? 1 : 0]));
    TeinteEval2->setVisible(m_mode == ModeTodayStart);
    if (m_mode == ModeTodayStart) {
        TeinteEval2->setText(suggere(m_teintes.TeinteImage[1]));
        if (paysagePresent(true))
            TeinteEval->setText(QStringLiteral("%1, %2").arg(TeinteEval->text()).arg(m_teintes.TeinteImage[2]));
        if (paysagePresent(false))
            TeinteEval2->setText(QStringLiteral("%1, %2").arg(TeinteEval2->text()).arg(m_teintes.TeinteImage[3]));
    }
    if (QWidget *calc = parentWidget())
        PlaceFenetreDansEcran(this, QPoint(calc->x(), calc->y() + 165), calc);
}

QImage THistoTeinte::construitRendu(bool logarithmique)
{
    QImage image = NouvelleImage32(Largeur, Hauteur);
    image.fill(palette().color(QPalette::Window));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(PoliceHauteurCellule(kPolice, kCellulePolice));

    if (!m_image12.isNull())
        p.drawImage(QPoint(Largeur - m_image12.width(), 0), m_image12);
    p.fillRect(QRect(X0, Y0 - HauteurCourbe, NOMBRE_BINS_TEINTE + 1, HauteurCourbe), argb(kBandeFond));

    // The curves of the mode, the Start curve under the Today one.
    m_dessines.clear();
    const auto courbe = [&](int emplacement, const CouleursCourbe &c) {
        const QList<QPoint> pts = PointsCourbeHisto(m_teintes.HistoImages[emplacement],
                                                    m_teintes.PicImage[emplacement], logarithmique);
        p.setPen(QPen(argb(c.contour), 1));
        p.setBrush(argb(c.remplissage));
        p.drawPolygon(QPolygon(pts));
        m_dessines << emplacement;
    };
    switch (m_mode) {
    case ModeToday: courbe(TeintesImages::TodayPortrait, kTodayPortrait); break;
    case ModeStart: courbe(TeintesImages::StartPortrait, kTodayPortrait); break;
    default:
        courbe(TeintesImages::StartPortrait, kStartPortrait);
        courbe(TeintesImages::TodayPortrait, kTodayPortrait);
        if (paysagePresent(true))
            courbe(TeintesImages::TodayPaysage, kTodayPaysage);
        if (paysagePresent(false))
            courbe(TeintesImages::StartPaysage, kStartPaysage);
        break;
    }
    p.setBrush(Qt::NoBrush);
    p.setRenderHint(QPainter::Antialiasing, false);

    // The hue strip under the axis, then the axis with its ticks and labels.
    for (int i = 0; i <= NOMBRE_BINS_TEINTE; ++i) {
        p.setPen((ColorHLSToRGB(i, 120, 240)).toQColor());
        p.drawLine(X0 + i, Y0 + 1, X0 + i, Y0 + 6);
    }
    p.setPen(Qt::black);
    p.drawLine(X0, Y0, X0 + NOMBRE_BINS_TEINTE + 1, Y0);
    for (int t : {0, 64, 128, 192, 240}) {
        p.setPen(Qt::red);
        p.drawLine(X0 + t, Y0 - 4, X0 + t, Y0);
        p.setPen(Qt::black);
        const QString texte = QString::number(t);
        EcritTexteHautGauche(p, X0 + t - p.fontMetrics().horizontalAdvance(texte) / 2, Y0 + 8, texte);
    }

    if (m_mode != ModeTodayStart) {
        const int k = m_mode == ModeStart ? 1 : 0;
        const int maxBrut = m_teintes.MaxBrutImage[k];
        EcritTexteHautGauche(p, X0, 2, QStringLiteral("Max Hue %1 (%2)").arg(maxBrut).arg(texteDegres(AngleTeinte(maxBrut))));
        const TColor pic = ColorHLSToRGB(maxBrut, 120, 240);
        p.fillRect(QRect(X0, Y0 + 25, 50, 11), pic.toQColor());
        EcritTexteHautGauche(p, X0, Y0 + 40,
              QStringLiteral("Spike Color R = %1, G = %2, B = %3  max histogram = %4")
                  .arg(pic.red())
                  .arg(pic.green())
                  .arg(pic.blue())
                  .arg(m_teintes.PicImage[k]));
    } else {
        for (int k = 0; k < 2; ++k) {
            const int y = Y0 + 24 + 18 * k;
            p.setPen(argb(k == 0 ? kTodayPortrait.contour : kStartPortrait.contour));
            p.drawLine(X0, y + 5, X0 + 14, y + 5);
            p.setPen(Qt::black);
            EcritTexteHautGauche(p, X0 + 18, y, k == 0 ? QStringLiteral("Today") : QStringLiteral("Start"));
            p.fillRect(QRect(X0 + 52, y, 50, 11),
                       (ColorHLSToRGB(m_teintes.MaxBrutImage[k], m_luminance, m_saturation)).toQColor());
            EcritTexteHautGauche(p, X0 + 108, y, QStringLiteral("Nb pixels in spike : %1").arg(m_teintes.PicImage[k]));
        }
    }
    return image;
}

void THistoTeinte::paintEvent(QPaintEvent *e)
{
    QDialog::paintEvent(e);
    QPainter p(this);
    p.fillRect(QRect(QPoint(19, 288), QPoint(68, 310)), m_choisie.toQColor());
    const auto dominante = [&](int k, const QRect &r) {
        p.fillRect(r, (ColorHLSToRGB(m_teintes.TeinteImage[k], m_luminance, m_saturation)).toQColor());
    };
    // Rectangles from their top-left to their excluded bottom-right corner.
    const auto rect = [](int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); };
    if (m_mode == ModeToday)
        dominante(0, rect(215, 298, 265, 321));
    else if (m_mode == ModeStart)
        dominante(1, rect(215, 298, 265, 321));
    else {
        dominante(0, rect(274, 282, 304, 294));
        dominante(1, rect(274, 304, 304, 316));
        if (paysagePresent(true))
            dominante(2, rect(289, 282, 304, 294));
        if (paysagePresent(false))
            dominante(3, rect(289, 304, 304, 316));
    }
}

bool THistoTeinte::eventFilter(QObject *objet, QEvent *e)
{
    if (objet != ImageHisto)
        return QDialog::eventFilter(objet, e);
    switch (e->type()) {
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(e);
        ImageHistoMouseMove(m->position().toPoint().x(), m->buttons(), m->modifiers());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto *m = static_cast<QMouseEvent *>(e);
        m_basX = m->position().toPoint().x();
        m_basModificateurs = m->modifiers();
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
            ImageHistoClick();
        return true;
    case QEvent::MouseButtonDblClick:
        ImageHistoDblClick();
        return true;
    default:
        return QDialog::eventFilter(objet, e);
    }
}

void THistoTeinte::ImageHistoMouseMove(int x, Qt::MouseButtons boutons, Qt::KeyboardModifiers modificateurs)
{
    if (m_ferme)
        return;
    if (x < X0 || x >= X0 + NOMBRE_BINS_TEINTE) {
        m_teinteSurvolee = -1;
        m_panneau0->clear();
        m_panneau1->clear();
        return;
    }
    const int teinte = x - X0;
    m_teinteSurvolee = teinte;
    // Nothing held: the coloured strip; any key or button: the grey one.
    const bool vide = boutons == Qt::NoButton && modificateurs == Qt::NoModifier;
    const int y = vide ? EchellesTeinte::HautBandeHaute : EchellesTeinte::HautBandeBasse;
    m_panneau0->setText(QStringLiteral("HueK : %1").arg(HueK(teinte, vide)));
    const QString angle = texteDegres(AngleTeinte(teinte));
    if (m_mode == ModeTodayStart)
        m_panneau1->setText(QStringLiteral("Hue : %1 (0-240), Angle : %2").arg(teinte).arg(angle));
    else
        m_panneau1->setText(QStringLiteral("Hue : %1 (0-240), Angle : %2, Nb : %3")
                                .arg(teinte)
                                .arg(angle)
                                .arg(m_teintes.HistoImages[m_mode == ModeStart ? 1 : 0][teinte]));
    emit choix(teinte, y);
    update();
}

void THistoTeinte::ImageHistoClick()
{
    if (m_ferme || m_basX <= X0 - 1 || m_basX >= X0 + NOMBRE_BINS_TEINTE)
        return;
    const bool gris = m_basModificateurs.testFlag(Qt::ControlModifier);
    emit choix(m_basX - X0, gris ? EchellesTeinte::HautBandeBasse : EchellesTeinte::HautBandeHaute);
}

void THistoTeinte::ImageHistoDblClick()
{
    m_valide = true;
    accept();
}

void THistoTeinte::EchelleCBClick()
{
    ImageHisto->setPixmap(QPixmap::fromImage(EchelleCB->isChecked() ? m_log : m_lineaire));
}

void THistoTeinte::keyPressEvent(QKeyEvent *e)
{
    if (e->modifiers().testFlag(Qt::ShiftModifier) && (e->key() == Qt::Key_P || e->key() == Qt::Key_J)) {
        emit demandeCapture(this, e->key() == Qt::Key_J);
        return;
    }
    QDialog::keyPressEvent(e);
}

void THistoTeinte::done(int r)
{
    if (!m_ferme) {
        // FormClose: anything but a double-click puts the calculator back.
        m_ferme = true;
        m_lineaire = QImage();
        m_log = QImage();
        ImageHisto->clear();
        if (!m_valide)
            emit choix(m_teinteSauvee, m_ySauve);
    }
    QDialog::done(m_valide ? QDialog::Accepted : r);
}
