#include "tools/couleur_contraste.h"

#include "tools/hls.h"

#include <cstdlib>

TColor CouleurContraste(TColor couleur1, TColor couleur2)
{
    const int h1 = ColorRGBToHLS(couleur1).teinte;
    const int h2 = ColorRGBToHLS(couleur2).teinte;
    const int m = (h1 + h2) / 2;
    const int teinte = std::abs(h1 - h2) >= HLSMAX / 2 ? m % HLSMAX : (m + HLSMAX / 2) % HLSMAX;
    return ColorHLSToRGB(teinte, 180, 120);
}
