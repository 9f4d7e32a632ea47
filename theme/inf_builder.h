#pragma once

#include <QString>
#include <QStringList>

class ThemeDocument;

// The text of a quoted INF string ("AppName"): double quotes and percent
// signs doubled.
QString valeurChaineInf(QString texte);

// The installation script of the theme in the INF dialect of the Windows CE
// cabinet wizard: the text form of what the CE setup file carries. Every
// theme value is written as a DWORD in decimal (a binary colour RRGGBB00 as
// the number $00BBGGRR).

// Appends the INF text to *lignes; nothing when lignes is null. nomTheme names
// the theme's own device key (nomTheme + ".tsk"); nomApplication goes into
// [CEStrings], its double quotes and percent signs doubled as INF strings
// want them.
void GenereInf(QStringList *lignes, const ThemeDocument &doc, const QString &nomTheme,
               const QString &nomApplication);
