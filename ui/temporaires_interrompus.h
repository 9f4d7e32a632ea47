#pragma once

#include <QString>
#include <QStringList>

struct DossiersProgramme;

// The temporary files that an interrupted atomic write (a killed or crashed
// run, a power cut) leaves beside the program's working files. Every write
// goes to the working name followed by "." and six random letters
// (the temporary file of EcritureAtomique) and is renamed into place when
// complete; a write that never completed leaves that temporary file for good.
// (Qt's save file writes to an unnamed file where the file system has them
// and names it only to rename it over the old file; elsewhere, a memory
// stick, a network share, the name is there for the whole write.)

// The names, in the program folder, whose interrupted writes are looked for:
// the options file, the working colour file (when known), the ten working
// pictures, the journal of a package read (".lecture.journal").
QStringList NomsFichiersTravail(const DossiersProgramme &dossiers);

// True when `nom` is the temporary file of a write to one of `nomsTravail`,
// to a set-aside picture ("tdywater_garde2.gif"), or to the hidden staged or
// kept copies of a package read (".stwater.gif.lecture", ".stwater.gif.ancien")
// and the note of a picture written with its plain copy (".tdywater.gif.intention").
bool EstTemporaireInterrompu(const QString &nom, const QStringList &nomsTravail);

// Removes those temporary files from the program folder: plain files only, a
// symbolic link or anything else under such a name is left alone. Only a
// start that holds the program folder's single-instance guard may call it
// (another instance could be writing them). Returns how many were removed.
int NettoieTemporairesInterrompus(const DossiersProgramme &dossiers);
