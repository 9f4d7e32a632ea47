#pragma once

#include "theme/limite_pixels.h"
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
// A picture claiming more pixels than PixelsImageMax (theme/limite_pixels.h)
// is not decoded.
} // namespace Paquet
