#pragma once

#include "ui/apparence_fenetre.h"
#include "ui/options.h"

#include <QString>

class QMainWindow;

// The three interface colours from the first form colour on the HLS scale:
// for a grey (red, green and blue equal) black, $ECECEC and $8C8C8C;
// otherwise, with H the colour's hue, HLS (H, 60, 240), (H, 238, 160) and
// (H, 120, 160).
CouleursDerivees CalculeCouleursFond(TColor formeInferieure);

// Applies the look to the main window, at creation and whenever the form
// colours, the gradient direction or the uniform look change:
// - derives c0..c2 and the tile into `apparence`;
// - gives every tool bar the tile as its background (none when uniform);
// - draws the tagged tool buttons (object names of the main window's
//   commands, or a "tag" property) with rounded hot shapes and pictures;
// - paints the central widget's background (PeintreFond) with the gradient
//   picture, or the plain text in the uniform look; the picture is kept in
//   apparence.BmpFond as it is drawn (at once for a window on the screen,
//   at its first paint for one not shown yet), so `apparence` must live as
//   long as the window;
// - shows the gradient choice, the two colour panels and the swap box only
//   outside the uniform look (when the window has them).
void AppliqueApparence(QMainWindow *fenetre, const OptionsOVD &options, const CouleursSystemeFenetre &systeme,
                       ApparenceFenetre &apparence, const QString &version);
// The same with the program's own version line.
void AppliqueApparence(QMainWindow *fenetre, const OptionsOVD &options, const CouleursSystemeFenetre &systeme,
                       ApparenceFenetre &apparence);
