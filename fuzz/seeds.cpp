// Writes seed corpora for the fuzz targets from our own writers, one folder
// per target under <folder>.
#include "device/simulator/sim_registry.h"
#include "tests/support/gif_test_writer.h"
#include "tests/support/metafichiers_test.h"
#include "theme/cab_file.h"
#include "theme/fichier_couleurs.h"
#include "theme/ini_file.h"
#include "ui/options.h"
#include "theme/setup_ce_writer.h"
#include "theme/setup_xml_writer.h"
#include "theme/theme_document.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

bool ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
}

QByteArray enregistre(const QImage &image, const char *format, int qualite = -1)
{
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    image.save(&tampon, format, qualite);
    return octets;
}

QImage imageTest(int largeur, int hauteur, QImage::Format format)
{
    QImage i(largeur, hauteur, QImage::Format_ARGB32);
    for (int y = 0; y < hauteur; ++y)
        for (int x = 0; x < largeur; ++x)
            i.setPixel(x, y, qRgba(x * 40, y * 30, (x ^ y) * 20, 255 - x * 8));
    return i.convertToFormat(format);
}

// A JPEG with an EXIF block holding DateTime, Make and Model (little-endian TIFF).
QByteArray jpegExif(const QByteArray &jpeg)
{
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    const QByteArray date("2024:05:17 10:20:30", 20), marque("Orvandel", 9), modele("Camera X", 9);
    const int n = 3;
    const int donnees = 8 + 2 + n * 12 + 4;
    auto u16 = [](QByteArray &b, int v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto u32 = [](QByteArray &b, quint32 v) { for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xFF)); };
    u16(tiff, n);
    int decalage = donnees;
    for (auto [tag, texte] : {std::pair{0x010F, marque}, std::pair{0x0110, modele}, std::pair{0x0132, date}}) {
        u16(tiff, tag);
        u16(tiff, 2);
        u32(tiff, quint32(texte.size()));
        u32(tiff, quint32(decalage));
        decalage += int(texte.size());
    }
    u32(tiff, 0);
    tiff += marque + modele + date;
    QByteArray app1("Exif\0\0", 6);
    app1 += tiff;
    QByteArray segment("\xFF\xE1", 2);
    u16(segment, 0); // length, big-endian, filled below
    segment[2] = char((app1.size() + 2) >> 8);
    segment[3] = char((app1.size() + 2) & 0xFF);
    segment += app1;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

bool pictures(const QDir &racine)
{
    using gifecrit::Cadre;
    using gifecrit::uni;
    const std::vector<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    Cadre entrelace = uni(7, 5, 1, 2, 1, 1, 3, 2, 5);
    entrelace.entrelace = true;
    entrelace.transparente = 0;
    Cadre decale = uni(3, 2, 3, 0, 0, 0, 1, 1, 0);
    decale.gauche = 2;
    decale.haut = 1;
    decale.disposition = 2;
    const QByteArray gifs[] = {
        gifecrit::ecrit(7, 5, palette, {uni(7, 5, 0, 1, 2, 2, 2, 2, 10)}),
        gifecrit::ecrit(7, 5, palette, {uni(7, 5, 0, 1, 2, 2, 2, 2, 10), entrelace, decale}),
        gifecrit::ecrit(4, 4, palette, {Cadre{0, 0, 4, 4, std::vector<unsigned char>(16, 2), false}}),
    };
    int n = 0;
    for (const QByteArray &g : gifs) {
        ++n;
        if (!ecrit(racine.filePath(QStringLiteral("gif_frames/%1.gif").arg(n)), g)
            || !ecrit(racine.filePath(QStringLiteral("charger_bitmap/%1.gif").arg(n)), g))
            return false;
    }
    const QImage i = imageTest(9, 7, QImage::Format_ARGB32);
    const QByteArray images[] = {
        enregistre(i, "BMP"), enregistre(i.convertToFormat(QImage::Format_Indexed8), "BMP"),
        enregistre(i, "PNG"), enregistre(i.convertToFormat(QImage::Format_Indexed8), "PNG"),
        enregistre(i.convertToFormat(QImage::Format_RGB32), "JPEG", 90),
        enregistre(i.convertToFormat(QImage::Format_Grayscale8), "JPEG", 50),
    };
    for (const QByteArray &b : images)
        if (!ecrit(racine.filePath(QStringLiteral("charger_bitmap/%1.img").arg(++n)), b))
            return false;
    const QByteArray jpeg = enregistre(i.convertToFormat(QImage::Format_RGB32), "JPEG", 75);
    if (!ecrit(racine.filePath(QStringLiteral("exif/1.jpg")), jpegExif(jpeg))
        || !ecrit(racine.filePath(QStringLiteral("exif/2.jpg")), jpeg)
        || !ecrit(racine.filePath(QStringLiteral("charger_bitmap/exif.jpg")), jpegExif(jpeg)))
        return false;
    // Metafiles, EMF and WMF (one with its frame off the origin).
    if (!ecrit(racine.filePath(QStringLiteral("metafichier/1.emf")), metafichiers::emf(40, 30, 0x0000FF))
        || !ecrit(racine.filePath(QStringLiteral("metafichier/2.wmf")), metafichiers::wmf(40, 30, 0xFF0000))
        || !ecrit(racine.filePath(QStringLiteral("metafichier/3.wmf")), metafichiers::wmf(16, 16, 0x00FF00, 5))
        || !ecrit(racine.filePath(QStringLiteral("metafichier/4.wmf")), metafichiers::wmfEllipse(30, 20, 0x00FF00))
        || !ecrit(racine.filePath(QStringLiteral("charger_bitmap/m.emf")), metafichiers::emf(8, 8, 0x00FF00)))
        return false;
    // Icons: one of each common size, 32-bit and palette.
    for (int cote : {16, 32, 48}) {
        const QByteArray ico = enregistre(imageTest(cote, cote, QImage::Format_ARGB32), "ICO");
        if (ico.isEmpty() || !ecrit(racine.filePath(QStringLiteral("icone/%1.ico").arg(cote)), ico))
            return false;
    }
    return true;
}

