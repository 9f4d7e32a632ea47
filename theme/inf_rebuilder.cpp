#include "theme/inf_rebuilder.h"

#include "theme/byte_io.h"
#include "theme/cp1252.h"
#include "theme/inf_builder.h"
#include "theme/setup_ce_reader.h"

#include <vector>

const std::array<MacroRepertoireCE, 17> MacrosRepertoiresCE{{
    {"%CE1%", "\\Program Files"},
    {"%CE2%", "\\Windows"},
    {"%CE3%", "\\Windows\\Desktop"},
    {"%CE4%", "\\Windows\\StartUp"},
    {"%CE5%", "\\My Documents"},
    {"%CE6%", "\\Program Files\\Accessories"},
    {"%CE7%", "\\Program Files\\Communications"},
    {"%CE8%", "\\Program Files\\Games"},
    {"%CE9%", "\\Program Files\\Pocket Outlook"},
    {"%CE10%", "\\Program Files\\Office"},
    {"%CE11%", "\\Windows\\Programs"},
    {"%CE12%", "\\Windows\\Programs\\Accessories"},
    {"%CE13%", "\\Windows\\Programs\\Communications"},
    {"%CE14%", "\\Windows\\Programs\\Games"},
    {"%CE15%", "\\Windows\\Fonts"},
    {"%CE16%", "\\Windows\\Recent"},
    {"%CE17%", "\\Windows\\Favorites"},
}};

QString expanserMacrosCE(QString texte)
{
    for (const auto &m : MacrosRepertoiresCE)
        texte.replace(QLatin1String(m.macro), QLatin1String(m.dossier));
    return texte;
}

void EchapperValeurInf(QString &value)
{
    if (value.isEmpty())
        return;
    const bool guillemets = value.endsWith(QLatin1Char('\\')) || value.contains(QLatin1Char(','));
    if (value.contains(QLatin1Char('%'))) {
        QString masque = value;
        for (const auto &m : MacrosRepertoiresCE)
            masque.replace(QLatin1String(m.macro), QString(qsizetype(qstrlen(m.macro)), QLatin1Char('*')));
        masque.replace(QLatin1String("%InstallDir%"), QString(12, QLatin1Char('*')));
        QString out;
        for (qsizetype i = 0; i < value.size(); ++i) {
            out.append(value[i]);
            if (masque[i] == QLatin1Char('%'))
                out.append(QLatin1Char('%'));
        }
        value = out;
    }
    value.replace(QLatin1String("\""), QLatin1String("\"\"\""));
    if (guillemets)
        value = QLatin1Char('"') + value + QLatin1Char('"');
}

void EchapperListeInf(QString &value)
{
    QStringList items = value.split(QLatin1String("\","));
    for (qsizetype i = 0; i < items.size(); ++i) {
        QString item = items[i];
        if (!item.isEmpty())
            item.remove(0, 1);
        if (i == items.size() - 1 && !item.isEmpty())
            item.chop(1);
        EchapperValeurInf(item);
        items[i] = item;
    }
    value = items.join(QLatin1Char(','));
}

