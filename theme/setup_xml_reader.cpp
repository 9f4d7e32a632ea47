#include "theme/setup_xml_reader.h"

#include "theme/base64.h"
#include "theme/inf_builder.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace {

struct Noeud
{
    QString nom;
    QList<std::pair<QString, QString>> attributs; // document order
    std::vector<Noeud> enfants;
};

struct Echec
{
    ErreurXmlSetup erreur;
};

// Builds the element tree; comments, processing instructions and text are not kept.
std::optional<Noeud> lireArbre(QByteArrayView bytes, ErreurXmlSetup &err)
{
    QXmlStreamReader xml(bytes.toByteArray());
    Noeud racine; // a holder for the top-level elements
    std::vector<Noeud *> pile{&racine};
    int noeuds = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            err = ErreurXmlSetup::Illisible;
            return std::nullopt;
        case QXmlStreamReader::StartElement: {
            if (++noeuds > SetupXml::NoeudsMax || int(pile.size()) > SetupXml::ProfondeurMax) {
                err = ErreurXmlSetup::TropGrand;
                return std::nullopt;
            }
            Noeud n;
            n.nom = xml.qualifiedName().toString();
            for (const QXmlStreamAttribute &a : xml.attributes())
                n.attributs.append({a.qualifiedName().toString(), a.value().toString()});
            pile.back()->enfants.push_back(std::move(n));
            pile.push_back(&pile.back()->enfants.back());
            break;
        }
        case QXmlStreamReader::EndElement:
            pile.pop_back();
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        err = ErreurXmlSetup::Illisible;
        return std::nullopt;
    }
    return racine;
}

void serialiser(QXmlStreamWriter &w, const Noeud &n)
{
    w.writeStartElement(n.nom);
    for (const auto &[nom, valeur] : n.attributs)
        w.writeAttribute(nom, valeur);
    for (const Noeud &e : n.enfants)
        serialiser(w, e);
    w.writeEndElement();
}

QString texteNoeud(const Noeud &n)
{
    QString s;
    QXmlStreamWriter w(&s);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(-1); // one TAB per level
    serialiser(w, n);
    return s.trimmed();
}

// The node's fields: attribute values of the node and its descendants, in
// document order (what cutting its serialised text at double quotes gives).
void champs(const Noeud &n, QStringList &out)
{
    for (const auto &a : n.attributs)
        out << a.second;
    for (const Noeud &e : n.enfants)
        champs(e, out);
}

QString champ(const QStringList &c, int k) // k from 1
{
    return k - 1 < c.size() ? c.at(k - 1) : QString();
}

// A decimal integer, as a 32-bit value (texts up to 2^32 - 1 keep their low 32 bits).
int32_t entier(const QString &t)
{
    bool ok = false;
    const qlonglong v = t.trimmed().toLongLong(&ok, 10);
    if (!ok || v < -2147483648LL || v > 4294967295LL)
        throw Echec{ErreurXmlSetup::NombreInvalide};
    return int32_t(uint32_t(v));
}

QString hex8(uint32_t v)
{
    return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper();
}

// The characteristics among the children of node whose first attribute, upper-cased, is type.
template<typename F>
void pourCaracteristiques(const Noeud &node, const QString &type, F &&f)
{
    for (const Noeud &c : node.enfants) {
        if (c.attributs.isEmpty() || c.enfants.empty() || c.attributs.first().second.toUpper() != type)
            continue;
        f(c);
    }
}

void lireInstall(const Noeud &node, ResultatXmlSetup &r)
{
    pourCaracteristiques(node, QStringLiteral("INSTALL"), [&](const Noeud &c) {
        for (const Noeud &p : c.enfants) {
            if (p.attributs.isEmpty())
                continue;
            QStringList f;
            champs(p, f);
            const QString nom = champ(f, 1).toUpper();
            const QString valeur = champ(f, 2);
            if (nom == QLatin1String("PROCESSORTYPE"))
                r.ProcessorType = valeur;
            else if (nom == QLatin1String("OSVERSIONMIN"))
                r.OSVersionMin = valeur;
            else if (nom == QLatin1String("OSVERSIONMAX"))
                r.OSVersionMax = valeur;
            else if (nom == QLatin1String("APPNAME"))
                r.NomInterneLu = valeur;
            else if (nom == QLatin1String("NUMFILES"))
                r.NumFiles = entier(valeur);
            else if (nom == QLatin1String("NUMREGKEYS"))
                r.NumRegKeys = entier(valeur);
            else if (nom == QLatin1String("NUMREGVALS"))
                r.NumRegVals = entier(valeur);
        }
    });
}

