#pragma once

// The layout of the Windows CE setup file (".000") in one place: every field
// of its header, its tables, its limits and the picture-set codes. The writer,
// the readers, the INF rebuilder and the package preview all take them from
// here. Integers are little-endian.

#include <QtGlobal>

#include <cstdint>

namespace SetupCE {

// ---------------------------------------------------------------------------
// The fixed header (100 bytes)

inline constexpr qsizetype OffSignature = 0;        // "MSCE" (or "CE4+"), 4 bytes
inline constexpr qsizetype OffLongueur = 8;         // u32: the whole file's length
inline constexpr qsizetype OffProcesseur = 20;      // u32: processor type
inline constexpr qsizetype OffVersionMinMaj = 24;   // u32: minimum CE version, major
inline constexpr qsizetype OffVersionMinMin = 28;   //      and minor
inline constexpr qsizetype OffVersionMaxMaj = 32;   // u32: maximum CE version, major
inline constexpr qsizetype OffVersionMaxMin = 36;   //      and minor
inline constexpr qsizetype OffBuildMin = 40;        // u32: minimum build
inline constexpr qsizetype OffBuildMax = 44;        // u32: maximum build
inline constexpr qsizetype OffNbTables = 48;        // u16 x 6: record count of each table
inline constexpr qsizetype OffTables = 60;          // u32 x 6: offset of each table
inline constexpr qsizetype OffNomApplication = 84;  // u16 offset, u16 length: application name
inline constexpr qsizetype OffFournisseur = 88;     // u16 offset, u16 length: provider
inline constexpr qsizetype OffPlateformes = 92;     // u16 offset, u16 length: unsupported platforms
inline constexpr qsizetype TailleEntete = 100;

// The six tables, in header order.
enum Table : int { Chaines, Dossiers, Fichiers, Ruches, Cles, Raccourcis, NbTables };

constexpr qsizetype posNombre(Table t) { return OffNbTables + 2 * t; }
constexpr qsizetype posOffset(Table t) { return OffTables + 4 * t; }

inline constexpr qsizetype OffNbFichiers = posNombre(Fichiers);
inline constexpr qsizetype OffTableFichiers = posOffset(Fichiers);

// A file record starts with id, directory id, unknown u16, flags u32 and the
// name's length: 12 bytes before the name.
inline constexpr qsizetype TailleTeteFichier = 12;

// Values the writer puts in the header and the file records.
inline constexpr uint32_t TypeProcesseur = 2577; // StrongARM
inline constexpr uint32_t FlagsFichier = 0x40000000;

// ---------------------------------------------------------------------------
// Limits

// No setup file of a theme comes near this; a larger one is not read at all.
inline constexpr qsizetype TailleMax = 1 << 20;
// A string record holds at most this many bytes, its NUL included; longer
// texts are cut to 260 bytes when read.
inline constexpr int LongueurChaineMax = 261;

// The pairing stand-in when the package's member list is empty.
inline constexpr char MembreInconnu[] = "~~~~~~~~~~~~";

// ---------------------------------------------------------------------------
// Picture sets: the sum of the bits (1 << slot) of the theme pictures a
// setup file installs gives the package's picture-set code.

inline constexpr int SommeTodayStart = 3;         // tdywater + stwater
inline constexpr int SommeStart = 1;              // stwater only
inline constexpr int SommePaire240 = 60;          // the 240 x 320 pair, Today and Start
inline constexpr int SommePaire240Start = 12;     // the 240 x 320 pair, Start only
inline constexpr int SommePaire480 = 960;         // the 480 x 640 pair, Today and Start
inline constexpr int SommePaire480Start = 192;    // the 480 x 640 pair, Start only
// The code of a setup file whose pictures form no set: not a theme.
inline constexpr int GroupeNonTheme = 6;

} // namespace SetupCE
