#pragma once

#include "ui/apparence_fenetre.h"
#include "ui/dossiers_programme.h"
#include "ui/options.h"
#include "theme/animation_pause.h"
#include "theme/couleur.h"
#include "theme/theme_document.h"

#include <array>
#include <functional>
#include <memory>

class CaptureEcran;
class Prompts;
struct TeintesImages;

// What the device link has told the program so far; filled by the device
// layer when it arrives. Without the remote API library every device command
// stays disabled.
struct EtatAppareil
{
    bool RapiPresent = false;
    bool connecte = false;
};

// The state of one run of the program, owned by the main window and handed by
// reference to every window and routine that needs it. It never exposes the
// main window itself.
struct AppContext
{
    explicit AppContext(const DossiersProgramme &d, Prompts *p) : dossiers(d), prompts(p) {}
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    DossiersProgramme dossiers;
    OptionsOVD options;
    ThemeDocument document; // its format is the theme format (FormatTheme, sizes)
    AnimationPause animation;
    Prompts *prompts = nullptr; // every modal interaction goes through it
    EtatAppareil appareil;

    // System colours 2 (active caption), 19 (inactive caption text),
    // 20 (button highlight) and 29 (menu highlight), read at start.
    std::array<TColor, 4> CouleursSysteme{};
    // The look derived from the form colours (derived colours, cool-bar
    // tile, background picture), kept up to date by AppliqueApparence.
    ApparenceFenetre apparence;
    // The hue analysis of the four working pictures, filled by the main
    // window's thumbnails and read by the hue tools. Made by the main window
    // (the hue routines sit above this layer).
    std::shared_ptr<TeintesImages> teintes;
    // The thumbnails must be refreshed by the next redraw.
    bool MajMiniatures = false;
    // The "WM5 compatible" indicator is shown.
    bool indicateurWM5 = false;
    // "Erase tdywater(s), stwater(s) when leave".
    bool EffacerImagesEnQuittant = false;
    // The screen captures of the main window (Shift + P, Shift + J), made and
    // owned by the main window; every window offering the keys installs itself
    // there. Null until the main window is built.
    CaptureEcran *capture = nullptr;
    // Runs between the write of a working picture and that of its plain copy
    // (EcritImageEtCopie); empty in the program, tests stop the process there.
    std::function<void()> entreImageEtCopie;
};
