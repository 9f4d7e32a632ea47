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

} // namespace

std::optional<ResultatReconstruction> ReconstruireInf(QByteArrayView bytes, const LectureSetup &lectureAvant,
                                                      const ParametresWM5 &parametresAvant)
{
    if (!SetupCE::enteteAcceptee(bytes))
        return std::nullopt;
    ByteReader r(bytes);
    ResultatReconstruction res{lectureAvant, parametresAvant};
    LectureSetup &ls = res.lecture;
    ls.TexteInfOrig.clear();
    ls.ValeursCouleurs.clear();
    ls.ValeursToday.clear();
    ls.ClesTheme.clear();
    ls.ChainesSetup.clear();
    ls.ListeFichiers.clear();

    // Header (inside the 100 bytes the header check guarantees).
    const uint32_t processeur = *r.u32At(20);
    const int32_t vMinMaj = int32_t(*r.u32At(24)), vMinMin = int32_t(*r.u32At(28));
    const int32_t vMaxMaj = int32_t(*r.u32At(32)), vMaxMin = int32_t(*r.u32At(36));
    const int32_t buildMin = int32_t(*r.u32At(40));
    const uint32_t buildMax = *r.u32At(44);
    std::array<uint16_t, 6> nb{};
    std::array<uint32_t, 6> off{};
    for (int i = 0; i < 6; ++i) {
        nb[i] = *r.u16At(48 + 2 * i);
        off[i] = *r.u32At(60 + 4 * i);
    }
    enum { TStrings, TDirs, TFiles, THives, TKeys, TLinks };

    auto texteEntete = [&](qsizetype offPos, bool *ok) -> std::optional<QByteArray> {
        const uint16_t o = *r.u16At(offPos), l = *r.u16At(offPos + 2);
        if (l == 0)
            return QByteArray();
        auto b = r.bytesAt(o, l);
        if (!b)
            *ok = false;
        return b;
    };
    bool ok = true;
    const auto nomAppli = texteEntete(84, &ok);
    const auto fournisseurB = texteEntete(88, &ok);
    const auto plateformes = texteEntete(92, &ok);
    if (!ok)
        return std::nullopt;
    ls.NomInterneLu = texteZ(*nomAppli);
    const QString fournisseur = texteZ(*fournisseurB);
    const QString nonSupportees = entreGuillemets(textesMultiples(*plateformes));

    // Runs lire once per record of a table; false when the table leaves the file.
    auto table = [&](int t, auto &&lire) {
        if (nb[t] == 0)
            return true;
        if (!r.seek(qsizetype(off[t])))
            return false;
        for (int i = 0; i < nb[t]; ++i)
            if (!lire())
                return false;
        return true;
    };

    std::vector<Chaine> chaines;
    auto chaineParId = [&](uint16_t id) -> const Chaine * {
        for (const Chaine &c : chaines)
            if (c.id == id)
                return &c;
        return nullptr;
    };
    auto indexChaine = [&](uint16_t id) -> qsizetype {
        for (size_t i = 0; i < chaines.size(); ++i)
            if (chaines[i].id == id)
                return qsizetype(i);
        return -1;
    };
    if (!table(TStrings, [&] {
            const auto id = r.u16();
            const auto len = r.u16();
            const auto b = len ? r.bytes(*len) : std::nullopt;
            if (!id || !b)
                return false;
            QByteArrayView v(*b);
            const qsizetype nul = v.indexOf('\0');
            v = v.first(std::min<qsizetype>(nul < 0 ? v.size() : nul, ReconstructionCE::LongueurChaineMax - 1));
            const QString t = cp1252::decode(v);
            chaines.push_back({*id, t, expanserMacrosCE(t)});
            ls.ChainesSetup << t;
            return true;
        }))
        return std::nullopt;
    const QString premier = chaines.empty() ? QString() : chaines.front().texte;
    const QString premierExpanse = chaines.empty() ? QString() : chaines.front().expanse;
    const bool fournisseurDansDossier = !fournisseur.isEmpty() && premier.contains(fournisseur);

    std::vector<Repertoire> reps;
    auto repParId = [&](uint16_t id) -> const Repertoire * {
        for (const Repertoire &d : reps)
            if (d.id == id)
                return &d;
        return nullptr;
    };
    if (!table(TDirs, [&] {
            const auto id = r.u16();
            const auto len = r.u16();
            const auto b = len ? r.bytes(*len) : std::nullopt;
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
            reps.push_back(d);
            return true;
        }))
        return std::nullopt;

    std::vector<Fichier> fichiers;
    QStringList autoEnregistres;
    if (!table(TFiles, [&] {
            const auto id = r.u16();
            const auto idRep = r.u16();
            r.skip(2);
            const auto drapeaux = r.u32();
            const auto len = r.u16();
            const auto b = len ? r.bytes(*len) : std::nullopt;
            if (!id || !idRep || !drapeaux || !b)
                return false;
            Fichier f{*id, {}, texteZ(*b), {}, {}, *drapeaux};
            if (ls.ListeFichiersCab.isEmpty())
                f.membre = QLatin1String(SetupCE::MembreInconnu);
            else
                f.membre = SetupCE::membrePourExtension(ls.ListeFichiersCab, SetupCE::extensionMembre(*id));
            const qsizetype point = f.nomInstall.lastIndexOf(QLatin1Char('.'));
            const qsizetype base = point < 0 ? f.nomInstall.size() : point;
            const qsizetype ext = point < 0 ? 0 : f.nomInstall.size() - point;
            if (base > 8 || ext > 4 || f.nomInstall.contains(QLatin1Char(' ')))
                f.nomInstall = QLatin1Char('"') + f.nomInstall + QLatin1Char('"');
            if (const Repertoire *d = repParId(*idRep))
                f.texteRep = QLatin1Char('(') + d3(*idRep) + QLatin1String(") ") + d->cheminExpanse;
            f.ligneCopie = f.nomInstall + QLatin1String(",,,0x") + hex8(*drapeaux & ~BitAutoEnregistrement);
            ls.ListeEnrFichiers << f.ligneCopie;
            if (*drapeaux & BitAutoEnregistrement)
                autoEnregistres << f.nomInstall;
            ls.ListeFichiers << d3(*id) + QLatin1Char('\t') + f.membre + QLatin1Char('\t') + f.nomInstall;
            fichiers.push_back(f);
            return true;
        }))
        return std::nullopt;

    std::vector<Ruche> ruches;
    int rucheCouleurs = -1, rucheToday = -1, rucheTheme = -1; // hive ids
    auto indexRuche = [&](uint16_t id) -> qsizetype {
        for (size_t i = 0; i < ruches.size(); ++i)
            if (ruches[i].id == id)
                return qsizetype(i);
        return -1;
    };
    if (!table(THives, [&] {
            const auto id = r.u16();
            const auto racine = r.u16();
            r.skip(2);
            const auto len = r.u16();
            const auto b = len ? r.bytes(*len) : std::nullopt;
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
                chemin += chaines[k].texte + QLatin1Char('\\');
                refs += QString::number(k) + QLatin1Char(',');
            }
            chemin.chop(1);
            refs.chop(1);
            static const char *const Racines[] = {"HKCR", "HKCU", "HKLM", "HKU"};
            const QString nomRacine =
                *racine >= 1 && *racine <= 4 ? QLatin1String(Racines[*racine - 1]) : QStringLiteral("HK?");
            ruches.push_back({*id, nomRacine, chemin});
            const QString bas = chemin.toLower();
            if (bas == QLatin1String("software\\microsoft\\color")) {
                rucheCouleurs = *id;
                ls.ChainesCleCouleurs = refs;
            } else if (bas == QLatin1String("software\\microsoft\\today")) {
                rucheToday = *id;
                ls.ChainesCleToday = refs;
            } else if (bas.contains(QLatin1String(".tsk"))) {
                rucheTheme = *id;
                ls.ChainesCleTheme = refs;
                ls.NomCleTheme = chemin.mid(chemin.lastIndexOf(QLatin1Char('\\')) + 1);
            }
            return true;
        }))
        return std::nullopt;

    ParametresWM5 &p = res.parametres;
    p.BaseHueDefini = p.DPIDefini = p.UseStartImageDefini = p.Coul34Definie = p.ClesThemeDefinies = false;

    std::vector<Valeur> valeurs;
    if (!table(TKeys, [&] {
            r.skip(2);
            const auto ruche = r.u16();
            r.skip(2);
            const auto drapeaux = r.u32();
            const auto len = r.u16();
            const auto b = len ? r.bytes(*len) : std::nullopt;
            if (!ruche || !drapeaux || !b)
                return false;
            const qsizetype nul = b->indexOf('\0');
            if (nul < 0)
                return true; // a name without its end: no value to take
            Valeur v{*ruche, *drapeaux, *drapeaux & ~2u, cp1252::decode(QByteArrayView(*b).first(nul)), {},
                     b->mid(nul + 1)};
            switch (v.type) {
            case TypeChaine: v.texte = texteZ(v.donnees); break;
            case TypeMulti: v.texte = entreGuillemets(textesMultiples(v.donnees)); break;
            case TypeDword: v.texte = v.donnees.size() == 4 ? hex8(le32(v.donnees)) : QString(); break;
            default: v.texte = QString::fromLatin1(v.donnees.toHex().toUpper()); break;
            }
            // A 32-bit number from a 4-byte DWORD or binary value.
            const bool nombre = (v.type == TypeDword || v.type == TypeBinaire) && v.donnees.size() == 4;
            const int32_t valeur = nombre ? int32_t(le32(v.donnees)) : 0;
            const QString ligne =
                v.nom + QLatin1Char('\t') + v.texte + QLatin1String("\t\t") + QString::number(v.type);
            const QString nomBas = v.nom.toLower();
            if (rucheCouleurs >= 0 && v.ruche == rucheCouleurs) {
                ls.ValeursCouleurs << ligne;
                if (nomBas == QLatin1String("basehue") && nombre) {
                    p.BaseHueDefini = true;
                    p.ValBaseHue = valeur;
                } else if (v.nom == QLatin1String("34")) {
                    if (v.type == TypeBinaire && v.donnees.size() >= 3) {
                        p.Coul34Definie = true;
                        p.Coul34 = TColor::fromRgb(uint8_t(v.donnees[0]), uint8_t(v.donnees[1]),
                                                   uint8_t(v.donnees[2]));
                    } else if (v.type == TypeDword && nombre) {
                        p.Coul34Definie = true;
                        p.Coul34 = TColor::fromValue(uint32_t(valeur));
                    }
                }
            } else if (rucheToday >= 0 && v.ruche == rucheToday) {
                ls.ValeursToday << v.nom + QLatin1Char('\t') + v.texte;
                if (nomBas == QLatin1String("dpi") && nombre) {
                    p.DPIDefini = true;
                    p.ValDPI = valeur;
                } else if (nomBas == QLatin1String("usestartimage") && nombre) {
                    p.UseStartImageDefini = true;
                    p.ValUseStartImage = valeur;
                }
            } else if (rucheTheme >= 0 && v.ruche == rucheTheme) {
                ls.ClesTheme << ligne;
                p.ClesThemeDefinies = true;
            }
            valeurs.push_back(v);
            return true;
        }))
        return std::nullopt;

    std::vector<Raccourci> raccourcis;
    if (!table(TLinks, [&] {
            r.skip(2);
            const auto idRep = r.u16();
            const auto dossierCE = r.u16();
            const auto idCible = r.u16();
            const auto typeCible = r.u16();
            const auto len = r.u16();
            const auto b = r.bytes(len.value_or(0));
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
                    if (s.baseMacro == premier) {
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
                    s.baseMacro = premier;
                    s.baseDossier = premierExpanse;
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
                for (const Fichier &f : fichiers)
                    if (f.id == *idCible) {
                        nom = f.nomInstall;
                        break;
                    }
                s.cible = QLatin1Char('(') + d3(*idCible) + QLatin1String(") ") + nom;
            } else {
                s.cible = QStringLiteral("?");
            }
            raccourcis.push_back(s);
            return true;
        }))
        return std::nullopt;

    QString membreDll;
    for (const QString &m : ls.ListeFichiersCab)
        if (m.endsWith(QLatin1String(".999")) && m.lastIndexOf(QLatin1Char('.')) == m.size() - 4) {
            membreDll = m;
            break;
        }
    const QString nomDll = membreDll.isEmpty() ? QString() : membreDll.left(membreDll.size() - 4) + QLatin1String(".dll");

    // Writing.
    const QString &appli = ls.NomInterneLu;
    auto versAppName = [&](QString t) {
        if (!appli.isEmpty())
            t.replace(appli, QLatin1String("%AppName%"));
        return t;
    };
    QStringList &t = ls.TexteInfOrig;
    t << QStringLiteral("[Version]") << QStringLiteral("Signature = \"$Chicago$\"")
      << QStringLiteral("CESignature = \"$Windows CE$\"");
    t << (fournisseurDansDossier ? QStringLiteral("Provider = \"%Provider%\"")
                                 : QStringLiteral("Provider = \"") + fournisseur + QLatin1Char('"'));
    t << QString() << QStringLiteral("[CEStrings]");
    // Quoted as the INF builder quotes it, so that a name holding a double
    // quote or a percent sign reads back as the same name.
    t << QStringLiteral("Appname = \"") + valeurChaineInf(appli) + QLatin1Char('"');
    QString dossierInstall = versAppName(premier);
    if (!fournisseur.isEmpty())
        dossierInstall.replace(fournisseur, QLatin1String("%Provider%"));
    t << QStringLiteral("InstallDir = \"") + dossierInstall + QLatin1String("\" ; (") + premierExpanse + QLatin1Char(')');
    t << QString();

    QStringList device;
    if (processeur != 0)
        device << QStringLiteral("ProcessorType = ") + QString::number(processeur);
    if (!nonSupportees.isEmpty())
        device << QStringLiteral("UnsupportedPlatforms = ") + nonSupportees;
    const QString vMin = QStringLiteral("%1.%2").arg(vMinMaj).arg(vMinMin);
    const QString vMax = QStringLiteral("%1.%2").arg(vMaxMaj).arg(vMaxMin);
    if (vMin != QLatin1String("0.0"))
        device << QStringLiteral("VersionMin = ") + vMin;
    if (vMax != QLatin1String("0.0"))
        device << QStringLiteral("VersionMax = ") + vMax;
    if (buildMin != 0)
        device << QStringLiteral("BuildMin = ") + QString::number(buildMin);
    if (buildMax != 0) {
        QString commentaire;
        if (buildMax == 0xA0000000u)
            commentaire = QStringLiteral("Square Screen Support");
        else if (buildMax == 0xC0000000u)
            commentaire = QStringLiteral("Screen Rotation Support");
        else if (buildMax == 0xE0000000u)
            commentaire = QStringLiteral("Square Screen and Screen Rotation Support");
        device << QStringLiteral("BuildMax = ") + QString::number(int32_t(buildMax)) + QLatin1String("; ") + commentaire;
    }
    if (!device.isEmpty())
        t << QStringLiteral("[CEDevice]") << device << QString();

    t << QStringLiteral("[SourceDisksNames]") << QStringLiteral("1 = ,\"Autre\",,\\") << QString()
      << QStringLiteral("[SourceDisksFiles]");
    for (const QString &l : ls.ListeEnrFichiers)
        t << l.left(l.indexOf(QLatin1Char(','))) + QLatin1String(" = 1");
    if (!membreDll.isEmpty())
        t << nomDll + QLatin1String(" = 1");
    t << QString() << QStringLiteral("[DefaultInstall]");
    if (!valeurs.empty())
        t << QStringLiteral("AddReg = ClesRegistre");
    if (!membreDll.isEmpty())
        t << QStringLiteral("CESetupDLL = ") + nomDll + QLatin1String(" ; (") + membreDll + QLatin1Char(')');
    if (!autoEnregistres.isEmpty())
        t << QStringLiteral("CESelfRegister = ") + autoEnregistres.join(QLatin1Char(','));
    bool genre0 = false;
    QString listeRacc;
    for (size_t i = 0; i < raccourcis.size(); ++i) {
        if (raccourcis[i].genre == 0)
            genre0 = true;
        else
            listeRacc += QStringLiteral("Raccourci") + d2(qsizetype(i)) + QLatin1Char(',');
    }
    if (genre0)
        listeRacc.prepend(QStringLiteral("RaccourcisCourts,"));
    listeRacc.chop(1);
    if (!listeRacc.isEmpty())
        t << QStringLiteral("CEShortcuts = ") + listeRacc;

    auto fichiersDe = [&](const Repertoire &d) {
        std::vector<const Fichier *> out;
        for (const Fichier &f : fichiers)
            if (f.texteRep.mid(1, 3) == d3(d.id))
                out.push_back(&f);
        return out;
    };
    std::vector<size_t> repsCopie;
    for (size_t d = 0; d < reps.size(); ++d)
        if (!fichiersDe(reps[d]).empty())
            repsCopie.push_back(d);
    if (!reps.empty()) {
        QString liste;
        for (size_t d : repsCopie)
            liste += QStringLiteral("CopierVersDir") + d2(qsizetype(d)) + QLatin1Char(',');
        liste.chop(1);
        t << QStringLiteral("CopyFiles = ") + liste << QString();
        for (size_t d : repsCopie) {
            t << QStringLiteral("[CopierVersDir") + d2(qsizetype(d)) + QLatin1String("]  ; (") + reps[d].cheminTexte
                     + QLatin1String(" : ") + reps[d].cheminExpanse + QLatin1Char(')');
            for (const Fichier *f : fichiersDe(reps[d]))
                t << (f->drapeaux == 0 ? f->ligneCopie.left(f->ligneCopie.size() - 13) : f->ligneCopie);
            t << QString();
        }
    }
    t << QStringLiteral("[DestinationDirs]");
    for (size_t d : repsCopie) {
        QString chemin = reps[d].cheminTexte;
        if (!premier.isEmpty())
            chemin.replace(premier, QLatin1String("%InstallDir%"));
        t << QStringLiteral("CopierVersDir") + d2(qsizetype(d)) + QLatin1String(" = 0, ") + chemin;
    }
    if (genre0)
        t << QStringLiteral("RaccourcisCourts = 0, %InstallDir%");
    for (size_t i = 0; i < raccourcis.size(); ++i) {
        const Raccourci &s = raccourcis[i];
        if (s.genre != 1)
            continue;
        const QString n = s.typeCible == 1 ? QStringLiteral("0") : s.typeCible == 0 ? QStringLiteral("1") : QStringLiteral("?");
        if (s.baseMacro == premier)
            t << QStringLiteral("Raccourci") + d2(qsizetype(i)) + QLatin1String(" = ") + n
                     + QStringLiteral(", %InstallDir% ; R\u00e9pertoire (ID Dir ") + d3(s.idRep)
                     + QLatin1String(" (%InstallDir%)) = ") + premier;
        else
            t << QStringLiteral("Raccourci") + d2(qsizetype(i)) + QLatin1String(" = 0, ") + s.baseMacro
                     + QStringLiteral(" ; R\u00e9pertoire (ID Dir ") + d3(s.idRep) + QLatin1String(") = ")
                     + s.baseDossier;
    }
    if (!ruches.empty() || fournisseurDansDossier) {
        t << QString() << QStringLiteral("[Strings]");
        for (size_t j = 0; j < ruches.size(); ++j)
            t << QStringLiteral("reg_path") + d2(qsizetype(j)) + QLatin1String(" = ") + ruches[j].chemin;
        if (fournisseurDansDossier)
            t << QStringLiteral("Provider = ") + fournisseur;
    }
    if (!valeurs.empty()) {
        t << QString() << QStringLiteral("[ClesRegistre]");
        for (const Valeur &v : valeurs) {
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
            t << ruches[j].racine + QLatin1String(",%reg_path") + d2(j) + QLatin1String("%,") + v.nom
                     + QLatin1String(",0x") + hex8(v.drapeaux) + QLatin1Char(',') + inf;
        }
    }
    auto nomRacc = [&](const Raccourci &s) {
        QString nom = s.chemin;
        if (!appli.isEmpty() && nom.compare(appli + QLatin1String(".lnk"), Qt::CaseInsensitive) == 0)
            nom = QStringLiteral("%Appname%");
        return versAppName(nom);
    };
    auto nRacc = [](const Raccourci &s) {
        return s.typeCible == 1 ? QStringLiteral("0") : s.typeCible == 0 ? QStringLiteral("1") : QStringLiteral("?");
    };
    if (genre0) {
        t << QString() << QStringLiteral("[RaccourcisCourts]");
        for (const Raccourci &s : raccourcis) {
            if (s.genre != 0)
                continue;
            const QString debut = nomRacc(s) + QLatin1String(", ") + nRacc(s) + QLatin1String(", ") + versAppName(s.cible.mid(6));
            if (s.numeroBase == QLatin1String("0"))
                t << debut + QLatin1String(" ; (%InstallDir%)");
            else
                t << debut + QLatin1String(", ") + s.baseMacro + QLatin1String(" ; (") + s.baseDossier + QLatin1Char(')');
        }
    }
    for (size_t i = 0; i < raccourcis.size(); ++i) {
        const Raccourci &s = raccourcis[i];
        if (s.genre != 1)
            continue;
        t << QString() << QStringLiteral("[Raccourci") + d2(qsizetype(i)) + QLatin1String("],");
        t << nomRacc(s) + QLatin1String(", ") + nRacc(s) + QLatin1String(", ") + versAppName(s.cible.mid(6))
                 + QStringLiteral(" ; R\u00e9pertoire (ID Dir ") + d3(s.idRep) + QLatin1String(") : ") + s.baseMacro
                 + QLatin1String(" (") + s.baseDossier + QLatin1Char(')');
    }
    return res;
}
