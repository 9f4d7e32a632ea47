#include "apercu/preview_hp.h"

#include "ui/app_context.h"
#include "ui/charge_image_res.h"
#include "ui/place_fenetre.h"
#include "ui/polices.h"
#include "ui/fonctions_indep.h"
#include "ui/utiles_indep.h"
#include "theme/prompts.h"
#include "tools/hls.h"
#include "tools/charger_bitmap.h"
#include "tools/hue_calc.h"
#include "tools/nk_image_form.h"
#include "tools/teintes_images.h"

#include <QDir>
#include <QFontMetrics>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>
#include <QTransform>

namespace {

// A working picture as stored, its transparency kept; a null picture when
// it cannot be read: no plain file under the name (a pipe there would never
// end), a damaged file, or more pixels than the program decodes (refused
// from its header). The screen then stays white, as for a missing picture.
QImage imageTravail(const QString &chemin)
{
    return ChargerImage32(chemin).value_or(QImage());
}

using namespace GeometrieHP;

const char *const kSkins[NombreSkins] = {"SKINJPG", "SKINQTEK", "SKINACER", "SKINAXIM", "SKINJPGFEUILLES"};
const QString kSkinFeuilles = QStringLiteral("SKINJPGFEUILLES");
const QString kPoliceEcran = QStringLiteral("Courrier New");
const QString kTitreCapture = QStringLiteral("Screen Capture");
const QString kIndiceEcran = QStringLiteral("Clic -> Screen Capture");
const QString kCurseur = QStringLiteral("SAUVEBMPPRW");
constexpr int kQualiteCapture = 80;
constexpr int kIntervalleCurseurMs = 100;

// The portrait hot spots (left, top, width, height), in ZoneHP order from Fermer.
constexpr QRect kZonesPortrait[5] = {
    {227, 8, 39, 27},    // close (rectangle)
    {332, 418, 28, 28},  // orientation
    {136, 418, 28, 28},  // BaseHue
    {172, 430, 28, 28},  // Start
    {297, 430, 28, 28},  // sample
};

// The hue calculator opens with these luminance and saturation; the BaseHue
// view shows its colours as the calculator would at opening.
constexpr int kLuminanceCalc = 120;
constexpr int kSaturationCalc = 160;

QColor couleurLegendes(const QString &nomSkin)
{
    return nomSkin == kSkinFeuilles ? QColor(Qt::yellow) : QColor(Qt::red);
}

void legendes(QImage &skin, const QString &nomSkin, const std::array<std::pair<QPoint, QString>, 4> &textes)
{
    if (skin.isNull())
        return;
    Fixe96Dpi(skin);
    QPainter p(&skin);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(PoliceImage(QStringLiteral("Tahoma"), 8, StyleGras));
    p.setPen(couleurLegendes(nomSkin));
    for (const auto &[position, texte] : textes)
        EcritTexteHautGauche(p, position.x(), position.y(), texte);
}

// One band of a BaseHue bar: the chosen colour at both ends, the band colour
// at the middle of the bar.
void bandeBarre(QPainter &p, int largeur, int haut, int hauteur, TColor choisie, TColor bande)
{
    const int milieu = largeur / 2;
    QLinearGradient g1(0, 0, milieu + 1, 0);
    g1.setColorAt(0, choisie.toQColor());
    g1.setColorAt(1, bande.toQColor());
    p.fillRect(QRect(0, haut, milieu, hauteur), g1);
    QLinearGradient g2(milieu, 0, largeur + 1, 0);
    g2.setColorAt(0, bande.toQColor());
    g2.setColorAt(1, choisie.toQColor());
    p.fillRect(QRect(milieu, haut, largeur - milieu, hauteur), g2);
}

QImage barreBaseHue(QSize taille, const CouleursBaseHue &c, TColor stylo, bool haut, const RessourcesApercu &res,
                    const QTime &heure)
{
    QImage barre = NouvelleImage32(taille.width(), taille.height());
    QPainter p(&barre);
    const int w = taille.width();
    if (haut) {
        bandeBarre(p, w, 0, 24, c.choisie, c.compagne);
        bandeBarre(p, w, 24, 2, c.choisie, c.claire);
    } else {
        bandeBarre(p, w, 0, 2, c.choisie, c.claire);
        bandeBarre(p, w, 2, 24, c.choisie, c.compagne);
    }
    DessineDecorBarre(p, taille, stylo, haut, res, heure);
    return barre;
}

// The vertical black-white gradients of the square formats, white at the
// picture's edges and black against the screen.
void degradesCarres(QPainter &p, QSize taille, const QRect &ecran)
{
    const int haut = ecran.top();
    const int bas = ecran.top() + ecran.height() + 2 * HauteurBarre;
    if (haut > 0) {
        QLinearGradient g(0, 0, 0, haut);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, Qt::black);
        p.fillRect(QRect(0, 0, taille.width(), haut), g);
    }
    if (bas < taille.height()) {
        QLinearGradient g(0, bas, 0, taille.height());
        g.setColorAt(0, Qt::black);
        g.setColorAt(1, Qt::white);
        p.fillRect(QRect(0, bas, taille.width(), taille.height() - bas), g);
    }
}

