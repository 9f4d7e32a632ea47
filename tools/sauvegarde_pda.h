#pragma once

// What a device held before the hue calculator's live preview, kept for the
// user when it cannot be put back: its own pictures under their device names
// and its previous registry values as a registry file that a device registry
// editor imports, in a folder of the program folder that outlives the work
// folder.

#include "device/fonctions_rapi_registre.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The folder under the program folder that holds the kept device states.
inline constexpr char kDossierSauvegardesPDA[] = "DeviceBackup";
inline constexpr char kFichierRegPDA[] = "Restore.reg";

// The registry file: "REGEDIT4", CR LF lines; BaseHue and the 22 colour
// values of the colour key, then DPI of the Today key, each as it was stored
// (a DWORD as dword:, a binary value as hex:, any other type as hex(type):);
// a value the device did not have is deleted ("name"=-) and one it would not
// give is left out. aSupprimer: device files added by the preview, named in
// comment lines so that the user deletes them.
QByteArray TexteRegRestauration(const EtatCouleursCE &etat, const QStringList &aSupprimer = {});

struct ImageGardee
{
    QString nom;   // the device's name of the picture ("tdywater.gif")
    QString copie; // the desktop copy saved before the preview
};

// Makes a new folder under dossierAppli + "/DeviceBackup" named after the
// time, copies the pictures into it under their device names and, when
// etat is given, writes "Restore.reg" there. Returns the folder; empty, with
// *raison set, when it could not all be written (nothing is then left).
QString GardeEtatPDA(const QString &dossierAppli, const QList<ImageGardee> &images, const EtatCouleursCE *etat,
                     const QStringList &aSupprimer, QString *raison = nullptr);
