#pragma once

#include "theme/couleur.h"
#include "tools/bandes_lignes.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>

// The effect options of the image chooser, one field per control, named after
// it. A default-constructed record is the state after a full reset: with it
// the chain leaves a picture as it is.
struct OptionsEffets
{
    bool ExploseCB = false;
    int AleaTB = 3; // explosion window, 3..10
    bool KuwaharaCB = false;
    int KuwaTB = 1; // Kuwahara window 2·KuwaTB + 5
    int ClairTB = 9; // lightens below 9
    bool NegCB = false;
    bool GrisCB = false;
    int GammaTB = 10; // gamma GammaTB × 0.1
    bool MasqueFlouCB = false;
    bool TraitsCB = false;
    int TraitsTB = 3; // edge threshold 5·TraitsTB
    bool MedAvantCB = true;
    bool ImgPlusCB = false;
    bool SepiaCB = false;
    bool FRCB = false;
    int RayonFRTB = 30;
    bool ZoomCB = false;
    int RNetTB = 15;
    int SharpTB = 300;
    int FlouIntTB = 5;
    int FlouExtTB = 30;
    int TeinteTb = 0;
    int SaturationTb = 0;
    int LuminanceTb = 0;
    int RTB = 100, GTB = 100, BTB = 100;
    int ContrasteTB = 0;
    bool TramageCB = false;
    int OptComp = 0; // 0 Floyd-Steinberg, 1 ordered 2x2, 2 ordered 3x3
    TColor Panel15 = TColor::fromRgb(0, 0, 0);       // colour of the black pixels
    TColor Panel12 = TColor::fromRgb(255, 255, 255); // colour of the white pixels
    bool AppliquerCB = false;
    int FormeMotifGrp = 0;
    int DiamTb = 9;
    TColor Panel11 = TColor::fromRgb(255, 255, 255); // pattern background
    bool TranspCB = false;
    int TranspTB = 0; // opacity in per cent
    TColor Panel26 = TColor::fromRgb(255, 255, 255); // colour 1
    TColor Panel13 = TColor::fromRgb(0, 0, 0);       // colour 2
    bool InvCoulCB = false;
    int TypeGradient = 0; // the Grad0SBtn..Grad4SBtn button down
    int TranspCoul1TB = 255;
    int TranspCoul2TB = 255;
    int RayonTB = 1;
    bool ImgTranspCB = false;
    // Centres in picker coordinates (even numbers).
    QPoint CenterImg;
    QPoint CenterFlouRImg;
    QPoint CenterZoomImg;

    int fenetreExplosion() const { return AleaTB; }
    int fenetreKuwahara() const { return 2 * KuwaTB + 5; }
};

// Zoom-blur values: sharp radius %, inner and outer streak lengths.
struct ValeursZoom
{
    int pourcentNet = 0;
    int avant = 0;
    int apres = 0;
    bool operator==(const ValeursZoom &) const = default;
};

// Where the chain's picture stands with respect to the chooser's view.
struct ContexteChaine
{
    QRect imageDansVue;      // RectImage: the fitted picture in view pixels
    int facteurPicker = 10;  // FacteurPicker() of the centre pickers
    // Set only by the final build when the source did not already have the
    // target size: the zoom values then come from ZoomFinal().
    std::optional<ValeursZoom> zoomFinal;
    std::optional<uint64_t> graineExplosion; // clock-seeded when absent
    int fils = FILS_AUTO;
};

// f = view width × 10 div (picker bitmap width − 1).
int FacteurPicker(int largeurVue, int largeurPicker);

// A picker point in picture coordinates: view x = picker x × f / 10, picture
// x = Round((view x − picture left) × (working width / displayed width)); y
// likewise with the top.
QPoint CentreVersImage(QPoint picker, int facteurPicker, QPoint coinImage, int largeurTravail,
                       int largeurAffichee);

// Zoom values of the preview, and of a final picture whose source already
// has the target size (s = working width / displayed width).
ValeursZoom ZoomApercu(const OptionsEffets &o, int largeurTravail, int largeurAffichee);
// Zoom values of a final picture cropped and resized from its source.
ValeursZoom ZoomFinal(const OptionsEffets &o, int largeurSource, double largeurCadreSource,
                      int largeurCible, int largeurAffichee);

// True when the chain runs a slow blur (the caller shows a wait cursor).
bool ChaineLente(const OptionsEffets &o);

// The picture with a mirrored margin of m pixels on each side; the edge row
// and column are not repeated. On pictures thinner than the margin the
// mirrored index is held inside the picture.
QImage MargeMiroir(const QImage &image, int m);

// The whole chain in its fixed order, on a 32-bit copy of the picture.
// The preview and the final build both call it.
QImage AppliqueChaine(const QImage &image, const OptionsEffets &o, const ContexteChaine &contexte);
