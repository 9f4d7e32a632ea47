#include "theme/fichier_couleurs.h"

#include "theme/cp1252.h"
#include "theme/ecriture_atomique.h"
#include "theme/fichier_ordinaire.h"
#include "theme/ini_file.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <limits>

namespace {

const QString kSectionCouleurs = QStringLiteral("CouleursTSK");
const QString kSectionNoms = QStringLiteral("NomTheme");
const QString kSectionWM5 = QStringLiteral("WM5");
const QString kSectionEtat = QStringLiteral("EtatTheme");
const QLatin1String kCleNomInterneSaisi("NomInterneSaisi");
const QLatin1String kCleInclus("Inclus");
const QLatin1String kCleClesDefinies("ClesThemeDefinies");
const QLatin1String kCleNomFicExact("NomFicExact");
const QLatin1String kCleNomInterneExact("NomInterneExact");
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

// The colour-set lines are Windows-1252, as other programs read them: a
// character the code page lacks is written "?" (the exact names travel in
// "[EtatTheme]", read by this program only).
std::optional<QByteArray> encodeCouleurs(const QString &texte)
{
    return cp1252::encodeLossy(texte);
}

// What the line "key = name" of a colour file read as `encoding` gives back.
// A file is decoded as a whole (UTF-8 when all its bytes are valid UTF-8,
// else Windows-1252), so a line is judged by the decoding of its file, never
// alone: "CafÃ©" is valid UTF-8 alone but Windows-1252 beside "Café".
QString relitLigne(const QString &nom, IniFile::Encoding encoding)
{
    const QByteArray ligne = "[N]\r\nK = " + cp1252::encodeLossy(NomEnLigne(nom)) + "\r\n";
    return IniFile::fromBytes(ligne, encoding).readString(QStringLiteral("N"), QStringLiteral("K"));
}

QString pourcent(const QString &texte)
{
    return QString::fromLatin1(texte.toUtf8().toPercentEncoding());
}

// A text that begins with U+FEFF keeps it (QString::fromUtf8 would take it
// for a byte-order mark and drop it).
QString depuisPourcent(const QString &texte)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(QByteArray::fromPercentEncoding(texte.toLatin1()));
}

QString nomAffiche(const QString &fichier)
{
    return QDir::toNativeSeparators(QDir::cleanPath(fichier));
}

QString texteTailleMax()
{
    return QStringLiteral("%1 MB").arg(TailleFichierCouleursMax >> 20);
}

bool ecritFichier(const std::optional<QByteArray> &octets, const QString &fichier, QString raison, QString *erreur)
{
    // Never a file the next start would refuse to read.
    if (octets && octets->size() > TailleFichierCouleursMax)
        raison = QStringLiteral("it would be larger than %1").arg(texteTailleMax());
    else if (octets && EcritFichierAtomique(fichier, *octets, &raison))
        return true;
    if (erreur)
        *erreur = QStringLiteral("Cannot write the colors file %1: %2").arg(nomAffiche(fichier), raison);
    return false;
}

using Couleurs = std::array<SlotCouleur, JeuCouleurs::NbCouleurs>;

// The bytes of a colour file, at most TailleFichierCouleursMax. Otherwise
// nothing, with *erreur naming the file.
std::optional<QByteArray> litFichierCouleurs(const QString &fichier, QString *erreur)
{
    const auto octets = LitFichierOrdinaire(fichier, TailleFichierCouleursMax);
    if (octets)
        return octets;
    const int cause = errno;
    if (cause == EFBIG)
        *erreur = QStringLiteral("The colors file %1 is too large (more than %2).").arg(nomAffiche(fichier), texteTailleMax());
    else if (cause == EINVAL)
        *erreur = QStringLiteral("Cannot read the colors file %1: it is not a plain file.").arg(nomAffiche(fichier));
    else
        *erreur = QStringLiteral("Cannot read the colors file %1: %2")
                      .arg(nomAffiche(fichier), QString::fromLocal8Bit(std::strerror(cause)));
    return std::nullopt;
}

