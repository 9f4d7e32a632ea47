#pragma once

// What a process killed at a given moment leaves in a folder: a test takes
// the folder's files at that moment (from a hook the program runs there),
// lets the program go on, then puts the folder back as the kill would have
// left it before starting the program again.

#include "tests/support/test_env.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <map>

namespace testenv {

// The plain files of a folder, hidden ones included, by name.
using Instantane = std::map<QString, QByteArray>;

inline Instantane prendInstantane(const QString &dossier)
{
    Instantane i;
    const QDir d(dossier);
    for (const QString &nom : d.entryList(QDir::Files | QDir::Hidden))
        i[nom] = readFile(d.filePath(nom));
    return i;
}

// The folder holds exactly the files of `i` again (sub-folders are left).
inline void remetInstantane(const QString &dossier, const Instantane &i)
{
    const QDir d(dossier);
    for (const QString &nom : d.entryList(QDir::Files | QDir::Hidden))
        if (!i.count(nom))
            QFile::remove(d.filePath(nom));
    for (const auto &[nom, octets] : i)
        writeFile(d.filePath(nom), octets);
}

} // namespace testenv
