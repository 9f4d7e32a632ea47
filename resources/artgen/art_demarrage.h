#pragma once

#include <QFile>
#include <QString>

// The animated tap-and-hold dots played on the colours page.
bool writePointsGif(const QString &path);
// The tool-button pictures: load a colour set (in), save it (out).
bool writeCoulIn(const QString &path);
bool writeCoulOut(const QString &path);
