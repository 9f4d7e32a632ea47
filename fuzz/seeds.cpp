// Writes seed corpora for the fuzz targets from our own writers:
// <folder>/setup_ce, <folder>/setup_xml and <folder>/cab_file.
#include "theme/cab_file.h"
#include "theme/setup_ce_writer.h"
#include "theme/setup_xml_writer.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

bool ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const QDir racine(QString::fromLocal8Bit(argv[1]));
    for (const char *s : {"setup_ce", "setup_xml", "cab_file"})
        racine.mkpath(s);
    int n = 0;
    for (int format : {3, 4, 5}) {
        for (bool startSeul : {false, true}) {
            ThemeDocument doc;
            doc.setFormatTheme(format);
            doc.setInclus(0, true);
            doc.setInclus(13, true);
            ParametresWM5 p;
            p.Coul34Definie = true;
            p.Coul34 = TColor::fromRgb(0x11, 0x22, 0x33);
            p.BaseHueDefini = true;
            p.ValBaseHue = 456;
            p.DPIDefini = format == 4;
            p.ValDPI = 192;
            p.UseStartImageDefini = startSeul;
            p.ValUseStartImage = 1;
            p.ClesThemeDefinies = true;
            doc.setParametres(p);
            doc.setClesTheme({"Color_Highlight\tFF804000\t\t1", "UseDefaultTitleColor\t00000001\t\t65537"});
            ++n;
            const auto ce = ConstruitFichier000(doc, "My Theme", "My Theme");
            QStringList xml;
            GenereSetupXml(&xml, doc, "My Theme", "A & B \u00e9");
            if (!ce || !ecrit(racine.filePath(QStringLiteral("setup_ce/%1.000").arg(n)), *ce)
                || !ecrit(racine.filePath(QStringLiteral("setup_xml/%1.xml").arg(n)), xml.join("\r\n").toLatin1()))
                return 1;
            // A small package holding both documents, stored and compressed.
            const QString travail = racine.filePath(QStringLiteral("travail%1").arg(n));
            QDir().mkpath(travail);
            ecrit(travail + "/MYTHEM~1.000", *ce);
            ecrit(travail + "/_setup.xml", xml.join("\r\n").toLatin1());
            ecrit(travail + "/tdywater.001", "GIF89a");
            TCABFile cab;
            cab.CompressionType = n % 2 ? typNone : typMSZIP;
            cab.CABFile = racine.filePath(QStringLiteral("cab_file/%1.tsk").arg(n));
            for (const char *m : {"MYTHEM~1.000", "_setup.xml", "tdywater.001"})
                cab.CABFileContents().Add()->Name = travail + "/" + m;
            try {
                cab.CreateCAB();
            } catch (const ECABFileError &) {
                return 1;
            }
            QDir(travail).removeRecursively();
        }
    }
    return 0;
}
