#pragma once

#include "theme/setup_ce_format.h"

#include <QByteArray>
#include <QString>

#include <optional>

class ThemeDocument;

// How the names are written into the CE setup file: exactly (a name that
// Windows-1252 cannot hold, or a longer application name than the field
// takes, is refused), or as near as the file allows (a character Windows-1252
// lacks becomes "?", the application name is cut to its field) for a file
// that no package carries.
enum class NomsSetupCE { Exacts, Approches };

// The theme's Windows CE setup file (".000", signature "MSCE"): which
// pictures the device's installer copies into \Windows and which registry
// values it sets. All integers little-endian; the header's counts, offsets and
// length always agree with the records written.
// The bytes of the setup file for the document: pictures of its current
// format and picture set, the included slots, colour 34, BaseHue, DPI,
// UseStartImage and the theme's listed values under
// "Software\Microsoft\Today\" + nomTheme + ".tsk". Empty, with *erreur set,
// when a name cannot be written (too long, or a character Windows-1252 cannot
// hold).
std::optional<QByteArray> ConstruitFichier000(const ThemeDocument &doc, const QString &nomApplication,
                                              const QString &nomTheme, QString *erreur = nullptr,
                                              NomsSetupCE noms = NomsSetupCE::Exacts);

// Writes that file as nomBase + "~1.000" in dossier, replacing an existing
// one atomically. False, with *erreur set, when it cannot be built or written.
bool EcritFichier000(const ThemeDocument &doc, const QString &nomApplication, const QString &nomBase,
                     const QString &nomTheme, const QString &dossier, QString *erreur = nullptr,
                     NomsSetupCE noms = NomsSetupCE::Exacts);
