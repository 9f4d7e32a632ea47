// The cabinet reader on arbitrary bytes: list the members, then extract them
// all into a private folder. Nothing may be written outside that folder.
#include "theme/cab_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

struct Dossiers
{
    QTemporaryDir racine;
    QString cabinet = racine.filePath("entree.cab");
    QString cible = racine.filePath("a/cible");
    QString temoin = racine.filePath("a/temoin");
};

Dossiers &dossiers()
{
    static Dossiers d;
    return d;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Dossiers &d = dossiers();
    QDir(d.cible).removeRecursively();
    QDir().mkpath(d.cible);
    {
        QFile f(d.cabinet);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TCABFile cab;
    cab.CABFile = d.cabinet;
    cab.TargetPath = d.cible + "/";
    cab.TailleMaxMembre = 1 << 20;
    if (cab.ReadContents()) {
        for (int i = 0; i < cab.CABFileContents().Count(); ++i)
            cab.CABFileContents().GetItem(i)->Selected = true;
        cab.ExtractSelected();
    }
    // Only the cabinet and the target folder under the root.
    QDirIterator it(d.racine.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    while (it.hasNext()) {
        const QString e = it.next();
        if (e != d.cabinet && e != d.racine.filePath("a"))
            __builtin_trap();
    }
    QDirIterator a(d.racine.filePath("a"), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    while (a.hasNext())
        if (a.next() != d.cible)
            __builtin_trap();
    return 0;
}
