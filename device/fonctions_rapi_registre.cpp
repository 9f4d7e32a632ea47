#include "device/fonctions_rapi_registre.h"

#include "device/etat_pda.h"
#include "device/texte_ce.h"
#include "resources/strings.h"

#include <vector>

namespace {

const QString kCleToday = QStringLiteral("Software\\Microsoft\\Today");
const QString kCleCouleurs = QStringLiteral("SOFTWARE\\Microsoft\\Color");
const QString kCleGwe = QStringLiteral("SYSTEM\\GWE");
const QString kCleRotation = QStringLiteral("System\\GDI\\ROTATION");
const QString kCleAppInstall = QStringLiteral("Security\\AppInstall\\");
const QString kClePolitiques = QStringLiteral("Security\\Policies\\Policies");

// Registry names are at most this long; the buffers of an enumeration are
// bounded by it whatever the device announces.
constexpr DWORD kLongueurMaxNomCE = 16383;
// Enumerations stop here even if the device keeps answering.
constexpr DWORD kMaxEntreesCE = 100000;
// The second query of a value meets a larger size when the device changed
// it in between: asked again a few times, then given up.
constexpr int kEssaisLecture = 3;

// One opened device key, always closed.
class CleCE
{
public:
    CleCE(LienRapi &rapi, CEHKEY racine, const QString &chemin) : m_rapi(rapi)
    {
        m_ouverte = texteCEValide(chemin) && rapi.CeRegOpenKeyEx(racine, versCE(chemin), 0, 0, &m_h) == 0;
    }
    ~CleCE()
    {
        if (m_ouverte)
            m_rapi.CeRegCloseKey(m_h);
    }
    CleCE(const CleCE &) = delete;
    CleCE &operator=(const CleCE &) = delete;
    bool ouverte() const { return m_ouverte; }
    CEHKEY h() const { return m_h; }

private:
    LienRapi &m_rapi;
    CEHKEY m_h = 0;
    bool m_ouverte = false;
};

struct Valeur
{
    ValeurCouleurCE::Etat etat = ValeurCouleurCE::Absente;
    DWORD type = 0;
    QByteArray octets;
};

Valeur litValeur(LienRapi &rapi, const CleCE &cle, const QString &nom)
{
    Valeur v;
    if (!cle.ouverte())
        return v;
    for (int essai = 0; essai < kEssaisLecture; ++essai) {
        DWORD type = 0, taille = 0;
        const LONG r = rapi.CeRegQueryValueEx(cle.h(), versCE(nom), nullptr, &type, nullptr, &taille);
        if (r != 0) {
            v.etat = r == OVD_ERROR_FILE_NOT_FOUND ? ValeurCouleurCE::Absente : ValeurCouleurCE::Illisible;
            return v;
        }
        if (taille > kTailleMaxValeurCE) {
            v.etat = ValeurCouleurCE::Illisible;
            return v;
        }
        QByteArray octets(int(taille), '\0');
        DWORD lu = taille;
        const LONG r2 = rapi.CeRegQueryValueEx(cle.h(), versCE(nom), nullptr, &type,
                                               reinterpret_cast<BYTE *>(octets.data()), &lu);
        if (r2 == OVD_ERROR_MORE_DATA)
            continue;
        if (r2 != 0 || lu > taille) {
            v.etat = ValeurCouleurCE::Illisible;
            return v;
        }
        octets.truncate(int(lu));
        v = {ValeurCouleurCE::Lue, type, octets};
        return v;
    }
    v.etat = ValeurCouleurCE::Illisible;
    return v;
}

uint32_t entierLE(const QByteArray &o, int debut = 0)
{
    uint32_t v = 0;
    for (int i = 0; i < 4 && debut + i < o.size(); ++i)
        v |= uint32_t(uint8_t(o.at(debut + i))) << (8 * i);
    return v;
}

std::optional<uint32_t> litDword(LienRapi &rapi, const CleCE &cle, const QString &nom)
{
    const Valeur v = litValeur(rapi, cle, nom);
    if (v.etat != ValeurCouleurCE::Lue || v.type != OVD_REG_DWORD || v.octets.size() != 4)
        return std::nullopt;
    return entierLE(v.octets);
}

bool ecritOctets(LienRapi &rapi, const CleCE &cle, const QString &nom, DWORD type, const QByteArray &o)
{
    return cle.ouverte()
           && rapi.CeRegSetValueEx(cle.h(), versCE(nom), 0, type, reinterpret_cast<const BYTE *>(o.constData()),
                                   DWORD(o.size()))
                  == 0;
}

QByteArray octetsLE(uint32_t v)
{
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    return QByteArray(b, 4);
}

bool ecritDword(LienRapi &rapi, const CleCE &cle, const QString &nom, uint32_t v)
{
    return ecritOctets(rapi, cle, nom, OVD_REG_DWORD, octetsLE(v));
}

// Deleting a value that is already absent is no failure.
bool supprimeValeur(LienRapi &rapi, const CleCE &cle, const QString &nom)
{
    if (!cle.ouverte())
        return false;
    const LONG r = rapi.CeRegDeleteValue(cle.h(), versCE(nom));
    return r == 0 || r == OVD_ERROR_FILE_NOT_FOUND;
}

bool ecritDpi(LienRapi &rapi, int dpi)
{
    const CleCE today(rapi, OVD_HKEY_CURRENT_USER, kCleToday);
    return dpi != -1 ? ecritDword(rapi, today, QStringLiteral("DPI"), uint32_t(dpi))
                     : supprimeValeur(rapi, today, QStringLiteral("DPI"));
}

// Puts back a DWORD setting saved by LitCouleursCE. When the caller gives
// back the number it read (-1 for absent or not a DWORD), the value goes
// back exactly as it was stored (or is deleted again if it was absent);
// a value the device would not give is left alone. Any other number is
// written (deleted when -1).
bool restaureDword(LienRapi &rapi, const CleCE &cle, const QString &nom, const ValeurCouleurCE &sauve, int demande)
{
    const bool dword = sauve.etat == ValeurCouleurCE::Lue && sauve.type == OVD_REG_DWORD && sauve.octets.size() == 4;
    const int lu = dword ? int(entierLE(sauve.octets)) : -1;
    if (demande == lu) {
        switch (sauve.etat) {
        case ValeurCouleurCE::Lue: return ecritOctets(rapi, cle, nom, sauve.type, sauve.octets);
        case ValeurCouleurCE::Absente: return supprimeValeur(rapi, cle, nom);
        case ValeurCouleurCE::Illisible: return true;
        }
    }
    return demande != -1 ? ecritDword(rapi, cle, nom, uint32_t(demande)) : supprimeValeur(rapi, cle, nom);
}

template<size_t N>
bool litTable(LienRapi &rapi, const QString &chemin, const QString &nom, std::array<std::optional<uint32_t>, N> &table)
{
    const CleCE cle(rapi, OVD_HKEY_LOCAL_MACHINE, chemin);
    const Valeur v = litValeur(rapi, cle, nom);
    if (v.etat != ValeurCouleurCE::Lue || v.type != OVD_REG_BINARY)
        return false;
    // Only the whole entries the value holds: never a byte past its end.
    for (size_t k = 0; k < N; ++k) {
        const qsizetype debut = qsizetype(k) * 4;
        table[k] = debut + 4 <= v.octets.size() ? std::optional<uint32_t>(entierLE(v.octets, int(debut)))
                                               : std::nullopt;
    }
    return true;
}

// A name that stands for one key under its parent.
bool nomCleSimple(const QString &nom)
{
    return texteCEValide(nom) && !nom.contains(QLatin1Char('\\'));
}

// A theme key of the Today key: one key (never the Today key itself) whose
// extension is ".tsk" in any case, ".tsk" alone included. The list shows
// exactly the keys the erase accepts.
bool estCleTheme(const QString &nom)
{
    return nomCleSimple(nom) && nom.endsWith(QLatin1String(".tsk"), Qt::CaseInsensitive);
}

QString hexa(uint32_t v, int chiffres)
{
    return QStringLiteral("%1").arg(v, chiffres, 16, QLatin1Char('0')).toUpper();
}

} // namespace