QString texteCouleurs(const ThemeDocument &doc, const Couleurs &couleurs, bool avecNoms, bool coul34)
{
    const ParametresWM5 &p = doc.parametres();
    QString texte = QStringLiteral("[CouleursTSK]   ; ") + NomEnLigne(doc.nomInterneEffectif()) + kCrLf;
    for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
        const SlotCouleur &s = couleurs[i];
        texte += QStringLiteral("coul") + s.libelle.left(2) + QStringLiteral(" = ") + CouleurVersTexte(s.couleur)
                 + QStringLiteral(";  ") + JeuCouleurs::NomCouleur(i) + kCrLf;
    }
    if (coul34 && p.Coul34Definie)
        texte += QStringLiteral("coul34 = ") + CouleurVersTexte(p.Coul34) + QStringLiteral(";  Couleur 34 (WM5)") + kCrLf;
    if (avecNoms) {
        texte += QStringLiteral("[NomTheme]   ; ") + kCrLf;
        texte += QStringLiteral("NomFic = ") + NomEnLigne(doc.nomTheme()) + kCrLf;
        texte += QStringLiteral("NomInterne = ") + NomEnLigne(doc.nomInterneEffectif()) + kCrLf;
    }
    return texte;
}

// The keys of "[EtatTheme]" read in one pass, found without regard to case;
// the first of a key that comes twice counts, as with readString.
class EtatLu
{
public:
    explicit EtatLu(const IniFile &ini)
    {
        const auto entrees = ini.entries(kSectionEtat);
        m_valeurs.reserve(entrees.size());
        for (const auto &[cle, valeur] : entrees) {
            const QString k = cle.toCaseFolded();
            if (!m_valeurs.contains(k))
                m_valeurs.insert(k, valeur);
        }
    }
    std::optional<QString> valeur(const QString &cle) const
    {
        const auto it = m_valeurs.constFind(cle.toCaseFolded());
        return it == m_valeurs.cend() ? std::nullopt : std::optional<QString>(*it);
    }

private:
    QHash<QString, QString> m_valeurs;
};

// The exact name stands in for the one of the Windows-1252 lines only when
// both still say the same (another program may have renamed the theme there).
void prendNomExact(const EtatLu &etat, IniFile::Encoding encoding, QLatin1String cle, QString &nom)
{
    const auto texte = etat.valeur(cle);
    if (!texte)
        return;
    const QString exact = depuisPourcent(*texte);
    if (relitLigne(exact, encoding) == nom)
        nom = exact;
}

// What only the working file holds: the internal name as typed, the include
// ticks and the theme's own values. A key that is missing (a colour-set file
// of another program) leaves its value as it was; an "Inclus" that does not
// hold 22 ticks is not used.
void litEtatTheme(const IniFile &ini, JeuCouleursLu &lu)
{
    if (!ini.sectionExists(kSectionEtat))
        return;
    const EtatLu etat(ini);
    if (const auto nom = etat.valeur(kCleNomInterneSaisi))
        lu.nomInterne = *nom;
    const QStringList inclus = etat.valeur(kCleInclus).value_or(QString()).split(QLatin1Char(','));
    if (inclus.size() == JeuCouleurs::NbCouleurs) {
        bool ok = true;
        for (const QString &t : inclus)
            ok = ok && (t.trimmed() == QLatin1String("0") || t.trimmed() == QLatin1String("1"));
        for (int i = 0; ok && i < JeuCouleurs::NbCouleurs; ++i)
            lu.couleurs[i].inclus = inclus[i].trimmed() == QLatin1String("1");
    }
    if (const auto definies = etat.valeur(kCleClesDefinies)) {
        lu.wm5.ClesThemeDefinies = IniFile::parseInteger(*definies).value_or(0) != 0;
        QStringList lignes;
        for (int k = 1;; ++k) {
            const auto ligne = etat.valeur(QStringLiteral("Cle%1").arg(k));
            if (!ligne)
                break;
            lignes << depuisPourcent(*ligne);
        }
        lu.clesTheme = lignes;
    }
    prendNomExact(etat, ini.encoding(), kCleNomFicExact, lu.nomTheme);
    prendNomExact(etat, ini.encoding(), kCleNomInterneExact, lu.nomInterne);
}

} // namespace

QString NomEnLigne(const QString &nom)
{
    QString ligne = nom;
    for (QChar &c : ligne)
        if (c.unicode() < 0x20)
            c = QLatin1Char('?');
    return ligne;
}

