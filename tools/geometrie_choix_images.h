#pragma once

#include "theme/couleur.h"
#include "theme/format_images.h"
#include "tools/chaine_effets.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

// The pure half of the image chooser: target sizes, working picture names,
// fitting into the view, the crop frame, rotations, resampling and the final
// picture. The window and the tests call the same functions.

// The chooser's view (Image1).
inline constexpr int LargeurVueChoix = 408;
inline constexpr int HauteurVueChoix = 306;

// Interpolation modes, in the order of the InterpolRG items.
enum class ModeInterpolation {
    Defaut = 0,
    BasseQualite = 1,
    HauteQualite = 2,
    Bilineaire = 3,
    Bicubique = 4,
    Voisinage = 5, // nearest neighbour
    HauteQualiteBilineaire = 6,
    HauteQualiteBicubique = 7,
};
constexpr int NombreModesInterpolation = 8;
QString ItemInterpolation(int mode);

// The size of the picture to save for a theme format, kind and orientation.
QSize TailleCibleChoix(const FormatImages &format, bool today, bool paysage, bool useStartImage);

// "tdywater.gif", "stwater_320_240.gif"...: the working picture of a kind and
// orientation; the orientation counts for formats 4 and 5 only.
QString NomImageTravail(int formatTheme, bool today, bool paysage);

// Where a w x h picture lies in the view: small pictures are enlarged, large
// ones reduced (aspect kept), and the result is centred; never under 1 x 1.
QRect AjusteDansVue(int w, int h, int W = LargeurVueChoix, int H = HauteurVueChoix);

// The crop frame for a target size in a picture shown w' x h': fw x fh view
// pixels, s view pixels per target pixel.
struct CadreRecadrage
{
    int fw = 1;
    int fh = 1;
    double s = 1.0;
};
CadreRecadrage CalculeCadre(QSize cible, QSize affichee);

// The frame's top-left corner when it is centred on a point, held inside the picture.
QPoint CadreCentreSur(QPoint point, QSize cadre, const QRect &image);

// "%.3d - %.3d" of a value and its bound.
QString TexteLimiteCadre(int valeur, int borne);

// RotateFlipType 0..7 from the quarter turns (0..3), mirror and flip.
int TypeRotationPour(int quartsDeTour, bool miroir, bool bascule);
// The picture turned clockwise by type % 4 quarter turns, then mirrored
// left-right when type >= 4.
QImage TourneImage(const QImage &image, int typeRotation);

// The part srcRect of a picture resampled to dst with one of the eight
// interpolation modes. A rectangle of the destination's size is copied as it is.
QImage Reechantillonne(const QImage &image, const QRect &srcRect, QSize dst, ModeInterpolation mode);

// Everything the final build needs besides the turned source.
struct ParametresFinale
{
    QSize cible;           // TargetWidth x TargetHeight
    QRect rectImage;       // RectImage: the fitted picture in the view
    QPoint coinCadre;      // CoinCadre: the frame's top-left corner in the view
    double s = 1.0;        // EchelleCadre
    ModeInterpolation interpolation = ModeInterpolation::HauteQualite;
    TColor fond;           // CouleurFond
    OptionsEffets effets;
    int facteurPicker = 10;
    std::optional<uint64_t> graineExplosion;
};

// The source rectangle of the final build (the whole source when it already
// has the target size), held inside the source.
QRect RectSourceFinale(QSize source, const ParametresFinale &p);

// The crop frame in view pixels.
QRect CadreDansVue(const ParametresFinale &p);
// How the chain runs on the final picture: centres and zoom streaks are
// measured from the crop frame (the whole picture when the source already has
// the target size), so the saved picture shows them where the preview does.
ContexteChaine ContexteFinale(QSize source, const ParametresFinale &p);

// A picture with transparency laid over the background colour (opaque
// result); an opaque picture is returned as it is.
QImage SurFond(const QImage &image, TColor fond);

// The final picture: the source rectangle resampled to the target size over
// the background colour (a transparent source shows it), then the effect chain.
QImage ConstruitImageFinale(const QImage &sourceTournee, const ParametresFinale &p);

// The preview bitmap: the whole source resampled to the fitted size over the
// background colour.
QImage ConstruitApercu(const QImage &sourceTournee, QSize affichee, ModeInterpolation mode, TColor fond);
