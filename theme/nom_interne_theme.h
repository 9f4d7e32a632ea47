#pragma once

#include <QString>

// The six-character base name of the CE setup file member ("Blue sky" gives
// "Bluesk", "Ab" gives "Ab0000"): blanks removed, the first character upper
// case and the rest lower case (ASCII letters only), cut to six characters or
// padded with "0".
QString NomInterneTheme(const QString &nom);
