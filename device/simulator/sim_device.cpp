#include "device/simulator/sim_device.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace devsim {

Appareil &appareil()
{
    static Appareil a;
    return a;
}

void compteAppel(const char *entree)
{
    ++appareil().appels[entree];
}

std::string dossierParDefaut()
{
    if (const char *d = std::getenv("ORVANDEL_DEVSIM_DIR"); d && *d)
        return d;
    std::string base;
    if (const char *x = std::getenv("XDG_DATA_HOME"); x && *x)
        base = x;
    else if (const char *h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.local/share";
    else
        base = "/tmp";
    return base + "/orvandel-devsim/device";
}

Ini litIni(const std::string &path)
{
    const auto t = litFichier(path);
    return t ? Ini::lire(*t) : Ini{};
}

bool estBranche(const std::string &dir)
{
    return litIni(dir + "/state.ini").nombre("State", "Plugged", 0) == 1;
}

DateRegistre dateRegistre(const std::string &dir)
{
    struct stat st {};
    if (::stat((dir + "/registry.reg").c_str(), &st) != 0)
        return {};
    return {int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, int64_t(st.st_size),
            uint64_t(st.st_ino)};
}

const std::string &Appareil::dossierCourant()
{
    if (dossier.empty())
        dossier = dossierParDefaut();
    return dossier;
}

bool Appareil::attache(const std::string &dir)
{
    if (sessionOuverte || dir.empty())
        return false;
    dossier = dir;
    debranche = false;
    return true;
}

bool Appareil::sessionActive() const
{
    return sessionOuverte && !debranche && resultatInit == 0 && reponseA
           && std::chrono::steady_clock::now() >= *reponseA && registre.has_value();
}

bool Appareil::exigeSession()
{
    if (sessionActive()) {
        rafraichitRegistre();
        return true;
    }
    derniereErreur = OVD_ERROR_NOT_READY;
    return false;
}

bool Appareil::ouvreSession(RAPIINIT *init)
{
    if (sessionOuverte)
        return false;
    const std::string &dir = dossierCourant();
    // A process killed while it saved one of the device's own files left
    // its temporary beside it: gone before anything is read.
    for (const char *fichier : {"/registry.reg", "/state.ini", "/device.ini"})
        enleveTemporairesAbandonnes(dir + fichier);
    config = litIni(dir + "/device.ini");
    const bool branche = estBranche(dir);
    const bool repond = branche && config.nombre("Device", "NeverAnswer", 0) == 0;
    resultatInit = HRESULT(config.nombre("Device", "ConnectResult", 0));

    registre.reset();
    registreModifie = false;
    deplacements = 0;
    if (repond) {
        // The date first: a change made while reading is then seen later.
        registreLu = dateRegistre(dir);
        const auto texte = litFichier(dir + "/registry.reg");
        if (texte)
            registre = Registre::lire(*texte);
        else
            registre = Registre{};
        if (!registre)
            resultatInit = OVD_E_FAIL; // a damaged registry is never overwritten
    }

    int fd = -1;
    const int64_t delai = config.nombre("Device", "AnswerDelayMs", 0);
    if (repond && delai > 0) {
        fd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
        itimerspec ts{};
        ts.it_value.tv_sec = delai / 1000;
        ts.it_value.tv_nsec = (delai % 1000) * 1000000;
        if (fd >= 0)
            timerfd_settime(fd, 0, &ts, nullptr);
    } else {
        fd = eventfd(repond ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    if (fd < 0)
        return false;
    descripteurInit = fd;
    if (repond)
        reponseA = std::chrono::steady_clock::now() + std::chrono::milliseconds(delai);
    else
        reponseA.reset();
    debranche = !branche;
    sessionOuverte = true;
    init->heRapiInit = fd;
    init->hrRapiInit = resultatInit;
    return true;
}

bool Appareil::enregistreRegistre()
{
    if (!registre || !registreModifie)
        return true;
    if (!ecritAtomique(dossierCourant() + "/registry.reg", registre->texte()))
        return false;
    registreModifie = false;
    registreLu = dateRegistre(dossierCourant());
    return true;
}

void Appareil::rafraichitRegistre()
{
    if (!registre || registreModifie)
        return; // this session's own changes are kept until written
    const DateRegistre date = dateRegistre(dossierCourant());
    if (date == registreLu)
        return;
    const auto texte = litFichier(dossierCourant() + "/registry.reg");
    if (!texte)
        return;
    if (auto r = Registre::lire(*texte)) {
        registre = std::move(r);
        registreLu = date;
    }
}

bool Appareil::fichierOuvert(const std::string &hote) const
{
    struct stat st {};
    if (::lstat(hote.c_str(), &st) != 0)
        return false;
    for (const auto &[h, p] : partages)
        if (p.dev == uint64_t(st.st_dev) && p.ino == uint64_t(st.st_ino))
            return true;
    return false;
}

void Appareil::fermeSession()
{
    enregistreRegistre();
    if (descripteurInit >= 0)
        ::close(descripteurInit);
    descripteurInit = -1;
    for (const auto &[h, fd] : fichiers)
        ::close(fd);
    fichiers.clear();
    partages.clear();
    cles.clear();
    recherches.clear();
    services.clear();
    registre.reset();
    reponseA.reset();
    sessionOuverte = false;
}

// ---------------------------------------------------------------------------
// File system

std::optional<std::u16string> lireChemin(const WCHAR *p)
{
    return lireChaine(p, kLongueurMaxChemin + 1);
}

bool composantValide(const std::u16string &c)
{
    if (c.empty() || c == u"." || c == u".." || c.size() >= OVD_MAX_PATH)
        return false;
    for (char16_t ch : c)
        if (ch < 0x20 || ch == u'\\' || ch == u'/' || ch == u':' || ch == u'*' || ch == u'?' || ch == u'"'
            || ch == u'<' || ch == u'>' || ch == u'|')
            return false;
    return true;
}

namespace {

// The one entry of folder dir whose name matches nom without regard to case;
// "" when none; nullopt when two host names differ only by case.
std::optional<std::string> trouveEntree(const std::string &dir, const std::u16string &nom)
{
    DIR *d = ::opendir(dir.c_str());
    if (!d)
        return std::string();
    std::string trouve;
    int n = 0;
    while (dirent *e = ::readdir(d)) {
        const std::string h = e->d_name;
        if (h == "." || h == "..")
            continue;
        if (egauxSansCasse(depuisUtf8(h), nom)) {
            trouve = h;
            ++n;
        }
    }
    ::closedir(d);
    if (n > 1)
        return std::nullopt;
    return trouve;
}

} // namespace

std::optional<CheminHote> resoutChemin(const std::u16string &chemin, bool dernierPeutManquer,
                                       DWORD &erreur)
{
    erreur = OVD_ERROR_INVALID_NAME;
    if (chemin.empty() || chemin[0] != u'\\')
        return std::nullopt;
    // "\" alone is the root; any other path ending in "\" names no file and
    // the device refuses it.
    const std::u16string reste = chemin.substr(1);
    if (!reste.empty() && reste.back() == u'\\')
        return std::nullopt;
    std::vector<std::u16string> parts;
    if (!reste.empty()) {
        size_t pos = 0;
        for (;;) {
            const size_t sep = reste.find(u'\\', pos);
            parts.push_back(reste.substr(pos, sep == std::u16string::npos ? sep : sep - pos));
            if (!composantValide(parts.back()))
                return std::nullopt;
            if (sep == std::u16string::npos)
                break;
            pos = sep + 1;
        }
    }
    CheminHote r;
    r.hote = appareil().racineFs();
    struct stat st {};
    if (::lstat(r.hote.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        erreur = OVD_ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    r.existe = true;
    r.dossier = true;
    for (size_t i = 0; i < parts.size(); ++i) {
        const bool dernier = i + 1 == parts.size();
        const auto h = trouveEntree(r.hote, parts[i]);
        if (!h) {
            erreur = OVD_ERROR_ACCESS_DENIED; // ambiguous on the host
            return std::nullopt;
        }
        r.nom = parts[i];
        if (h->empty()) {
            if (!dernier) {
                erreur = OVD_ERROR_PATH_NOT_FOUND;
                return std::nullopt;
            }
            if (!dernierPeutManquer) {
                erreur = OVD_ERROR_FILE_NOT_FOUND;
                return std::nullopt;
            }
            r.hote += "/" + versUtf8(parts[i]);
            r.existe = false;
            r.dossier = false;
            return r;
        }
        r.hote += "/" + *h;
        r.nom = depuisUtf8(*h);
        if (::lstat(r.hote.c_str(), &st) != 0 || S_ISLNK(st.st_mode)
            || !(S_ISDIR(st.st_mode) || S_ISREG(st.st_mode))) {
            erreur = OVD_ERROR_ACCESS_DENIED; // links and special files are not the device's
            return std::nullopt;
        }
        r.dossier = S_ISDIR(st.st_mode);
        if (!dernier && !r.dossier) {
            erreur = OVD_ERROR_PATH_NOT_FOUND;
            return std::nullopt;
        }
    }
    erreur = 0;
    return r;
}

namespace {
CEFILETIME tempsFichier(const timespec &t)
{
    const uint64_t ticks = (uint64_t(t.tv_sec) + 11644473600ull) * 10000000ull + uint64_t(t.tv_nsec) / 100;
    return {DWORD(ticks), DWORD(ticks >> 32)};
}
} // namespace

bool remplitTrouve(const std::string &hote, const std::u16string &nom, CE_FIND_DATA &fd)
{
    struct statx sx {};
    if (::statx(AT_FDCWD, hote.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return false;
    if (S_ISLNK(sx.stx_mode) || !(S_ISDIR(sx.stx_mode) || S_ISREG(sx.stx_mode)))
        return false;
    std::memset(&fd, 0, sizeof fd);
    fd.dwFileAttributes = S_ISDIR(sx.stx_mode) ? OVD_FILE_ATTRIBUTE_DIRECTORY : OVD_FILE_ATTRIBUTE_NORMAL;
    const timespec m{sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec};
    const timespec a{sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec};
    const timespec b = (sx.stx_mask & STATX_BTIME) ? timespec{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec} : m;
    fd.ftCreationTime = tempsFichier(b);
    fd.ftLastAccessTime = tempsFichier(a);
    fd.ftLastWriteTime = tempsFichier(m);
    if (!S_ISDIR(sx.stx_mode)) {
        fd.nFileSizeHigh = DWORD(sx.stx_size >> 32);
        fd.nFileSizeLow = DWORD(sx.stx_size);
    }
    const std::u16string n = nom.substr(0, OVD_MAX_PATH - 1);
    std::memcpy(fd.cFileName, n.data(), n.size() * sizeof(char16_t));
    return true;
}

bool correspondMotif(const std::u16string &motif, const std::u16string &nom)
{
    const std::u16string m = cleSansCasse(motif), n = cleSansCasse(nom);
    // Classic wildcard match with backtracking on the last '*'.
    size_t i = 0, j = 0, etoile = std::u16string::npos, reprise = 0;
    while (j < n.size()) {
        if (i < m.size() && (m[i] == u'?' || m[i] == n[j])) {
            ++i;
            ++j;
        } else if (i < m.size() && m[i] == u'*') {
            etoile = i++;
            reprise = j;
        } else if (etoile != std::u16string::npos) {
            i = etoile + 1;
            j = ++reprise;
        } else {
            return false;
        }
    }
    while (i < m.size() && m[i] == u'*')
        ++i;
    // "*.*" also matches names without a dot, as on the device.
    return i == m.size() || m.substr(i) == u".*";
}

} // namespace devsim