QStringList LignesNomsExacts(const QByteArray &octets, const QString &nomTheme, const QString &nomInterne)
{
    const IniFile::Encoding encoding = IniFile::detectEncoding(octets);
    QStringList lignes;
    if (relitLigne(nomTheme, encoding) != nomTheme)
        lignes << kCleNomFicExact + QStringLiteral(" = ") + pourcent(nomTheme);
    if (relitLigne(nomInterne, encoding) != nomInterne)
        lignes << kCleNomInterneExact + QStringLiteral(" = ") + pourcent(nomInterne);
    return lignes;
}

namespace {

// The working file of doc with these colours in its slots.
QByteArray texteThemeTravail(const ThemeDocument &doc, const Couleurs &couleurs)
{
    const ParametresWM5 &p = doc.parametres();
    QString texte = texteCouleurs(doc, couleurs, true, true);
    if (p.BaseHueDefini || p.DPIDefini || p.UseStartImageDefini) {
        texte += QStringLiteral("[WM5]   ; ") + kCrLf;
        if (p.BaseHueDefini)
            texte += QStringLiteral("BaseHue = ") + QString::number(uint32_t(p.ValBaseHue)) + kCrLf;
        if (p.DPIDefini)
            texte += QStringLiteral("DPI = ") + QString::number(uint32_t(p.ValDPI)) + kCrLf;
        if (p.UseStartImageDefini)
            texte += QStringLiteral("UseStartImage = ") + QString::number(uint32_t(p.ValUseStartImage)) + kCrLf;
    }
    texte += QStringLiteral("[EtatTheme]   ; ") + kCrLf;
    texte += kCleNomInterneSaisi + QStringLiteral(" = ") + NomEnLigne(doc.nomInterne()) + kCrLf;
    QStringList inclus;
    for (const SlotCouleur &s : couleurs)
        inclus << (s.inclus ? QStringLiteral("1") : QStringLiteral("0"));
    texte += kCleInclus + QStringLiteral(" = ") + inclus.join(QLatin1Char(',')) + kCrLf;
    texte += kCleClesDefinies + QStringLiteral(" = ") + (p.ClesThemeDefinies ? QStringLiteral("1") : QStringLiteral("0"))
             + kCrLf;
    for (qsizetype k = 0; k < doc.clesTheme().size(); ++k)
        texte += QStringLiteral("Cle%1 = ").arg(k + 1)
                 + pourcent(doc.clesTheme().at(k)) + kCrLf;
    // The exact names last: lines of ASCII, they leave the file's decoding as it is.
    QByteArray octets = *encodeCouleurs(texte);
    for (const QString &ligne : LignesNomsExacts(octets, doc.nomTheme(), doc.nomInterne()))
        octets += ligne.toLatin1() + "\r\n";
    return octets;
}

} // namespace

std::optional<QByteArray> TexteThemeTravail(const ThemeDocument &doc, QString *erreur)
{
    Q_UNUSED(erreur);
    return texteThemeTravail(doc, doc.jeuCouleurs());
}

bool SauveThemeTravail(const ThemeDocument &doc, const QString &fichier, QString *erreur)
{
    QString raison;
    const auto octets = TexteThemeTravail(doc, &raison);
    return ecritFichier(octets, fichier, raison, erreur);
}

std::optional<QByteArray> TexteCouleurs(const ThemeDocument &doc, bool avecNoms, QString *erreur)
{
    Q_UNUSED(erreur);
    return encodeCouleurs(texteCouleurs(doc, doc.jeuCouleurs(), avecNoms, false));
}

bool SauveCouleurs(const ThemeDocument &doc, const QString &fichier, bool avecNoms, QString *erreur)
{
    QString raison;
    const auto octets = TexteCouleurs(doc, avecNoms, &raison);
    return ecritFichier(octets, fichier, raison, erreur);
}

