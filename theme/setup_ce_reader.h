#pragma once

#include "theme/setup_ce_format.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <array>

// The ten theme picture names a package can install, by slot:
// 0 "stwater", 1 "tdywater", then the "_240_320", "_320_240", "_480_640" and
// "_640_480" variants, Start before Today in each pair. Each slot has the bit
// 1 << slot.
using MembresImages = std::array<QString, 10>;

// Recognises a theme picture install name ("tdywater_240_320.gif"): returns its
// bit (1..512) and stores memberName into its slot; returns 0 and changes
// nothing for any other name. Base name and extension (.bmp .gif .jpg .png)
// are compared case-sensitively.
int ClasseImageTheme(const QString &installName, const QString &memberName, MembresImages &emplacements);

// The picture slots of a picture-set code, in the order Today portrait, Start
// portrait, Today landscape, Start landscape (slot numbers of the picture
// names: 0 "stwater", 1 "tdywater", 2/3 "_240_320"/"_320_240" Start, 4/5
// Today, 6/7 "_480_640"/"_640_480" Start, 8/9 Today); -1 where the set has
// no such picture.
std::array<int, 4> slotsImages(int groupe);

// The picture-set code of a sum of picture bits: 0..5, or
// SetupCE::GroupeNonTheme (6).
// Even codes: Today and Start; odd: Start only; 0/1 single size, 2/3 the
// 240 by 320 pair, 4/5 the 480 by 640 pair.
int GroupeFormatDeSomme(int sommeBits);

namespace SetupCE {
// The header checks shared by every reader: at least 100 bytes, the length
// field equal to the size, signature "MSCE" or "CE4+".
bool enteteAcceptee(QByteArrayView bytes);
// "." + the file id as at least three digits (id 1 -> ".001", 1234 -> ".1234").
QString extensionMembre(int idFichier);
// The first member whose extension (from its last ".") equals extension; empty when none.
QString membrePourExtension(const QStringList &membres, const QString &extension);
} // namespace SetupCE

struct ResultatSetupCE
{
    enum class Etat {
        Reconnu,        // a theme: groupeFormat 0..5
        NonTheme,       // a well-formed setup file whose pictures form no set
        NonReconnu,     // bad header, or a table that does not fit the file
        MembreManquant, // a file record names no member of the package ("Erreur")
    };
    Etat etat = Etat::NonReconnu;
    int groupeFormat = SetupCE::GroupeNonTheme;
    // Member name of each picture found (empty slots: no such picture).
    MembresImages membres;

    bool accepte() const { return etat == Etat::Reconnu; }
};

// Reads the FILES table of a CE setup file, pairs each record with the
// package member whose extension is "." + its file id ("%.3d"), classifies
// the install names (lower-cased) and derives the picture-set code. Members
// are the package's member names, lower-cased. Every offset, count and length
// is checked against the bytes: a file that does not hold together is
// NonReconnu, never read past its end. A picture install name found twice
// makes the set NonTheme (duplicates cannot fake a complete set).
ResultatSetupCE LitFichierSetupCE(QByteArrayView bytes, const QStringList &members);
