#pragma once

#include "theme/couleur.h"
#include "theme/theme_document.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What the theme colour-keys editor shows and writes back, without its
// widgets. Key k follows ListeTDThemeCles: 0 "UseDefaultTitleColor", 1..15 the
// colour keys, 16 colour 34.
constexpr int NbClesThemeTD = 17;
constexpr int CleUseDefaultTitleColor = 0;
constexpr int CleCouleur34 = 16;

struct CleThemeTD
{
    bool active = false; // its check box
    bool udtc = false;   // key 0 only: the UseDefaultTitleColor box itself
    TColor couleur;      // keys 1..16: the panel colour
    QString libelle;     // keys 1..16: the hexadecimal text beside the panel
    // A line of the theme that the editor cannot write back as it stands (a
    // DWORD colour, a value that is not 8 hexadecimal digits, ...): it is
    // written back unchanged unless the user edits that key.
    std::optional<QString> ligneConservee;
    bool modifiee = false; // edited by the user since the editor opened

    bool operator==(const CleThemeTD &) const = default;
};

using EtatClesThemeTD = std::array<CleThemeTD, NbClesThemeTD>;

// What "Validate" changes in the theme document; everything else stays.
struct ResultatClesThemeTD
{
    QStringList ClesTheme;
    bool ClesThemeDefinies = false;
    bool Coul34Definie = false;
    TColor Coul34; // taken only when Coul34Definie

    bool operator==(const ResultatClesThemeTD &) const = default;
};

// "0x" + red, green, blue as two upper-case hexadecimal digits each + "00".
QString TexteHexaCouleur(TColor c);

// The colour of a colour key's value text: red in the top byte, then green,
// then blue. Type 1 is the text read as a hexadecimal number; type 65536 has
// its four byte pairs reversed first; any other type gives black.
struct CouleurCleLue
{
    TColor couleur;
    // True when the line is exactly what the editor would write back for
    // that colour (8 hexadecimal digits, binary or multi-string type).
    bool canonique = false;
};
CouleurCleLue CouleurValeurCle(const QString &texte, int type);

// Reads the theme's own values and colour 34 as the editor shows them. Lines
// whose name is not one of the 17 keys (matched without regard to case) give
// no box; lines that cannot be split give none either.
EtatClesThemeTD LitClesThemeTD(const ParametresWM5 &p, const QStringList &clesTheme);

// The lines and flags written on "Validate", in the order of the key list:
// "UseDefaultTitleColor" as DWORD 1 when both its boxes are checked, then each
// checked colour key as binary RRGGBB00. Colour 34 goes to Coul34, never to a
// line.
ResultatClesThemeTD EcritClesThemeTD(const EtatClesThemeTD &etat);

// Applies a validated result to the document (the rest of ParametresWM5 is kept).
void AppliqueClesThemeTD(ThemeDocument &doc, const ResultatClesThemeTD &r);
