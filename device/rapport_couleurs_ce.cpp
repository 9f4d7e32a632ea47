#include "device/rapport_couleurs_ce.h"

#include "theme/byte_io.h"
#include "theme/ecriture_atomique.h"
#include "ui/polices.h"
#include "device/fonctions_rapi_fichiers.h"
#include "resources/strings.h"
#include "theme/cp1252.h"

#include <QDir>
#include <QPainter>

namespace {

constexpr const char *kNomsCouleursSysteme[kNbSysColor] = {
    "COLOR_SCROLLBAR",       "COLOR_BACKGROUND",          "COLOR_ACTIVECAPTION",
    "COLOR_INACTIVECAPTION", "COLOR_MENU",                "COLOR_WINDOW",
    "COLOR_WINDOWFRAME",     "COLOR_MENUTEXT",            "COLOR_WINDOWTEXT",
    "COLOR_CAPTIONTEXT",     "COLOR_ACTIVEBORDER",        "COLOR_INACTIVEBORDER",
    "COLOR_APPWORKSPACE",    "COLOR_HIGHLIGHT",           "COLOR_HIGHLIGHTTEXT",
    "COLOR_BTNFACE",         "COLOR_BTNSHADOW",           "COLOR_GRAYTEXT",
    "COLOR_BTNTEXT",         "COLOR_INACTIVECAPTIONTEXT", "COLOR_BTNHIGHLIGHT",
    "COLOR_3DDKSHADOW",      "COLOR_3DLIGHT",             "COLOR_INFOTEXT",
    "COLOR_INFOBK",          "COLOR_STATIC",              "COLOR_STATICTEXT",
    "COLOR_GRADIENTACTIVECAPTION", "COLOR_GRADIENTINACTIVECAPTION",
};

QString deuxHexa(uint32_t octet)
{
    return QStringLiteral("%1").arg(octet & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
}

QString ligneCouleur(int index, uint32_t v, const QString &nom)
{
    const uint32_t r = v & 0xFF, g = (v >> 8) & 0xFF, b = (v >> 16) & 0xFF;
    return QString::asprintf("%.2d, R : %.3d, G : %.3d, B : %.3d, ", index, int(r), int(g), int(b))
           + QStringLiteral("(%1, %2, %3, 00), ").arg(deuxHexa(r), deuxHexa(g), deuxHexa(b)) + nom;
}

template <size_t N, class Nommer>
void lignesTable(QStringList &lignes, const std::optional<std::array<std::optional<uint32_t>, N>> &table,
                 Nommer nom)
{
    if (!table)
        return;
    for (size_t k = 0; k < N; ++k)
        if ((*table)[k]) // an entry the device's table does not hold is not invented
            lignes << ligneCouleur(int(k), *(*table)[k], nom(int(k)));
}

bool ecrit(const QString &fichier, const QByteArray &octets, QString *erreur)
{
    QString raison;
    if (EcritFichierAtomique(fichier, octets, &raison))
        return true;
    if (erreur)
        *erreur = QStringLiteral("Cannot create file \"%1\". %2").arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), raison);
    return false;
}

} // namespace

QByteArray Bmp32Bits(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const uint32_t octetsPixels = uint32_t(w) * uint32_t(h) * 4;
    constexpr uint32_t kEntetes = 14 + 40;
    constexpr uint32_t kPointsParMetre = 3780; // 96 dots per inch
    ByteWriter b;
    // The file header.
    b.bytes("BM");
    b.u32(kEntetes + octetsPixels);
    b.u32(0);
    b.u32(kEntetes);
    // The bitmap information header: 32 bits per pixel, not compressed, the
    // rows bottom up.
    b.u32(40);
    b.u32(uint32_t(w));
    b.u32(uint32_t(h));
    b.u16(1);
    b.u16(32);
    b.u32(0);
    b.u32(octetsPixels);
    b.u32(kPointsParMetre);
    b.u32(kPointsParMetre);
    b.u32(0);
    b.u32(0);
    // Each pixel blue, green, red and the unused byte.
    for (int y = h - 1; y >= 0; --y) {
        const auto *ligne = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            b.u8(uint8_t(qBlue(ligne[x])));
            b.u8(uint8_t(qGreen(ligne[x])));
            b.u8(uint8_t(qRed(ligne[x])));
            b.u8(0);
        }
    }
    return b.take();
}

LibellesCouleurs LibellesCouleursDefaut()
{
    LibellesCouleurs l;
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        l[size_t(i)] = JeuCouleurs::libelleDefaut(i);
    return l;
}

QString NomCouleurSysteme(int index)
{
    return index >= 0 && index < kNbSysColor ? QLatin1String(kNomsCouleursSysteme[index]) : QString();
}

QString DescriptionCouleurSysteme(int index)
{
    return index >= 0 && index < kNbSysColor ? chaineRes(kIdDescriptionsCouleursSysteme + index) : QString();
}

QString LibelleNumeroCouleur(int numero, const LibellesCouleurs &libelles)
{
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        if (JeuCouleurs::NumerosCouleurs[size_t(i)] == numero)
            return libelles[size_t(i)];
    return QString();
}

