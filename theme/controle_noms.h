#pragma once

#include <QString>

// Checks of the names a package is built from, made before anything is
// written. Each says what to show, or nothing when the names are fit.
namespace ControleNoms {

// The CE setup file keeps the application name in a field of 80 bytes with
// its terminating zero; the theme name shares the limit, since it stands in
// for an empty internal name and names the package, the INF text and the
// theme's own device key.
constexpr int LongueurMax = 79;

// What carries the names. A check looks only at what the documents it is
// given carry.
enum Document : unsigned {
    // The package file, theme name + ".tsk", on the desktop and on the device
    // (file names of any script).
    FichierPaquet = 1,
    // The CE setup file inside the package: the application name, and the
    // theme's own key when it is written, in Windows-1252; the application
    // name at most LongueurMax characters.
    FichierCE = 2,
    // The INF text: the same names, saved in Windows-1252, of any length.
    TexteInf = 4,
    // The setup XML document: any character, written as a reference.
    DocumentXml = 8,
};

struct Noms
{
    QString theme;
    QString interne;       // empty: the theme name stands in for it
    bool cleTheme = false; // the theme's own device key (theme name + ".tsk") is written

    QString application() const { return interne.isEmpty() ? theme : interne; }
};

// What each name box has to mend; both empty when the documents hold the names.
struct Refus
{
    QString theme;   // the theme name (also when it stands in for the internal name)
    QString interne; // the internal name
    bool estVide() const { return theme.isEmpty() && interne.isEmpty(); }
    // Both, the theme name's first, one per line.
    QString texte() const;
};

// Why the documents cannot hold the names. A character that Windows-1252
// lacks is named with its code point; when the package file is among the
// documents, the refusal says that the "+ Xml" package holds any name.
Refus verifie(const Noms &noms, unsigned documents);

// The theme name as a file name on the desktop and the device: not empty, no
// path separator or other character Windows refuses in a file name, no
// control character, not ending in a blank or a dot, not a reserved device
// name, at most LongueurMax characters. Any script.
QString nomFichierTheme(const QString &nom);

// The strictest forms, those of a package with the CE setup file: the theme
// name as nomFichierTheme and held by Windows-1252; the application name
// without control characters, held by Windows-1252, at most LongueurMax.
QString nomTheme(const QString &nom);
QString nomApplication(const QString &nom);

// "U+0417" for the first character of texte (a surrogate pair as one).
QString pointDeCode(const QString &texte);

} // namespace ControleNoms
