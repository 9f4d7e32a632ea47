#pragma once

// Opening a theme package that lies on the device: the import command and
// the current-skin command of the main window.

#include "theme/package_reader.h"

class EtatPDA;
struct ContexteArbreCE;

// What a device read left: whether the package reader ran at all (a read
// that never started changes nothing on the main window), and what the INF
// window shows when the package was read.
struct LectureCE
{
    bool lue = false;
    std::optional<InfosLecture> infos;
    explicit operator bool() const { return infos.has_value(); }
};

// Copies the device package to the work folder under its own file name,
// opens the copy with the package reader (the device's shell colours fill
// what the package leaves out) and deletes it. An empty path shows
// "No Tsk chosen !", no connection "Not connected !"; a copy that fails
// changes nothing and says why (the file is not on the device, or it could
// not be copied).
LectureCE LitTskPDA(EtatPDA &etat, const QString &cheminCE, ThemeDocument &doc, const ContexteLecture &ctx);

// The import command: the device browser in package mode, then LitTskPDA
// with the chosen path (so quitting the browser shows "No Tsk chosen !").
// Does nothing without a connected device.
LectureCE ImporteTskCE(EtatPDA &etat, const ContexteArbreCE &arbre, ThemeDocument &doc,
                       const ContexteLecture &ctx, QWidget *parent = nullptr);

// The current-skin command: the device's current theme (its "Skin" value)
// opened with LitTskPDA; a device without one is told so.
LectureCE LitTskActuelPDA(EtatPDA &etat, ThemeDocument &doc, const ContexteLecture &ctx);