std::optional<JeuCouleursLu> LitJeuCouleurs(const QByteArray &octets, const ThemeDocument &doc, bool avecNoms,
                                            QString *erreur)
{
    const IniFile ini = IniFile::fromBytes(octets);
    JeuCouleursLu lu{doc.jeuCouleurs(), doc.nomTheme(), doc.nomInterne(), doc.parametres(), std::nullopt};

    // Each slot takes the value of its own line: two slots may be saved under
    // the same number (a set whose first key is coul09 writes slot 1 and
    // slot 3 as coul09), and each must come back as it was.
    const auto cles = ini.entries(kSectionCouleurs);
    for (int k = 0; k < cles.size() && k < JeuCouleurs::NbCouleurs; ++k) {
        const auto &[cle, valeur] = cles[k];
        const auto couleur = TexteVersCouleur(valeur);
        if (!couleur) {
            if (erreur)
                *erreur = QStringLiteral("\"%1\" is not a valid color (key %2).").arg(valeur, cle);
            return std::nullopt;
        }
        lu.couleurs[k].couleur = *couleur;
        lu.couleurs[k].libelle = cle.mid(4, 2) + QLatin1Char(' ') + JeuCouleurs::NomCouleur(k);
    }
    if (avecNoms) {
        // Colour 34, as the package reader and the working file write it.
        const QString coul34 = ini.readString(kSectionCouleurs, QStringLiteral("Coul34"));
        if (!coul34.isEmpty()) {
            const auto c = TexteVersCouleur(coul34);
            if (!c) {
                if (erreur)
                    *erreur = QStringLiteral("\"%1\" is not a valid color (key %2).").arg(coul34, QStringLiteral("coul34"));
                return std::nullopt;
            }
            lu.wm5.Coul34Definie = true;
            lu.wm5.Coul34 = *c;
        }
        lu.nomTheme = ini.readString(kSectionNoms, QStringLiteral("NomFic"));
        lu.nomInterne = ini.readString(kSectionNoms, QStringLiteral("NomInterne"));
        struct
        {
            const char *cle;
            bool *defini;
            int32_t *valeur;
        } const champs[] = {{"BaseHue", &lu.wm5.BaseHueDefini, &lu.wm5.ValBaseHue},
                            {"DPI", &lu.wm5.DPIDefini, &lu.wm5.ValDPI},
                            {"UseStartImage", &lu.wm5.UseStartImageDefini, &lu.wm5.ValUseStartImage}};
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
        litEtatTheme(ini, lu);
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
    // Anything but a plain file under that name counts as no colour file.
    if (!EstFichierOrdinaire(fichierCouleurs)) {
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

    const auto octets = litFichierCouleurs(fichierCouleurs, &r.erreur);
    if (!octets) {
        r.ok = false;
        return r;
    }
    QString raison;
    const auto lu = LitJeuCouleurs(*octets, doc, avecNoms, &raison);
    if (!lu) {
        r.ok = false;
        r.erreur = QStringLiteral("The colors file %1 is not valid: %2").arg(nomAffiche(fichierCouleurs), raison);
        return r;
    }
    doc.setJeuCouleurs(lu->couleurs);
    if (avecNoms) {
        doc.setNomTheme(lu->nomTheme);
        doc.setNomInterne(lu->nomInterne);
        if (lu->clesTheme)
            doc.setClesTheme(*lu->clesTheme);
        doc.setParametres(lu->wm5);
        r.indicateurWM5 = IndicateurWM5(lu->wm5);
    }
    r.majMiniatures = avecNoms;
    return r;
}

ResultatChargeCouleurs ChargeJeuCouleurs(ThemeDocument &doc, const QString &jeu, const QString &fichierCouleurs)
{
    ResultatChargeCouleurs r;
    r.ok = false;
    const auto octets = litFichierCouleurs(jeu, &r.erreur);
    if (!octets)
        return r;
    QString raison;
    const auto lu = LitJeuCouleurs(*octets, doc, false, &raison);
    if (!lu) {
        r.erreur = QStringLiteral("The colors file %1 is not valid: %2").arg(nomAffiche(jeu), raison);
        return r;
    }
    // The working file takes the new colours with everything else the theme
    // has, in one write: whenever the program stops, the next start finds the
    // whole theme. The document changes only once that write has succeeded.
    if (!ecritFichier(texteThemeTravail(doc, lu->couleurs), fichierCouleurs, QString(), &r.erreur))
        return r;
    doc.setJeuCouleurs(lu->couleurs);
    r.ok = true;
    r.erreur.clear();
    return r;
}

QString NomCopieCouleurs(const ThemeDocument &doc)
{
    return doc.nomTheme() + QStringLiteral(" coul.ini");
}
