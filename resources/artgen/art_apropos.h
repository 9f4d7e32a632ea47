#pragma once

#include <QString>

// Pictures of the about box and the site window: the switch's two states,
// the maker's logo, the site window's watermark and the five language flags.
bool writeSwitchOff(const QString &path);
bool writeSwitchOn(const QString &path);
bool writeLogoZantiq(const QString &path);
bool writeFiligraneZantiq(const QString &path);
bool writeDrapeauFr(const QString &path);
bool writeDrapeauEn(const QString &path);
bool writeDrapeauIt(const QString &path);
bool writeDrapeauEs(const QString &path);
bool writeDrapeauDe(const QString &path);
