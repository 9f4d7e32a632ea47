#pragma once

// Device file and folder operations: copies between the desktop and the
// device, existence, listings, the hint text of one device file, and the
// walk that fills the device browser's tree. Device paths are full paths in
// the device's own form ("\" separators, no drive). Every operation goes
// through the guarded wrappers, so without a library or a session it simply
// reports that nothing was done; none raises and none shows a message.

#include "device/lien_rapi.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

class QLabel;
class QTreeWidgetItem;
class QWidget;

// Copies move through buffers of this size; a file larger than this cap is
// refused (the device's sizes are 32 bits, theme packages far smaller).
inline constexpr qint64 kMorceauCopieCE = 64 * 1024;
inline constexpr qint64 kTailleMaxCopieCE = qint64(1) << 31;

// Desktop -> device, replacing the device file. The desktop file (a plain
// file only) is opened and measured before the device is touched; the copy
// is written under a spare name in the same device folder ("~ovd<n>.tmp",
// the old file stepping aside as "~ovd<n>.old") and moved over the old file
// only when every byte was written, so a failed copy (full store, failing
// read) leaves the old device file byte for byte and no partial file. A
// journal at the device's root ("\~ovd<n>.jnl") names the target for as
// long as the copy runs, so that a copy cut off half-way (the device pulled
// out between the two moves) is put right later. True only when the new file
// stands under the device path.
bool CopieVersCE(LienRapi &rapi, const QString &cheminCE, const QString &cheminBureau);

// Puts right every copy to the device that was cut off: its target gets its
// old file back when only the one set aside is left (or keeps the new file
// once that holds the name), and the copy's spare files and journal go.
// Called when a connection opens and before each copy. True when nothing of
// an interrupted copy is left.
bool RepareCopiesCE(LienRapi &rapi);

// Device -> desktop, replacing the desktop file only when the whole device
// file was read: the copy goes to a temporary name and is renamed into
// place, so a failed read leaves the desktop as it was.
bool CopieDepuisCE(LienRapi &rapi, const QString &cheminCE, const QString &cheminBureau);

bool ExisteFichierCE(LienRapi &rapi, const QString &cheminCE);

// Appends the name of every entry matching the device pattern (folders
// included), in the device's order; nothing when liste is null.
void ListeFichiersCE(LienRapi &rapi, const QString &motifCE, QStringList *liste);

// "\r\n\r\nDate of creation : <date>\r\nSize : <n> bytes (<size text>)", or
// "modification" with the last write time when it differs from the creation
// time; empty when the file is not found.
QString InfosFichierCE(LienRapi &rapi, const QString &cheminCE);

// "<n> Kb" below 1,024,001 bytes, else "<n.n#> Mb".
QString TailleTexte(qint64 octets);

// A UTC file time as a local FAT date and time (date in the high word,
// 2-second steps in the low word); -1 when it cannot be represented.
int32_t FileTimeToDosDate(const CEFILETIME &temps);

// The local file name for a device path: the text after its last "\" (or
// "/"); empty when that is not a plain file name (empty, "." or "..",
// a drive, a control character...), so a device never names a file outside
// the folder it is copied into.
QString NomLocalCE(const QString &cheminCE);

// What the device browser shows while its tree fills: three status panels
// (path, folder count, package count), each optional, and the bar that is
// repainted after every entry.
struct PanneauxArbreCE
{
    QLabel *chemin = nullptr;
    QLabel *dossiers = nullptr;
    QLabel *paquets = nullptr;
    QWidget *barre = nullptr;
};

// The image of a tree node, kept in this role of column 0; icons are also
// set when the caller gives the browser's images.
inline constexpr int kRoleImageCE = Qt::UserRole + 1;
enum ImageArbreCE { ImageDossierCE = 0, ImagePaquetCE = 1, ImageSkinCE = 2 };

// Walks the device from dossier (ending in "\") depth first: a node per
// folder (image 0), a node per ".tsk" file (image 2 when it is the current
// skin file, else 1). Names that are not plain names are skipped and the
// walk stops at a fixed depth, so a hostile listing cannot loop.
void RemplitArbreCE(LienRapi &rapi, const QString &dossier, QTreeWidgetItem *parent, int &nbDossiers,
                    const QString &fichierSkin, const PanneauxArbreCE &panneaux, int &nbFichiers,
                    int &nbPaquets, const QList<QIcon> &images = {});

inline constexpr int kProfondeurMaxArbreCE = 64;
