#pragma once

#include <QString>
#include <QStringList>

class ThemeDocument;

// The text of a quoted INF string ("AppName"): double quotes and percent
// signs doubled.
QString valeurChaineInf(QString texte);

// A value of the [Strings] section (a registry key path): bare with "%"
// doubled, or, when it holds a ";", a "," or a double quote, the whole of it
// quoted as valeurChaineInf writes it, so that an INF reader reads it whole.
QString valeurCleInf(const QString &texte);

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
