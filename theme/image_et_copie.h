#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class Prompts;

// Some working pictures have a second, plain-named copy in the program
// folder: in the two-orientation formats "tdywater.gif" and "stwater.gif"
// hold the portrait Today and Start pictures ("_240_320" / "_480_640"), and
// while the Start picture also stands for Today "tdywater.gif" holds
// "stwater.gif". The two files are written one after the other; a process
// killed between the two writes would leave the copy at an older picture.
//
// So the pair is written under a note: before the first write a small file
// ".<copy>.intention" in the program folder names the picture and the digest
// of its new bytes; it is removed once both are in place. At the next start
// AcheveCopiesInterrompues finishes what a note still names.

// The note's name for a plain copy: ".tdywater.gif.intention".
QString NomNoteCopie(const QString &nomCopie);

// The pictures whose copy a name may be: "tdywater.gif" copies
// "tdywater_240_320.gif", "tdywater_480_640.gif" or "stwater.gif";
// "stwater.gif" copies "stwater_240_320.gif" or "stwater_480_640.gif".
bool EstPaireImageCopie(const QString &nomImage, const QString &nomCopie);

enum class ResultatImageEtCopie {
    Ok,
    ImageNonEcrite, // nothing changed on disk
    CopieNonEcrite, // the picture is saved; the copy is finished at the next start
};

// Writes `octets` to dossier/nomImage and, when nomCopie is not empty (a pair
// EstPaireImageCopie accepts), to dossier/nomCopie, each in one atomic step.
// *raison says what failed. `entreLesDeux`, when set, runs once the picture
// is in place and before its copy is written (tests stop the process there).
ResultatImageEtCopie EcritImageEtCopie(const QString &dossier, const QString &nomImage, const QByteArray &octets,
                                       const QString &nomCopie, QString *raison = nullptr,
                                       const std::function<void()> &entreLesDeux = {});

// Start-up: for each note left in `dossier`, when the picture it names holds
// the bytes it announced, the copy is made equal to it (left alone when it
// already is); when the picture does not (the kill came before it was
// written), both files stay as they were. The note is then removed. A note
// that is not one of ours is removed without touching any picture. A copy
// that cannot be written is reported through `prompts` and its note kept for
// the next start.
void AcheveCopiesInterrompues(const QString &dossier, Prompts *prompts);
