#include "ui/fonctions_indep.h"

#include "theme/ecriture_atomique.h"
#include "theme/arrondi.h"
#include "theme/byte_io.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QPainter>

#include <filesystem>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<VerrouInstance> VerifieInstanceUnique(const QString &dossier, const QString &nom, bool *dejaPris)
{
    QString base = dossier;
    if (!base.isEmpty() && !base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    VerrouInstance::Etat etat = VerrouInstance::Etat::Impossible;
    auto verrou = VerrouInstance::prends(base + nom, &etat);
    if (dejaPris)
        *dejaPris = etat == VerrouInstance::Etat::PrisAilleurs;
    return verrou;
}

QString MessageDejaLance()
{
    return QStringLiteral("Program already loaded.");
}

std::optional<QString> DossierTemp(QString *erreur)
{
    const QString chemin = QDir::tempPath() + QStringLiteral("/orvandel-") + QString::number(getuid());
    const QByteArray natif = QFile::encodeName(chemin);
    auto refus = [&](const QString &raison) -> std::optional<QString> {
        if (erreur)
            *erreur = QStringLiteral("The private temporary folder %1 cannot be used: %2").arg(chemin, raison);
        return std::nullopt;
    };
    struct stat st{};
    if (lstat(natif.constData(), &st) != 0) {
        if (mkdir(natif.constData(), 0700) != 0 || lstat(natif.constData(), &st) != 0)
            return refus(QString::fromLocal8Bit(strerror(errno)));
    }
    if (S_ISLNK(st.st_mode))
        return refus(QStringLiteral("it is a symbolic link"));
    if (!S_ISDIR(st.st_mode))
        return refus(QStringLiteral("it is not a folder"));
    if (st.st_uid != getuid())
        return refus(QStringLiteral("it belongs to another user"));
    if ((st.st_mode & 07777) != 0700 && chmod(natif.constData(), 0700) != 0)
        return refus(QString::fromLocal8Bit(strerror(errno)));
    return chemin + QLatin1Char('/');
}

bool ExtraitRessource(const QString &ressource, const QString &fichier, QString *erreur)
{
    QFile source(ressource);
    if (!source.open(QIODevice::ReadOnly)) {
        if (erreur)
            *erreur = QStringLiteral("Missing resource %1.").arg(ressource);
        return false;
    }
    const QByteArray octets = source.readAll();
    QString raison;
    if (!EcritFichierAtomique(fichier, octets, &raison)) {
        if (erreur)
            *erreur = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), raison);
        return false;
    }
    return true;
}

QString ChoisirDossier(Prompts &prompts, const QString &titre, const QString &dossierInitial)
{
    return prompts.chooseFolder(titre, dossierInitial).value_or(QString());
}

QRect RectProportionnel(int w, int h, int W, int H)
{
    int l = w, t = h;
    if (w > W || h > H) {
        if (w < 1 || h < 1) {
            l = W;
            t = H;
        } else {
            const double r = double(w) / double(h);
            if (h < w) {
                l = W;
                t = arrondi(W / r);
                if (t > H) {
                    t = H;
                    l = arrondi(H * r);
                }
            } else {
                t = H;
                l = arrondi(H * r);
                if (l > W) {
                    l = W;
                    t = arrondi(W / r);
                }
            }
        }
    }
    return QRect((W - l) / 2, (H - t) / 2, l, t);
}

bool EstWindowsXP()
{
    return false;
}

bool SupprimeDossier(const QString &chemin)
{
    if (chemin.isEmpty())
        return false;
    namespace fs = std::filesystem;
    const fs::path p(QFile::encodeName(chemin).toStdString());
    std::error_code ec;
    if (fs::equivalent(p, fs::path("/"), ec))
        return false;
    ec.clear();
    // symlink_status: a link is removed as a link, never followed.
    if (!fs::exists(fs::symlink_status(p, ec)))
        return false;
    fs::remove_all(p, ec);
    return !ec;
}

QString TexteTailleCourte(qint64 taille)
{
    const QLocale locale;
    QString texte;
    if (taille >= 1024001) {
        // "0.0#": one or two decimals.
        const long long centiemes = arrondi64(double(taille) / 1048576.0 * 100.0);
        texte = QString::number(centiemes / 100) + locale.decimalPoint()
                + QString::number(centiemes % 100 / 10);
        if (centiemes % 10 != 0)
            texte += QString::number(centiemes % 10);
        texte += QStringLiteral(" Mb");
    } else {
        texte = QString::number(arrondi64(double(taille) / 1024.0)) + QStringLiteral(" Kb");
    }
    return texte;
}

