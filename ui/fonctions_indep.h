#pragma once

#include "theme/couleur.h" // CouleurVersTexte
#include "ui/verrou_instance.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>

class Prompts;

// Small program-wide routines every part of the program calls.

// The single-instance guard: the lock file `nom` in `dossier` (the program
// folder, and the private temporary folder of the work folder). Returns the
// held lock (kept until the process ends), or nothing when it is not held.
// A lock file nobody holds (left by a killed run, in any format) is taken
// over, also in a read-only folder; a name that is no plain file (a named
// pipe...) is no lock and is replaced. Nothing here ever waits.
// *dejaPris (when given) is true only when a running instance holds the lock;
// a lock that cannot be made at all (a read-only folder without a lock file)
// leaves it false.
std::unique_ptr<VerrouInstance> VerifieInstanceUnique(const QString &dossier,
                                                      const QString &nom = QStringLiteral("orvandel.lock"),
                                                      bool *dejaPris = nullptr);
// The second instance's message and exit status (the system reports 999 as 231).
inline constexpr int CodeSortieDejaLance = 999;
QString MessageDejaLance();

// The private per-user temporary folder: QDir::tempPath() + "/orvandel-" +
// user id + "/", mode 0700. Created when missing; refused (nothing, with
// *erreur set) when it is a symbolic link, not a folder, or owned by another user.
std::optional<QString> DossierTemp(QString *erreur = nullptr);

// Writes the embedded resource (":/art/points.gif"...) to fichier, creating or
// replacing it atomically. False with *erreur set when the resource is missing
// or the file cannot be written.
bool ExtraitRessource(const QString &ressource, const QString &fichier, QString *erreur = nullptr);

// The folder browser; an empty text when cancelled.
QString ChoisirDossier(Prompts &prompts, const QString &titre, const QString &dossierInitial);

// Fits a w x h picture into a W x H box, never enlarging, centred.
QRect RectProportionnel(int w, int h, int W, int H);

// The Windows XP drop shadow test: never true here.
bool EstWindowsXP();

// Deletes a file or a whole folder tree. The whole path is used; a symbolic
// link, at the top or inside the tree, is removed itself and never followed.
// False when the path is empty, the root, missing, or not everything could be deleted.
bool SupprimeDossier(const QString &chemin);

// "1000 Kb (1024000 bytes)" or "0.98 Mb (1024001 bytes)"; nothing when the file cannot be read.
std::optional<QString> TailleFichierTexte(const QString &fichier);
// The same text for a byte count.
QString TexteTaille(qint64 taille);
// Its first part alone: "1000 Kb" or "0.98 Mb".
QString TexteTailleCourte(qint64 taille);

// Facts about a picture as the picture dialogs show them.
struct InfosImage
{
    QByteArray format;    // Qt's format name ("png", "gif"...); empty for a picture made in memory
    int bitsParPixel = 0; // as the file stores it; 0 when unknown
    int nombreImages = 0;
    bool valide = false;
};
InfosImage LitInfosImage(const QString &fichier);
InfosImage InfosImageMemoire(const QImage &image);
QString NomFormatImage(const InfosImage &infos);
QString BitsParPixel(const InfosImage &infos);
int NombreImages(const InfosImage &infos);

// The pictures of a strip resource, cut in square tiles of the strip's
// height, the colour of the bottom-left pixel made transparent.
QList<QImage> ChargeBitmapDansListe(const QString &ressource);

// The icon of an .ico file: the entry with the largest image (the first of
// equal sizes), at its directory size, the height taken equal to the width
// when it is twice the width. A null image when the file is not a sound icon
// file: every count, size and offset is checked against the file.
QImage ChargeIconeFichier(const QString &fichier, int *largeur = nullptr, int *hauteur = nullptr);
QImage ChargeIconeOctets(const QByteArray &octets, int *largeur = nullptr, int *hauteur = nullptr);

// The icon drawn at (0, 0) over the background colour, 32 bits; 1 x 1 when the
// icon cannot be read.
QImage IconeVersBitmap(const QString &fichier, TColor fond);
