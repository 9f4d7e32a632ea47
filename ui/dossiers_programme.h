#pragma once

#include "ui/verrou_instance.h"

#include <QString>

#include <memory>

class Prompts;

// The program's folders. Every folder ends with "/".
struct DossiersProgramme
{
    QString DossierAppli;    // options file, working colour file, working pictures
    QString FichierCouleurs; // the working colour file
    QString DossierTsk;      // where packages are saved
    QString DossierImg;      // where the picture dialogs start
    QString DossierLitTSK;   // where the package-open dialog starts
    QString DossierSauveCapt; // where the skin preview's captures go
    QString DossierTempWin;  // the private per-user temporary folder
    QString DossierThemeTmp; // DossierTempWin + "ThemeTmp" (no trailing "/")
    QString DossierTravail;  // DossierThemeTmp + "/": the work folder
};

// The environment variable that names the program folder (DossierAppli); tests
// and portable set-ups use it. When unset: the executable's folder when it is
// writable, else the per-user data folder.
inline constexpr const char *kVariableDossierProgramme = "ORVANDEL_PROGRAM_DIR";

// The program folder, created when missing, with "/" at the end.
QString DossierAppliPour(const QString &dossierExecutable);
// The working colour file: the program file's name with its extension
// replaced by "Coul.inf", in the program folder.
QString FichierCouleursPour(const QString &dossierAppli, const QString &cheminExecutable);

// What the start-up before any window leaves behind.
struct Demarrage
{
    int codeSortie = 0; // non-zero: the process ends with it
    std::unique_ptr<VerrouInstance> verrou; // the single-instance lock of the work folder, held until the end
    std::unique_ptr<VerrouInstance> verrouAppli; // the same for the program folder
};

// The start-up before any window, in order: the single-instance guard, the
// private temporary folder, the work folder "ThemeTmp" deleted as a whole tree
// and created again empty, "Points.gif" written into it. Fills the temporary
// folders of dossiers. Only a running instance holding a guard makes the
// start show "Program already loaded." and give 999; a guard that cannot be
// made (a read-only folder, a full disk) is no other instance and the start
// goes on. Where no work folder can be had, a message names the folder and
// the reason and the start gives 1. "Points.gif" that cannot be written (a
// full disk) is only a warning: the start goes on without the animation.
// When dossiers.DossierAppli is already set, the program folder is guarded
// too (NomVerrouAppli in it); when that guard is held, the files a killed
// package read left there and the temporary files of interrupted writes to
// the working files are removed (dossiers.FichierCouleurs, when set, names the
// working colour file).
inline const QString NomVerrouAppli = QStringLiteral(".orvandel.lock");
Demarrage InitialisationUnite(DossiersProgramme &dossiers, Prompts &prompts);

// The message shown when the old work folder cannot be deleted.
QString MessageDossierTravailOccupe();
