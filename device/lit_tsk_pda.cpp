#include "device/lit_tsk_pda.h"

#include "device/arbre_ce.h"
#include "device/etat_pda.h"
#include "device/fonctions_rapi_fichiers.h"
#include "device/fonctions_rapi_registre.h"
#include "theme/animation_pause.h"
#include "theme/prompts.h"

#include <QFile>
#include <QScopeGuard>

LectureCE LitTskPDA(EtatPDA &etat, const QString &cheminCE, ThemeDocument &doc, const ContexteLecture &ctx)
{
    if (cheminCE.isEmpty()) {
        ctx.prompts.message(QStringLiteral("No Tsk chosen !"));
        return {};
    }
    if (!etat.PDAConnecte) {
        ctx.prompts.message(QStringLiteral("Not connected !"));
        return {};
    }
    AnimationPauseGuard pause(ctx.pause);
    // The name comes from the device: only a plain file name is used.
    const QString nom = NomLocalCE(cheminCE);
    if (nom.isEmpty()) {
        ctx.prompts.message(QStringLiteral("\"%1\" is no file name that can be copied from the Pocket PC !")
                                .arg(cheminCE),
                            QString(), Prompts::Icon::Warning);
        return {};
    }
    const QString local = ctx.dossierTravail + QLatin1Char('/') + nom;
    const auto efface = qScopeGuard([&] { QFile::remove(local); });
    if (!CopieDepuisCE(etat.Rapi, cheminCE, local)) {
        // Say why nothing was opened.
        ctx.prompts.message(ExisteFichierCE(etat.Rapi, cheminCE)
                                ? QStringLiteral("Cannot copy %1 from the Pocket PC !").arg(cheminCE)
                                : QStringLiteral("%1 is not on the Pocket PC !").arg(cheminCE),
                            QString(), Prompts::Icon::Warning);
        return {};
    }
    ContexteLecture lecture = ctx;
    if (!lecture.couleursAppareil)
        lecture.couleursAppareil = TableCouleursDe(etat);
    const ResultatLecture lu = LitTsk(local, doc, lecture);
    for (const QString &t : TextesLecture(lu))
        ctx.prompts.message(t);
    return {true, lu.infos()};
}

LectureCE ImporteTskCE(EtatPDA &etat, const ContexteArbreCE &arbre, ThemeDocument &doc,
                       const ContexteLecture &ctx, QWidget *parent)
{
    if (!etat.PDAConnecte)
        return {};
    const QString chemin = OuvreArbreCE(etat, arbre, false, parent);
    return LitTskPDA(etat, chemin, doc, ctx);
}

LectureCE LitTskActuelPDA(EtatPDA &etat, ThemeDocument &doc, const ContexteLecture &ctx)
{
    if (!etat.PDAConnecte) {
        ctx.prompts.message(QStringLiteral("Not connected !"));
        return {};
    }
    const QString skin = LitSkinToday(etat.Rapi);
    if (skin.isEmpty()) {
        ctx.prompts.message(QStringLiteral("No current Theme on the Pocket PC !\r\n"
                                           "(HKCU\\Software\\Microsoft\\Today\\Skin is empty)"),
                            QString(), Prompts::Icon::Warning);
        return {};
    }
    return LitTskPDA(etat, skin, doc, ctx);
}
