#include "app/info_fichier.h"

#include <QFileInfo>
#include <QLocale>

QString FormatDateFichier(const QDateTime &moment)
{
    if (!moment.isValid())
        return {};
    return QLocale(QLocale::French, QLocale::France)
        .toString(moment.toLocalTime(), QStringLiteral("dddd d MMMM yyyy 'à' H 'h' m 'mn' s 's'"));
}

DonneesFichier LitDonneesFichier(const QString &chemin)
{
    DonneesFichier d;
    const QFileInfo fi(chemin);
    if (chemin.isEmpty() || !fi.exists() || fi.isDir())
        return d;
    d.existe = true;
    d.Creation = FormatDateFichier(fi.birthTime());
    d.LastAccess = FormatDateFichier(fi.lastRead());
    d.LastWrite = FormatDateFichier(fi.lastModified());
    d.Taille = QString::number(double(fi.size()), 'g', 15) + QStringLiteral(" octets");
    if (!(fi.permissions() & QFileDevice::WriteOwner))
        d.AttributsFichier += QStringLiteral("Lecture seule, ");
    if (fi.fileName().startsWith(QLatin1Char('.')))
        d.AttributsFichier += QStringLiteral("Caché, ");
    if (d.AttributsFichier.isEmpty())
        d.AttributsFichier = QStringLiteral("Normal, ");
    return d;
}
