#pragma once

#include <QDateTime>
#include <QString>

// A file's own data as the file system gives it: its creation, last access
// and last write times, its size and its attributes, as the about box shows
// them for the program's file.
struct DonneesFichier
{
    bool existe = false; // a file (not a folder) was found
    QString Creation;    // empty when the file system keeps no such time
    QString LastAccess;
    QString LastWrite;
    QString Taille;           // "%g octets"
    QString AttributsFichier; // "Lecture seule, ", "Caché, ", "Normal, "...
};

// A time as "lundi 7 décembre 2026 à 9 h 5 mn 3 s" (local time); empty for
// an invalid time.
QString FormatDateFichier(const QDateTime &moment);

// The data of the file at chemin; nothing (existe false) for a missing file
// or a folder. The attributes a Linux file system has: read-only (no write
// permission for its owner), hidden (a name starting with "."), normal when
// it has neither.
DonneesFichier LitDonneesFichier(const QString &chemin);
