#include "theme/inf_builder.h"

#include "theme/images_package.h"
#include "theme/theme_document.h"
#include "theme/valeurs_cles_theme.h"

QString valeurChaineInf(QString texte)
{
    texte.replace(QLatin1Char('"'), QLatin1String("\"\""));
    texte.replace(QLatin1Char('%'), QLatin1String("%%"));
    return texte;
}

QString valeurCleInf(const QString &texte)
{
    // A ";" would start a comment and a "," end the value: the whole value
    // goes between double quotes, which keep them. Other values are written
    // bare, a "%" doubled (it opens a string reference).
    if (texte.contains(QLatin1Char(';')) || texte.contains(QLatin1Char(',')) || texte.contains(QLatin1Char('"')))
        return QLatin1Char('"') + valeurChaineInf(texte) + QLatin1Char('"');
    return QString(texte).replace(QLatin1Char('%'), QLatin1String("%%"));
}

void GenereInf(QStringList *lignes, const ThemeDocument &doc, const QString &nomTheme,
               const QString &nomApplication)
{
    if (!lignes)
        return;
    const ParametresWM5 &p = doc.parametres();
    const std::vector<ImagePackage> images = ImagesPackage(doc.format().FormatTheme, p.UseStartImageDefini);
    const bool couleurs = doc.nombreInclus() > 0 || p.Coul34Definie;
    // BaseHue lives under the colour key: it brings the key along.
    const bool cleCouleurs = couleurs || p.BaseHueDefini;
    const bool today = p.DPIDefini || p.UseStartImageDefini;
    const bool clesTheme = !doc.clesTheme().isEmpty();

    QStringList &l = *lignes;
    l << QStringLiteral("[Version]") << QStringLiteral("Signature = \"$Chicago$\"")
      << QStringLiteral("CESignature = \"$Windows CE$\"") << QStringLiteral("Provider = \"Pelorin\"") << QString();
    l << QStringLiteral("[CEStrings]") << QStringLiteral("AppName =\"") + valeurChaineInf(nomApplication) + QLatin1Char('"')
      << QStringLiteral("InstallDir = \"%CE2%\" ; (\\Windows)") << QString();
    l << QStringLiteral("[CEDevice]") << QStringLiteral("ProcessorType = 2577")
      << QStringLiteral("UnsupportedPlatforms = \"HPC\",\"JUPITER\"") << QStringLiteral("VersionMin = 3.0")
      << QStringLiteral("VersionMax = 100.0") << QString();
    l << QStringLiteral("[SourceDisksNames]") << QStringLiteral("1 = ,\"Autre\",,\\") << QString();
    l << QStringLiteral("[SourceDisksFiles]");
    for (const ImagePackage &im : images)
        l << QLatin1Char('"') + im.nomImage + QStringLiteral("\" = 1");
    l << QString();
    l << QStringLiteral("[DefaultInstall]") << QStringLiteral("AddReg = ClesRegistre")
      << QStringLiteral("CopyFiles = CopierVersDir00") << QString();
    l << QStringLiteral("[CopierVersDir00]  ; (%CE2% : \\Windows)");
    for (const ImagePackage &im : images)
        l << QLatin1Char('"') + im.nomImage + QStringLiteral("\",,,0x40000000");
    l << QString();
    l << QStringLiteral("[DestinationDirs]") << QStringLiteral("CopierVersDir00 = 0, %InstallDir%") << QString();

    l << QStringLiteral("[Strings]");
    if (cleCouleurs)
        l << QStringLiteral("reg_path00 = Software\\Microsoft\\Color");
    if (today)
        l << QStringLiteral("reg_path01 = Software\\Microsoft\\Today");
    if (clesTheme)
        l << QStringLiteral("reg_path02 = ") + valeurCleInf(QStringLiteral("Software\\Microsoft\\Today\\") + nomTheme
                                                           + QStringLiteral(".tsk"));
    l << QString();

    l << QStringLiteral("[ClesRegistre]");
    if (couleurs) {
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
            if (!doc.slot(i).inclus)
                continue;
            l << QStringLiteral("HKLM,%reg_path00%,") + QStringLiteral("%1").arg(JeuCouleurs::NumerosCouleurs[i], 2)
                     + QStringLiteral(",0x00000001,") + CouleurVersTexte(doc.slot(i).couleur)
                     + QStringLiteral("        ;") + JeuCouleurs::NomCouleur(i);
        }
        if (p.Coul34Definie)
            l << QStringLiteral("HKLM,%reg_path00%,34,0x00000001,") + CouleurVersTexte(p.Coul34)
                     + QStringLiteral("        ;Couleur 34 (WM5)");
    }
    if (p.BaseHueDefini)
        l << QStringLiteral("HKLM,%reg_path00%,BaseHue,0x00010001,") + QString::number(p.ValBaseHue)
                 + QStringLiteral("           ; WM5");
    if (p.DPIDefini)
        l << QStringLiteral("HKCU,%reg_path01%,DPI,0x00010001,") + QString::number(p.ValDPI)
                 + QStringLiteral("               ; WM5");
    if (p.UseStartImageDefini)
        l << QStringLiteral("HKCU,%reg_path01%,UseStartImage,0x00010001,") + QString::number(p.ValUseStartImage)
                 + QStringLiteral(" ; WM5");
    if (clesTheme)
        for (const ValeurCleTheme &v : ValeursClesTheme(doc.clesTheme()))
            l << QStringLiteral("HKCU,%reg_path02%,") + v.nom + QStringLiteral(",0x00010001,")
                     + QString::number(int32_t(v.valeur));
}
