#include "app/etat_commandes.h"

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
