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