void lireOperationsFichiers(const Noeud &node, ResultatXmlSetup &r)
{
    int somme = 0;
    bool doublon = false;
    pourCaracteristiques(node, QStringLiteral("FILEOPERATION"), [&](const Noeud &c) {
        for (const Noeud &dir : c.enfants) {
            for (const Noeud &fic : dir.enfants) {
                if (fic.enfants.empty())
                    continue;
                QStringList f;
                champs(fic, f);
                const QString install = champ(f, 1);
                if (champ(f, 2).toLower() != QLatin1String("install")
                    || champ(f, 3).toLower() != QLatin1String("extract")
                    || champ(f, 4).toLower() != QLatin1String("source"))
                    continue;
                r.ListeEnrFichiers << QLatin1Char('"') + install + QLatin1String("\",,,0x40000000");
                const int bit = ClasseImageTheme(install, champ(f, 5), r.membres);
                if (bit & somme)
                    doublon = true;
                somme += bit;
            }
        }
    });
    r.groupeFormat = doublon ? 6 : GroupeFormatDeSomme(somme);
}

void lireRegistre(const Noeud &node, ResultatXmlSetup &r)
{
    static const QString Today = QStringLiteral("HKCU\\SOFTWARE\\MICROSOFT\\TODAY");
    static const QString Color = QStringLiteral("HKLM\\SOFTWARE\\MICROSOFT\\COLOR");
    pourCaracteristiques(node, QStringLiteral("REGISTRY"), [&](const Noeud &reg) {
        for (const Noeud &cle : reg.enfants) {
            if (cle.attributs.isEmpty())
                continue;
            const QString chemin = cle.attributs.first().second;
            const QString haut = chemin.toUpper();
            if (haut.contains(Today) && chemin.size() > Today.size())
                r.NomSousCleTheme = chemin.mid(chemin.lastIndexOf(QLatin1Char('\\')) + 1);
            for (const Noeud &p : cle.enfants) {
                if (p.attributs.isEmpty())
                    continue;
                QStringList f;
                champs(p, f);
                const QString nom = champ(f, 1);
                const QString valeur = champ(f, 2);
                const QString typeDonnee = champ(f, 3).toLower();
                QString type, hex;
                QByteArray octets;
                bool binaire = false;
                if (typeDonnee == QLatin1String("binary")) {
                    binaire = true;
                    type = QStringLiteral("1");
                    DecoderBase64(valeur, octets); // the bytes before a fault are kept
                    hex = QString::fromLatin1(octets.toHex().toUpper());
                } else if (typeDonnee == QLatin1String("integer")) {
                    type = QStringLiteral("65537");
                    hex = hex8(uint32_t(entier(valeur)));
                } else {
                    continue; // no other datatype has a registry line
                }
                // BaseHue, DPI and UseStartImage: an integer, or 4 binary bytes in device order.
                auto nombre = [&]() -> int32_t {
                    if (!binaire)
                        return entier(valeur);
                    if (octets.size() != 4)
                        throw Echec{ErreurXmlSetup::ValeurInvalide};
                    return int32_t(uint8_t(octets[0]) | uint8_t(octets[1]) << 8 | uint8_t(octets[2]) << 16
                                   | uint32_t(uint8_t(octets[3])) << 24);
                };
                const QString ligne = nom + QLatin1Char('\t') + hex + QLatin1String("\t\t") + type;
                if (haut == Color) {
                    r.ValeursCouleurs << ligne;
                    if (nom.toLower() == QLatin1String("basehue")) {
                        r.parametres.BaseHueDefini = true;
                        r.parametres.ValBaseHue = nombre();
                    } else if (nom == QLatin1String("34")) {
                        r.parametres.Coul34Definie = true;
                        if (binaire) {
                            if (octets.size() < 3)
                                throw Echec{ErreurXmlSetup::ValeurInvalide};
                            r.parametres.Coul34 = TColor::fromRgb(uint8_t(octets[0]), uint8_t(octets[1]),
                                                                  uint8_t(octets[2]));
                        } else {
                            r.parametres.Coul34 = TColor::fromValue(uint32_t(entier(valeur)));
                        }
                    }
                } else if (haut == Today) {
                    r.ValeursToday << nom + QLatin1Char('\t') + hex;
                    if (nom.toLower() == QLatin1String("usestartimage")) {
                        r.parametres.UseStartImageDefini = true;
                        r.parametres.ValUseStartImage = nombre();
                    } else if (nom.toLower() == QLatin1String("dpi")) {
                        r.parametres.DPIDefini = true;
                        r.parametres.ValDPI = nombre();
                    }
                } else if (haut.contains(Today)) {
                    r.ClesTheme << ligne;
                    r.parametres.ClesThemeDefinies = true;
                }
            }
        }
    });
}

int32_t valeurHex(const QString &hex)
{
    bool ok = false;
    const uint32_t v = hex.toUInt(&ok, 16);
    return ok ? int32_t(v) : 0;
}