uint32_t ValeurCouleurCE::valeur() const
{
    return entierLE(octets);
}

QString CouleurEnTexte(uint32_t valeur)
{
    return CouleurVersTexte(TColor::fromValue(valeur & 0xFFFFFFu));
}

std::optional<QByteArray> LitValeurCE(LienRapi &rapi, CEHKEY racine, const QString &cle, const QString &nom,
                                      DWORD type)
{
    const CleCE k(rapi, racine, cle);
    const Valeur v = litValeur(rapi, k, nom);
    if (v.etat != ValeurCouleurCE::Lue || v.type != type)
        return std::nullopt;
    return v.octets;
}

QString TexteValeurCE(const QByteArray &octets, int debut)
{
    // Bounded by the value's size: an odd byte is dropped, the text ends at
    // the first NUL whether or not the device stored one.
    if (debut < 0 || debut >= octets.size())
        return QString();
    std::vector<WCHAR> unites(size_t((octets.size() - debut) / 2));
    for (size_t i = 0; i < unites.size(); ++i)
        unites[i] = WCHAR(uint8_t(octets.at(debut + int(2 * i))) | uint8_t(octets.at(debut + int(2 * i + 1))) << 8);
    return depuisCE(unites.data(), unites.size());
}

std::optional<QString> LitChaineCE(LienRapi &rapi, CEHKEY racine, const QString &cle, const QString &nom)
{
    const auto o = LitValeurCE(rapi, racine, cle, nom, OVD_REG_SZ);
    if (!o)
        return std::nullopt;
    return TexteValeurCE(*o);
}