QString TexteTaille(qint64 taille)
{
    return TexteTailleCourte(taille) + QStringLiteral(" (%1 bytes)").arg(taille);
}

std::optional<QString> TailleFichierTexte(const QString &fichier)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, fichier))
        return std::nullopt;
    return TexteTaille(f.size());
}

namespace {

int bitsQt(QImage::Format f)
{
    switch (f) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8: return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
    case QImage::Format_ARGB4444_Premultiplied:
    case QImage::Format_Grayscale16: return 16;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888: return 24;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBA8888_Premultiplied: return 32;
    case QImage::Format_RGBX64: return 48;
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied: return 64;
    default: return 0;
    }
}

// Bits per pixel as the file stores them: Qt widens many of them on decoding.
int bitsEnTete(const QByteArray &format, const QByteArray &tete)
{
    const ByteReader r(tete);
    if (format == "gif")
        return 8;
    if (format == "png") {
        // IHDR: bit depth at 24, colour type at 25.
        const auto prof = r.bytesAt(24, 2);
        if (!prof)
            return 0;
        const int bits = uint8_t(prof->at(0)), type = uint8_t(prof->at(1));
        const int canaux = type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1;
        if (type == 0 || type == 3)
            return bits == 1 ? 1 : bits <= 4 ? 4 : bits == 8 ? 8 : 48;
        return canaux * bits;
    }
    if (format == "bmp") {
        const auto bits = r.u16At(28); // BITMAPINFOHEADER biBitCount
        return bits ? int(*bits) : 0;
    }
    return -1;
}

} // namespace

InfosImage LitInfosImage(const QString &fichier)
{
    InfosImage infos;
    QFile f;
    if (!OuvreFichierOrdinaire(f, fichier))
        return infos;
    QImageReader lecteur(&f);
    if (!lecteur.canRead())
        return infos;
    infos.valide = true;
    infos.format = lecteur.format();
    if (infos.format == "jpg")
        infos.format = "jpeg";
    if (infos.format == "tif")
        infos.format = "tiff";
    // The header from the same file; the reader's place is kept.
    const qint64 place = f.pos();
    QByteArray tete;
    if (f.seek(0))
        tete = f.read(64);
    f.seek(place);
    infos.bitsParPixel = bitsEnTete(infos.format, tete);
    if (infos.bitsParPixel < 0)
        infos.bitsParPixel = infos.format == "jpeg" && lecteur.imageFormat() != QImage::Format_Grayscale8
                                 ? 24
                                 : bitsQt(lecteur.imageFormat());
    infos.nombreImages = qMax(1, lecteur.imageCount());
    return infos;
}

InfosImage InfosImageMemoire(const QImage &image)
{
    InfosImage infos;
    infos.valide = !image.isNull();
    infos.bitsParPixel = bitsQt(image.format());
    infos.nombreImages = infos.valide ? 1 : 0;
    return infos;
}

QString NomFormatImage(const InfosImage &infos)
{
    if (!infos.valide)
        return {};
    static const struct
    {
        const char *qt;
        const char *nom;
    } noms[] = {{"", "BMP created in memory"}, {"bmp", "Bitmap"}, {"jpeg", "JPEG"}, {"png", "PNG"},
                {"gif", "GIF"},                {"tiff", "TIFF"},  {"ico", "Icon"}};
    for (const auto &n : noms)
        if (infos.format == n.qt)
            return QString::fromLatin1(n.nom);
    return {};
}

QString BitsParPixel(const InfosImage &infos)
{
    switch (infos.bitsParPixel) {
    case 1: case 4: case 8: case 16: case 24: case 32: case 48: case 64:
        return QString::number(infos.bitsParPixel);
    default:
        return {};
    }
}

int NombreImages(const InfosImage &infos)
{
    return infos.nombreImages;
}

