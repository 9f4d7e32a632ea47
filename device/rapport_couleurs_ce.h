#pragma once

// The device's four colour tables (current and default system colours,
// current and default shell colours): their names, their swatch pictures,
// and the device colour report, a text file named after the device's current
// skin with the four swatch bitmaps beside it in the program folder.

#include "device/fonctions_rapi_registre.h"
#include "theme/theme_document.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The captions of the main window's colour labels, one per theme slot.
using LibellesCouleurs = std::array<QString, JeuCouleurs::NbCouleurs>;
LibellesCouleurs LibellesCouleursDefaut();

// "COLOR_SCROLLBAR"... for the system colour index 0 to 28.
QString NomCouleurSysteme(int index);
// Its description, from the string table.
QString DescriptionCouleurSysteme(int index);
inline constexpr int kIdDescriptionsCouleursSysteme = 65310;

// The caption of the slot whose colour number is numero; empty when no slot
// has that number.
QString LibelleNumeroCouleur(int numero, const LibellesCouleurs &libelles);

// The four tables; none for a table that was not read.
struct TablesCouleursCE
{
    std::optional<TableSysColor> sys, defSys;
    std::optional<TableSHColor> sh, defSh;
};
TablesCouleursCE LitTablesCouleursCE(LienRapi &rapi);

// Swatch grid: cell k (row k / 10, column k % 10) is the 40-pixel square at
// (15 + 40 x column, 15 + 40 x row).
inline constexpr int kOrigineNuancier = 15;
inline constexpr int kCoteNuancier = 40;
inline constexpr QSize kTailleNuancier{420, 220};
QRect CelluleNuancier(int k);

// Draws a table: column numbers 0 to 9, row numbers 0 to dernierRang, and
// each entry up to dernierIndex the table holds filled with its colour, on
// a white 32-bit picture of the given size.
QImage DessineCouleurs(int dernierRang, int dernierIndex, const std::optional<uint32_t> *table,
                       QSize taille = kTailleNuancier);
QImage DessineCouleurs(const TableSysColor &table, QSize taille = kTailleNuancier);
QImage DessineCouleurs(const TableSHColor &table, QSize taille = kTailleNuancier);

// A picture as a BMP file of 32 bits per pixel (blue, green, red, a zero
// byte; rows bottom up; not compressed; 96 dots per inch).
QByteArray Bmp32Bits(const QImage &image);

// The report's lines, each ended by CR LF.
QString TexteRapportCouleurs(const TablesCouleursCE &tables, const LibellesCouleurs &libelles);

// The name that starts the report's files: the skin's file name without
// folder and extension, or "Defaut" when the skin is empty or not a plain
// file name (a device never names a file outside the program folder).
QString NomRapportCouleurs(const QString &skin);

// Writes "<name> SysCouleurs.inf" and the bitmaps of the tables that were
// read ("<name> CoulSys.bmp", "CoulDefSys.bmp", "CoulSH.bmp",
// "CoulDefSH.bmp") into dossier, each to a temporary name renamed into
// place. Stops at the first file that cannot be written, with its error.
bool SauveRapportCouleurs(const QString &dossier, const QString &skin, const TablesCouleursCE &tables,
                          const LibellesCouleurs &libelles, QString *erreur = nullptr);
