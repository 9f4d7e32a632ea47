#pragma once

#include "theme/theme_document.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The colour-set file: "[CouleursTSK]" with one key per slot, and with names
// the "[NomTheme]" block. Text in Windows-1252 with CR LF line ends.

// The largest colour file read or written. A colour set is a few kilobytes;
// the working file of a theme with its own registry values (from a package,
// whose setup documents are at most 1 MB) stays far below this.
inline constexpr qint64 TailleFichierCouleursMax = qint64(16) << 20;

// The bytes of the colour-set file of doc. The file is Windows-1252, as other
// programs read it: a character of a name that the code page lacks is
// written "?".
std::optional<QByteArray> TexteCouleurs(const ThemeDocument &doc, bool avecNoms, QString *erreur = nullptr);

// Writes the colour-set file atomically (a temporary file renamed into place):
// a failed write leaves the old file as it was. On failure returns false with
// *erreur set to a message naming the file. Nothing larger than
// TailleFichierCouleursMax is written.
bool SauveCouleurs(const ThemeDocument &doc, const QString &fichier, bool avecNoms, QString *erreur = nullptr);

// The working colour file as the program leaves it, so that the next start
// finds the theme as it was: the colour-set file with names, then what older
// readers skip: colour 34 as the 23rd key of "[CouleursTSK]" ("coul34", as the
// package reader writes it), "[WM5]" with "BaseHue", "DPI" and
// "UseStartImage", and the section "[EtatTheme]" with the internal name as
// typed ("NomInterneSaisi"), the include ticks ("Inclus", 22 digits 0 or 1
// separated by commas), "ClesThemeDefinies" and the theme's own values, one
// key "Cle1", "Cle2"... per line, percent-encoded so that TABs and any other
// character come back unchanged. A theme name or internal name that the
// Windows-1252 lines cannot hold as it is (see LignesNomsExacts) is kept
// there too, so that any name comes back whole at the next start.
std::optional<QByteArray> TexteThemeTravail(const ThemeDocument &doc, QString *erreur = nullptr);
bool SauveThemeTravail(const ThemeDocument &doc, const QString &fichier, QString *erreur = nullptr);

// A name as one line of a colour-set file holds it: a control character
// (a line break from a package's file name or setup XML) is written "?".
QString NomEnLigne(const QString &nom);

// The lines of "[EtatTheme]" that carry a name exactly, percent-encoded UTF-8
// ("NomFicExact", "NomInterneExact"), for a colour file whose other lines
// are `octets`: one for each name whose Windows-1252 line, read with the
// decoding of that whole file, would not give it back unchanged (a character
// the code page lacks, a control character, blanks at an end, enclosing
// quotes, bytes that read as other text in a file decoded as UTF-8); none for
// names that the lines hold. The lines are ASCII: added to the file, they
// leave its decoding as it was. When read back, an exact name replaces the
// one of the Windows-1252 lines only while both agree, under the decoding
// of the file read.
QStringList LignesNomsExacts(const QByteArray &octets, const QString &nomTheme, const QString &nomInterne);

// What a colour-set file gives, read aside from the document.
struct JeuCouleursLu
{
    std::array<SlotCouleur, JeuCouleurs::NbCouleurs> couleurs;
    // Only when read with names.
    QString nomTheme;
    QString nomInterne;
    ParametresWM5 wm5;
    // Only from a working file that holds them ("[EtatTheme]").
    std::optional<QStringList> clesTheme;
};

// Reads the colour-set bytes over the current couleurs and WM5 values of doc (the
// first 22 keys of "CouleursTSK" in file order, key k to slot k with the
// value of its own line, the caption from characters 5-6 of the key; with names "[NomTheme]", "Coul34", the
// "BaseHue", "DPI" and "UseStartImage" of "[WM5]" and what "[EtatTheme]"
// holds; a key that is missing leaves its value as it was). Nothing when a
// value is not colour text or a WM5 value is not a number, with *erreur
// saying which.
std::optional<JeuCouleursLu> LitJeuCouleurs(const QByteArray &octets, const ThemeDocument &doc, bool avecNoms,
                                            QString *erreur = nullptr);

// The "WM5 compatible" indicator is shown exactly when one of these is set.
bool IndicateurWM5(const ParametresWM5 &p);

struct ResultatChargeCouleurs
{
    bool ok = true;
    QString erreur;
    // The WM5 indicator: hidden after the defaults, set from the values after
    // a load with names, unchanged otherwise.
    std::optional<bool> indicateurWM5;
    // The thumbnails must be refreshed (a load with names).
    bool majMiniatures = false;
};

// Loads the working colour file into doc, or the defaults when it does not
// exist. A file that cannot be read, is larger than TailleFichierCouleursMax
// or holds a bad value changes nothing.
ResultatChargeCouleurs ChargeCouleurs(ThemeDocument &doc, const QString &fichierCouleurs, bool avecNoms);

// Loads the colour set of the file jeu (without names: only the colours and
// captions of the slots) and keeps it in the working colour file at once:
// that file is written from the document with the new colours, in one atomic
// write, with everything else the theme holds (names, WM5 values, ticks,
// theme keys). The file jeu is only read. A file that cannot be read, is too
// large or is not a colour set, or a working file that cannot be written,
// changes nothing (neither the document nor the working file) and gives the
// message.
ResultatChargeCouleurs ChargeJeuCouleurs(ThemeDocument &doc, const QString &jeu, const QString &fichierCouleurs);

// The file name the save command proposes: the theme name + " coul.ini".
QString NomCopieCouleurs(const ThemeDocument &doc);
