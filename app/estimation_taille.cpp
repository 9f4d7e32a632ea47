#include "app/estimation_taille.h"

#include "ui/app_context.h"
#include "ui/fonctions_indep.h"
#include "theme/animation_pause.h"
#include "theme/images_package.h"
#include "theme/fichier_ordinaire.h"
#include "theme/prompts.h"
#include "theme/theme_document.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

namespace {

bool formatPaire(int formatTheme)
{
    return formatTheme == 4 || formatTheme == 5;
}

} // namespace

QStringList ImagesEstimation(int formatTheme, bool startSeul)
{
    QStringList noms;
    for (const ImagePackage &im : ImagesPackage(formatTheme, startSeul))
        noms << im.nomImage;
    return noms;
}

qint64 TailleFichiersTsk(const ThemeDocument &doc)
{
    const ParametresWM5 &p = doc.parametres();
    const bool paire = formatPaire(doc.format().FormatTheme);

    qint64 s = doc.nomInterneEffectif().length() + 211;
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
        if (doc.slot(i).inclus)
            s += JeuCouleurs::NumerosCouleurs[i] > 9 ? 19 : 18;
    if (p.Coul34Definie)
        s += 19;
    if (p.BaseHueDefini)
        s += 24;
    if (p.DPIDefini || p.UseStartImageDefini || p.ClesThemeDefinies)
        s += 10;
    if (p.DPIDefini)
        s += 20;
    if (p.UseStartImageDefini)
        s += 30 + (paire ? 64 : 24);
    else
        s += paire ? 130 : 49;
    if (p.DPIDefini || p.UseStartImageDefini)
        s += 16;
    if (p.ClesThemeDefinies) {
        const qint64 n = (doc.nomTheme() + QStringLiteral(".tsk")).length() + 5;
        qint64 k = 0;
        for (const QString &ligne : doc.clesTheme()) {
            const QString nom = ligne.section(QLatin1Char('\t'), 0, 0);
            if (ListeTDThemeCles.contains(nom))
                k += nom.length() + 17;
        }
        s += n + 18 + k;
    }
    return s;
}

EstimationTsk EstimeTailleTsk(const ThemeDocument &doc, qint64 tailleImages)
{
    EstimationTsk e;
    e.membres = int(ImagesEstimation(doc.format().FormatTheme, doc.parametres().UseStartImageDefini).size()) + 1;
    e.images = tailleImages;
    e.inf = TailleFichiersTsk(doc);
    e.enteteCab = qint64(e.membres) * 33 + 44;
    e.total = e.images + e.inf + e.enteteCab;
    return e;
}

QString MessageEstimationTsk(const EstimationTsk &e)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString octets = QStringLiteral("bytes");
    return QStringLiteral("TSK Size") + QStringLiteral(" : %1 bytes (%2)").arg(e.total).arg(TexteTailleCourte(e.total))
           + crlf + QStringLiteral("Cab Header\t: %1 %2").arg(e.enteteCab).arg(octets)
           + crlf + QStringLiteral("Inf\t\t: %1 %2").arg(e.inf).arg(octets)
           + crlf + QStringLiteral("Img(s)\t\t: %1 %2").arg(e.images).arg(octets);
}

std::optional<qint64> TailleFichier(const QString &fichier, QString *erreur)
{
    QFile f;
    if (!OuvreFichierOrdinaire(f, fichier)) {
        if (erreur)
            *erreur = QStringLiteral("Cannot open file \"%1\". %2")
                          .arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)),
                               QString::fromLocal8Bit(std::strerror(errno)));
        return std::nullopt;
    }
    return f.size();
}

std::optional<EstimationTsk> TailleTskBtnClick(const ThemeDocument &doc, const QString &dossierAppli,
                                               Prompts &prompts)
{
    qint64 images = 0;
    for (const QString &nom : ImagesEstimation(doc.format().FormatTheme, doc.parametres().UseStartImageDefini)) {
        QString erreur;
        const auto taille = TailleFichier(QDir(dossierAppli).filePath(nom), &erreur);
        if (!taille) {
            prompts.message(erreur, {}, Prompts::Icon::Error);
            return std::nullopt;
        }
        images += *taille;
    }
    const EstimationTsk e = EstimeTailleTsk(doc, images);
    prompts.message(MessageEstimationTsk(e));
    return e;
}

std::optional<EstimationTsk> OuvreEstimationTaille(AppContext &ctx)
{
    AnimationPauseGuard enPause(&ctx.animation);
    if (!ctx.prompts)
        return std::nullopt;
    return TailleTskBtnClick(ctx.document, ctx.dossiers.DossierAppli, *ctx.prompts);
}