namespace {

constexpr uint32_t BitAutoEnregistrement = 0x10000000;
constexpr uint32_t TypeChaine = 0, TypeBinaire = 1, TypeMulti = 0x10000, TypeDword = 0x10001;

struct Chaine
{
    uint16_t id;
    QString texte, expanse;
};
struct Repertoire
{
    uint16_t id;
    QString cheminIds, cheminExpanse, cheminTexte;
};
struct Fichier
{
    uint16_t id;
    QString membre, nomInstall, texteRep, ligneCopie;
    uint32_t drapeaux;
};
struct Ruche
{
    uint16_t id;
    QString racine, chemin;
};
struct Valeur
{
    uint16_t ruche;
    uint32_t drapeaux;
    uint32_t type;
    QString nom, texte;
    QByteArray donnees;
};
struct Raccourci
{
    uint16_t idRep;
    int typeCible; // 0 folder, 1 file, other unknown
    int genre;     // 0 short list, 1 its own section
    QString numeroBase, baseMacro, baseDossier, cible, chemin;
};

QString d2(qsizetype n) { return QString::asprintf("%.2d", int(n)); }
QString d3(int n) { return QString::asprintf("%.3d", n); }
QString hex8(uint32_t v) { return QStringLiteral("%1").arg(v, 8, 16, QLatin1Char('0')).toUpper(); }

QString texteZ(QByteArrayView b)
{
    const qsizetype nul = b.indexOf('\0');
    return cp1252::decode(nul < 0 ? b : b.first(nul));
}

// Texts separated by NULs, ended by an empty one (or by the end of the bytes).
QStringList textesMultiples(QByteArrayView b)
{
    QStringList out;
    qsizetype pos = 0;
    while (pos < b.size()) {
        qsizetype nul = b.sliced(pos).indexOf('\0');
        const qsizetype len = nul < 0 ? b.size() - pos : nul;
        if (len == 0)
            break;
        out << cp1252::decode(b.sliced(pos, len));
        pos += len + 1;
    }
    return out;
}

QString entreGuillemets(const QStringList &items)
{
    QStringList q;
    for (const QString &s : items)
        q << QLatin1Char('"') + s + QLatin1Char('"');
    return q.join(QLatin1Char(','));
}

uint32_t le32(QByteArrayView b)
{
    return uint8_t(b[0]) | uint8_t(b[1]) << 8 | uint8_t(b[2]) << 16 | uint32_t(uint8_t(b[3])) << 24;
}

// u16 ids of a block, up to its first zero; false when the block has no zero.
bool idsJusquaZero(QByteArrayView bloc, std::vector<uint16_t> &ids)
{
    ByteReader r(bloc);
    while (r.remaining() >= 2) {
        const uint16_t id = *r.u16();
        if (id == 0)
            return true;
        ids.push_back(id);
    }
    return false;
}

// Reads a setup file table by table, then writes the INF text. Each table
// reader takes one record at the reader's position and returns false when the
// record leaves the file.
class Reconstructeur
{
public:
    Reconstructeur(QByteArrayView bytes, const LectureSetup &lecture, const ParametresWM5 &parametres)
        : m_r(bytes), m_res{lecture, parametres}
    {}
    Reconstructeur(const Reconstructeur &) = delete;
    Reconstructeur &operator=(const Reconstructeur &) = delete;

    std::optional<ResultatReconstruction> execute();

private:
    // Reading, in file order.
    bool litEntete();
    template <typename F>
    bool table(SetupCE::Table t, F &&lireEnregistrement);
    bool litChaine();
    bool litRepertoire();
    bool litFichier();
    bool litRuche();
    bool litValeur();
    bool litRaccourci();

    // Writing, section by section.
    void ecritVersionEtAppareil();
    void ecritFichiers();
    void ecritDestinations();
    void ecritRegistre();
    void ecritRaccourcis();

    const Chaine *chaineParId(uint16_t id) const;
    qsizetype indexChaine(uint16_t id) const;
    const Repertoire *repParId(uint16_t id) const;
    qsizetype indexRuche(uint16_t id) const;
    std::vector<const Fichier *> fichiersDe(const Repertoire &d) const;
    QString versAppName(QString t) const;
    QString nomRaccourci(const Raccourci &s) const;
    static QString natureRaccourci(const Raccourci &s);

    ByteReader m_r;
    ResultatReconstruction m_res;
    LectureSetup &m_ls = m_res.lecture;

    // Header.
    uint32_t m_processeur = 0;
    int32_t m_vMinMaj = 0, m_vMinMin = 0, m_vMaxMaj = 0, m_vMaxMin = 0, m_buildMin = 0;
    uint32_t m_buildMax = 0;
    std::array<uint16_t, SetupCE::NbTables> m_nb{};
    std::array<uint32_t, SetupCE::NbTables> m_off{};
    QString m_fournisseur, m_nonSupportees;

    // Tables.
    std::vector<Chaine> m_chaines;
    QString m_premier, m_premierExpanse; // the first string: the install folder
    bool m_fournisseurDansDossier = false;
    std::vector<Repertoire> m_reps;
    std::vector<Fichier> m_fichiers;
    QStringList m_autoEnregistres;
    std::vector<Ruche> m_ruches;
    int m_rucheCouleurs = -1, m_rucheToday = -1, m_rucheTheme = -1; // hive ids
    std::vector<Valeur> m_valeurs;
    std::vector<Raccourci> m_raccourcis;