std::optional<uint32_t> LitDwordCE(LienRapi &rapi, CEHKEY racine, const QString &cle, const QString &nom)
{
    const auto o = LitValeurCE(rapi, racine, cle, nom, OVD_REG_DWORD);
    if (!o || o->size() != 4)
        return std::nullopt;
    return entierLE(*o);
}

QString LitSkinToday(LienRapi &rapi)
{
    return LitChaineCE(rapi, OVD_HKEY_CURRENT_USER, kCleToday, QStringLiteral("Skin")).value_or(QString());
}

bool LitUseStartImage(LienRapi &rapi, int &valeur)
{
    valeur = -1;
    const CleCE today(rapi, OVD_HKEY_CURRENT_USER, kCleToday);
    const auto v = litDword(rapi, today, QStringLiteral("UseStartImage"));
    if (v)
        valeur = int(*v);
    return v.has_value();
}

bool LitRotationCE(LienRapi &rapi, int &angle)
{
    const CleCE rotation(rapi, OVD_HKEY_LOCAL_MACHINE, kCleRotation);
    const auto v = litDword(rapi, rotation, QStringLiteral("ANGLE"));
    if (v)
        angle = int(*v);
    return v.has_value();
}

bool LitSHColor(LienRapi &rapi, TableSHColor &table, bool courant)
{
    return litTable(rapi, kCleCouleurs, courant ? QStringLiteral("SHColor") : QStringLiteral("DefSHColor"), table);
}

bool LitSysColor(LienRapi &rapi, TableSysColor &table, bool courant)
{
    return litTable(rapi, kCleGwe, courant ? QStringLiteral("SysColor") : QStringLiteral("DefSysColor"), table);
}

std::optional<QStringList> LitSHColorTexte(LienRapi &rapi)
{
    TableSHColor table;
    if (!LitSHColor(rapi, table, true))
        return std::nullopt;
    QStringList textes;
    for (const auto &e : table)
        textes << (e ? CouleurEnTexte(*e) : QString());
    return textes;
}

TableCouleursAppareil TableCouleursDe(EtatPDA &etat)
{
    return [&etat]() -> std::optional<QStringList> {
        if (!etat.RapiPresent || !etat.PDAConnecte)
            return std::nullopt;
        return LitSHColorTexte(etat.Rapi);
    };
}

bool ListeClesTsk(LienRapi &rapi, QStringList &liste)
{
    liste.clear();
    const CleCE today(rapi, OVD_HKEY_CURRENT_USER, kCleToday);
    if (!today.ouverte())
        return false;
    DWORD nb = 0, longueurMax = 0;
    if (rapi.CeRegQueryInfoKey(today.h(), nullptr, nullptr, nullptr, &nb, &longueurMax, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr)
        != 0)
        return false;
    std::vector<WCHAR> tampon(size_t(qMin(longueurMax, kLongueurMaxNomCE)) + 1);
    for (DWORD i = 0; i < qMin(nb, kMaxEntreesCE); ++i) {
        DWORD cch = DWORD(tampon.size());
        tampon.assign(tampon.size(), 0);
        const LONG r = rapi.CeRegEnumKeyEx(today.h(), i, tampon.data(), &cch, nullptr, nullptr, nullptr, nullptr);
        if (r == OVD_ERROR_MORE_DATA) // longer than announced: not a name we can hold
            continue;
        if (r != 0)
            break;
        const QString nom = depuisCE(tampon.data(), tampon.size());
        if (estCleTheme(nom))
            liste << nom;
    }
    return true;
}

