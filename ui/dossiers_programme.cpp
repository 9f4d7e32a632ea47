#include "ui/dossiers_programme.h"

#include "ui/fonctions_indep.h"
#include "theme/package_reader.h"
#include "theme/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace {

QString avecBarre(const QString &dossier)
{
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

} // namespace

QString DossierAppliPour(const QString &dossierExecutable)
{
    QString dossier = qEnvironmentVariable(kVariableDossierProgramme);
    if (dossier.isEmpty()) {
        const QFileInfo exe(dossierExecutable);
        dossier = exe.isDir() && exe.isWritable()
                      ? dossierExecutable
                      : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    }
    dossier = QDir(dossier).absolutePath();
    QDir().mkpath(dossier);
    return avecBarre(dossier);
}

QString FichierCouleursPour(const QString &dossierAppli, const QString &cheminExecutable)
{
    return avecBarre(dossierAppli) + QFileInfo(cheminExecutable).completeBaseName() + QStringLiteral("Coul.inf");
}

QString MessageDossierTravailOccupe()
{
    return QStringLiteral("Fermer les dossiers temporaires ouverts par l'explorateur !!! ");
}

Demarrage InitialisationUnite(DossiersProgramme &dossiers, Prompts &prompts)
{
    Demarrage d;
    auto echec = [&](const QString &message, int code) {
        prompts.message(message, {}, Prompts::Icon::Error);
        d.codeSortie = code;
        d.verrou.reset();
        d.verrouAppli.reset();
        return std::move(d);
    };

    QString erreur;
    const auto prive = DossierTemp(&erreur);
    if (!prive)
        return echec(erreur, 1);
    // The guard comes first: a second instance touches no folder. One
    // instance per program folder (its working files), whatever its TMPDIR,
    // and one per work folder.
    // A program folder where no lock can be made (read-only) holds nothing
    // another instance could write either: the start goes on.
    if (!dossiers.DossierAppli.isEmpty()) {
        bool dejaPris = false;
        d.verrouAppli = VerifieInstanceUnique(dossiers.DossierAppli, NomVerrouAppli, &dejaPris);
        if (!d.verrouAppli && dejaPris)
            return echec(MessageDejaLance(), CodeSortieDejaLance);
    }
    d.verrou = VerifieInstanceUnique(*prive);
    if (!d.verrou)
        return echec(MessageDejaLance(), CodeSortieDejaLance);

    if (!dossiers.DossierAppli.isEmpty())
        BalaieFichiersLecture(dossiers.DossierAppli);
    dossiers.DossierTempWin = *prive;
    dossiers.DossierThemeTmp = dossiers.DossierTempWin + QStringLiteral("ThemeTmp");
    const QFileInfo ancien(dossiers.DossierThemeTmp);
    if ((ancien.exists() || ancien.isSymLink()) && !SupprimeDossier(dossiers.DossierThemeTmp))
        return echec(MessageDossierTravailOccupe(), 1);
    if (!QDir().mkpath(dossiers.DossierThemeTmp))
        return echec(QStringLiteral("Cannot create the work folder %1.").arg(dossiers.DossierThemeTmp), 1);
    dossiers.DossierTravail = dossiers.DossierThemeTmp + QLatin1Char('/');
    if (!ExtraitRessource(QStringLiteral(":/art/points.gif"), dossiers.DossierTravail + QStringLiteral("Points.gif"),
                          &erreur))
        return echec(erreur, 1);
    return d;
}
