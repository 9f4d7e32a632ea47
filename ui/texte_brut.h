#pragma once

#include <QString>

// Texts that come from outside the program (a device's file, folder, key and
// value names, its owner and system strings) are shown as they are. Qt takes
// a hint or a label whose text looks like markup ("<u>...", "&amp;") for rich
// text; labels showing such texts are set to plain text, and hints go
// through this routine.

// The hint that shows texte literally, line breaks kept: texte itself when
// Qt would show it as plain text anyway, else the same text escaped into
// rich text that draws exactly those characters.
QString BulleTexteBrut(const QString &texte);
