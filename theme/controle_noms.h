#pragma once

#include <QString>

// Checks of the names a package is built from, made before anything is
// written. Each returns the message to show, or an empty string when the
// name is fit.
namespace ControleNoms {

// The CE setup file keeps the application name in a field of 80 bytes with
// its terminating zero; the theme name shares the limit, since it stands in
// for an empty internal name and names the package, the INF text and the
// theme's own device key.
constexpr int LongueurMax = 79;

// The theme name names files on the desktop and on the device and a registry
// key: not empty, no path separator or other character Windows refuses in a
// file name, no control character, not ending in a blank or a dot, not a
// reserved device name, held by Windows-1252, at most LongueurMax characters.
QString nomTheme(const QString &nom);

// The application name (internal name, or the theme name): no control
// character, held by Windows-1252, at most LongueurMax characters.
QString nomApplication(const QString &nom);

} // namespace ControleNoms
