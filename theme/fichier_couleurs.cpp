#include "theme/fichier_couleurs.h"

#include "theme/cp1252.h"
#include "theme/ecriture_atomique.h"
#include "theme/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

const QString kSectionCouleurs = QStringLiteral("CouleursTSK");
const QString kSectionNoms = QStringLiteral("NomTheme");
const QString kSectionWM5 = QStringLiteral("WM5");
const QLatin1String kCrLf("\r\n");

// A WM5 value as the package reader writes it: decimal, possibly unsigned
// 32-bit, or "$" hexadecimal; the value keeps its low 32 bits.
std::optional<int32_t> valeurWM5(const QString &texte)
{
    if (auto v = IniFile::parseInteger(texte))
        return int32_t(*v);
    bool ok = false;
    const qlonglong v = texte.trimmed().toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<int32_t>::min() || v > qlonglong(std::numeric_limits<uint32_t>::max()))
        return std::nullopt;
    return int32_t(uint32_t(quint64(v)));
}

} // namespace

std::optional<QByteArray> TexteCouleurs(const ThemeDocument &doc, bool avecNoms, QString *erreur)
{
    QString texte = QStringLiteral("[CouleursTSK]   ; ") + doc.nomInterneEffectif() + kCrLf;
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        const SlotCouleur &s = doc.slot(i);
        texte += QStringLiteral("coul") + s.libelle.left(2) + QStringLiteral(" = ") + CouleurVersTexte(s.couleur)
                 + QStringLiteral(";  ") + JeuCouleurs::NomCouleur(i) + kCrLf;
    }
    if (avecNoms) {
        texte += QStringLiteral("[NomTheme]   ; ") + kCrLf;
        texte += QStringLiteral("NomFic = ") + doc.nomTheme() + kCrLf;
        texte += QStringLiteral("NomInterne = ") + doc.nomInterneEffectif() + kCrLf;
    }
    auto octets = cp1252::encode(texte);
    if (!octets && erreur)
        *erreur = QStringLiteral("The character \"%1\" cannot be written in a colors file.")
                      .arg(cp1252::firstUnencodable(texte));
    return octets;
}

bool SauveCouleurs(const ThemeDocument &doc, const QString &fichier, bool avecNoms, QString *erreur)
{
    QString raison;
    const auto octets = TexteCouleurs(doc, avecNoms, &raison);
    if (octets && EcritFichierAtomique(fichier, *octets, &raison))
        return true;
    if (erreur)
        *erreur = QStringLiteral("Cannot write the colors file %1: %2").arg(QDir::toNativeSeparators(QDir::cleanPath(fichier)), raison);
    return false;
}

std::optional<JeuCouleursLu> LitJeuCouleurs(const QByteArray &octets, const ThemeDocument &doc, bool avecNoms,
                                            QString *erreur)
{
    const IniFile ini = IniFile::fromBytes(octets);
    JeuCouleursLu lu{doc.jeuCouleurs(), doc.nomTheme(), doc.nomInterne(), doc.parametres()};

    const QStringList cles = ini.keys(kSectionCouleurs);
    for (int k = 0; k < cles.size() && k < JeuCouleurs::NbCouleurs; ++k) {
        const QString valeur = ini.readString(kSectionCouleurs, cles[k]);
        const auto couleur = TexteVersCouleur(valeur);
        if (!couleur) {
            if (erreur)
                *erreur = QStringLiteral("\"%1\" is not a valid color (key %2).").arg(valeur, cles[k]);
            return std::nullopt;
        }
        lu.couleurs[k].couleur = *couleur;
        lu.couleurs[k].libelle = cles[k].mid(4, 2) + QLatin1Char(' ') + JeuCouleurs::NomCouleur(k);
    }
    // "Coul34" is read by the Windows tools' files too; colour 34 does not take it.
    (void)ini.readString(kSectionCouleurs, QStringLiteral("Coul34"));

    if (avecNoms) {
        lu.nomTheme = ini.readString(kSectionNoms, QStringLiteral("NomFic"));
        lu.nomInterne = ini.readString(kSectionNoms, QStringLiteral("NomInterne"));
        struct
        {
            const char *cle;
            bool *defini;
            int32_t *valeur;
        } const champs[] = {{"BaseHue", &lu.wm5.BaseHueDefini, &lu.wm5.ValBaseHue},
                            {"DPI", &lu.wm5.DPIDefini, &lu.wm5.ValDPI}};
        for (const auto &c : champs) {
            const QString texte = ini.readString(kSectionWM5, QLatin1String(c.cle));
            if (texte.isEmpty())
                continue;
            const auto v = valeurWM5(texte);
            if (!v) {
                if (erreur)
                    *erreur = QStringLiteral("\"%1\" is not a valid number (key %2).").arg(texte, QLatin1String(c.cle));
                return std::nullopt;
            }
            *c.defini = true;
            *c.valeur = *v;
        }
    }
    return lu;
}

bool IndicateurWM5(const ParametresWM5 &p)
{
    return p.BaseHueDefini || p.DPIDefini || p.Coul34Definie || p.ClesThemeDefinies;
}

ResultatChargeCouleurs ChargeCouleurs(ThemeDocument &doc, const QString &fichierCouleurs, bool avecNoms)
{
    ResultatChargeCouleurs r;
    if (!QFileInfo::exists(fichierCouleurs)) {
        auto couleurs = doc.jeuCouleurs();
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
            couleurs[i].couleur = JeuCouleurs::couleurDefaut(i);
            couleurs[i].libelle = JeuCouleurs::libelleDefaut(i);
        }
        ParametresWM5 p = doc.parametres();
        p.BaseHueDefini = p.DPIDefini = p.Coul34Definie = p.UseStartImageDefini = false;
        doc.setJeuCouleurs(couleurs);
        doc.setNomInterne(QString());
        doc.setParametres(p);
        r.indicateurWM5 = false;
        r.majMiniatures = avecNoms;
        return r;
    }

    QFile f(fichierCouleurs);
    if (!f.open(QIODevice::ReadOnly)) {
        r.ok = false;
        r.erreur = QStringLiteral("Cannot read the colors file %1: %2")
                       .arg(QDir::toNativeSeparators(QDir::cleanPath(fichierCouleurs)), f.errorString());
        return r;
    }
    QString raison;
    const auto lu = LitJeuCouleurs(f.readAll(), doc, avecNoms, &raison);
    if (!lu) {
        r.ok = false;
        r.erreur = QStringLiteral("The colors file %1 is not valid: %2")
                       .arg(QDir::toNativeSeparators(QDir::cleanPath(fichierCouleurs)), raison);
        return r;
    }
    doc.setJeuCouleurs(lu->couleurs);
    if (avecNoms) {
        doc.setNomTheme(lu->nomTheme);
        doc.setNomInterne(lu->nomInterne);
        doc.setParametres(lu->wm5);
        r.indicateurWM5 = IndicateurWM5(lu->wm5);
    }
    r.majMiniatures = avecNoms;
    return r;
}

QString NomCopieCouleurs(const ThemeDocument &doc)
{
    return doc.nomTheme() + QStringLiteral(" coul.ini");
}
