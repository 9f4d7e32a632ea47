#pragma once

#include <QString>

// The device browser's pictures: the tree strip (folder, package, current
// skin; 16 x 16 each, the bottom-left pixel is the transparent colour) and its
// tool buttons (42 x 42) with the "not allowed" sign (16 x 16).
bool writeUneLigneArbre(const QString &path);
bool writeArbreExp(const QString &path);
bool writeArbreVal(const QString &path);
bool writeArbreValGris(const QString &path);
bool writeArbreQuit(const QString &path);
bool writeInterdit(const QString &path);

// The device windows' icons (32 x 32): "TSKARBRE" of the device browser (a
// folder tree with a theme package), "TSKAS" of the send-to-device window (a
// package going to a Pocket PC); and the glyph of the main window's
// current-theme button (32 x 32: a Pocket PC showing its theme, with a star),
// which the browser also shows for the device's current skin.
bool writeTskArbre(const QString &path);
bool writeTskAs(const QString &path);
bool writeTskAct(const QString &path);
// The image chooser's window icon: a framed landscape over a package.
bool writeTskImg(const QString &path);
