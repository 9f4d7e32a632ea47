#include "app/commandes_paquet.h"

#include "theme/animation_pause.h"
#include "theme/controle_noms.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_lignes.h"
#include "theme/inf_builder.h"
#include "theme/prompts.h"
#include "theme/setup_xml_writer.h"
#include "theme/theme_document.h"
#include "theme/valeurs_cles_theme.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void avertit(Prompts *prompts, const QString &texte, Prompts::Icon icone = Prompts::Icon::Warning)
{
    if (prompts)
        prompts->message(texte, {}, icone);
}

// Puts the package at cible, replacing what is there in one step: a rename
// within a file system, else a full copy beside the target renamed into place.
bool deplace(const QString &source, const QString &cible, QString *erreur)
{
    if (std::rename(QFile::encodeName(source).constData(), QFile::encodeName(cible).constData()) == 0)
        return true;
    const int code = errno;
    if (code != EXDEV) {
        *erreur = QString::fromLocal8Bit(std::strerror(code));
        return false;
    }
    // Another file system: a full copy beside the target, checked to the last
    // byte, then renamed into place.
    if (!CopieFichierAtomique(source, cible, erreur))
        return false;
    QFile::remove(source);
    return true;
}

} // namespace

ControleNoms::Refus RefusNomsTheme(const QString &nomTheme, const QString &nomInterne, bool cleTheme,
                                   OptionSetupPackage option)
{
    ControleNoms::Refus r = RefusNomsPaquet(nomTheme, nomInterne, cleTheme, option);
    if (nomTheme.isEmpty())
        r.theme.clear();
    return r;
}

bool GenereBtnClick(const ThemeDocument &doc, const ContextePackage &ctx, const QString &dossierTsk)
{
    AnimationPauseGuard enPause(ctx.pause);
    const QString nomTheme = doc.nomTheme();
    if (nomTheme.isEmpty()) {
        avertit(ctx.prompts, QStringLiteral("Need a name for the Theme !"));
        return false;
    }
    const QString refus = RefusNomsPaquet(nomTheme, doc.nomInterne(), CleThemeEcrite(doc), ctx.option).texte();
    if (!refus.isEmpty()) {
        avertit(ctx.prompts, refus);
        return false;
    }

    const QString cible = QDir(dossierTsk).filePath(nomTheme + QStringLiteral(".tsk"));
    if (QFileInfo::exists(cible)
        && (!ctx.prompts
            || ctx.prompts->question(QStringLiteral("Overwrite original (or existing) ?"), {},
                                     Prompts::Buttons::YesNo)
                   != Prompts::Answer::Yes))
        return false;

    if (!GenereTsk(doc, ctx, nomTheme, doc.nomInterneEffectif()))
        return false;

    const QString package = QDir(ctx.dossierTravail).filePath(nomTheme + QStringLiteral(".tsk"));
    QString erreur;
    if (!deplace(package, cible, &erreur)) {
        avertit(ctx.prompts,
                QStringLiteral("The package could not be saved as %1: %2").arg(QDir::toNativeSeparators(QDir::cleanPath(cible)), erreur),
                Prompts::Icon::Error);
        return false;
    }
    return true;
}

std::optional<QString> ChoisitPaquet(Prompts &prompts, AnimationPause *pause, QString &dossierOuverture)
{
    std::optional<QString> choisi;
    {
        AnimationPauseGuard enPause(pause);
        choisi = prompts.openPackage({QString(), dossierOuverture, QString(), QStringLiteral("tsk"),
                                      QStringLiteral("TSK (*.tsk)|*.tsk")});
    }
    if (!choisi || choisi->isEmpty())
        return std::nullopt;
    dossierOuverture = QFileInfo(*choisi).absolutePath();
    return choisi;
}

void SauveInfBtnClick(const ThemeDocument &doc, Prompts &prompts, const QString &dossierAppli, AnimationPause *pause)
{
    AnimationPauseGuard enPause(pause);
    const QString nomTheme = doc.nomTheme();
    const QString nomApplication = doc.nomInterneEffectif();
    if (const QString conversion = ErreurConversionClesTheme(doc.clesTheme()); !conversion.isEmpty()) {
        prompts.message(conversion, {}, Prompts::Icon::Error);
        return;
    }

    struct Document
    {
        QString extension;
        QString filtre;
        void (*genere)(QStringList *, const ThemeDocument &, const QString &, const QString &);
        ControleNoms::Document porteur;
        QString nom;
        QString refus;
    };
    Document documents[] = {
        {QStringLiteral("inf"), QStringLiteral("Inf (*.inf)|*.inf"), &GenereInf, ControleNoms::TexteInf,
         QStringLiteral("INF file"), {}},
        {QStringLiteral("xml"), QStringLiteral("Xml (*.xml)|*.xml"), &GenereSetupXml, ControleNoms::DocumentXml,
         QStringLiteral("XML file"), {}},
    };
    // Each file is checked for what it carries; the refusals are said at once.
    const ControleNoms::Noms noms{nomTheme, doc.nomInterne(), CleThemeEcrite(doc)};
    QStringList refus;
    QStringList offerts;
    for (Document &d : documents) {
        d.refus = ControleNoms::verifie(noms, d.porteur).texte();
        if (d.refus.isEmpty())
            offerts << d.nom;
        else if (!refus.contains(d.refus))
            refus << d.refus;
    }
    if (!refus.isEmpty()) {
        QString texte = refus.join(QLatin1Char('\n'));
        texte += offerts.isEmpty() ? QStringLiteral("\nNo file is saved.")
                                   : QStringLiteral("\nOnly the %1 is offered: it holds these names.").arg(offerts.first());
        prompts.message(texte, {}, Prompts::Icon::Warning);
    }

    // The dialog proposes a file named after the theme when the name can name one.
    const bool nomPropose = ControleNoms::nomFichierTheme(nomTheme).isEmpty();
    for (const Document &d : documents) {
        if (!d.refus.isEmpty())
            continue;
        QStringList lignes;
        d.genere(&lignes, doc, nomTheme, nomApplication);
        Prompts::FileDialog dialogue;
        dialogue.initialDir = dossierAppli;
        dialogue.fileName = nomPropose ? nomTheme + QLatin1Char('.') + d.extension : QString();
        dialogue.defaultSuffix = d.extension;
        dialogue.filter = d.filtre;
        const std::optional<QString> chemin = prompts.saveFile(dialogue);
        if (!chemin)
            continue;
        QString erreur;
        if (!EcritLignesCRLF(*chemin, lignes, &erreur)) {
            prompts.message(erreur, {}, Prompts::Icon::Error);
            return;
        }
    }
}