// The rows of the Start menu end with "Help" at 229, one 20-pixel row high;
// its widest entry is "Internet Explorer", written from x 31.
constexpr int kBasMenuStart = 229 + 20;
constexpr int kTexteMenuStart = 31;

// The open Start menu: its width a share of the screen, its height the Start
// picture's scaled to the screen and kept within the screen and the Today
// picture's extra rows, and within `hauteurMax` (what the screen shows below
// the top bar). When its entries need more room than that, the menu is drawn
// at the size they need and scaled down into the panel: nothing is cut off.
QImage menuStart(const DonneesEcranHP &d, bool paysage, const QRect &ecran, int hauteurMax, const RessourcesApercu &res)
{
    const auto &t = d.format.TailleImages;
    const int largeurRef = paysage ? 320 : 240;
    const int vw = paysage ? t[6] : t[4];
    const int vh = paysage ? t[7] : t[5];
    if (vw < 1 || vh < 1 || ecran.height() < 1)
        return {};
    GeometrieMenu g;
    g.largeurMenu = ecran.width() * 150 / largeurRef;
    int m = int(qint64(t[3]) * ecran.height() / vh);
    int hauteurSource = t[3];
    if (m > ecran.height() + FormatImages::DecalageHauteur) {
        m = ecran.height() + FormatImages::DecalageHauteur;
        hauteurSource = int(qint64(m) * vh / ecran.height());
    }
    g.hauteurMenu = m;
    g.source = QRect(0, 0, vw * 150 / largeurRef, hauteurSource);
    g.visible = QSize(g.largeurMenu + 2, g.hauteurMenu + 2); // the outline is the panel's frame
    if (!g.valide() || g.source.isEmpty())
        return {};
    const QSize finale(g.largeurMenu + 2, qMin(g.hauteurMenu + 2, qMax(3, hauteurMax)));

    const QFontMetrics mesure(PoliceHauteurCellule(QStringLiteral("Courrier New"), 14, 1));
    GeometrieMenu dessin = g;
    dessin.largeurMenu = qMax(g.largeurMenu, kTexteMenuStart + mesure.horizontalAdvance(QStringLiteral("Internet Explorer")) + 4);
    dessin.hauteurMenu = qMax(finale.height() - 2, kBasMenuStart);
    dessin.visible = QSize(dessin.largeurMenu + 2, dessin.hauteurMenu + 2);
    QImage fond = FondMenuDemarrer(d.imageStart, dessin);
    if (fond.isNull()) {
        fond = NouvelleImage32(dessin.largeurMenu, dessin.hauteurMenu);
        fond.fill(Qt::white);
    }
    const QImage menu = DessineMenuDemarrer(fond, dessin, d.couleurs, res);
    if (menu.isNull() || menu.size() == finale)
        return menu;
    return menu.scaled(finale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QString NomRessourceSkin(int index)
{
    if (index < 0 || index >= NombreSkins)
        return {};
    return QString::fromLatin1(kSkins[index]);
}

QImage ChargeSkin(const QString &nomSkin)
{
    if (nomSkin.isEmpty())
        return {};
    QImage skin = ChargeImageRes(nomSkin + QStringLiteral(".jpg"));
    if (skin.isNull())
        return {};
    return skin.convertToFormat(QImage::Format_RGB32);
}

QImage TourneSkin(const QImage &skin)
{
    if (skin.isNull())
        return {};
    QImage tourne = skin.transformed(QTransform().rotate(270));
    Fixe96Dpi(tourne);
    return tourne;
}

QRect TourneRectSkin(const QRect &r)
{
    // left' = top, top' = 498 - left - width, right' = top + height, bottom' = 498 - left.
    return QRect(r.top(), CoteSkin - r.left() - r.width(), r.height(), r.width());
}

QRect RectZoneHP(ZoneHP zone, bool paysage)
{
    if (zone == ZoneHP::Aucune)
        return {};
    const QRect r = kZonesPortrait[int(zone) - int(ZoneHP::Fermer)];
    return paysage ? TourneRectSkin(r) : r;
}

void LegendesSkinPortrait(QImage &skin, const QString &nomSkin)
{
    const QRect o = RectZoneHP(ZoneHP::Orientation, false);
    const QRect b = RectZoneHP(ZoneHP::BaseHue, false);
    const QRect s = RectZoneHP(ZoneHP::Start, false);
    const QRect f = RectZoneHP(ZoneHP::Fermer, false);
    legendes(skin, nomSkin,
             {{{QPoint(o.left() - 12, o.top() - 15), QStringLiteral("Landscape")},
               {QPoint(b.left() - 8, b.top() - 15), QStringLiteral("BaseHue")},
               {QPoint(s.left() - 8, s.top() + s.height()), QStringLiteral("   Start")},
               {QPoint(f.left() + 5, f.top() + 32), QStringLiteral("Quit")}}});
}

void LegendesSkinPaysage(QImage &skin, const QString &nomSkin)
{
    const QRect o = RectZoneHP(ZoneHP::Orientation, true);
    const QRect b = RectZoneHP(ZoneHP::BaseHue, true);
    const QRect s = RectZoneHP(ZoneHP::Start, true);
    const QRect f = RectZoneHP(ZoneHP::Fermer, true);
    legendes(skin, nomSkin,
             {{{QPoint(o.left() - 5, o.top() - 15), QStringLiteral("Portrait")},
               {QPoint(b.left() - 18, b.top() + b.height()), QStringLiteral("BaseHue")},
               {QPoint(s.left() - 8, s.top() - 16), QStringLiteral("   Start")},
               {QPoint(f.left() + 5, f.top() + 60), QStringLiteral("Quit")}}});
}

ZoneHP ZoneSkinHP(QPoint p, bool paysage)
{
    if (RectZoneHP(ZoneHP::Fermer, paysage).contains(p))
        return ZoneHP::Fermer;
    for (ZoneHP z : {ZoneHP::Orientation, ZoneHP::BaseHue, ZoneHP::Start, ZoneHP::Exemple})
        if (QRegion(RectZoneHP(z, paysage), QRegion::Ellipse).contains(p))
            return z;
    return ZoneHP::Aucune;
}

QString IndiceZoneHP(ZoneHP zone, bool paysage, bool paysagePermis)
{
    const QString saut = QStringLiteral("\n\r");
    switch (zone) {
    case ZoneHP::Fermer: return QStringLiteral("Double Click") + saut + QStringLiteral("  to Close");
    case ZoneHP::Orientation:
        if (paysage)
            return QStringLiteral("Double Click") + saut + QStringLiteral("for Portrait");
        return QStringLiteral("  Double Click") + saut +
               (paysagePermis ? QStringLiteral("for Landscape") : QStringLiteral("No Landscape"));
    case ZoneHP::BaseHue: return QStringLiteral(" Double Click") + saut + QStringLiteral("for BaseHue");
    case ZoneHP::Start: return QStringLiteral("Double Click") + saut + QStringLiteral("  for Start");
    case ZoneHP::Exemple:
    case ZoneHP::Aucune: break;
    }
    return {};
}

bool PaysagePermisHP(int formatTheme)
{
    return formatTheme >= 2 && formatTheme <= 5;
}

QString NomImageTravailHP(int formatTheme, bool paysage, bool start)
{
    const QString base = start ? QStringLiteral("stwater") : QStringLiteral("tdywater");
    if (formatTheme == 4)
        return base + (paysage ? QStringLiteral("_320_240.gif") : QStringLiteral("_240_320.gif"));
    if (formatTheme == 5)
        return base + (paysage ? QStringLiteral("_640_480.gif") : QStringLiteral("_480_640.gif"));
    return base + QStringLiteral(".gif");
}

CurseurAnime ChargeCurseurAnime(const QString &nom)
{
    CurseurAnime c;
    const QImage bande = ChargeImageRes(nom + QStringLiteral(".png"));
    const int cote = bande.height();
    if (bande.isNull() || cote < 1)
        return c;
    for (int x = 0; x + cote <= bande.width(); x += cote)
        c.images << QCursor(QPixmap::fromImage(bande.copy(x, 0, cote, cote)), cote / 2, cote / 2);
    c.intervalleMs = kIntervalleCurseurMs;
    return c;
}

QRect RectEcranHP(const FormatImages &format, bool paysage)
{
    const auto &t = format.TailleImages;
    const int vw = paysage ? t[6] : t[4];
    const int vh = paysage ? t[7] : t[5];
    const QSize image = paysage ? EcranPaysage.size() : EcranPortrait.size();
    if (vw < 1 || vh < 1)
        return {};
    return RectProportionnel(vw, vh, image.width(), image.height() - 2 * HauteurBarre);
}

CouleursBaseHue CouleursBaseHueHP(bool baseHueDefini, int valBaseHue, int teinteToday)
{
    const uint32_t v = baseHueDefini ? uint32_t(valBaseHue) & 511u : uint32_t(teinteToday + BIT_BANDE_HAUTE);
    const PositionTeinte pos = BaseHueVersPosition(v);
    const TColor hls = ColorHLSToRGB(pos.teinte, kLuminanceCalc, kSaturationCalc);
    CouleursBaseHue c;
    if (pos.bandeHaute) {
        c.choisie = hls;
        c.compagne = ColorAdjustLuma(hls, THueCalc::PasLuma);
    } else {
        c.choisie = TColor::gris(NiveauGris(hls));
        c.compagne = TColor::gris(NiveauGris(ColorAdjustLuma(hls, THueCalc::PasLuma)));
    }
    c.claire = ColorAdjustLuma(c.compagne, THueCalc::PasLuma / 2);
    return c;
}

QImage DessineEcranHP(const DonneesEcranHP &d, const EtatEcranHP &e, const RessourcesApercu &res)
{
    const QSize taille = e.paysage ? EcranPaysage.size() : EcranPortrait.size();
    QImage image = NouvelleImage32(taille.width(), taille.height());
    image.fill(Qt::white);
    const QRect ecran = RectEcranHP(d.format, e.paysage);
    if (ecran.isEmpty())
        return image;
    const auto &t = d.format.TailleImages;
    const QSize visible = e.paysage ? QSize(t[6], t[7]) : QSize(t[4], t[5]);
    const int left = ecran.left(), top = ecran.top(), w = ecran.width(), h = ecran.height();

    QPainter p(&image);
    // The working picture's visible part at 1:1, scaled into the screen
    // between the two bars; what the picture lacks stays white.
    if (!d.imageFond.isNull()) {
        const QImage partie = d.imageFond.convertToFormat(QImage::Format_ARGB32).copy(QRect(QPoint(0, 0), visible));
        p.drawImage(QRect(left, top + HauteurBarre, w, h), partie);
    }
    if (d.format.FormatTheme >= 6 && d.format.FormatTheme <= 8)
        degradesCarres(p, taille, ecran);

    // The Today rows over the picture, lines across the screen.
    const QRect zoneToday(left, top + HauteurBarre, w, h);
    p.drawImage(zoneToday.topLeft(), DessineEcranToday(image.copy(zoneToday), d.couleurs, res, d.moment.date()));

    const QSize tailleBarre(w, HauteurBarre);
    const TColor stylo = d.couleurs[2]; // Panel3
    QImage haut, bas;
    if (e.baseHue) {
        const CouleursBaseHue c = CouleursBaseHueHP(d.baseHueDefini, d.valBaseHue, d.teinteToday);
        haut = barreBaseHue(tailleBarre, c, stylo, true, res, d.moment.time());
        bas = barreBaseHue(tailleBarre, c, stylo, false, res, d.moment.time());
    } else {
        haut = DessineBarre(tailleBarre, d.couleurs[0], d.couleurs[1], stylo, true, res, d.moment.time());
        bas = DessineBarre(tailleBarre, d.couleurs[5], d.couleurs[5], stylo, false, res, d.moment.time());
    }

    p.setPen(Qt::black);
    if (left - 1 >= 0)
        p.drawLine(left - 1, 0, left - 1, taille.height() - 1);
    if (left + w < taille.width())
        p.drawLine(left + w, 0, left + w, taille.height() - 1);
    if (top - 1 >= 0)
        p.drawLine(0, top - 1, taille.width() - 1, top - 1);
    if (top + h + 2 * HauteurBarre < taille.height())
        p.drawLine(0, top + h + 2 * HauteurBarre, taille.width() - 1, top + h + 2 * HauteurBarre);
    p.drawImage(QPoint(left, top), haut);
    p.drawImage(QPoint(left, top + HauteurBarre + h), bas);
    if (e.menuStart) {
        const QImage menu = menuStart(d, e.paysage, ecran, taille.height() - (top + HauteurBarre), res);
        if (!menu.isNull())
            p.drawImage(QPoint(left, top + HauteurBarre), menu);
    }
    return image;
}

// ---- Captures ---------------------------------------------------------------

QString NomCaptureProposee(int compteur)
{
    return QStringLiteral("Capture") + QString::asprintf("%.2d", compteur) + QStringLiteral(".bmp");
}

QString FiltreCapture()
{
    return QStringLiteral("Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg|GIF (*.gif)|*.gif|PNG (*.png)|*.png");
}

ChoixCapture ChoixCaptureFiltre(int filtre)
{
    switch (filtre) {
    case 2: return {QStringLiteral(".jpg"), TypeSauver::Jpeg};
    case 3: return {QStringLiteral(".gif"), TypeSauver::GifOptimise};
    case 4: return {QStringLiteral(".png"), TypeSauver::PngOptimise};
    default: return {QStringLiteral(".bmp"), TypeSauver::BmpOptimise};
    }
}

int FiltreCaptureNom(const QString &fichier)
{
    const QString ext = QFileInfo(fichier).suffix().toLower();
    if (ext == QLatin1String("bmp"))
        return 1;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return 2;
    if (ext == QLatin1String("gif"))
        return 3;
    if (ext == QLatin1String("png"))
        return 4;
    return 0;
}

QString RemplaceExtension(const QString &fichier, const QString &extension)
{
    const int barre = int(fichier.lastIndexOf(QLatin1Char('/')));
    const int point = int(fichier.lastIndexOf(QLatin1Char('.')));
    const QString base = point > barre + 1 ? fichier.left(point) : fichier;
    return base + extension;
}

QString NomSelonFiltre(const QString &nom, int filtre)
{
    return RemplaceExtension(nom, ChoixCaptureFiltre(filtre).extension);
}

StatutImage SauveImageGdip(const QImage &image, const QString &fichier, int qualiteJpeg, int type,
                           const QDateTime &moment)
{
    if (type < 0 || type >= NombreTypesSauver)
        return StatutImage::InvalidParameter;
    return SauveImageFormat(image, fichier, qualiteJpeg, TypeSauver(type), moment);
}

// ---- The window -------------------------------------------------------------

TPreviewHP::TPreviewHP(AppContext &contexte, QWidget *fenetrePrincipale)
    : QDialog(fenetrePrincipale),
      m_ctx(contexte),
      m_fenetrePrincipale(fenetrePrincipale),
      m_ressources(RessourcesApercu::charge()),
      m_horloge([] { return QDateTime::currentDateTime(); }),
      m_nomSkin(NomRessourceSkin(0))
{
    // FormCreate
    setObjectName(QStringLiteral("PreviewHP"));
    resize(TailleFenetre);
    setAttribute(Qt::WA_NoSystemBackground); // the skin paints everything

    NKImageForm1 = new TNKImageForm(this);
    NKImageForm1->setObjectName(QStringLiteral("NKImageForm1"));
    NKImageForm1->setTransparentColor(TColor::fromRgb(0, 0, 0));
    NKImageForm1->setTolerance(Tolerance);
    NKImageForm1->setMoveForm(true);
    NKImageForm1->setSolidControls(false);
    NKImageForm1->setGeometry(QRect(QPoint(0, 0), TailleSkin));

    const auto ecranLabel = [this](const char *nom, const QRect &r) {
        auto *l = new QLabel(this);
        l->setObjectName(QLatin1String(nom));
        l->setGeometry(r);
        l->setToolTip(kIndiceEcran);
        l->installEventFilter(this);
        return l;
    };
    Image1 = ecranLabel("Image1", EcranPortrait);
    Image2 = ecranLabel("Image2", EcranPaysage);
    Image2->hide();

    m_bmpSkin = ChargeSkin(m_nomSkin);
    m_exemplePortrait = ChargeImageRes(QStringLiteral("VossiryP.jpg"));
    m_exemplePaysage = ChargeImageRes(QStringLiteral("VossiryL.jpg"));
    m_bmpSkinPaysage = TourneSkin(m_bmpSkin);
    LegendesSkinPortrait(m_bmpSkin, m_nomSkin);
    LegendesSkinPaysage(m_bmpSkinPaysage, m_nomSkin);
    NKImageForm1->setAutoRender(TAutoRender::arTopLeft);
    NKImageForm1->setImage(m_bmpSkin);

    m_curseur = ChargeCurseurAnime(kCurseur);
    if (m_curseur.valide()) {
        Image1->setCursor(m_curseur.images.first());
        Image2->setCursor(m_curseur.images.first());
        m_minuterieCurseur.setInterval(m_curseur.intervalleMs);
        connect(&m_minuterieCurseur, &QTimer::timeout, this, &TPreviewHP::imageCurseurSuivante);
    }
    m_dossierCapture = m_ctx.dossiers.DossierSauveCapt;

    connect(NKImageForm1, &TNKImageForm::sourisEnfoncee, this,
            [this](QPoint p, Qt::MouseButton bouton, bool doubleClic) {
                if (bouton == Qt::LeftButton)
                    NKImageForm1MouseDown(p, doubleClic);
            });
    connect(NKImageForm1, &TNKImageForm::sourisDeplacee, this, &TPreviewHP::NKImageForm1MouseMove);
}

TPreviewHP::~TPreviewHP() = default;

void TPreviewHP::changeSkin(int index)
{
    const QString nom = NomRessourceSkin(index);
    if (nom.isEmpty())
        return;
    m_nomSkin = nom;
    m_bmpSkin = ChargeSkin(m_nomSkin);
    m_bmpSkinPaysage = TourneSkin(m_bmpSkin);
    LegendesSkinPortrait(m_bmpSkin, m_nomSkin);
    LegendesSkinPaysage(m_bmpSkinPaysage, m_nomSkin);
    NKImageForm1->setImage(m_paysage ? m_bmpSkinPaysage : m_bmpSkin);
}

void TPreviewHP::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    FormShow();
}

void TPreviewHP::FormShow()
{
    if (m_nomSkin != NomRessourceSkin(m_ctx.options.Skin))
        changeSkin(m_ctx.options.Skin);
    if (m_fenetrePrincipale) {
        const QRect m = m_fenetrePrincipale->frameGeometry();
        PlaceFenetreDansEcran(this, QPoint(m.left() - 2, m.top() + (m.height() - height()) / 2 - 26),
                              m_fenetrePrincipale);
    }
    m_paysagePermis = PaysagePermisHP(m_ctx.document.format().FormatTheme);
    placeSouris();
    NKImageForm1->show();
    montreOrientation();
    if (m_curseur.valide())
        m_minuterieCurseur.start();
}

void TPreviewHP::hideEvent(QHideEvent *e)
{
    FormClose();
    QDialog::hideEvent(e);
}

void TPreviewHP::FormClose()
{
    m_minuterieCurseur.stop();
    m_paysage = m_menuStart = m_baseHue = false;
    NKImageForm1->setImage(m_bmpSkin);
    Image1->show();
    Image2->hide();
}

void TPreviewHP::montreOrientation()
{
    NKImageForm1->setImage(m_paysage ? m_bmpSkinPaysage : m_bmpSkin);
    ecran(m_paysage)->show();
    ecran(!m_paysage)->hide();
    DessineEcran();
}

void TPreviewHP::placeSouris()
{
    const QRect o = RectZoneHP(ZoneHP::Orientation, m_paysage);
    QCursor::setPos(NKImageForm1->mapToGlobal(o.topLeft() + QPoint(14, 14)));
}

void TPreviewHP::imageCurseurSuivante()
{
    m_imageCurseur = (m_imageCurseur + 1) % int(m_curseur.images.size());
    Image1->setCursor(m_curseur.images.at(m_imageCurseur));
    Image2->setCursor(m_curseur.images.at(m_imageCurseur));
}

void TPreviewHP::DessineEcran()
{
    const ThemeDocument &doc = m_ctx.document;
    DonneesEcranHP d;
    d.format = doc.format();
    d.useStartImage = doc.parametres().UseStartImageDefini;
    const QDir dossier(m_ctx.dossiers.DossierAppli);
    d.imageFond = imageTravail(dossier.filePath(NomImageTravailHP(d.format.FormatTheme, m_paysage, d.useStartImage)));
    if (m_menuStart)
        d.imageStart = imageTravail(dossier.filePath(NomImageTravailHP(d.format.FormatTheme, m_paysage, true)));
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        d.couleurs[i] = doc.slot(i).couleur;
    d.baseHueDefini = doc.parametres().BaseHueDefini;
    d.valBaseHue = doc.parametres().ValBaseHue;
    d.teinteToday = m_ctx.teintes ? m_ctx.teintes->TeinteImage[TeintesImages::TodayPortrait] : 0;
    d.moment = m_horloge();

    const int i = m_paysage ? 1 : 0;
    m_ecrans[i] = DessineEcranHP(d, EtatEcranHP{m_paysage, m_menuStart, m_baseHue}, m_ressources);
    ecran(m_paysage)->setPixmap(QPixmap::fromImage(m_ecrans[i]));
}

void TPreviewHP::NKImageForm1MouseDown(QPoint p, bool doubleClic)
{
    if (!doubleClic)
        return;
    switch (ZoneSkinHP(p, m_paysage)) {
    case ZoneHP::Fermer: close(); return;
    case ZoneHP::BaseHue:
        m_baseHue = !m_baseHue;
        DessineEcran();
        return;
    case ZoneHP::Start:
        m_menuStart = !m_menuStart;
        DessineEcran();
        return;
    case ZoneHP::Orientation:
        if (!m_paysage && !m_paysagePermis)
            return;
        m_paysage = !m_paysage;
        montreOrientation();
        placeSouris();
        return;
    case ZoneHP::Exemple: {
        const int i = m_paysage ? 1 : 0;
        m_ecrans[i] = m_paysage ? m_exemplePaysage : m_exemplePortrait;
        ecran(m_paysage)->setPixmap(QPixmap::fromImage(m_ecrans[i]));
        return;
    }
    case ZoneHP::Aucune: return;
    }
}

void TPreviewHP::NKImageForm1MouseMove(QPoint p)
{
    const QString indice = IndiceZoneHP(ZoneSkinHP(p, m_paysage), m_paysage, m_paysagePermis);
    if (indice == NKImageForm1->toolTip())
        return;
    NKImageForm1->setToolTip(indice);
    if (indice.isEmpty())
        QToolTip::hideText();
}

void TPreviewHP::ImagesClick(bool paysage)
{
    const QImage capture = m_ecrans[paysage ? 1 : 0];
    if (capture.isNull() || !m_ctx.prompts)
        return;
    Prompts::FileDialog dialogue;
    dialogue.title = kTitreCapture;
    dialogue.initialDir = m_dossierCapture;
    dialogue.fileName = NomCaptureProposee(m_compteur);
    dialogue.filter = FiltreCapture();
    // The filter decides the type; changing it renames the proposed file.
    int filtre = 0;
    dialogue.chosenFilter = &filtre;
    dialogue.nameForFilter = [](const QString &nom, int f) { return NomSelonFiltre(nom, f); };
    const std::optional<QString> choisi = m_ctx.prompts->saveFile(dialogue);
    if (!choisi || choisi->isEmpty())
        return;
    // Without a known filter, the name's extension tells; a name without one
    // of them takes the first filter's.
    const ChoixCapture choix = ChoixCaptureFiltre(filtre >= 1 && filtre <= 4 ? filtre : FiltreCaptureNom(*choisi));
    const QString fichier = RemplaceExtension(*choisi, choix.extension);
    const StatutImage statut = SauveImageGdip(capture, fichier, kQualiteCapture, int(choix.type), m_horloge());
    if (statut != StatutImage::Ok) {
        m_ctx.prompts->message(QStringLiteral("The capture could not be saved as \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), TexteStatutImage(statut)),
                               kTitreCapture, Prompts::Icon::Error);
        return;
    }
    // The folder is kept in the options for the next run.
    m_dossierCapture = QFileInfo(fichier).absolutePath();
    m_ctx.dossiers.DossierSauveCapt = m_dossierCapture;
    ++m_compteur;
}

bool TPreviewHP::eventFilter(QObject *objet, QEvent *e)
{
    if ((objet == Image1 || objet == Image2) && e->type() == QEvent::MouseButtonRelease) {
        auto *m = static_cast<QMouseEvent *>(e);
        auto *l = static_cast<QLabel *>(objet);
        if (m->button() == Qt::LeftButton && l->rect().contains(m->position().toPoint())) {
            ImagesClick(objet == Image2);
            return true;
        }
    }
    return QDialog::eventFilter(objet, e);
}

void TPreviewHP::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (e->modifiers() & Qt::ShiftModifier) {
        if (e->key() == Qt::Key_P || e->key() == Qt::Key_J) {
            emit demandeCapture(this, e->key() == Qt::Key_J);
            return;
        }
    }
    QDialog::keyPressEvent(e);
}

TPreviewHP *OuvrePreviewHP(AppContext &contexte, QWidget *fenetrePrincipale,
                           std::function<void(QWidget *, bool)> capture)
{
    TPreviewHP *fenetre = fenetrePrincipale
        ? fenetrePrincipale->findChild<TPreviewHP *>(QStringLiteral("PreviewHP"), Qt::FindDirectChildrenOnly)
        : nullptr;
    if (!fenetre) {
        fenetre = new TPreviewHP(contexte, fenetrePrincipale);
        if (capture)
            QObject::connect(fenetre, &TPreviewHP::demandeCapture, fenetre, capture);
    }
    AnimationPauseGuard pause(&contexte.animation);
    fenetre->exec();
    if (!fenetrePrincipale) {
        delete fenetre;
        return nullptr;
    }
    return fenetre;
}
