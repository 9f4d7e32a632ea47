#pragma once

#include <QString>
#include <QStringList>

// Saves a list of text lines the way the Windows tools read them: every line
// ended by CR LF, Windows-1252 bytes, written to a temporary name and renamed
// into place. False, with *erreur set, when a character has no Windows-1252
// byte or the file cannot be written; an existing file is then unchanged.
bool EcritLignesCRLF(const QString &chemin, const QStringList &lignes, QString *erreur = nullptr);
