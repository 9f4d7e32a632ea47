#include "theme/setup_xml_writer.h"

#include "theme/fichier_lignes.h"
#include "theme/images_package.h"
#include "theme/theme_document.h"
#include "theme/valeurs_cles_theme.h"

#include <QDir>

QString EchappeXml(const QString &texte)
{
    QString out;
    out.reserve(texte.size());
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const QChar c = texte.at(i);
        switch (c.unicode()) {
        case u'&': out += QLatin1String("&amp;"); break;
        case u'<': out += QLatin1String("&lt;"); break;
        case u'>': out += QLatin1String("&gt;"); break;
        case u'"': out += QLatin1String("&quot;"); break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
                out += c;
            } else {
                char32_t code = c.unicode();
                if (c.isHighSurrogate() && i + 1 < texte.size() && texte.at(i + 1).isLowSurrogate())
                    code = QChar::surrogateToUcs4(c, texte.at(++i));
                out += QStringLiteral("&#%1;").arg(uint(code));
            }
        }
    }
    return out;
}

namespace {

QString tabs(int n)
{
    return QString(n, QLatin1Char('\t'));
}

QString parm(int niveau, const QString &nom, const QString &valeur)
{
    return tabs(niveau) + QStringLiteral("<parm name=\"%1\" value=\"%2\"/>").arg(nom, valeur);
}

QString parmEntier(const QString &nom, int32_t valeur)
{
    return tabs(3) + QStringLiteral("<parm name=\"%1\" value=\"%2\" datatype=\"integer\"/>").arg(nom).arg(valeur);
}

} // namespace

void GenereSetupXml(QStringList *lignes, const ThemeDocument &doc, const QString &nomTheme,
                    const QString &nomApplication)
{
    if (!lignes)
        return;
    const ParametresWM5 &p = doc.parametres();
    const std::vector<ImagePackage> images = ImagesPackage(doc.format().FormatTheme, p.UseStartImageDefini);
    const std::vector<ValeurCleTheme> valeursTheme = ValeursClesTheme(doc.clesTheme());
    const bool clesTheme = !doc.clesTheme().isEmpty();

    const int valeursCouleurs = doc.nombreInclus() + (p.Coul34Definie ? 1 : 0);
    const int valeursToday = (p.DPIDefini ? 1 : 0) + (p.UseStartImageDefini ? 1 : 0);
    const int cles = (valeursCouleurs > 0 ? 1 : 0) + (valeursToday > 0 ? 1 : 0) + (clesTheme ? 1 : 0);
    const int valeurs = valeursCouleurs + valeursToday + int(valeursTheme.size());

    QStringList &l = *lignes;
    l << QStringLiteral("<wap-provisioningdoc>");
    l << tabs(1) + QStringLiteral("<characteristic type=\"Install\">");
    l << parm(2, QStringLiteral("InstallPhase"), QStringLiteral("install"));
    l << parm(2, QStringLiteral("ProcessorType"), QStringLiteral("2577"));
    l << parm(2, QStringLiteral("OSVersionMin"), QStringLiteral("3.0"));
    l << parm(2, QStringLiteral("OSVersionMax"), QStringLiteral("100.0"));
    l << parm(2, QStringLiteral("AppName"), EchappeXml(nomApplication));
    l << tabs(2) + QStringLiteral("<parm name=\"InstallDir\" value=\"%CE2%\" translation=\"install\"/>");
    l << parm(2, QStringLiteral("NumDirs"), QStringLiteral("2"));
    l << parm(2, QStringLiteral("NumFiles"), QString::number(images.size()));
    l << parm(2, QStringLiteral("NumRegKeys"), QString::number(cles));
    l << parm(2, QStringLiteral("NumRegVals"), QString::number(valeurs));
    l << parm(2, QStringLiteral("NumShortcuts"), QStringLiteral("0"));
    l << tabs(1) + QStringLiteral("</characteristic>");
    l << tabs(1) + QStringLiteral("<characteristic type=\"FileOperation\">");
    l << tabs(2) + QStringLiteral("<characteristic type=\"%CE2%\" translation=\"install\">");
    l << tabs(3) + QStringLiteral("<characteristic type=\"MakeDir\"/>");
    for (const ImagePackage &im : images) {
        l << tabs(3) + QStringLiteral("<characteristic type=\"%1\" translation=\"install\">").arg(im.nomImage);
        l << tabs(4) + QStringLiteral("<characteristic type=\"Extract\">");
        l << parm(5, QStringLiteral("Source"), im.nomMembre);
        l << tabs(4) + QStringLiteral("</characteristic>");
        l << tabs(3) + QStringLiteral("</characteristic>");
    }
    l << tabs(2) + QStringLiteral("</characteristic>");
    l << tabs(2) + QStringLiteral("<characteristic type=\"%InstallDir%\" translation=\"install\">");
    l << tabs(3) + QStringLiteral("<characteristic type=\"MakeDir\"/>");
    l << tabs(2) + QStringLiteral("</characteristic>");
    l << tabs(1) + QStringLiteral("</characteristic>");
    if (cles > 0) {
        l << tabs(1) + QStringLiteral("<characteristic type=\"Registry\">");
        if (valeursCouleurs > 0) {
            l << tabs(2) + QStringLiteral("<characteristic type=\"HKLM\\Software\\Microsoft\\Color\">");
            for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i)
                if (doc.slot(i).inclus)
                    l << parmEntier(QString::number(JeuCouleurs::NumerosCouleurs[i]),
                                    int32_t(doc.slot(i).couleur.value()));
            if (p.Coul34Definie)
                l << parmEntier(QStringLiteral("34"), int32_t(p.Coul34.value()));
            l << tabs(2) + QStringLiteral("</characteristic>");
        }
        if (valeursToday > 0) {
            l << tabs(2) + QStringLiteral("<characteristic type=\"HKCU\\Software\\Microsoft\\Today\">");
            if (p.DPIDefini)
                l << parmEntier(QStringLiteral("DPI"), p.ValDPI);
            if (p.UseStartImageDefini)
                l << parmEntier(QStringLiteral("UseStartImage"), p.ValUseStartImage);
            l << tabs(2) + QStringLiteral("</characteristic>");
        }
        if (clesTheme) {
            l << tabs(2) + QStringLiteral("<characteristic type=\"HKCU\\Software\\Microsoft\\Today\\")
                     + EchappeXml(nomTheme) + QStringLiteral(".tsk\">");
            for (const ValeurCleTheme &v : valeursTheme)
                l << parmEntier(v.nom, int32_t(v.valeur));
            l << tabs(2) + QStringLiteral("</characteristic>");
        }
        l << tabs(1) + QStringLiteral("</characteristic>");
    }
    l << QStringLiteral("</wap-provisioningdoc>");
}

bool EcritSetupXml(const ThemeDocument &doc, const QString &nomTheme, const QString &nomApplication,
                   const QString &dossier, QString *erreur)
{
    QStringList lignes;
    GenereSetupXml(&lignes, doc, nomTheme, nomApplication);
    return EcritLignesCRLF(QDir(dossier).filePath(QStringLiteral("_setup.xml")), lignes, erreur);
}
