#pragma once

#include "apercu/apercu_ecran.h"
#include "theme/format_images.h"
#include "tools/encodeurs_image.h"

#include <QCursor>
#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QList>
#include <QTimer>

#include <array>
#include <functional>

class QLabel;
class TNKImageForm;
struct AppContext;

// The device-skin preview: the theme's Today screen (or its Start menu) on
// a picture of a real device, in portrait or landscape, in the theme's
// colours or in its BaseHue colours. Everything but the window is a pure
// function: the skins and their captions, the hot spots, the screen drawing,
// the capture names and the capture save.

namespace GeometrieHP {
constexpr QSize TailleFenetre{506, 532};
constexpr int CoteSkin = 498;
constexpr QSize TailleSkin{CoteSkin, CoteSkin};
constexpr QRect EcranPortrait{129, 55, 240, 320}; // Image1
constexpr QRect EcranPaysage{56, 130, 320, 240};  // Image2
constexpr int HauteurBarre = 26;
constexpr int Tolerance = 25;
} // namespace GeometrieHP

// The skins in the order of the main window's SkinRG.
constexpr int NombreSkins = 5;
// "SKINJPG", "SKINQTEK", "SKINACER", "SKINAXIM", "SKINJPGFEUILLES"; empty outside 0..4.
QString NomRessourceSkin(int index);

// The portrait skin picture (498 x 498) of that name; null for an unknown name.
QImage ChargeSkin(const QString &nomSkin);
// The landscape skin: the portrait one turned by 270 degrees (a quarter turn
// anticlockwise), so the portrait point (x, y) lands on (y, 497 - x).
QImage TourneSkin(const QImage &skin);
// The captions written on each skin: red, yellow on "SKINJPGFEUILLES".
void LegendesSkinPortrait(QImage &skin, const QString &nomSkin);
void LegendesSkinPaysage(QImage &skinPaysage, const QString &nomSkin);

// The hot spots of the skin, in the skin's coordinates.
enum class ZoneHP { Aucune, Fermer, Orientation, BaseHue, Start, Exemple };
// A portrait rectangle turned with the skin.
QRect TourneRectSkin(const QRect &portrait);
// The rectangle of a hot spot (Fermer .. Exemple) in either orientation.
QRect RectZoneHP(ZoneHP zone, bool paysage);
// The hot spot under a point: the close rectangle, or the ellipse inscribed
// in a round button's rectangle.
ZoneHP ZoneSkinHP(QPoint p, bool paysage);
// The skin's hint over a hot spot; empty elsewhere.
QString IndiceZoneHP(ZoneHP zone, bool paysage, bool paysagePermis);

// Landscape is offered for formats 2 to 5 only.
bool PaysagePermisHP(int formatTheme);
// The working picture the screen shows: Start or Today, by format and orientation.
QString NomImageTravailHP(int formatTheme, bool paysage, bool start);

// An animated cursor: its frames and the time each is shown.
struct CurseurAnime
{
    QList<QCursor> images;
    int intervalleMs = 0;
    bool valide() const { return !images.isEmpty(); }
};
// The embedded cursor of that name (":/art/<nom>.png", a strip of square
// frames, the hot spot in the middle); empty when there is none.
CurseurAnime ChargeCurseurAnime(const QString &nom);

// Everything one drawing of the simulated screen reads.
struct DonneesEcranHP
{
    FormatImages format;
    bool useStartImage = false;
    QImage imageFond;  // the working picture behind the Today rows (may be null)
    QImage imageStart; // the Start picture of the menu (may be null)
    CouleursApercu couleurs{};
    bool baseHueDefini = false;
    int valBaseHue = 0;
    int teinteToday = 0; // the Today picture's dominant hue
    QDateTime moment;
};
struct EtatEcranHP
{
    bool paysage = false;
    bool menuStart = false;
    bool baseHue = false;
};
// Where the screen (without its bars) sits in the preview picture; empty when
// the format leaves no visible area.
QRect RectEcranHP(const FormatImages &format, bool paysage);
// The two colours of the BaseHue bars' bands: the chosen colour at the ends,
// its companion in the middle, and the lighter colour of the thin bands.
struct CouleursBaseHue
{
    TColor choisie;
    TColor compagne;
    TColor claire;
};
CouleursBaseHue CouleursBaseHueHP(bool baseHueDefini, int valBaseHue, int teinteToday);
// The simulated screen: 240 x 320 in portrait, 320 x 240 in landscape.
QImage DessineEcranHP(const DonneesEcranHP &d, const EtatEcranHP &e, const RessourcesApercu &res);

