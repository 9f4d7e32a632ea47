#pragma once

#include <QString>

// The package tool buttons' pictures (42 x 42) and the dropper's (24 x 24).
bool writeLireTsk(const QString &path);    // read a theme on the PC
bool writeEcrireTsk(const QString &path);  // create the theme
bool writeInfXml(const QString &path);     // save the INF / XML files
bool writeInfTextIco(const QString &path); // view the setup text
bool writePipette(const QString &path);    // the dropper
