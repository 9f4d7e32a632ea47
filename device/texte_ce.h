#pragma once

// Texts passed to and read from the device library: UTF-16, NUL-terminated
// on the way in, bounded by their buffer on the way out.

#include "device/rapi_api.h"

#include <QString>

// A text the device can take: not empty and without a NUL, which would make
// the device see a shorter path or name than the one checked here.
inline bool texteCEValide(const QString &s)
{
    return !s.isEmpty() && !s.contains(QChar(0));
}

inline const WCHAR *versCE(const QString &s)
{
    return reinterpret_cast<const WCHAR *>(s.utf16());
}

// The text in buf up to its first NUL, never past max units.
inline QString depuisCE(const WCHAR *buf, size_t max)
{
    size_t n = 0;
    while (n < max && buf[n] != 0)
        ++n;
    return QString::fromUtf16(buf, qsizetype(n));
}
