#include "theme/package_writer.h"

#include "theme/valeurs_cles_theme.h"

#include "theme/animation_pause.h"
#include "theme/cab_file.h"
#include "theme/controle_noms.h"
#include "theme/ecriture_atomique.h"
#include "theme/images_package.h"
#include "theme/nom_interne_theme.h"
#include "theme/prompts.h"
#include "theme/setup_ce_writer.h"
#include "theme/setup_xml_writer.h"
#include "theme/theme_document.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString NomSetupXml = QStringLiteral("_setup.xml");

// Removes the files it holds when it goes out of scope.
class NettoyageFichiers
{
public:
    ~NettoyageFichiers()
    {
        for (const QString &f : m_fichiers)
            QFile::remove(f);
    }
    void ajoute(const QString &f) { m_fichiers << f; }

private:
    QStringList m_fichiers;
};

void avertit(Prompts *prompts, const QString &texte, Prompts::Icon icone = Prompts::Icon::Warning)
{
    if (prompts)
        prompts->message(texte, {}, icone);
}

// The message when pictures of the set are missing; empty when none is.
QString imagesManquantes(const std::vector<ImagePackage> &images, const QString &dossierAppli)
{
    bool today = true;
    bool start = true;
    for (const ImagePackage &im : images) {
        if (QFileInfo(QDir(dossierAppli).filePath(im.nomImage)).isFile())
            continue;
        (im.today ? today : start) = false;
    }
    if (today && start)
        return {};
    QString texte = QStringLiteral("Not enough files to generate Theme !\n\r");
    if (!today)
        texte += QStringLiteral("\t- Today (tdywater)\n\r");
    if (!start)
        texte += QStringLiteral("\t- Start (stwater)\n\r");
    return texte;
}

bool copieMembre(const QString &source, const QString &membre, QString *erreur)
{
    QString raison;
    if (!CopieFichierAtomique(source, membre, &raison)) {
        *erreur = QStringLiteral("Cannot copy %1 to %2: %3")
                      .arg(QDir::toNativeSeparators(QDir::cleanPath(source)), QDir::toNativeSeparators(QDir::cleanPath(membre)), raison);
        return false;
    }
    // The member carries the time of the build.
    QFile f(membre);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
    return true;
}

} // namespace

unsigned DocumentsPaquet(OptionSetupPackage option)
{
    namespace N = ControleNoms;
    switch (option) {
    case OptionSetupPackage::Inf:
        return N::FichierPaquet | N::FichierCE;
    case OptionSetupPackage::Xml:
        return N::FichierPaquet | N::DocumentXml;
    case OptionSetupPackage::InfXml:
        break;
    }
    return N::FichierPaquet | N::FichierCE | N::DocumentXml;
}

bool CleThemeEcrite(const ThemeDocument &doc)
{
    // The CE setup file follows the flag, the XML document the list.
    return doc.parametres().ClesThemeDefinies || !doc.clesTheme().isEmpty();
}

ControleNoms::Refus RefusNomsPaquet(const QString &nomTheme, const QString &nomInterne, bool cleTheme,
                                    OptionSetupPackage option)
{
    return ControleNoms::verifie({nomTheme, nomInterne, cleTheme}, DocumentsPaquet(option));
}

bool CabinetTCABFile::construit(const QString &cheminCab, const QStringList &fichiers, QString *erreur)
{
    TCABFile cab(nullptr, m_prompts);
    cab.CompressionType = typNone;
    cab.CABFile = cheminCab;
    cab.TargetPath = QFileInfo(cheminCab).absolutePath();
    for (const QString &f : fichiers)
        cab.CABFileContents().Add()->Name = f;
    try {
        if (cab.CreateCAB())
            return true;
        *erreur = QStringLiteral("Error while compressing");
    } catch (const ECABFileError &e) {
        *erreur = e.message();
    }
    return false;
}

