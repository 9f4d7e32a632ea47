#pragma once

#include <QString>
#include <QStringList>

#include <array>

class QDir;

// The ten working pictures of the theme being edited, in the program folder,
// in the order of the main window's picture list (CheckBox1 to CheckBox10,
// FicLbl1 to FicLbl10).
inline constexpr int NbImagesTravail = 10;
const std::array<QString, NbImagesTravail> &NomsImagesTravail();

// "tdywater_garde.gif", "stwater_garde2.gif"...: a picture a format change
// put aside (digits only after "_garde").
bool EstCopieMiseDeCote(const QString &nom);

// The set-aside pictures present in `dossier`, as full paths.
QStringList CopiesMisesDeCote(const QDir &dossier);
