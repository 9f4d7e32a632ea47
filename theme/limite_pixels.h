#pragma once

#include <QDir>
#include <QSize>
#include <QString>

// The largest picture the program decodes, in pixels: far above any theme
// picture, device screen or photo a user crops from, far below what a few
// compressed bytes can claim (a 16000 x 16000 GIF fits in 500 KB and takes
// 1 GB once decoded).
inline constexpr qint64 PixelsImageMax = qint64(8192) * 8192;

inline bool ImageTropGrande(QSize taille)
{
    return taille.isValid() && qint64(taille.width()) * taille.height() > PixelsImageMax;
}

inline QString MessageImageTropGrande(const QString &fichier, QSize taille)
{
    return QStringLiteral("The picture %1 is too large: %2 x %3 pixels (at most %4 million).")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)))
        .arg(taille.width())
        .arg(taille.height())
        .arg(PixelsImageMax / 1000000);
}