TablesCouleursCE LitTablesCouleursCE(LienRapi &rapi)
{
    TablesCouleursCE t;
    TableSysColor sys{};
    if (LitSysColor(rapi, sys, true))
        t.sys = sys;
    sys = {};
    if (LitSysColor(rapi, sys, false))
        t.defSys = sys;
    TableSHColor sh{};
    if (LitSHColor(rapi, sh, true))
        t.sh = sh;
    sh = {};
    if (LitSHColor(rapi, sh, false))
        t.defSh = sh;
    return t;
}

QRect CelluleNuancier(int k)
{
    const int rang = k / 10, colonne = k % 10;
    return QRect(kOrigineNuancier + kCoteNuancier * colonne, kOrigineNuancier + kCoteNuancier * rang, kCoteNuancier,
                 kCoteNuancier);
}

QImage DessineCouleurs(int dernierRang, int dernierIndex, const std::optional<uint32_t> *table, QSize taille)
{
    QImage image(taille, QImage::Format_RGB32);
    image.fill(Qt::white);
    Fixe96Dpi(image);
    QPainter p(&image);
    p.setFont(PoliceImage(QStringLiteral("Tahoma"), 8));
    p.setPen(Qt::black);
    const QFontMetrics fm(p.font());
    for (int colonne = 0; colonne <= 9; ++colonne)
        p.drawText(34 + kCoteNuancier * colonne, 1 + fm.ascent(), QString::number(colonne));
    for (int rang = 0; rang <= dernierRang; ++rang)
        p.drawText(5, 30 + kCoteNuancier * rang + fm.ascent(), QString::number(rang));
    for (int k = 0; k <= dernierIndex; ++k)
        if (table[k]) {
            const uint32_t v = *table[k];
            p.fillRect(CelluleNuancier(k), QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)));
        }
    return image;
}

QImage DessineCouleurs(const TableSysColor &table, QSize taille)
{
    return DessineCouleurs(2, kNbSysColor - 1, table.data(), taille);
}

QImage DessineCouleurs(const TableSHColor &table, QSize taille)
{
    return DessineCouleurs(4, kNbSHColor - 1, table.data(), taille);
}

QString TexteRapportCouleurs(const TablesCouleursCE &tables, const LibellesCouleurs &libelles)
{
    const auto nomSysteme = [](int k) { return NomCouleurSysteme(k); };
    const auto nomShell = [&libelles](int k) {
        const QString l = LibelleNumeroCouleur(k, libelles);
        return l.isEmpty() ? QStringLiteral("???") : l;
    };
    QStringList lignes;
    lignes << QStringLiteral("HKLM\\SYSTEM\\GWE\\SysColor :");
    lignesTable(lignes, tables.sys, nomSysteme);
    lignes << QStringLiteral(" ") << QStringLiteral("HKLM\\SYSTEM\\GWE\\DefSysColor :");
    lignesTable(lignes, tables.defSys, nomSysteme);
    lignes << QStringLiteral(" ") << QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Color\\SHColor :");
    lignesTable(lignes, tables.sh, nomShell);
    lignes << QStringLiteral(" ") << QStringLiteral("HKLM\\SOFTWARE\\Microsoft\\Color\\DefSHColor :");
    lignesTable(lignes, tables.defSh, nomShell);
    return lignes.join(QLatin1String("\r\n")) + QLatin1String("\r\n");
}

QString NomRapportCouleurs(const QString &skin)
{
    QString nom = NomLocalCE(skin);
    const int point = nom.lastIndexOf(QLatin1Char('.'));
    if (point >= 0)
        nom.truncate(point);
    // Without a name (or a name only dots would be left of), the default one.
    if (nom.isEmpty() || nom.trimmed().isEmpty() || nom == QLatin1String(".") || nom == QLatin1String(".."))
        return QStringLiteral("Defaut");
    return nom;
}

bool SauveRapportCouleurs(const QString &dossier, const QString &skin, const TablesCouleursCE &tables,
                          const LibellesCouleurs &libelles, QString *erreur)
{
    QString base = dossier;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString prefixe = base + NomRapportCouleurs(skin) + QLatin1Char(' ');

    const QString texte = TexteRapportCouleurs(tables, libelles);
    // The device's names are Windows-1252 text; a caption the code page
    // cannot hold keeps the whole file in UTF-8 rather than lose it.
    const QByteArray octets = cp1252::encode(texte).value_or(texte.toUtf8());
    if (!ecrit(prefixe + QStringLiteral("SysCouleurs.inf"), octets, erreur))
        return false;

    const auto bitmap = [&](const QImage &image, const char *nom) {
        return ecrit(prefixe + QLatin1String(nom), Bmp32Bits(image), erreur);
    };
    if (tables.sys && !bitmap(DessineCouleurs(*tables.sys), "CoulSys.bmp"))
        return false;
    if (tables.defSys && !bitmap(DessineCouleurs(*tables.defSys), "CoulDefSys.bmp"))
        return false;
    if (tables.sh && !bitmap(DessineCouleurs(*tables.sh), "CoulSH.bmp"))
        return false;
    if (tables.defSh && !bitmap(DessineCouleurs(*tables.defSh), "CoulDefSH.bmp"))
        return false;
    return true;
}