bool GenereTsk(const ThemeDocument &doc, const ContextePackage &ctx, const QString &nomTheme,
               const QString &nomApplication)
{
    AnimationPauseGuard enPause(ctx.pause);

    // An application name equal to the theme name is the theme name standing in.
    const QString nomInterne = nomApplication == nomTheme ? QString() : nomApplication;
    const QString refus = RefusNomsPaquet(nomTheme, nomInterne, CleThemeEcrite(doc), ctx.option).texte();
    if (!refus.isEmpty()) {
        avertit(ctx.prompts, refus);
        return false;
    }

    const std::vector<ImagePackage> images =
        ImagesPackage(doc.format().FormatTheme, doc.parametres().UseStartImageDefini);
    const QString manquantes = imagesManquantes(images, ctx.dossierAppli);
    if (!manquantes.isEmpty()) {
        avertit(ctx.prompts, manquantes);
        return false;
    }

    // A theme value that cannot be converted stops the build before anything is written.
    if (const QString conversion = ErreurConversionClesTheme(doc.clesTheme()); !conversion.isEmpty()) {
        avertit(ctx.prompts, conversion, Prompts::Icon::Error);
        return false;
    }

    QString erreur;
    if (ctx.sauveCouleurs && !ctx.sauveCouleurs(&erreur)) {
        avertit(ctx.prompts, erreur, Prompts::Icon::Error);
        return false;
    }

    const QDir travail(ctx.dossierTravail);
    const QString package = travail.filePath(nomTheme + QStringLiteral(".tsk"));
    // A package left by an earlier build must never pass for this one.
    if (!QDir().mkpath(ctx.dossierTravail) || (QFile::exists(package) && !QFile::remove(package))) {
        avertit(ctx.prompts,
                QStringLiteral("Cannot prepare the work folder %1.").arg(QDir::toNativeSeparators(QDir::cleanPath(ctx.dossierTravail))),
                Prompts::Icon::Error);
        return false;
    }

    NettoyageFichiers nettoyage;
    const QString nomBase = NomInterneTheme(nomTheme);
    const QString setupCE = travail.filePath(nomBase + QStringLiteral("~1.000"));
    const QString setupXml = travail.filePath(NomSetupXml);
    const bool avecCE = ctx.option != OptionSetupPackage::Xml;
    const bool avecXml = ctx.option != OptionSetupPackage::Inf;
    QStringList membres;
    // The setup document that the package does not hold stays in the work folder.
    if (avecCE) {
        nettoyage.ajoute(setupCE);
        membres << setupCE;
    }
    if (avecXml) {
        nettoyage.ajoute(setupXml);
        membres << setupXml;
    }
    // Outside the package, the CE setup file holds the names as Windows-1252 can.
    const NomsSetupCE noms = avecCE ? NomsSetupCE::Exacts : NomsSetupCE::Approches;
    if (!EcritFichier000(doc, nomApplication, nomBase, nomTheme, ctx.dossierTravail, &erreur, noms)
        || !EcritSetupXml(doc, nomTheme, nomApplication, ctx.dossierTravail, &erreur)) {
        avertit(ctx.prompts, erreur, Prompts::Icon::Error);
        return false;
    }

    for (const ImagePackage &im : images) {
        const QString membre = travail.filePath(im.nomMembre);
        nettoyage.ajoute(membre);
        if (!copieMembre(QDir(ctx.dossierAppli).filePath(im.nomImage), membre, &erreur)) {
            avertit(ctx.prompts, erreur, Prompts::Icon::Error);
            return false;
        }
        membres << membre;
    }

    CabinetTCABFile composant(ctx.prompts);
    ConstructeurCabinet *cabinet = ctx.cabinet ? ctx.cabinet : &composant;
    if (!cabinet->construit(package, membres, &erreur)) {
        avertit(ctx.prompts, erreur, Prompts::Icon::Error);
        QFile::remove(package);
        return false;
    }
    return true;
}