QString ListeValeursCleToday(LienRapi &rapi, const QString &cle, const QString &entete)
{
    if (!nomCleSimple(cle))
        return QString();
    const CleCE theme(rapi, OVD_HKEY_CURRENT_USER, kCleToday + QLatin1Char('\\') + cle);
    if (!theme.ouverte())
        return QString();
    QStringList noms;
    std::vector<WCHAR> tampon(size_t(kLongueurMaxNomCE) + 1);
    for (DWORD i = 0; i < kMaxEntreesCE; ++i) {
        DWORD cch = DWORD(tampon.size());
        tampon.assign(tampon.size(), 0);
        const LONG r = rapi.CeRegEnumValue(theme.h(), i, tampon.data(), &cch, nullptr, nullptr, nullptr, nullptr);
        if (r == OVD_ERROR_MORE_DATA)
            continue;
        if (r != 0)
            break;
        noms << depuisCE(tampon.data(), tampon.size());
    }
    if (noms.isEmpty())
        return QString();
    return entete + cle + QLatin1String("\r\n\r\n") + noms.join(QLatin1String("\r\n"));
}

int LitRoleAppInstall(LienRapi &rapi, const QString &application)
{
    if (!nomCleSimple(application))
        return -1;
    const CleCE cle(rapi, OVD_HKEY_LOCAL_MACHINE, kCleAppInstall + application);
    return int(litDword(rapi, cle, QStringLiteral("Role")).value_or(uint32_t(-1)));
}

int LitPolitique1001(LienRapi &rapi)
{
    const CleCE cle(rapi, OVD_HKEY_LOCAL_MACHINE, kClePolitiques);
    return int(litDword(rapi, cle, QStringLiteral("00001001")).value_or(uint32_t(-1)));
}

bool EcritRoleAppInstall(LienRapi &rapi, const QString &application, int role)
{
    if (!nomCleSimple(application))
        return false;
    const CleCE cle(rapi, OVD_HKEY_LOCAL_MACHINE, kCleAppInstall + application);
    return ecritDword(rapi, cle, QStringLiteral("Role"), uint32_t(role));
}

bool SupprimeCleToday(LienRapi &rapi, const QString &cle)
{
    // The name may come from the device: an empty one would name the Today
    // key itself, and only theme keys are ever deleted.
    if (!estCleTheme(cle))
        return false;
    const CleCE today(rapi, OVD_HKEY_CURRENT_USER, kCleToday);
    return today.ouverte() && rapi.CeRegDeleteKey(today.h(), versCE(cle)) == 0;
}

bool MiniaturesTskInstallees(QString &chemin)
{
    chemin.clear();
    return false;
}

bool LitCouleursCE(LienRapi &rapi, EtatCouleursCE &etat, int &baseHue, int &dpi, int &useStartImage,
                   QString *rapport)
{
    baseHue = -1;
    dpi = -1;
    etat = EtatCouleursCE{};
    bool resultat = false;
    {
        const CleCE today(rapi, OVD_HKEY_CURRENT_USER, kCleToday);
        const Valeur v = litValeur(rapi, today, QStringLiteral("DPI"));
        etat.dpi = {v.etat, v.type, v.octets};
        if (v.etat == ValeurCouleurCE::Lue && v.type == OVD_REG_DWORD && v.octets.size() == 4)
            dpi = int(entierLE(v.octets));
    }
    {
        const CleCE couleurs(rapi, OVD_HKEY_LOCAL_MACHINE, kCleCouleurs);
        if (couleurs.ouverte()) {
            const Valeur hue = litValeur(rapi, couleurs, QStringLiteral("BaseHue"));
            etat.baseHue = {hue.etat, hue.type, hue.octets};
            if (hue.etat == ValeurCouleurCE::Lue && hue.type == OVD_REG_DWORD && hue.octets.size() == 4) {
                baseHue = int(entierLE(hue.octets));
                resultat = true;
            }
            bool illisible = hue.etat == ValeurCouleurCE::Illisible;
            for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
                const Valeur v = litValeur(rapi, couleurs, QString::number(JeuCouleurs::NumerosCouleurs[i]));
                ValeurCouleurCE &s = etat.valeurs[i];
                s.etat = v.etat;
                s.type = v.type;
                s.octets = v.octets;
                resultat = resultat || s.present();
                illisible = illisible || v.etat == ValeurCouleurCE::Illisible;
            }
            // A value the device would not give (or too large to keep) makes
            // the state unfit to restore from: writing it back would lose it.
            etat.valide = !illisible;
            etat.numeroSession = rapi.numeroSession();
        }
    }
    LitUseStartImage(rapi, useStartImage);

    if (rapport) {
        QString &r = *rapport;
        if (dpi != -1 || useStartImage != -1) {
            r = QStringLiteral("HKCU\\SOFTWARE\\Microsoft\\Today\r\n\r\n");
            if (dpi != -1)
                r += QStringLiteral("DPI : %1h (%2d)\r\n").arg(hexa(uint32_t(dpi), 2)).arg(dpi);
            if (useStartImage != -1)
                r += QStringLiteral("UseStartImage : %1\r\n").arg(useStartImage);
            r += QLatin1String("\r\n");
        }
        r += QLatin1String("HKLM\\SOFTWARE\\Microsoft\\Color :\r\n\r\n");
        // A BaseHue of FFFFFFFF is a value of the device, not an absent one.
        if (etat.baseHue.etat == ValeurCouleurCE::Lue && etat.baseHue.estDword()
            && etat.baseHue.octets.size() == 4)
            r += QStringLiteral("Basehue : %1h (%2h mod 200h)\r\n\r\n")
                     .arg(hexa(uint32_t(baseHue), 8), hexa(uint32_t(baseHue) % 512, 3));
        r += chaineRes(kIdChaineCouleurs) + QLatin1String(" :");
        for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
            const ValeurCouleurCE &s = etat.valeurs[i];
            if (!s.present())
                continue;
            r += QString::asprintf("\r\n%.2d\t ", JeuCouleurs::NumerosCouleurs[i])
                 + (s.estDword() ? hexa(s.valeur(), 8) + QLatin1String("\tREG_DWORD\t")
                                 : CouleurEnTexte(s.valeur()) + QLatin1String("\tREG_BINARY\t"))
                 + JeuCouleurs::NomCouleur(i);
        }
    }
    return resultat;
}

