// The INI layer on arbitrary bytes: whatever it reads, what it writes back
// reads again as the same sections, keys and values, and writing that is
// stable.
#include "theme/ini_file.h"

#include <cstddef>
#include <cstdint>

namespace {

struct Contenu
{
    QStringList sections;
    QList<QStringList> cles;
    QList<QStringList> valeurs;
    bool operator==(const Contenu &) const = default;
};

Contenu contenu(const IniFile &ini)
{
    Contenu c;
    c.sections = ini.sections();
    for (const QString &s : c.sections) {
        const QStringList cles = ini.keys(s);
        QStringList valeurs;
        for (const QString &k : cles) {
            valeurs << ini.readString(s, k);
            (void)ini.readInteger(s, k, 7);
            (void)ini.readBool(s, k, true);
        }
        c.cles << cles;
        c.valeurs << valeurs;
    }
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char *>(data), qsizetype(size));
    IniFile ini = IniFile::fromBytes(octets);
    const Contenu avant = contenu(ini);
    (void)IniFile::parseInteger(QString::fromLatin1(octets.left(64)));

    // A change through the writer, then the round trip.
    ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Cle"), QStringLiteral("valeur ; , = \u00e9"));
    ini.writeInteger(QStringLiteral("Fuzz"), QStringLiteral("Nombre"), -12345);
    const QByteArray ecrit = ini.toBytes();
    const IniFile relu = IniFile::fromBytes(ecrit);
    if (relu.readString(QStringLiteral("Fuzz"), QStringLiteral("Cle")) != QStringLiteral("valeur ; , = \u00e9")
        || relu.readInteger(QStringLiteral("fuzz"), QStringLiteral("nombre"), 0) != -12345)
        __builtin_trap();
    if (IniFile::fromBytes(relu.toBytes()).toBytes() != relu.toBytes())
        __builtin_trap();
    // Untouched documents survive byte for byte in what they mean.
    const IniFile tel = IniFile::fromBytes(octets);
    if (contenu(IniFile::fromBytes(tel.toBytes())) != avant)
        __builtin_trap();
    return 0;
}
