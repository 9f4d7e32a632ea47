#include "theme/images_travail.h"

#include <QDir>

const std::array<QString, NbImagesTravail> &NomsImagesTravail()
{
    static const std::array<QString, NbImagesTravail> noms{
        QStringLiteral("tdywater.gif"),         QStringLiteral("stwater.gif"),
        QStringLiteral("tdywater_240_320.gif"), QStringLiteral("tdywater_320_240.gif"),
        QStringLiteral("stwater_240_320.gif"),  QStringLiteral("stwater_320_240.gif"),
        QStringLiteral("tdywater_480_640.gif"), QStringLiteral("tdywater_640_480.gif"),
        QStringLiteral("stwater_480_640.gif"),  QStringLiteral("stwater_640_480.gif")};
    return noms;
}

bool EstCopieMiseDeCote(const QString &nom)
{
    for (const QLatin1String base : {QLatin1String("tdywater_garde"), QLatin1String("stwater_garde")}) {
        if (!nom.startsWith(base) || !nom.endsWith(QLatin1String(".gif")))
            continue;
        const QStringView numero = QStringView(nom).sliced(base.size(), nom.size() - base.size() - 4);
        for (QChar c : numero)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
        return true;
    }
    return false;
}

QStringList CopiesMisesDeCote(const QDir &dossier)
{
    QStringList chemins;
    const QStringList motifs{QStringLiteral("tdywater_garde*.gif"), QStringLiteral("stwater_garde*.gif")};
    for (const QString &nom : dossier.entryList(motifs, QDir::Files | QDir::System))
        if (EstCopieMiseDeCote(nom))
            chemins << dossier.filePath(nom);
    return chemins;
}
