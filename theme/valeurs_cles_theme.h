#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

// One of the theme's own registry values as the package writers carry it.
struct ValeurCleTheme
{
    static constexpr uint32_t FlagsBinaire = 0x00000001;
    static constexpr uint32_t FlagsDword = 0x00010001;

    QString nom;
    // The value as a DWORD: for a binary line, its four bytes read little-endian
    // (the text RRGGBB00 gives $00BBGGRR).
    uint32_t valeur = 0;
    // The record flags of the CE setup file: binary for the colours, DWORD for
    // "UseDefaultTitleColor".
    uint32_t flagsCE = FlagsBinaire;

    bool operator==(const ValeurCleTheme &) const = default;
};

// The lines of ClesTheme that the package writers carry, in list order: a
// name of ListeTDThemeCles and a value that has a record. A binary line must
// hold exactly four bytes; a DWORD line one to eight hexadecimal digits. A
// DWORD under a colour key name (as the setup XML road reads colours) is
// carried as the binary value of the same four bytes. Every other line
// (unlisted name, malformed text, another type) is left out.
std::vector<ValeurCleTheme> ValeursClesTheme(const QStringList &clesTheme);

// The conversion error of the first line of clesTheme that a writer would
// carry (a listed name) but whose value text is not hexadecimal: the build
// or the save must stop on it with nothing written. Empty when every such
// line converts.
QString ErreurConversionClesTheme(const QStringList &clesTheme);
