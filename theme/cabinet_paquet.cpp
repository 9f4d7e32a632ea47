#include "theme/cabinet_paquet.h"

#include "theme/cab_file.h"

#include <QDir>
#include <QFile>

#include <filesystem>

std::optional<QStringList> CabinetPaquet::lister(const QString &cabinet)
{
    TCABFile cab;
    cab.CABFile = cabinet;
    if (!cab.ReadContents())
        return std::nullopt;
    QStringList noms;
    for (int i = 0; i < cab.CABFileContents().Count(); ++i)
        noms << cab.CABFileContents().GetItem(i)->Name;
    return noms;
}

bool CabinetPaquet::extraire(const QString &cabinet, const QString &membre, const QString &destination)
{
    // Each member goes through a folder of its own, then takes the name the caller chose.
    const QString dossier = destination + QLatin1String(".extraction");
    QDir(dossier).removeRecursively();
    if (!QDir().mkpath(dossier))
        return false;
    TCABFile cab;
    cab.CABFile = cabinet;
    cab.TargetPath = dossier + QLatin1Char('/');
    if (tailleMaxMembre > 0)
        cab.TailleMaxMembre = tailleMaxMembre;
    bool ok = cab.ExtractFile(membre);
    const QString extrait = ok ? TCABFile::CheminExtrait(dossier, membre) : QString();
    ok = !extrait.isEmpty();
    if (ok) {
        std::error_code ec;
        std::filesystem::rename(extrait.toStdString(), destination.toStdString(), ec);
        ok = !ec;
    }
    QDir(dossier).removeRecursively();
    return ok;
}
