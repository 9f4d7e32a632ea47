#include "app/commandes_couleurs.h"

#include "theme/animation_pause.h"
#include "theme/prompts.h"

namespace {

const QString kFiltre = QStringLiteral("Colors File (*.ini)|*.ini");

Prompts::FileDialog dialogue(const CibleCommandesCouleurs &c, const QString &nom)
{
    Prompts::FileDialog d;
    d.initialDir = c.dossierAppli;
    d.fileName = nom;
    d.defaultSuffix = QStringLiteral("ini");
    d.filter = kFiltre;
    return d;
}

} // namespace

bool SauveCoulTbtnClick(const CibleCommandesCouleurs &c)
{
    std::optional<QString> nom;
    {
        AnimationPauseGuard pause(c.pause);
        nom = c.prompts.saveFile(dialogue(c, NomCopieCouleurs(c.doc)));
    }
    if (!nom || nom->isEmpty())
        return false;
    QString erreur;
    if (!SauveCouleurs(c.doc, *nom, false, &erreur)) {
        AnimationPauseGuard pause(c.pause);
        c.prompts.message(erreur, {}, Prompts::Icon::Error);
        return false;
    }
    return true;
}

std::optional<ResultatChargeCouleurs> ChargeCoulBtnClick(const CibleCommandesCouleurs &c)
{
    AnimationPauseGuard pause(c.pause);
    const auto nom = c.prompts.openFile(dialogue(c, QString()));
    if (!nom || nom->isEmpty())
        return std::nullopt;
    ResultatChargeCouleurs r = ChargeJeuCouleurs(c.doc, *nom, c.fichierCouleurs);
    if (!r.ok)
        c.prompts.message(r.erreur, {}, Prompts::Icon::Error);
    return r;
}
