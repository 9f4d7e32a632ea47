#pragma once

// The restore point of the hue calculator's live preview, kept on disk from
// before the preview's first write to the device until the device no longer
// needs it: a folder of its own under the program folder's "DeviceBackup"
// (which the end and the start of the program leave alone) holding the
// device's own pictures, "Restore.reg" for the user, and "Restore.ini", the
// record the program reads back. The record names the device it belongs to,
// every registry value the preview changes as the device stored it (or that
// it had none), and what became of each picture.
//
// Should the program end without putting the device back (killed, a crash,
// a power cut), the record remains; when that device is connected again, or
// the calculator is opened with it, the user is offered to put it back.
// Putting it back writes everything again whatever the device holds now, so
// a restore cut half way is finished by the next one; the record goes only
// once every write has succeeded. A record that cannot be read whole is
// reported and nothing of it is written to the device.

#include "device/fonctions_rapi_registre.h"
#include "device/identite_ce.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class Prompts;

inline constexpr char kFichierPointPDA[] = "Restore.ini";
// The two pictures of the preview.
inline constexpr int kNbImagesPDA = 2;
// A picture larger than this is not read (neither pushed nor kept).
inline constexpr qint64 kTailleMaxImagePDA = qint64(64) * 1024 * 1024;
// A record larger than this is not read.
inline constexpr qint64 kTailleMaxPointPDA = qint64(4) * 1024 * 1024;

// "\Windows\tdywater.gif", "\Windows\stwater.gif".
QString CheminImageCE(int k);
// "tdywater.gif", "stwater.gif": the device's name, and the working picture's.
QString NomImagePDA(int k);

// The SHA-256 digest of a plain file of at most kTailleMaxImagePDA bytes;
// empty for anything else (a pipe, a folder, a missing or larger file).
QByteArray EmpreinteFichier(const QString &chemin);

struct PointRestaurationPDA
{
    // What became of a device picture: left as it was (it could not be
    // saved, so the preview never replaced it), kept in the folder, or
    // absent from the device (whatever the preview put there goes again).
    enum class Image { Intacte, Gardee, Absente };

    QString dossier; // set by EcritPointRestauration and LitPointRestauration
    QString cree;    // when it was made, "yyyy-MM-dd HH:mm:ss"
    IdentiteCE identite;
    EtatCouleursCE etat; // BaseHue, the 22 colour values and DPI as stored
    std::array<Image, kNbImagesPDA> images{};
    std::array<QByteArray, kNbImagesPDA> empreintes{}; // of the kept pictures
};

// The record's text, and back. The reading accepts only a whole record of
// this format: each key once, no other, every value well formed; else
// nothing, with *raison set.
QByteArray TextePointRestauration(const PointRestaurationPDA &p);
std::optional<PointRestaurationPDA> LitTextePointRestauration(const QByteArray &texte, QString *raison = nullptr);

// Makes the folder under dossierAppli + "/DeviceBackup": the kept pictures
// (copies[k] for each picture Gardee), "Restore.reg", then the record, each
// through the atomic write. Sets p.dossier and the digests. False, nothing
// left and *raison set, when any of it could not be written.
bool EcritPointRestauration(const QString &dossierAppli, PointRestaurationPDA &p,
                            const std::array<QString, kNbImagesPDA> &copies, QString *raison = nullptr);

// The record of a folder, its kept pictures checked against their digests.
std::optional<PointRestaurationPDA> LitPointRestauration(const QString &dossier, QString *raison = nullptr);

// The records waiting under dossierAppli, oldest first, and the folders
// whose record cannot be read (with why).
struct PointsEnAttente
{
    QList<PointRestaurationPDA> points;
    QList<std::pair<QString, QString>> illisibles; // folder, reason
};
PointsEnAttente PointsRestaurationEnAttente(const QString &dossierAppli);

// The oldest waiting record of this device (a device never read has none).
std::optional<PointRestaurationPDA> PointRestaurationDe(const QString &dossierAppli, const IdentiteCE &identite);

// The saved state as the device library writes it back in this connection,
// with the BaseHue and DPI numbers that put them back exactly as stored.
struct EtatARestaurer
{
    EtatCouleursCE etat;
    int baseHue = -1;
    int dpi = -1;
};
EtatARestaurer EtatPourRestauration(const EtatCouleursCE &etat, int session);

// Puts the device of the open connection back as the record says: each kept
// picture copied back, each absent one deleted, then every registry value.
// Everything is written whatever the device holds; true only when every
// write succeeded. Nothing is written to another device than the record's.
bool AppliquePointRestauration(LienRapi &rapi, const PointRestaurationPDA &p);

// Deletes the folder, and "DeviceBackup" when it is left empty.
bool SupprimePointRestauration(const PointRestaurationPDA &p);

// A connection or the calculator's opening: when the connected device has a
// waiting record, asks whether to put it back (Yes), to keep what it shows
// and forget the record (No), or to decide later (Cancel, the default and
// Escape: nothing changes). Unreadable records are reported. Returns true
// when a record of that device remains.
bool ProposeRestaurationPDA(const QString &dossierAppli, LienRapi &rapi, Prompts &prompts);
