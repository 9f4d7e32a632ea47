#pragma once

// What the program can learn about the connected device and its desktop
// partnership: identity and partnership data, owner, OS version, processor,
// special folders, memory and power. Every value comes through the guarded
// wrappers; a value that cannot be read is left empty, nothing raises and
// nothing is shown.

#include "device/lien_rapi.h"

#include <QByteArray>
#include <QString>

// The texts gathered by LitInfosPDA.
struct InfosPDA
{
    QString OemInfo, DeviceType, NoSubFolderIn, DataFolder, Processeur; // partnership service 3
    QString DataFile;                                                  // partnership service 13
    QString Partenariats; // "Partner(s) registered on PC : ..."
    QString Nom, Compagnie, Adresse, Telephone, Email; // the owner record
    QString NomAppareil, DescAppareil; // "Ident"
    QString NomPC;                     // the current partner PC
    QString CheminGestionnaireAS;      // the desktop's ActiveSync manager
};

// The owner strings at their byte offsets of the "Owner" record, each bounded
// by the next field's offset and the record's size: a field the record does
// not reach is empty.
struct ProprietaireCE
{
    QString Nom, Compagnie, Adresse, Telephone, Email;
};
ProprietaireCE LitProprietaireCE(const QByteArray &enregistrement);

void LitInfosPDA(LienRapi &rapi, InfosPDA &infos);

// "STRONGARM (ARM_V4I)": the processor type's name and, when the device
// answers, its instruction set.
QString NomProcesseur(LienRapi &rapi, DWORD typeProcesseur);
QString NomTypeProcesseur(DWORD typeProcesseur);
QString NomJeuInstructions(DWORD jeu);

// A special folder of the device; empty when it cannot be read.
QString DossierSpecialCE(LienRapi &rapi, int idDossier);

struct InfosSystemeCEs
{
    QString Bureau, Personnel, ProgFiles, Programmes, MenuDemarrer, Demarrage, Favoris, Fontes, Recents,
        Corbeille, Windows, Temporaire;
    QString Version; // "5.1.1700 (VER_PLATFORM_WIN32_CE)"; empty when not read
};
void InfosSystemeCE(LienRapi &rapi, InfosSystemeCEs &infos);

// The device's major OS version; 0 when it cannot be read.
int VersionMajeureCE(LienRapi &rapi);

// "87 %", "------" for a backup percent of 255, and the power source.
void EtatBatterieCE(LienRapi &rapi, QString &principale, QString &sauvegarde, QString &source);

// The memory load line, then the program memory and storage lines.
void MemoireCE(LienRapi &rapi, QString &charge, QString &programme, QString &stockage);