// ---- Captures ---------------------------------------------------------------
// "Capture" + two-digit counter + ".bmp".
QString NomCaptureProposee(int compteur);
// "Bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg|GIF (*.gif)|*.gif|PNG (*.png)|*.png"
QString FiltreCapture();
// The extension (with its dot) and encoding of a filter index 1..4; index 1's for any other.
struct ChoixCapture
{
    QString extension;
    TypeSauver type;
};
ChoixCapture ChoixCaptureFiltre(int filtre);
// The filter index of a file name's extension (".jpeg" counts as ".jpg"); 0 when none fits.
int FiltreCaptureNom(const QString &fichier);
// The file name with its extension replaced (or added).
QString RemplaceExtension(const QString &fichier, const QString &extension);
// The filter change of the save dialog: the proposed name takes the filter's extension.
QString NomSelonFiltre(const QString &nom, int filtre);
// Saves a picture in one of the five encodings numbered as the image chooser
// numbers them (0 JPEG with EXIF, 1 PNG, 2 BMP, 3 GIF with an optimised
// palette, 4 GIF half-tone); an existing file is replaced only on success.
StatutImage SauveImageGdip(const QImage &image, const QString &fichier, int qualiteJpeg, int type,
                           const QDateTime &moment = QDateTime::currentDateTime());

// The device-skin window. Shown modally by the main window; a single press on
// the skin drags the window, a double click on a hot spot acts, a click on
// the screen saves it as a picture.
class TPreviewHP : public QDialog
{
    Q_OBJECT
public:
    TPreviewHP(AppContext &contexte, QWidget *fenetrePrincipale = nullptr);
    ~TPreviewHP() override;

    // The main window's skin change: NomSkin, then ChargeSkin, TourneSkin and
    // both captions. An index outside 0..4 changes nothing.
    void changeSkin(int index);
    const QString &NomSkin() const { return m_nomSkin; }

    bool paysage() const { return m_paysage; }
    bool menuStart() const { return m_menuStart; }
    bool vueBaseHue() const { return m_baseHue; }
    bool paysagePermis() const { return m_paysagePermis; }
    int compteurCapture() const { return m_compteur; }
    const QString &dossierCapture() const { return m_dossierCapture; }

    TNKImageForm *skin() const { return NKImageForm1; }
    QLabel *ecran(bool paysage) const { return paysage ? Image2 : Image1; }
    // What the screen of that orientation shows now.
    const QImage &imageEcran(bool paysage) const { return m_ecrans[paysage ? 1 : 0]; }
    const QImage &skinPortrait() const { return m_bmpSkin; }
    const QImage &skinPaysage() const { return m_bmpSkinPaysage; }
    const CurseurAnime &curseur() const { return m_curseur; }

    // Tests fix the clock.
    void setHorloge(std::function<QDateTime()> horloge) { m_horloge = std::move(horloge); }

    // Paints the shown screen again.
    void DessineEcran();

signals:
    // Shift+P / Shift+J: capture of the main window under this window's name.
    void demandeCapture(QWidget *fenetre, bool jpeg);

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *objet, QEvent *e) override;
    void paintEvent(QPaintEvent *) override {} // the skin covers the window

private:
    void FormShow();
    void FormClose();
    void NKImageForm1MouseDown(QPoint p, bool doubleClic);
    void NKImageForm1MouseMove(QPoint p);
    void ImagesClick(bool paysage);
    void montreOrientation();
    void placeSouris();
    void imageCurseurSuivante();

    AppContext &m_ctx;
    QWidget *m_fenetrePrincipale;
    RessourcesApercu m_ressources;
    std::function<QDateTime()> m_horloge;

    QString m_nomSkin;
    QImage m_bmpSkin;
    QImage m_bmpSkinPaysage;
    QImage m_exemplePortrait;
    QImage m_exemplePaysage;
    std::array<QImage, 2> m_ecrans;

    bool m_paysage = false;
    bool m_menuStart = false;
    bool m_baseHue = false;
    bool m_paysagePermis = false;
    int m_compteur = 0;
    QString m_dossierCapture;

    CurseurAnime m_curseur;
    int m_imageCurseur = 0;
    QTimer m_minuterieCurseur;

    TNKImageForm *NKImageForm1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Image2 = nullptr;
};

// The main window's command: shows the device-skin preview modally (the
// animation paused meanwhile). The window is made once, as a child of the
// main window, and kept for the next show (its capture counter goes on); its
// skin follows the options' Skin. `capture` receives the Shift+P / Shift+J
// requests. Returns the window (null without a main window: it is then
// deleted on return).
TPreviewHP *OuvrePreviewHP(AppContext &contexte, QWidget *fenetrePrincipale,
                           std::function<void(QWidget *, bool)> capture = {});
