#pragma once

// What a simulated device shows of itself, read from its folder rather than
// through the program: every registry value with its type and bytes, and the
// pictures of its \Windows folder. Two snapshots compare equal exactly when
// the device holds the same values and the same files, whatever the order in
// which the values were written back.

#include "tests/support/test_env.h"

#include <QDir>
#include <QMap>
#include <QString>
#include <QStringList>

namespace devsimtest {

struct EtatAppareil
{
    QMap<QString, QStringList> registre; // key -> its value lines, sorted
    QMap<QString, QByteArray> images;    // \Windows\*.gif -> bytes

    bool operator==(const EtatAppareil &) const = default;
};

inline EtatAppareil litEtatAppareil(const QString &dossier)
{
    EtatAppareil e;
    QString cle;
    const QString texte = QString::fromUtf8(testenv::readFile(dossier + QStringLiteral("/registry.reg")));
    for (const QString &ligne : texte.split(QLatin1Char('\n'))) {
        const QString l = ligne.trimmed();
        if (l.startsWith(QLatin1Char('[')))
            e.registre[cle = l];
        else if (!l.isEmpty() && !cle.isEmpty())
            e.registre[cle] << l;
    }
    for (QStringList &valeurs : e.registre)
        valeurs.sort();
    const QDir windows(dossier + QStringLiteral("/fs/Windows"));
    for (const QString &nom : windows.entryList({QStringLiteral("*.gif")}, QDir::Files))
        e.images[nom.toLower()] = testenv::readFile(windows.filePath(nom));
    return e;
}

// The value line of one registry value ("\"BaseHue\"=dword:000001a0"), or
// empty when the key does not hold it.
inline QString valeurAppareil(const EtatAppareil &e, const QString &cle, const QString &nom)
{
    for (const QString &l : e.registre.value(QLatin1Char('[') + cle + QLatin1Char(']')))
        if (l.startsWith(QLatin1Char('"') + nom + QStringLiteral("\"=")))
            return l;
    return {};
}

} // namespace devsimtest
