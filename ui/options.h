#pragma once

#include "ui/dossiers_programme.h"
#include "theme/couleur.h"
#include "theme/format_images.h"

#include <QString>

// The user settings of the options file besides the theme format and the
// folders (which live in FormatImages and DossiersProgramme). The initial
// values are those of a first start.
struct OptionsOVD
{
    bool Hints = false; // pressed "Stop Hints": hints off
    bool Sons = false;  // pressed: hint sounds off
    int Skin = 0;       // device skin 0..4
    TColor CouleurFormInfG;                              // lower form colour
    TColor CouleurFormSupD = TColor::fromValue(0xFFFFFF); // upper form colour
    int GradientRG = 0;  // gradient direction 0..2
    bool CoulFormUni = false;
    int InterpolImg = 2;   // image chooser interpolation 0..7
    int TypeImgSauver = 0; // image chooser encoding 0..4
    TColor CouleurFond = TColor::fromValue(0xE0E0E0);
    int TskInfXmlRG = 0; // package members: 0 setup file, 1 setup XML, 2 both

    bool operator==(const OptionsOVD &) const = default;
};

// Whether a folder can be kept in the options file: its path must hold no
// line feed or carriage return, which would end its line there and start
// another (read back as a key of its own).
bool DossierSurUneLigne(const QString &dossier);
// What the user is told when a chosen folder cannot be kept for that reason.
QString MessageDossierSurPlusieursLignes(const QString &dossier);

// The options file of the program folder.
QString FichierOptions(const DossiersProgramme &dossiers);

// Reads the options file: every key with its default and check, every index
// kept in its range, a folder kept only when it exists; then every folder
// still empty becomes the program folder. Without a file only the customized
// sizes, InterpolImg and TypeImgSauver are set.
void LitOptions(const QString &fichier, OptionsOVD &options, FormatImages &format, DossiersProgramme &dossiers);

// Writes the twenty keys in order, atomically: the sizes written are those of
// the format in use (read back as the customized sizes), DossierImg gets its
// "/" first. A folder that is not on one line (DossierSurUneLigne) is not
// written: its key keeps what the file held, or is left empty. On failure returns false with *erreur naming the file; the old
// file is left as it was.
bool SauveOptions(const QString &fichier, const OptionsOVD &options, const FormatImages &format,
                  DossiersProgramme &dossiers, QString *erreur = nullptr);