QString LigneRegVersInf(const QString &ligne)
{
    const qsizetype tab = ligne.indexOf(QLatin1Char('\t'));
    const qsizetype tabTab = ligne.indexOf(QLatin1String("\t\t"));
    const QString nom = ligne.left(tab);
    const QString hex = tabTab > tab ? ligne.mid(tab + 1, tabTab - tab - 1) : QString();
    const QString type = tabTab >= 0 ? ligne.mid(tabTab + 2) : QString();
    if (type == QLatin1String("1"))
        return nom + QLatin1String(",0x00000001,") + hex.mid(0, 2) + QLatin1Char(',') + hex.mid(2, 2)
               + QLatin1Char(',') + hex.mid(4, 2) + QLatin1Char(',') + hex.mid(6, 2);
    return nom + QLatin1String(",0x00010001,") + QString::number(valeurHex(hex));
}

QString LigneTodayVersInf(const QString &ligne)
{
    const qsizetype tab = ligne.indexOf(QLatin1Char('\t'));
    return ligne.left(tab) + QLatin1String(",0x00010001,") + QString::number(valeurHex(ligne.mid(tab + 1)));
}

void EcrireInf(ResultatXmlSetup &r)
{
    QStringList &t = r.TexteInfOrig;
    t << QStringLiteral("[Version]") << QStringLiteral("Signature = \"$Chicago$\"")
      << QStringLiteral("CESignature = \"$Windows CE$\"") << QStringLiteral("Provider = \"Pelorin\"") << QString();
    t << QStringLiteral("[CEStrings]") << QStringLiteral("Appname = ") + r.NomInterneLu
      << QStringLiteral("InstallDir = \"%CE2%\" ; (\\Windows)") << QString();
    t << QStringLiteral("[CEDevice]") << QStringLiteral("ProcessorType = ") + r.ProcessorType
      << QStringLiteral("UnsupportedPlatforms = \"HPC\",\"JUPITER\"")
      << QStringLiteral("VersionMin = ") + r.OSVersionMin << QStringLiteral("VersionMax = ") + r.OSVersionMax
      << QString();
    t << QStringLiteral("[SourceDisksNames]") << QStringLiteral("1 = ,\"Autre\",,\\") << QString();
    t << QStringLiteral("[SourceDisksFiles]");
    for (const QString &l : r.ListeEnrFichiers)
        t << l.left(l.indexOf(QLatin1Char(','))) + QLatin1String(" = 1");
    t << QString();
    t << QStringLiteral("[DefaultInstall]") << QStringLiteral("AddReg = ClesRegistre")
      << QStringLiteral("CopyFiles = CopierVersDir00") << QString();
    t << QStringLiteral("[CopierVersDir00]  ; (%CE2% : \\Windows)");
    t << r.ListeEnrFichiers;
    t << QString();
    t << QStringLiteral("[DestinationDirs]") << QStringLiteral("CopierVersDir00 = 0, %InstallDir%") << QString();
    t << QStringLiteral("[Strings]");
    if (!r.ValeursCouleurs.isEmpty())
        t << QStringLiteral("reg_path00 = Software\\Microsoft\\Color");
    if (!r.ValeursToday.isEmpty())
        t << QStringLiteral("reg_path01 = Software\\Microsoft\\Today");
    if (!r.ClesTheme.isEmpty())
        t << QStringLiteral("reg_path02 = ")
               + valeurCleInf(QStringLiteral("Software\\Microsoft\\Today\\") + r.NomSousCleTheme);
    t << QString();
    t << QStringLiteral("[ClesRegistre]");
    for (const QString &l : r.ValeursCouleurs)
        t << QStringLiteral("HKLM,%reg_path00%,") + LigneRegVersInf(l);
    for (const QString &l : r.ValeursToday)
        t << QStringLiteral("HKCU,%reg_path01%,") + LigneTodayVersInf(l);
    for (const QString &l : r.ClesTheme)
        t << QStringLiteral("HKCU,%reg_path02%,") + LigneRegVersInf(l);
}

} // namespace

std::optional<ResultatXmlSetup> LireXmlSetup(QByteArrayView bytes, ErreurXmlSetup *erreur)
{
    ErreurXmlSetup err = ErreurXmlSetup::Aucune;
    auto fin = [&](ErreurXmlSetup e) -> std::optional<ResultatXmlSetup> {
        if (erreur)
            *erreur = e;
        return std::nullopt;
    };
    if (bytes.size() > SetupXml::TailleMax)
        return fin(ErreurXmlSetup::TropGrand);
    const auto arbre = lireArbre(bytes, err);
    if (!arbre)
        return fin(err);
    if (arbre->enfants.empty())
        return fin(ErreurXmlSetup::SansNoeud);

    ResultatXmlSetup r;
    try {
        // A well-formed document has one element at the top; comments and
        // processing instructions beside it are not nodes of the theme.
        for (const Noeud &n : arbre->enfants) {
            r.texteDocument = texteNoeud(n);
            lireInstall(n, r);
            lireOperationsFichiers(n, r);
            lireRegistre(n, r);
        }
    } catch (const Echec &e) {
        return fin(e.erreur);
    }
    EcrireInf(r);
    if (erreur)
        *erreur = ErreurXmlSetup::Aucune;
    return r;
}