bool fichiersIni(const QDir &racine)
{
    ThemeDocument doc;
    doc.setNomTheme(QStringLiteral("Été bleu"));
    for (int slot : {0, 4, 13, 21}) {
        doc.setInclus(slot, true);
        doc.setCouleur(slot, TColor::fromRgb(slot * 10, 200 - slot, 3 * slot));
        doc.setLibelle(slot, QStringLiteral("Couleur %1").arg(slot));
    }
    ParametresWM5 p;
    p.BaseHueDefini = true;
    p.ValBaseHue = 456;
    p.Coul34Definie = true;
    p.Coul34 = TColor::fromRgb(1, 2, 3);
    doc.setParametres(p);
    for (bool avecNoms : {false, true}) {
        const QString chemin = racine.filePath(QStringLiteral("fichier_couleurs/%1.inf").arg(avecNoms));
        if (!SauveCouleurs(doc, chemin, avecNoms))
            return false;
        QFile::copy(chemin, racine.filePath(QStringLiteral("ini/couleurs%1.ini").arg(avecNoms)));
    }
    OptionsOVD o;
    o.Skin = 3;
    o.InterpolImg = 5;
    o.TskInfXmlRG = 2;
    FormatImages format;
    DossiersProgramme dossiers;
    dossiers.DossierAppli = QDir::tempPath() + QLatin1Char('/');
    dossiers.DossierTsk = dossiers.DossierImg = dossiers.DossierLitTSK = dossiers.DossierSauveCapt
        = dossiers.DossierAppli;
    const QString options = racine.filePath(QStringLiteral("options/OptionsOVD.ini"));
    if (!SauveOptions(options, o, format, dossiers))
        return false;
    QFile::copy(options, racine.filePath(QStringLiteral("ini/options.ini")));
    IniFile ini;
    ini.writeString(QStringLiteral("Section"), QStringLiteral("Texte"), QStringLiteral("a;b,c = \"d\""));
    ini.writeInteger(QStringLiteral("Section"), QStringLiteral("Nombre"), -42);
    ini.writeString(QStringLiteral("Autre"), QStringLiteral("Hex"), QStringLiteral("$FF00"));
    return ecrit(racine.filePath(QStringLiteral("ini/ecrit.ini")), ini.toBytes());
}

bool registre(const QDir &racine)
{
    devsim::Registre r;
    devsim::CleReg &couleur = r.racine(devsim::Registre::HKLM)->ajouteSousCle(u"SOFTWARE")
                                  .ajouteSousCle(u"Microsoft").ajouteSousCle(u"Color");
    couleur.fixeValeur(u"BaseHue", 4, devsim::octetsDword(0x1A0));
    couleur.fixeValeur(u"5", 3, {0x2e, 0x97, 0xe3, 0x00});
    devsim::CleReg &today = r.racine(devsim::Registre::HKCU)->ajouteSousCle(u"Software")
                                .ajouteSousCle(u"Microsoft").ajouteSousCle(u"Today");
    today.fixeValeur(u"Skin", 1, devsim::octetsChaine(u"\\Windows\\Blue.tsk"));
    today.fixeValeur(u"Liste", 7, devsim::octetsMultiChaine({u"un", u"deux"}));
    today.fixeValeur(u"Brut", 1, {0x41, 0x00, 0x42});
    today.ajouteSousCle(u"Items").ajouteSousCle(u"Date \u00e9t\u00e9");
    const std::string texte = r.texte();
    return ecrit(racine.filePath(QStringLiteral("registre_sim/1.reg")),
                 QByteArray(texte.data(), qsizetype(texte.size())));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const QDir racine(QString::fromLocal8Bit(argv[1]));
    for (const char *s : {"setup_ce", "setup_xml", "cab_file", "gif_frames", "icone", "ini", "fichier_couleurs",
                          "options", "charger_bitmap", "exif", "registre_sim", "metafichier"})
        racine.mkpath(s);
    if (!pictures(racine) || !fichiersIni(racine) || !registre(racine)) {
        std::fprintf(stderr, "fuzz_seeds: a seed could not be written\n");
        return 1;
    }
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
