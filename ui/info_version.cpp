#include "ui/info_version.h"

#include "ui/version_info.h"

#include <QSysInfo>

#include <utility>

namespace {

struct LibelleCle
{
    const char *cle;
    const char *libelle;
};

constexpr LibelleCle kLibelles[] = {
    {"CompanyName", "Entreprise"},
    {"FileDescription", "Description"},
    {"FileVersion", "Version du fichier"},
    {"InternalName", "Nom interne"},
    {"LegalCopyright", "Légal Copyright"},
    {"LegalTrademarks", "Marques légales"},
    {"OriginalFilename", "Nom du fichier d'origine"},
    {"ProductName", "Nom du produit"},
    {"ProductVersion", "Version du produit"},
    {"Comments", "Commentaires"},
    {"PrivateBuild", "Description personnelle"},
    {"SpecialBuild", "Description de compilation"},
};

} // namespace

QString InfoVersion::valeur(const QString &libelle) const
{
    for (int i = 0; i + 1 < Infos.size(); i += 2)
        if (Infos.at(i) == libelle)
            return Infos.at(i + 1);
    return {};
}

QString LibelleCleVersion(const QString &cle, bool pasTraduit)
{
    if (!pasTraduit)
        for (const LibelleCle &l : kLibelles)
            if (cle == QLatin1String(l.cle))
                return QString::fromUtf8(l.libelle);
    return cle;
}

bool ChaineVersionAffichable(const QString &texte)
{
    for (const QChar c : texte)
        if (c.unicode() < 32 && c != u'\r' && c != u'\n' && c != u'\t')
            return false;
    return true;
}

InfoVersion InfoVersionDe(const QList<ChaineInfoVersion> &chaines, int majeure, int mineure, int release, int build,
                          bool pasTraduit)
{
    InfoVersion info;
    info.ExisteInfo = true;
    info.Majeure = QString::number(majeure);
    info.Mineure = QString::number(mineure);
    info.Release = QString::number(release);
    info.Build = QString::number(build);
    // Built for the system the build ran on; an ordinary program.
    info.Os = QSysInfo::kernelType().toUpper();
    info.FileType = QStringLiteral("APPLICATION");
    info.Langage = QStringLiteral("English (United States)");
    for (const ChaineInfoVersion &c : chaines) {
        if (!ChaineVersionAffichable(c.cle) || !ChaineVersionAffichable(c.valeur))
            continue;
        info.Infos << LibelleCleVersion(c.cle, pasTraduit) << c.valeur;
        ++info.InfoSupNb;
    }
    return info;
}

InfoVersion InfoVersionProgramme(bool pasTraduit)
{
    QList<ChaineInfoVersion> chaines;
    for (const version_info::ChaineVersion &c : version_info::Chaines)
        chaines.append({QString::fromUtf8(c.cle), QString::fromUtf8(c.valeur)});
    return InfoVersionDe(chaines, version_info::Majeure, version_info::Mineure, version_info::Release,
                         version_info::Build, pasTraduit);
}

QString LigneVersionProgramme()
{
    const InfoVersion info = InfoVersionProgramme();
    return info.Infos.size() > 5 ? info.Infos.at(5) : QString();
}

QString TexteVersionWindows()
{
    return QSysInfo::prettyProductName() + QStringLiteral(" Build: ") + QSysInfo::kernelVersion();
}
