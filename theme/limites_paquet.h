#pragma once

#include "theme/setup_ce_format.h"

#include <QtGlobal>

// Limits against hostile packages, shared by every reader of a package (the
// package reader, the package preview, the device browser): a theme picture
// is a few hundred kilobytes, its setup documents a few kilobytes.
namespace Paquet {
// A setup document (CE setup file or setup XML) larger than this is not read.
inline constexpr qsizetype TailleSetupMax = SetupCE::TailleMax;
// A picture member larger than this is not extracted.
inline constexpr qint64 TailleImageMax = qint64(64) << 20;
// A picture claiming more pixels than this is not decoded (a 64 MB GIF can
// claim 65535 x 65535).
inline constexpr qint64 PixelsImageMax = qint64(8192) * 8192;
} // namespace Paquet
