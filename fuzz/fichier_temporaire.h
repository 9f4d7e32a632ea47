#pragma once

// A private scratch file for the targets whose reader takes a path: the
// bytes are written to it before each run.
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline QString ecritEntree(const uint8_t *data, size_t size, const QString &nom)
{
    static QTemporaryDir dossier;
    const QString chemin = dossier.filePath(nom);
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        __builtin_trap();
    return chemin;
}

} // namespace fuzz
