#pragma once

#include <QString>

// Names that come from outside (package members, setup documents, the device)
// before they reach the file system: a plain file name only. Refused: empty,
// ".", "..", any "\" or "/", a drive ("C:"), a control character, a Windows
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without extension),
// and names over 255 characters.
bool estNomMembreSur(const QString &name);

// The form under which a member is looked up and stored on our case-sensitive
// file system: lower case.
QString cleNomMembre(const QString &name);