    // Writing.
    bool m_raccourcisCourts = false; // some shortcuts go to the short list
    std::vector<size_t> m_repsCopie;  // folders that receive files
};

std::optional<ResultatReconstruction> Reconstructeur::execute()
{
    using namespace SetupCE;
    m_ls.TexteInfOrig.clear();
    m_ls.ValeursCouleurs.clear();
    m_ls.ValeursToday.clear();
    m_ls.ClesTheme.clear();
    m_ls.ChainesSetup.clear();
    m_ls.ListeFichiers.clear();
    if (!litEntete() || !table(Chaines, [this] { return litChaine(); }))
        return std::nullopt;
    m_premier = m_chaines.empty() ? QString() : m_chaines.front().texte;
    m_premierExpanse = m_chaines.empty() ? QString() : m_chaines.front().expanse;
    m_fournisseurDansDossier = !m_fournisseur.isEmpty() && m_premier.contains(m_fournisseur);
    ParametresWM5 &p = m_res.parametres;
    p.BaseHueDefini = p.DPIDefini = p.UseStartImageDefini = p.Coul34Definie = p.ClesThemeDefinies = false;
    if (!table(Dossiers, [this] { return litRepertoire(); }) || !table(Fichiers, [this] { return litFichier(); })
        || !table(Ruches, [this] { return litRuche(); }) || !table(Cles, [this] { return litValeur(); })
        || !table(Raccourcis, [this] { return litRaccourci(); }))
        return std::nullopt;

    ecritVersionEtAppareil();
    ecritFichiers();
    ecritDestinations();
    ecritRegistre();
    ecritRaccourcis();
    return std::move(m_res);
}

bool Reconstructeur::litEntete()
{
    // Inside the 100 bytes the header check guarantees.
    using namespace SetupCE;
    ByteReader &r = m_r;
    m_processeur = *r.u32At(OffProcesseur);
    m_vMinMaj = int32_t(*r.u32At(OffVersionMinMaj));
    m_vMinMin = int32_t(*r.u32At(OffVersionMinMin));
    m_vMaxMaj = int32_t(*r.u32At(OffVersionMaxMaj));
    m_vMaxMin = int32_t(*r.u32At(OffVersionMaxMin));
    m_buildMin = int32_t(*r.u32At(OffBuildMin));
    m_buildMax = *r.u32At(OffBuildMax);
    for (int i = 0; i < NbTables; ++i) {
        m_nb[i] = *r.u16At(posNombre(Table(i)));
        m_off[i] = *r.u32At(posOffset(Table(i)));
    }
    bool ok = true;
    auto texteEntete = [&](qsizetype offPos) -> QByteArray {
        const uint16_t o = *r.u16At(offPos), l = *r.u16At(offPos + 2);
        if (l == 0)
            return {};
        auto b = r.bytesAt(o, l);
        if (!b)
            ok = false;
        return b.value_or(QByteArray());
    };
    const QByteArray nomAppli = texteEntete(OffNomApplication);
    const QByteArray fournisseur = texteEntete(OffFournisseur);
    const QByteArray plateformes = texteEntete(OffPlateformes);
    if (!ok)
        return false;
    m_ls.NomInterneLu = texteZ(nomAppli);
    m_fournisseur = texteZ(fournisseur);
    m_nonSupportees = entreGuillemets(textesMultiples(plateformes));
    return true;
}

template <typename F>
bool Reconstructeur::table(SetupCE::Table t, F &&lireEnregistrement)
{
    if (m_nb[t] == 0)
        return true;
    if (!m_r.seek(qsizetype(m_off[t])))
        return false;
    for (int i = 0; i < m_nb[t]; ++i)
        if (!lireEnregistrement())
            return false;
    return true;
}

bool Reconstructeur::litChaine()
{
    const auto id = m_r.u16();
    const auto len = m_r.u16();
    const auto b = len ? m_r.bytes(*len) : std::nullopt;
    if (!id || !b)
        return false;
    QByteArrayView v(*b);
    const qsizetype nul = v.indexOf('\0');
    v = v.first(std::min<qsizetype>(nul < 0 ? v.size() : nul, SetupCE::LongueurChaineMax - 1));
    const QString t = cp1252::decode(v);
    m_chaines.push_back({*id, t, expanserMacrosCE(t)});
    m_ls.ChainesSetup << t;
    return true;
}

bool Reconstructeur::litRepertoire()
{
    const auto id = m_r.u16();
    const auto len = m_r.u16();
    const auto b = len ? m_r.bytes(*len) : std::nullopt;
    if (!id || !b)
        return false;
    std::vector<uint16_t> ids;
    if (!idsJusquaZero(*b, ids))
        return true; // not closed: not kept
    Repertoire d{*id, {}, {}, {}};
    for (uint16_t s : ids) {
        const Chaine *c = chaineParId(s);
        d.cheminIds += QString::number(s) + QLatin1Char('\\');
        d.cheminExpanse += (c ? c->expanse : QStringLiteral("?")) + QLatin1Char('\\');
        d.cheminTexte += (c ? c->texte : QStringLiteral("?")) + QLatin1Char('\\');
    }
    d.cheminIds.chop(1);
    d.cheminExpanse.chop(1);
    d.cheminTexte.chop(1);
    m_reps.push_back(d);
    return true;
}

bool Reconstructeur::litFichier()
{
    const auto id = m_r.u16();
    const auto idRep = m_r.u16();
    m_r.skip(2);
    const auto drapeaux = m_r.u32();
    const auto len = m_r.u16();
    const auto b = len ? m_r.bytes(*len) : std::nullopt;
    if (!id || !idRep || !drapeaux || !b)
        return false;
    Fichier f{*id, {}, texteZ(*b), {}, {}, *drapeaux};
    if (m_ls.ListeFichiersCab.isEmpty())
        f.membre = QLatin1String(SetupCE::MembreInconnu);
    else
        f.membre = SetupCE::membrePourExtension(m_ls.ListeFichiersCab, SetupCE::extensionMembre(*id));
    const qsizetype point = f.nomInstall.lastIndexOf(QLatin1Char('.'));
    const qsizetype base = point < 0 ? f.nomInstall.size() : point;
    const qsizetype ext = point < 0 ? 0 : f.nomInstall.size() - point;
    if (base > 8 || ext > 4 || f.nomInstall.contains(QLatin1Char(' ')))
        f.nomInstall = QLatin1Char('"') + f.nomInstall + QLatin1Char('"');
    if (const Repertoire *d = repParId(*idRep))
        f.texteRep = QLatin1Char('(') + d3(*idRep) + QLatin1String(") ") + d->cheminExpanse;
    f.ligneCopie = f.nomInstall + QLatin1String(",,,0x") + hex8(*drapeaux & ~BitAutoEnregistrement);
    m_ls.ListeEnrFichiers << f.ligneCopie;
    if (*drapeaux & BitAutoEnregistrement)
        m_autoEnregistres << f.nomInstall;
    m_ls.ListeFichiers << d3(*id) + QLatin1Char('\t') + f.membre + QLatin1Char('\t') + f.nomInstall;
    m_fichiers.push_back(f);
    return true;
}

bool Reconstructeur::litRuche()
{
    const auto id = m_r.u16();
    const auto racine = m_r.u16();
    m_r.skip(2);
    const auto len = m_r.u16();
    const auto b = len ? m_r.bytes(*len) : std::nullopt;
    if (!id || !racine || !b)
        return false;
    std::vector<uint16_t> ids;
    if (!idsJusquaZero(*b, ids))
        return true;
    QString chemin, refs;
    for (uint16_t s : ids) {
        const qsizetype k = indexChaine(s);
        if (k < 0)
            continue;
        chemin += m_chaines[k].texte + QLatin1Char('\\');
        refs += QString::number(k) + QLatin1Char(',');
    }
    chemin.chop(1);
    refs.chop(1);
    static const char *const Racines[] = {"HKCR", "HKCU", "HKLM", "HKU"};
    const QString nomRacine =
        *racine >= 1 && *racine <= 4 ? QLatin1String(Racines[*racine - 1]) : QStringLiteral("HK?");
    m_ruches.push_back({*id, nomRacine, chemin});
    const QString bas = chemin.toLower();
    if (bas == QLatin1String("software\\microsoft\\color")) {
        m_rucheCouleurs = *id;
        m_ls.ChainesCleCouleurs = refs;
    } else if (bas == QLatin1String("software\\microsoft\\today")) {
        m_rucheToday = *id;
        m_ls.ChainesCleToday = refs;
    } else if (bas.contains(QLatin1String(".tsk"))) {
        m_rucheTheme = *id;
        m_ls.ChainesCleTheme = refs;
        m_ls.NomCleTheme = chemin.mid(chemin.lastIndexOf(QLatin1Char('\\')) + 1);
    }
    return true;
}

bool Reconstructeur::litValeur()
{
    m_r.skip(2);
    const auto ruche = m_r.u16();
    m_r.skip(2);
    const auto drapeaux = m_r.u32();
    const auto len = m_r.u16();
    const auto b = len ? m_r.bytes(*len) : std::nullopt;
    if (!ruche || !drapeaux || !b)
        return false;
    const qsizetype nul = b->indexOf('\0');
    if (nul < 0)
        return true; // a name without its end: no value to take
    Valeur v{*ruche, *drapeaux, *drapeaux & ~2u, cp1252::decode(QByteArrayView(*b).first(nul)), {}, b->mid(nul + 1)};
    switch (v.type) {
    case TypeChaine: v.texte = texteZ(v.donnees); break;
    case TypeMulti: v.texte = entreGuillemets(textesMultiples(v.donnees)); break;
    case TypeDword: v.texte = v.donnees.size() == 4 ? hex8(le32(v.donnees)) : QString(); break;
    default: v.texte = QString::fromLatin1(v.donnees.toHex().toUpper()); break;
    }
    // A 32-bit number from a 4-byte DWORD or binary value.
    const bool nombre = (v.type == TypeDword || v.type == TypeBinaire) && v.donnees.size() == 4;
    const int32_t valeur = nombre ? int32_t(le32(v.donnees)) : 0;
    const QString ligne = v.nom + QLatin1Char('\t') + v.texte + QLatin1String("\t\t") + QString::number(v.type);
    const QString nomBas = v.nom.toLower();
    ParametresWM5 &p = m_res.parametres;
    if (m_rucheCouleurs >= 0 && v.ruche == m_rucheCouleurs) {
        m_ls.ValeursCouleurs << ligne;
        if (nomBas == QLatin1String("basehue") && nombre) {
            p.BaseHueDefini = true;
            p.ValBaseHue = valeur;
        } else if (v.nom == QLatin1String("34")) {
            if (v.type == TypeBinaire && v.donnees.size() >= 3) {
                p.Coul34Definie = true;
                p.Coul34 = TColor::fromRgb(uint8_t(v.donnees[0]), uint8_t(v.donnees[1]), uint8_t(v.donnees[2]));
            } else if (v.type == TypeDword && nombre) {
                p.Coul34Definie = true;
                p.Coul34 = TColor::fromValue(uint32_t(valeur));
            }
        }
    } else if (m_rucheToday >= 0 && v.ruche == m_rucheToday) {
        m_ls.ValeursToday << v.nom + QLatin1Char('\t') + v.texte;
        if (nomBas == QLatin1String("dpi") && nombre) {
            p.DPIDefini = true;
            p.ValDPI = valeur;
        } else if (nomBas == QLatin1String("usestartimage") && nombre) {
            p.UseStartImageDefini = true;
            p.ValUseStartImage = valeur;
        }
    } else if (m_rucheTheme >= 0 && v.ruche == m_rucheTheme) {
        m_ls.ClesTheme << ligne;
        p.ClesThemeDefinies = true;
    }
    m_valeurs.push_back(v);
    return true;
}

bool Reconstructeur::litRaccourci()
{
    m_r.skip(2);
    const auto idRep = m_r.u16();
    const auto dossierCE = m_r.u16();
    const auto idCible = m_r.u16();
    const auto typeCible = m_r.u16();
    const auto len = m_r.u16();
    const auto b = m_r.bytes(len.value_or(0));
    if (!idRep || !dossierCE || !idCible || !typeCible || !len || !b)
        return false;
    Raccourci s{*idRep, *typeCible, 1, {}, {}, {}, {}, {}};
    ByteReader ids(*b);
    QStringList morceaux;
    while (ids.remaining() >= 2)
        if (const Chaine *c = chaineParId(*ids.u16()))
            morceaux << c->expanse;
    s.chemin = morceaux.join(QLatin1Char('\\'));
    if (*idRep != 0) {
        if (const Repertoire *d = repParId(*idRep)) {
            s.baseDossier = d->cheminExpanse;
            s.baseMacro = d->cheminTexte;
            if (s.baseMacro == m_premier) {
                s.genre = 0;
                s.numeroBase = QStringLiteral("0");
            }
            for (size_t k = 0; s.genre != 0 && k < MacrosRepertoiresCE.size(); ++k) {
                if (s.baseMacro == QLatin1String(MacrosRepertoiresCE[k].macro)) {
                    s.genre = 0;
                    s.numeroBase = QString::number(k + 1);
                }
            }
        }
    } else {
        s.genre = 0;
        s.numeroBase = QString::number(*dossierCE);
        if (*dossierCE == 0) {
            s.baseMacro = m_premier;
            s.baseDossier = m_premierExpanse;
        } else {
            s.baseMacro = QStringLiteral("%CE%1%").arg(*dossierCE);
            s.baseDossier = expanserMacrosCE(s.baseMacro);
        }
    }
    if (*typeCible == 0) {
        const Repertoire *d = repParId(*idCible);
        s.cible = QLatin1Char('(') + d3(*idCible) + QLatin1String(") ") + (d ? d->cheminExpanse : QString());
    } else if (*typeCible == 1) {
        QString nom = QStringLiteral("?");
        for (const Fichier &f : m_fichiers)
            if (f.id == *idCible) {
                nom = f.nomInstall;
                break;
            }
        s.cible = QLatin1Char('(') + d3(*idCible) + QLatin1String(") ") + nom;
    } else {
        s.cible = QStringLiteral("?");
    }
    m_raccourcis.push_back(s);
    return true;
}

// [Version], [CEStrings] and [CEDevice].
void Reconstructeur::ecritVersionEtAppareil()
{
    QStringList &t = m_ls.TexteInfOrig;
    t << QStringLiteral("[Version]") << QStringLiteral("Signature = \"$Chicago$\"")
      << QStringLiteral("CESignature = \"$Windows CE$\"");
    t << (m_fournisseurDansDossier ? QStringLiteral("Provider = \"%Provider%\"")
                                   : QStringLiteral("Provider = \"") + m_fournisseur + QLatin1Char('"'));
    t << QString() << QStringLiteral("[CEStrings]");
    // Quoted as the INF builder quotes it, so that a name holding a double
    // quote or a percent sign reads back as the same name.
    t << QStringLiteral("Appname = \"") + valeurChaineInf(m_ls.NomInterneLu) + QLatin1Char('"');
    QString dossierInstall = versAppName(m_premier);
    if (!m_fournisseur.isEmpty())
        dossierInstall.replace(m_fournisseur, QLatin1String("%Provider%"));
    t << QStringLiteral("InstallDir = \"") + dossierInstall + QLatin1String("\" ; (") + m_premierExpanse
             + QLatin1Char(')');
    t << QString();

    QStringList device;
    if (m_processeur != 0)
        device << QStringLiteral("ProcessorType = ") + QString::number(m_processeur);
    if (!m_nonSupportees.isEmpty())
        device << QStringLiteral("UnsupportedPlatforms = ") + m_nonSupportees;
    const QString vMin = QStringLiteral("%1.%2").arg(m_vMinMaj).arg(m_vMinMin);
    const QString vMax = QStringLiteral("%1.%2").arg(m_vMaxMaj).arg(m_vMaxMin);
    if (vMin != QLatin1String("0.0"))
        device << QStringLiteral("VersionMin = ") + vMin;
    if (vMax != QLatin1String("0.0"))
        device << QStringLiteral("VersionMax = ") + vMax;
    if (m_buildMin != 0)
        device << QStringLiteral("BuildMin = ") + QString::number(m_buildMin);
    if (m_buildMax != 0) {
        QString commentaire;
        if (m_buildMax == 0xA0000000u)
            commentaire = QStringLiteral("Square Screen Support");
        else if (m_buildMax == 0xC0000000u)
            commentaire = QStringLiteral("Screen Rotation Support");
        else if (m_buildMax == 0xE0000000u)
            commentaire = QStringLiteral("Square Screen and Screen Rotation Support");
        device << QStringLiteral("BuildMax = ") + QString::number(int32_t(m_buildMax)) + QLatin1String("; ")
                      + commentaire;
    }
    if (!device.isEmpty())
        t << QStringLiteral("[CEDevice]") << device << QString();
}

// [SourceDisksNames], [SourceDisksFiles], [DefaultInstall] and the
// [CopierVersDirNN] sections.
void Reconstructeur::ecritFichiers()
{
    QString membreDll;
    for (const QString &m : m_ls.ListeFichiersCab)
        if (m.endsWith(QLatin1String(".999")) && m.lastIndexOf(QLatin1Char('.')) == m.size() - 4) {
            membreDll = m;
            break;
        }
    const QString nomDll =
        membreDll.isEmpty() ? QString() : membreDll.left(membreDll.size() - 4) + QLatin1String(".dll");

    QStringList &t = m_ls.TexteInfOrig;
    t << QStringLiteral("[SourceDisksNames]") << QStringLiteral("1 = ,\"Autre\",,\\") << QString()
      << QStringLiteral("[SourceDisksFiles]");
    for (const QString &l : m_ls.ListeEnrFichiers)
        t << l.left(l.indexOf(QLatin1Char(','))) + QLatin1String(" = 1");
    if (!membreDll.isEmpty())
        t << nomDll + QLatin1String(" = 1");
    t << QString() << QStringLiteral("[DefaultInstall]");
    if (!m_valeurs.empty())
        t << QStringLiteral("AddReg = ClesRegistre");
    if (!membreDll.isEmpty())
        t << QStringLiteral("CESetupDLL = ") + nomDll + QLatin1String(" ; (") + membreDll + QLatin1Char(')');
    if (!m_autoEnregistres.isEmpty())
        t << QStringLiteral("CESelfRegister = ") + m_autoEnregistres.join(QLatin1Char(','));
    QString listeRacc;
    for (size_t i = 0; i < m_raccourcis.size(); ++i) {
        if (m_raccourcis[i].genre == 0)
            m_raccourcisCourts = true;
        else
            listeRacc += QStringLiteral("Raccourci") + d2(qsizetype(i)) + QLatin1Char(',');
    }
    if (m_raccourcisCourts)
        listeRacc.prepend(QStringLiteral("RaccourcisCourts,"));
    listeRacc.chop(1);
    if (!listeRacc.isEmpty())
        t << QStringLiteral("CEShortcuts = ") + listeRacc;

    for (size_t d = 0; d < m_reps.size(); ++d)
        if (!fichiersDe(m_reps[d]).empty())
            m_repsCopie.push_back(d);
    if (m_reps.empty())
        return;
    QString liste;
    for (size_t d : m_repsCopie)
        liste += QStringLiteral("CopierVersDir") + d2(qsizetype(d)) + QLatin1Char(',');
    liste.chop(1);
    t << QStringLiteral("CopyFiles = ") + liste << QString();
    for (size_t d : m_repsCopie) {
        t << QStringLiteral("[CopierVersDir") + d2(qsizetype(d)) + QLatin1String("]  ; (") + m_reps[d].cheminTexte
                 + QLatin1String(" : ") + m_reps[d].cheminExpanse + QLatin1Char(')');
        for (const Fichier *f : fichiersDe(m_reps[d]))
            t << (f->drapeaux == 0 ? f->ligneCopie.left(f->ligneCopie.size() - 13) : f->ligneCopie);
        t << QString();
    }
}

// [DestinationDirs], with the folders of the shortcuts.
void Reconstructeur::ecritDestinations()
{
    QStringList &t = m_ls.TexteInfOrig;
    t << QStringLiteral("[DestinationDirs]");
    for (size_t d : m_repsCopie) {
        QString chemin = m_reps[d].cheminTexte;
        if (!m_premier.isEmpty())
            chemin.replace(m_premier, QLatin1String("%InstallDir%"));
        t << QStringLiteral("CopierVersDir") + d2(qsizetype(d)) + QLatin1String(" = 0, ") + chemin;
    }
    if (m_raccourcisCourts)
        t << QStringLiteral("RaccourcisCourts = 0, %InstallDir%");
    for (size_t i = 0; i < m_raccourcis.size(); ++i) {
        const Raccourci &s = m_raccourcis[i];
        if (s.genre != 1)
            continue;
        if (s.baseMacro == m_premier)
            t << QStringLiteral("Raccourci") + d2(qsizetype(i)) + QLatin1String(" = ") + natureRaccourci(s)
                     + QStringLiteral(", %InstallDir% ; R\u00e9pertoire (ID Dir ") + d3(s.idRep)
                     + QLatin1String(" (%InstallDir%)) = ") + m_premier;
        else
            t << QStringLiteral("Raccourci") + d2(qsizetype(i)) + QLatin1String(" = 0, ") + s.baseMacro
                     + QStringLiteral(" ; R\u00e9pertoire (ID Dir ") + d3(s.idRep) + QLatin1String(") = ")
                     + s.baseDossier;
    }
}

// [Strings] (the registry paths) and [ClesRegistre] (the values).
void Reconstructeur::ecritRegistre()
{
    QStringList &t = m_ls.TexteInfOrig;
    if (!m_ruches.empty() || m_fournisseurDansDossier) {
        t << QString() << QStringLiteral("[Strings]");
        for (size_t j = 0; j < m_ruches.size(); ++j)
            t << QStringLiteral("reg_path") + d2(qsizetype(j)) + QLatin1String(" = ") + valeurCleInf(m_ruches[j].chemin);
        if (m_fournisseurDansDossier)
            t << QStringLiteral("Provider = ") + m_fournisseur;
    }
    if (m_valeurs.empty())
        return;
    t << QString() << QStringLiteral("[ClesRegistre]");
    for (const Valeur &v : m_valeurs) {
        const qsizetype j = indexRuche(v.ruche);
        if (j < 0)
            continue;
        QString inf;
        if (v.type == TypeDword) {
            inf = v.donnees.size() == 4 ? QString::number(int32_t(le32(v.donnees))) : QString();
        } else if (v.type == TypeChaine || v.type == TypeMulti) {
            inf = v.texte;
            if (!inf.isEmpty())
                v.type == TypeChaine ? EchapperValeurInf(inf) : EchapperListeInf(inf);
        } else {
            QStringList paires;
            for (qsizetype k = 0; k + 1 < v.texte.size(); k += 2)
                paires << v.texte.mid(k, 2);
            inf = paires.join(QLatin1Char(','));
        }
        t << m_ruches[j].racine + QLatin1String(",%reg_path") + d2(j) + QLatin1String("%,") + v.nom
                 + QLatin1String(",0x") + hex8(v.drapeaux) + QLatin1Char(',') + inf;
    }
}

// [RaccourcisCourts] and one [RaccourciNN] section per other shortcut.
void Reconstructeur::ecritRaccourcis()
{
    QStringList &t = m_ls.TexteInfOrig;
    if (m_raccourcisCourts) {
        t << QString() << QStringLiteral("[RaccourcisCourts]");
        for (const Raccourci &s : m_raccourcis) {
            if (s.genre != 0)
                continue;
            const QString debut = nomRaccourci(s) + QLatin1String(", ") + natureRaccourci(s) + QLatin1String(", ")
                                  + versAppName(s.cible.mid(6));
            if (s.numeroBase == QLatin1String("0"))
                t << debut + QLatin1String(" ; (%InstallDir%)");
            else
                t << debut + QLatin1String(", ") + s.baseMacro + QLatin1String(" ; (") + s.baseDossier
                         + QLatin1Char(')');
        }
    }
    for (size_t i = 0; i < m_raccourcis.size(); ++i) {
        const Raccourci &s = m_raccourcis[i];
        if (s.genre != 1)
            continue;
        t << QString() << QStringLiteral("[Raccourci") + d2(qsizetype(i)) + QLatin1String("],");
        t << nomRaccourci(s) + QLatin1String(", ") + natureRaccourci(s) + QLatin1String(", ")
                 + versAppName(s.cible.mid(6)) + QStringLiteral(" ; R\u00e9pertoire (ID Dir ") + d3(s.idRep)
                 + QLatin1String(") : ") + s.baseMacro + QLatin1String(" (") + s.baseDossier + QLatin1Char(')');
    }
}

const Chaine *Reconstructeur::chaineParId(uint16_t id) const
{
    for (const Chaine &c : m_chaines)
        if (c.id == id)
            return &c;
    return nullptr;
}

qsizetype Reconstructeur::indexChaine(uint16_t id) const
{
    for (size_t i = 0; i < m_chaines.size(); ++i)
        if (m_chaines[i].id == id)
            return qsizetype(i);
    return -1;
}

const Repertoire *Reconstructeur::repParId(uint16_t id) const
{
    for (const Repertoire &d : m_reps)
        if (d.id == id)
            return &d;
    return nullptr;
}

qsizetype Reconstructeur::indexRuche(uint16_t id) const
{
    for (size_t i = 0; i < m_ruches.size(); ++i)
        if (m_ruches[i].id == id)
            return qsizetype(i);
    return -1;
}

std::vector<const Fichier *> Reconstructeur::fichiersDe(const Repertoire &d) const
{
    std::vector<const Fichier *> out;
    for (const Fichier &f : m_fichiers)
        if (f.texteRep.mid(1, 3) == d3(d.id))
            out.push_back(&f);
    return out;
}

// The application's name in a text becomes the %AppName% macro.
QString Reconstructeur::versAppName(QString t) const
{
    if (!m_ls.NomInterneLu.isEmpty())
        t.replace(m_ls.NomInterneLu, QLatin1String("%AppName%"));
    return t;
}

QString Reconstructeur::nomRaccourci(const Raccourci &s) const
{
    QString nom = s.chemin;
    if (!m_ls.NomInterneLu.isEmpty()
        && nom.compare(m_ls.NomInterneLu + QLatin1String(".lnk"), Qt::CaseInsensitive) == 0)
        nom = QStringLiteral("%Appname%");
    return versAppName(nom);
}

// 0 for a file, 1 for a folder, "?" for another target type.
QString Reconstructeur::natureRaccourci(const Raccourci &s)
{
    return s.typeCible == 1 ? QStringLiteral("0") : s.typeCible == 0 ? QStringLiteral("1") : QStringLiteral("?");
}

} // namespace

std::optional<ResultatReconstruction> ReconstruireInf(QByteArrayView bytes, const LectureSetup &lectureAvant,
                                                      const ParametresWM5 &parametresAvant)
{
    if (!SetupCE::enteteAcceptee(bytes))
        return std::nullopt;
    return Reconstructeur(bytes, lectureAvant, parametresAvant).execute();
}
