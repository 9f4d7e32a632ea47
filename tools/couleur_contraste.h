#pragma once

#include "theme/couleur.h"

// A colour that stands out against two colours: the hue midway between
// theirs (or opposite that midpoint when their hues are close) at luminance
// 180 and saturation 120. It sits with the HLS scale it needs, beside the
// other shared drawing routines of app/utiles_indep.h.
TColor CouleurContraste(TColor couleur1, TColor couleur2);
