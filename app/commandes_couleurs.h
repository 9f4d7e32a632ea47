#pragma once

#include "theme/fichier_couleurs.h"

class AnimationPause;
class Prompts;

// What the two colour-set commands work on.
struct CibleCommandesCouleurs
{
    ThemeDocument &doc;
    Prompts &prompts;
    QString dossierAppli;    // the dialogs start here
    QString fichierCouleurs; // the working colour file
    AnimationPause *pause = nullptr;
};

// Saves the colour set (without names) under a name the user chooses,
// proposed as the theme name + " coul.ini". Returns true when a file was written.
bool SauveCoulTbtnClick(const CibleCommandesCouleurs &c);

// Loads a colour set the user chooses, without names, and keeps it in the
// working colour file with the rest of the theme (ChargeJeuCouleurs). A file
// that cannot be read or is not a colour set, or a working file that cannot
// be written, is reported and changes nothing. Nothing when the user cancels.
std::optional<ResultatChargeCouleurs> ChargeCoulBtnClick(const CibleCommandesCouleurs &c);
