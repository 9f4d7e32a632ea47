// Draws every picture the program embeds and writes artwork.qrc beside them.
// Usage: orvandel_artgen OUTDIR
#include "resources/artgen/artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvandel_artgen OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    QStringList files;
    for (const ArtworkItem &item : artworkItems()) {
        const QString path = out + QLatin1Char('/') + item.fileName;
        if (!item.write(path)) {
            std::fprintf(stderr, "orvandel_artgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
        files << item.fileName;
    }

    QFile qrc(out + QStringLiteral("/artwork.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Text))
        return 1;
    QTextStream ts(&qrc);
    ts << "<RCC>\n  <qresource prefix=\"/art\">\n";
    for (const QString &f : files)
        ts << "    <file>" << f << "</file>\n";
    ts << "  </qresource>\n</RCC>\n";
    return 0;
}
