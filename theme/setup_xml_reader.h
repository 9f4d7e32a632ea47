#pragma once

#include "theme/setup_ce_reader.h"
#include "theme/theme_document.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// What a setup XML document (_setup.xml, a WAP provisioning document) tells
// about a theme package.
struct ResultatXmlSetup
{
    QStringList ValeursCouleurs; // name TAB hex TAB TAB type
    QStringList ValeursToday;    // name TAB hex
    QStringList ClesTheme;       // theme registry value lines, each of its stored type
    QStringList ListeEnrFichiers;
    QStringList TexteInfOrig;
    QString ProcessorType;
    QString OSVersionMin;
    QString OSVersionMax;
    QString NomInterneLu;
    QString NomSousCleTheme;
    int32_t NumFiles = 0;
    int32_t NumRegKeys = 0;
    int32_t NumRegVals = 0;
    int groupeFormat = 6;
    MembresImages membres;
    ParametresWM5 parametres;
    QString texteDocument; // the document element, serialised
};

enum class ErreurXmlSetup {
    Aucune,
    TropGrand,       // over the size, depth or node limits
    Illisible,       // not well-formed XML, or a DTD
    SansNoeud,       // no element at the top
    NombreInvalide,  // a value that must be a decimal integer is not one
    ValeurInvalide,  // a colour 34 or a WM5 value that gives no number
};

// Limits: a theme's document is a few kilobytes.
namespace SetupXml {
constexpr qsizetype TailleMax = 1 << 20;
constexpr int ProfondeurMax = 32;
constexpr int NoeudsMax = 20000;
} // namespace SetupXml

// Reads a setup document. Characteristics are recognised by the upper-cased
// value of their FIRST attribute; a node's fields are its attribute values
// and those of its descendants in document order (the writer's order: parm
// name, value, datatype; file type, translation, Extract, Source name and
// value). The whole document is read into the result, or nothing is returned.
std::optional<ResultatXmlSetup> LireXmlSetup(QByteArrayView bytes, ErreurXmlSetup *erreur = nullptr);
