#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// The journal of a package read putting its working files in place. Before
// the first working file is touched, the read writes in the program folder
// the list of the names it is about to replace or delete, and whether a file
// was there before. Each old file is kept as ".<name>.ancien" until the new
// theme is whole. The journal's removal is the moment the new theme counts:
// while it is there, the read did not finish, and the next start (or the
// next read) puts the old theme back from it, whatever point the read was
// killed at.

// ".lecture.journal", hidden, in the program folder.
QString NomJournalLecture();

// ".<nom>.ancien": where the old file of a working name is kept during a read.
QString NomAncienLecture(const QString &nom);

struct EntreeJournalLecture
{
    QString nom;    // a working file name in the program folder
    bool existait;  // a file (or a link) was there before the read
};

// The journal's text for these entries; nothing when one is no name the
// journal may hold or when there are too many of them.
std::optional<QByteArray> TexteJournalLecture(const std::vector<EntreeJournalLecture> &entrees,
                                              const QString &nomCouleurs);

// The entries of the journal in `dossier`, checked as hostile input: read
// as a plain file within a small size, every name a working picture, a
// set-aside picture or the working colour file (`fichierCouleurs`, when it
// lies in `dossier`), each once. Nothing when it fails any check.
std::optional<std::vector<EntreeJournalLecture>> LitJournalLecture(const QString &dossier,
                                                                   const QString &fichierCouleurs);

enum class RepriseLecture {
    SansJournal,   // no read was cut short
    Annulee,       // the old theme is back and the journal is gone
    JournalRefuse, // something unreadable was under the journal's name: removed, nothing else touched
    Inachevee,     // an old file could not be put back: the journal and every kept file stay
};

// Puts back the theme a read cut short was replacing: each kept old file goes
// back under its name, a file the read added where there was none is
// removed, the rest is left. Can itself be cut at any point and run again.
// Never follows a symbolic link.
RepriseLecture AnnuleLectureInterrompue(const QString &dossier, const QString &fichierCouleurs);
