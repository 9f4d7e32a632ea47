#pragma once

#include <QString>

// One in-memory form for the theme's own colour keys. The setup XML carries
// every theme value as a DWORD, the CE setup file carries colours as 4 binary
// bytes: a DWORD line whose name is a colour key of ListeTDThemeCles (every
// name but "UseDefaultTitleColor") becomes the binary line of the same bytes
// in device order (00BBGGRR -> RRGGBB00). Every other line is returned as it is.
QString ligneCleThemeCanonique(const QString &ligne);