bool EcritCouleursCE(LienRapi &rapi, int baseHue, int dpi,
                     const std::array<TColor, JeuCouleurs::NbCouleurs> &couleurs,
                     const std::array<bool, JeuCouleurs::NbCouleurs> &inclus, bool tout)
{
    bool resultat = false;
    {
        const CleCE cle(rapi, OVD_HKEY_LOCAL_MACHINE, kCleCouleurs);
        if (ecritDword(rapi, cle, QStringLiteral("BaseHue"), uint32_t(baseHue))) {
            resultat = true;
            for (int i = 0; tout && i < JeuCouleurs::NbCouleurs; ++i) {
                if (!inclus[i])
                    continue;
                const TColor c = couleurs[i];
                const char rgb0[4] = {char(c.red()), char(c.green()), char(c.blue()), '\0'};
                resultat = ecritOctets(rapi, cle, QString::number(JeuCouleurs::NumerosCouleurs[i]), OVD_REG_BINARY,
                                       QByteArray(rgb0, 4))
                           && resultat;
            }
        }
    }
    // DPI whatever happened to the colours.
    return ecritDpi(rapi, dpi) && resultat;
}

bool RestaureCouleursCE(LienRapi &rapi, const EtatCouleursCE &etat, int baseHue, int dpi)
{
    // Only a state read in this connection is written back: a state never
    // read, or read from a device since disconnected, would wipe its colours.
    if (!etat.valide || etat.numeroSession != rapi.numeroSession())
        return false;
    bool resultat = false;
    {
        const CleCE cle(rapi, OVD_HKEY_LOCAL_MACHINE, kCleCouleurs);
        if (cle.ouverte()) {
            resultat = restaureDword(rapi, cle, QStringLiteral("BaseHue"), etat.baseHue, baseHue);
            for (int i = 0; i < JeuCouleurs::NbCouleurs; ++i) {
                const ValeurCouleurCE &s = etat.valeurs[i];
                const QString nom = QString::number(JeuCouleurs::NumerosCouleurs[i]);
                switch (s.etat) {
                case ValeurCouleurCE::Lue: // as stored: type and bytes
                    resultat = ecritOctets(rapi, cle, nom, s.type, s.octets) && resultat;
                    break;
                case ValeurCouleurCE::Absente:
                    resultat = supprimeValeur(rapi, cle, nom) && resultat;
                    break;
                case ValeurCouleurCE::Illisible: // never in a valid state
                    break;
                }
            }
        }
    }
    const CleCE today(rapi, OVD_HKEY_CURRENT_USER, kCleToday);
    return restaureDword(rapi, today, QStringLiteral("DPI"), etat.dpi, dpi) && resultat;
}
