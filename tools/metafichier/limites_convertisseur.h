#pragma once

// What the metafile converter may use, shared by the program that starts it
// and the converter itself.

#include <cstdint>

namespace convertisseur {

// The converter's program, next to the main program.
inline constexpr char NomProgramme[] = "ovd-metafichier";
// Its address space: the libraries and a drawing of about 5000 x 5000 pixels;
// a file asking for more is stopped when it allocates.
inline constexpr std::uint64_t MemoireMax = std::uint64_t(256) << 20;
// Largest metafile read, and largest side of a drawing.
inline constexpr std::int64_t EntreeMax = std::int64_t(32) << 20;
inline constexpr int CoteMax = 8192;
// Exit codes besides 0 (drawn): the file could not be drawn, the drawing
// could not be written out, the command was wrong, memory ran out.
inline constexpr int SortieIllisible = 2;
inline constexpr int SortieEcriture = 3;
inline constexpr int SortieUsage = 4;
inline constexpr int SortieMemoire = 5;

} // namespace convertisseur
