#include "tools/exif_photo.h"

#include "theme/fichier_ordinaire.h"

#include <QDate>
#include <QFile>
#include <QTime>

extern "C" {
#include <libexif/exif-data.h>
#include <libexif/exif-loader.h>
}

namespace {

constexpr int TagDatePrise = 0x9003;
constexpr int TagModele = 0x0110;

} // namespace

std::optional<QByteArray> TagExifTexte(const QString &fichier, int tag)
{
    ExifLoader *chargeur = exif_loader_new();
    if (!chargeur)
        return std::nullopt;
    // Fed from the plain file only, as the loader would read it itself.
    if (QFile f; OuvreFichierOrdinaire(f, fichier)) {
        char bloc[1024];
        for (qint64 n; (n = f.read(bloc, sizeof bloc)) > 0;)
            if (!exif_loader_write(chargeur, reinterpret_cast<unsigned char *>(bloc), unsigned(n)))
                break;
    }
    const unsigned char *tampon = nullptr;
    unsigned int taille = 0;
    exif_loader_get_buf(chargeur, &tampon, &taille);
    std::optional<QByteArray> valeur;
    if (tampon && taille) {
        // Read as stored: no "fixing" that would add or change entries.
        ExifData *donnees = exif_data_new();
        if (donnees) {
            exif_data_unset_option(donnees, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
            exif_data_load_data(donnees, tampon, taille);
            for (int ifd = 0; ifd < EXIF_IFD_COUNT && !valeur; ++ifd) {
                ExifEntry *e = exif_content_get_entry(donnees->ifd[ifd], ExifTag(tag));
                if (e && e->data && (e->format == EXIF_FORMAT_ASCII || e->format == EXIF_FORMAT_UNDEFINED)) {
                    QByteArray texte(reinterpret_cast<const char *>(e->data), int(e->size));
                    const int fin = texte.indexOf('\0');
                    if (fin >= 0)
                        texte.truncate(fin);
                    valeur = texte;
                }
            }
            exif_data_unref(donnees);
        }
    }
    exif_loader_unref(chargeur);
    return valeur;
}

QString TexteDateExif(const QByteArray &dateExif, const QLocale &locale)
{
    if (dateExif.size() < 16)
        return {};
    bool ok[5] = {};
    const int annee = dateExif.mid(0, 4).toInt(&ok[0]);
    const int mois = dateExif.mid(5, 2).toInt(&ok[1]);
    const int jour = dateExif.mid(8, 2).toInt(&ok[2]);
    const int heures = dateExif.mid(11, 2).toInt(&ok[3]);
    const int minutes = dateExif.mid(14, 2).toInt(&ok[4]);
    for (bool b : ok)
        if (!b)
            return {};
    const QDate date(annee, mois, jour);
    if (!date.isValid() || !QTime::isValid(heures, minutes, 0))
        return {};
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + QLatin1Char(' ') + QString::number(jour)
           + QLatin1Char(' ') + locale.monthName(mois, QLocale::ShortFormat) + QLatin1Char(' ')
           + QString::number(annee) + QLatin1Char(' ') + QString::fromLatin1(dateExif.mid(11, 5));
}

QString DateExif(const QString &fichier, const QLocale &locale)
{
    const auto date = TagExifTexte(fichier, TagDatePrise);
    return date ? TexteDateExif(*date, locale) : QString();
}

QString ModeleExif(const QString &fichier)
{
    const auto modele = TagExifTexte(fichier, TagModele);
    return modele ? QString::fromLatin1(*modele).trimmed() : QString();
}
