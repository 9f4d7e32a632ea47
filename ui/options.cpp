#include "ui/options.h"

#include "theme/ini_file.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString S = QStringLiteral("Options");

// Sizes of the customized format: below 5 or above 999 give 5.
constexpr int kTailleMin = 5, kTailleMax = 999;
const char *const kClesTailles[4] = {"seLTD", "seHTD", "seLST", "seHST"};

int dansPlage(int v, int min, int max, int sinon)
{
    return v < min || v > max ? sinon : v;
}

// Colours are $00BBGGRR: high bits (a Windows system colour, a stray value) are dropped.
TColor couleur(const IniFile &ini, const char *cle, TColor def)
{
    return TColor::fromValue(uint32_t(ini.readInteger(S, QLatin1String(cle), int(def.value()))) & 0xFFFFFFu);
}

QString dossierExistant(const IniFile &ini, const char *cle, const QString &courant)
{
    const QString d = ini.readString(S, QLatin1String(cle), courant);
    return !d.isEmpty() && QFileInfo(d).isDir() ? d : QString();
}

QString avecBarre(const QString &d)
{
    return d.isEmpty() || d.endsWith(QLatin1Char('/')) ? d : d + QLatin1Char('/');
}

// A folder written only when it stays on its line; else the file keeps the
// key's old line, or gets it empty (read back as the program folder) so
// that the keys stay in their order.
void ecritDossier(IniFile &ini, const char *cle, const QString &dossier)
{
    const QLatin1String nom(cle);
    if (DossierSurUneLigne(dossier))
        ini.writeString(S, nom, dossier);
    else if (!ini.valueExists(S, nom))
        ini.writeString(S, nom, QString());
}

} // namespace

bool DossierSurUneLigne(const QString &dossier)
{
    return !dossier.contains(QLatin1Char('\n')) && !dossier.contains(QLatin1Char('\r'));
}

QString MessageDossierSurPlusieursLignes(const QString &dossier)
{
    QString affiche = QDir::toNativeSeparators(dossier);
    affiche.replace(QLatin1Char('\r'), QChar(0x240D)).replace(QLatin1Char('\n'), QChar(0x240A));
    return QStringLiteral("The folder %1 cannot be kept: its name holds a line break. Choose another folder.")
        .arg(affiche);
}

QString FichierOptions(const DossiersProgramme &dossiers)
{
    return dossiers.DossierAppli + QStringLiteral("OptionsOVD.ini");
}

void LitOptions(const QString &fichier, OptionsOVD &o, FormatImages &format, DossiersProgramme &d)
{
    if (QFileInfo::exists(fichier)) {
        const IniFile ini(fichier);
        format.FormatTheme = dansPlage(ini.readInteger(S, QStringLiteral("DefautFmtTsk"), 0), 0,
                                       FormatImages::NbFormats - 1, 3);
        d.DossierTsk = dossierExistant(ini, "Dossier", QString());
        d.DossierImg = dossierExistant(ini, "DossierImg", QString());
        d.DossierLitTSK = dossierExistant(ini, "DossierLitTSK", QString());
        d.DossierSauveCapt = dossierExistant(ini, "DossierSauveCapt", QString());
        o.Hints = ini.readBool(S, QStringLiteral("Hints"), false);
        o.Sons = ini.readBool(S, QStringLiteral("Sons"), false);
        o.Skin = dansPlage(ini.readInteger(S, QStringLiteral("Skin"), 0), 0, 4, 0);
        for (int i = 0; i < 4; ++i)
            format.TaillesPerso[i] =
                dansPlage(ini.readInteger(S, QLatin1String(kClesTailles[i]), kTailleMin), kTailleMin, kTailleMax, kTailleMin);
        o.CouleurFormInfG = couleur(ini, "CouleurFormInfG", o.CouleurFormInfG);
        o.CouleurFormSupD = couleur(ini, "CouleurFormSupD", TColor::fromValue(0xFFFFFF));
        // These are item indexes of radio groups and tables: kept in range.
        o.GradientRG = dansPlage(ini.readInteger(S, QStringLiteral("GradientRG"), 0), 0, 2, 0);
        o.CoulFormUni = ini.readBool(S, QStringLiteral("CoulFormUni"), false);
        o.InterpolImg = dansPlage(ini.readInteger(S, QStringLiteral("InterpolImg"), 2), 0, 7, 2);
        o.TypeImgSauver = dansPlage(ini.readInteger(S, QStringLiteral("TypeImgSauver"), 0), 0, 4, 0);
        o.CouleurFond = couleur(ini, "CouleurFond", o.CouleurFond);
        o.TskInfXmlRG = dansPlage(ini.readInteger(S, QStringLiteral("TskInfXmlRG"), 0), 0, 2, 0);
    } else {
        format.TaillesPerso = {kTailleMin, kTailleMin, kTailleMin, kTailleMin};
        o.InterpolImg = 2;
        o.TypeImgSauver = 0;
    }
    for (QString *dossier : {&d.DossierTsk, &d.DossierImg, &d.DossierLitTSK, &d.DossierSauveCapt})
        if (dossier->isEmpty())
            *dossier = d.DossierAppli;
}

bool SauveOptions(const QString &fichier, const OptionsOVD &o, const FormatImages &format, DossiersProgramme &d,
                  QString *erreur)
{
    IniFile ini(fichier);
    ini.writeInteger(S, QStringLiteral("DefautFmtTsk"), format.FormatTheme);
    ecritDossier(ini, "Dossier", d.DossierTsk);
    d.DossierImg = avecBarre(d.DossierImg);
    ecritDossier(ini, "DossierImg", d.DossierImg);
    ecritDossier(ini, "DossierLitTSK", d.DossierLitTSK);
    ini.writeBool(S, QStringLiteral("Hints"), o.Hints);
    ini.writeBool(S, QStringLiteral("Sons"), o.Sons);
    ini.writeInteger(S, QStringLiteral("Skin"), o.Skin);
    for (int i = 0; i < 4; ++i)
        ini.writeInteger(S, QLatin1String(kClesTailles[i]), format.TailleImages[i]);
    ini.writeInteger(S, QStringLiteral("CouleurFormInfG"), int(o.CouleurFormInfG.value()));
    ini.writeInteger(S, QStringLiteral("CouleurFormSupD"), int(o.CouleurFormSupD.value()));
    ini.writeInteger(S, QStringLiteral("GradientRG"), o.GradientRG);
    ini.writeBool(S, QStringLiteral("CoulFormUni"), o.CoulFormUni);
    ini.writeInteger(S, QStringLiteral("InterpolImg"), o.InterpolImg);
    ini.writeInteger(S, QStringLiteral("TypeImgSauver"), o.TypeImgSauver);
    ini.writeInteger(S, QStringLiteral("CouleurFond"), int(o.CouleurFond.value()));
    ini.writeInteger(S, QStringLiteral("TskInfXmlRG"), o.TskInfXmlRG);
    ecritDossier(ini, "DossierSauveCapt", d.DossierSauveCapt);
    if (ini.save(fichier))
        return true;
    if (erreur)
        *erreur = QStringLiteral("Cannot write the options file %1: %2")
                      .arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), ini.errorString());
    return false;
}
