#include "ui/dossiers_programme.h"

#include "ui/fonctions_indep.h"
#include "ui/temporaires_interrompus.h"
#include "theme/package_reader.h"
#include "theme/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

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
    // and one per work folder. Only a guard held by a running instance stops
    // the start: where no guard can be made (a read-only program folder),
    // no other instance can have made one either.
    if (!dossiers.DossierAppli.isEmpty()) {
        bool dejaPris = false;
        d.verrouAppli = VerifieInstanceUnique(dossiers.DossierAppli, NomVerrouAppli, &dejaPris);
        if (!d.verrouAppli && dejaPris)
            return echec(MessageDejaLance(), CodeSortieDejaLance);
    }
    {
        bool dejaPris = false;
        d.verrou = VerifieInstanceUnique(*prive, QStringLiteral("orvandel.lock"), &dejaPris);
        if (!d.verrou && dejaPris)
            return echec(MessageDejaLance(), CodeSortieDejaLance);
    }

    // What a killed run left among the working files, removed only while no
    // other instance can be writing them.
    if (d.verrouAppli) {
        BalaieFichiersLecture(dossiers.DossierAppli, dossiers.FichierCouleurs);
        NettoieTemporairesInterrompus(dossiers);
    }

    dossiers.DossierTempWin = *prive;
    dossiers.DossierThemeTmp = dossiers.DossierTempWin + QStringLiteral("ThemeTmp");
    const QFileInfo ancien(dossiers.DossierThemeTmp);
    if ((ancien.exists() || ancien.isSymLink()) && !SupprimeDossier(dossiers.DossierThemeTmp))
        return echec(MessageDossierTravailOccupe(), 1);
    if (::mkdir(QFile::encodeName(dossiers.DossierThemeTmp).constData(), 0700) != 0)
        return echec(QStringLiteral("Cannot create the work folder %1: %2")
                         .arg(QDir::toNativeSeparators(dossiers.DossierThemeTmp), QString::fromLocal8Bit(std::strerror(errno))),
                     1);
    dossiers.DossierTravail = dossiers.DossierThemeTmp + QLatin1Char('/');
    // The animation's picture only: without room for it the program still
    // works, and the user learns why the work folder will refuse packages.
    if (!ExtraitRessource(QStringLiteral(":/art/points.gif"), dossiers.DossierTravail + QStringLiteral("Points.gif"),
                          &erreur))
        prompts.message(erreur, {}, Prompts::Icon::Warning);
    return d;
}
