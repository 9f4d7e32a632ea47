#include "app/etat_commandes.h"

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

EtatCommandes CalculeEtatCommandes(const std::array<bool, NbImagesTravail> &p, int format, bool useStartImage,
                                   bool connecte)
{
    EtatCommandes e;
    const bool u = useStartImage;
    if (FormatImages::deuxOrientations(format)) {
        // Today portrait, Today landscape, Start portrait, Start landscape.
        const int k = format == 4 ? 2 : 6;
        e.tdyDispo = p[k] && p[k + 1];
        e.stDispo = p[k + 2] && p[k + 3];
        e.miniatures = {!u && p[k], p[k + 2], !u && p[k + 1], p[k + 3]};
    } else {
        e.tdyDispo = p[0];
        e.stDispo = p[1];
        e.miniatures = {!u && p[0], p[1], false, false};
    }
    e.creer = (e.tdyDispo || u) && e.stDispo;
    e.transfert = connecte && e.creer;
    return e;
}

bool TaillesConformes(const TaillesImagesMesurees &m, const FormatImages &format)
{
    const auto &t = format.TailleImages;
    return m[0] == t[1] && m[1] == t[0] && m[2] == t[3] && m[3] == t[2];
}