QList<QImage> ChargeBitmapDansListe(const QString &ressource)
{
    QList<QImage> images;
    const QImage bande = QImage(ressource).convertToFormat(QImage::Format_ARGB32);
    if (bande.isNull())
        return images;
    const int cote = bande.height();
    const QRgb transparent = bande.pixel(0, cote - 1);
    for (int x = 0; x + cote <= bande.width(); x += cote) {
        QImage tuile = bande.copy(x, 0, cote, cote);
        for (int y = 0; y < cote; ++y) {
            auto *ligne = reinterpret_cast<QRgb *>(tuile.scanLine(y));
            for (int i = 0; i < cote; ++i)
                if (ligne[i] == transparent)
                    ligne[i] = 0;
        }
        images << tuile;
    }
    return images;
}

namespace {

// An icon file larger than this is not an icon: reading stops before any
// allocation of the size a directory entry claims.
constexpr qint64 kTailleMaxIcone = 16 * 1024 * 1024;
constexpr qsizetype kTailleEnTeteIco = 6;
constexpr qsizetype kTailleEntreeIco = 16;

} // namespace

QImage ChargeIconeOctets(const QByteArray &octets, int *largeur, int *hauteur)
{
    if (octets.size() > kTailleMaxIcone)
        return {};
    ByteReader r(octets);
    const auto reserve = r.u16(), type = r.u16(), nombre = r.u16();
    if (!reserve || !type || !nombre || *reserve != 0 || (*type != 1 && *type != 2) || *nombre == 0)
        return {};
    if (*nombre > (octets.size() - kTailleEnTeteIco) / kTailleEntreeIco)
        return {};

    int choix = -1;
    uint32_t plusGrand = 0;
    for (int i = 0; i < *nombre; ++i) {
        const auto taille = r.u32At(kTailleEnTeteIco + kTailleEntreeIco * i + 8);
        if (taille && (choix < 0 || *taille > plusGrand)) {
            choix = i;
            plusGrand = *taille;
        }
    }
    const qsizetype entree = kTailleEnTeteIco + kTailleEntreeIco * choix;
    const auto dims = r.bytesAt(entree, 8);
    const auto decalage = r.u32At(entree + 12);
    if (!dims || !decalage || plusGrand == 0)
        return {};
    const auto donnees = r.bytesAt(qsizetype(*decalage), qsizetype(plusGrand));
    if (!donnees)
        return {};

    int l = uint8_t(dims->at(0)), h = uint8_t(dims->at(1));
    if (h == 2 * l)
        h = l;

    QImage icone;
    if (donnees->startsWith("\x89PNG")) {
        icone = QImage::fromData(*donnees, "PNG");
    } else {
        // The chosen entry alone, as a one-image icon file for Qt's decoder.
        ByteWriter w;
        w.u16(0);
        w.u16(1);
        w.u16(1);
        // The directory's height after the double-height fix: Qt's decoder
        // sizes the image from the directory.
        QByteArray entree = *dims;
        entree[1] = char(h);
        w.bytes(entree);
        w.u32(plusGrand);
        w.u32(uint32_t(kTailleEnTeteIco + kTailleEntreeIco));
        w.bytes(*donnees);
        icone = QImage::fromData(w.data(), "ICO");
    }
    if (icone.isNull())
        return {};
    if (l == 0)
        l = icone.width();
    if (h == 0)
        h = icone.height();
    if (icone.size() != QSize(l, h))
        icone = icone.scaled(l, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    icone = icone.convertToFormat(QImage::Format_ARGB32);
    if (largeur)
        *largeur = l;
    if (hauteur)
        *hauteur = h;
    return icone;
}

QImage ChargeIconeFichier(const QString &fichier, int *largeur, int *hauteur)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, fichier) || f.size() > kTailleMaxIcone)
        return {};
    return ChargeIconeOctets(f.readAll(), largeur, hauteur);
}

QImage IconeVersBitmap(const QString &fichier, TColor fond)
{
    int l = 0, h = 0;
    const QImage icone = ChargeIconeFichier(fichier, &l, &h);
    if (icone.isNull() || l < 1 || h < 1)
        l = h = 1;
    QImage bitmap(l, h, QImage::Format_ARGB32);
    bitmap.fill(QColor::fromRgba(fond.toQRgb()));
    if (!icone.isNull()) {
        QPainter p(&bitmap);
        p.drawImage(0, 0, icone);
    }
    return bitmap;
}
