#include "app/commandes_couleurs.h"

#include "theme/animation_pause.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

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

    QFile source;
    QString erreur;
    if (!OuvreFichierOrdinaire(source, *nom)) {
        erreur = QStringLiteral("Cannot read the colors file %1: %2")
                     .arg(QDir::toNativeSeparators(QDir::cleanPath(*nom)),
                          QString::fromLocal8Bit(std::strerror(errno)));
    } else {
        const QByteArray octets = source.readAll();
        QString raison;
        if (!LitJeuCouleurs(octets, c.doc, false, &raison)) {
            erreur = QStringLiteral("The colors file %1 is not valid: %2").arg(QDir::toNativeSeparators(QDir::cleanPath(*nom)), raison);
        } else if (QFileInfo(*nom).canonicalFilePath() != QFileInfo(c.fichierCouleurs).canonicalFilePath()) {
            QString raison;
            if (!EcritFichierAtomique(c.fichierCouleurs, octets, &raison))
                erreur = QStringLiteral("Cannot write the colors file %1: %2")
                             .arg(QDir::toNativeSeparators(QDir::cleanPath(c.fichierCouleurs)), raison);
        }
    }
    if (!erreur.isEmpty()) {
        c.prompts.message(erreur, {}, Prompts::Icon::Error);
        ResultatChargeCouleurs r;
        r.ok = false;
        r.erreur = erreur;
        return r;
    }
    ResultatChargeCouleurs r = ChargeCouleurs(c.doc, c.fichierCouleurs, false);
    if (!r.ok)
        c.prompts.message(r.erreur, {}, Prompts::Icon::Error);
    return r;
}
