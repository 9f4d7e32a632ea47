#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The program's version information as the about box and the main window
// read it: the four version numbers, what the program is built for, and the
// version strings as label / value pairs (line 2k the label, line 2k + 1 the
// value). The strings come from the version table that the build writes.

struct ChaineInfoVersion
{
    QString cle;
    QString valeur;
};

struct InfoVersion
{
    bool ExisteInfo = false;
    QString Majeure, Mineure, Release, Build;
    QString Os;       // what the program is built for
    QString FileType; // "APPLICATION"
    QString Langage;
    QStringList Infos; // label, value, label, value...
    int InfoSupNb = 0; // number of pairs

    // The value of the pair with that label, empty when there is none.
    QString valeur(const QString &libelle) const;
};

// The French label of a version-string key; the key itself when pasTraduit
// or when the key is not a standard one.
QString LibelleCleVersion(const QString &cle, bool pasTraduit);
// A key or value holds only characters 32 and above, CR, LF and TAB.
bool ChaineVersionAffichable(const QString &texte);

// The pairs of the given strings, skipping those that cannot be shown.
InfoVersion InfoVersionDe(const QList<ChaineInfoVersion> &chaines, int majeure, int mineure, int release, int build,
                          bool pasTraduit = false);
// The program's own version information.
InfoVersion InfoVersionProgramme(bool pasTraduit = false);
// The program's version line: the sixth line of the pair list (the file
// version's value), empty when the list is shorter.
QString LigneVersionProgramme();

// The desktop system's name and build, shown in the about box.
QString TexteVersionWindows();
