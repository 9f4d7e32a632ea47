#pragma once

#include <QString>
#include <QStringList>

class ThemeDocument;

// The theme's setup XML document: the WAP provisioning document the device's
// installer reads in place of (or beside) the CE setup file. One element per
// line, TAB indentation, attributes in a fixed order (the readers cut lines
// at double quotes), CR LF line ends, no XML declaration. Names are escaped
// (& < > ") and characters outside ASCII written as character references,
// so the file is well formed whatever encoding a reader assumes.

// Appends the document to *lignes; nothing when lignes is null. nomTheme names
// the theme's own device key (nomTheme + ".tsk"). The document carries no
// BaseHue value.
void GenereSetupXml(QStringList *lignes, const ThemeDocument &doc, const QString &nomTheme,
                    const QString &nomApplication);

// Saves the document as "_setup.xml" in dossier, replacing an existing one
// atomically. False, with *erreur set, when it cannot be written.
bool EcritSetupXml(const ThemeDocument &doc, const QString &nomTheme, const QString &nomApplication,
                   const QString &dossier, QString *erreur = nullptr);

// Escapes text for an attribute value of the document.
QString EchappeXml(const QString &texte);
