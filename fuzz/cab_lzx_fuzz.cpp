// The LZX cabinet writer on arbitrary bytes: the input (its first byte picks
// the window, its second how often the rest repeats, so that inputs reach
// across frames and windows) is built into an LZX cabinet of two members,
// which our reader must give back byte for byte.
#include "theme/cab_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

struct Dossiers
{
    QTemporaryDir racine;
    QString source = racine.filePath("src");
    QString cabinet = racine.filePath("sortie.cab");
    QString cible = racine.filePath("cible");
};

Dossiers &dossiers()
{
    static Dossiers d;
    return d;
}

void ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(octets) != octets.size())
        __builtin_trap();
}

QByteArray lit(const QString &chemin)
{
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        __builtin_trap();
    return f.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    Dossiers &d = dossiers();
    QDir(d.cible).removeRecursively();
    QDir().mkpath(d.cible);
    QDir().mkpath(d.source);
    const QByteArray corps(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    // Up to 64 copies, at most about 300 KB in all.
    const int copies = 1 + (data[1] & 63);
    QByteArray contenu = corps.repeated(std::max(1, std::min<int>(copies, int(300000 / std::max<size_t>(1, size)))));
    const qsizetype coupe = contenu.size() / 3;
    const QByteArray premier = contenu.left(coupe);
    const QByteArray second = contenu.mid(coupe);
    ecrit(d.source + "/un.bin", premier);
    ecrit(d.source + "/deux.bin", second);

    TCABFile cab;
    cab.CompressionType = typLZX;
    cab.LZXMemory = TLZXMemory(data[0] % 7);
    cab.CABFile = d.cabinet;
    cab.CABFileContents().Add()->Name = d.source + "/un.bin";
    cab.CABFileContents().Add()->Name = d.source + "/deux.bin";
    try {
        if (!cab.CreateCAB())
            __builtin_trap();
    } catch (const ECABFileError &) {
        __builtin_trap();
    }

    TCABFile lu;
    lu.CABFile = d.cabinet;
    lu.TargetPath = d.cible;
    if (!lu.ReadContents() || lu.CABFileContents().Count() != 2)
        __builtin_trap();
    for (int i = 0; i < 2; ++i)
        lu.CABFileContents().GetItem(i)->Selected = true;
    if (!lu.ExtractSelected())
        __builtin_trap();
    if (lit(d.cible + "/un.bin") != premier || lit(d.cible + "/deux.bin") != second)
        __builtin_trap();
    return 0;
}
