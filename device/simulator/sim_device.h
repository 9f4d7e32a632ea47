#pragma once

// The simulated device as seen by one process: the device folder it is
// attached to, the remote-API session, the open handles and the registry
// loaded for the session. A device library is one per process by nature, so
// this state lives in the library; every entry runs on the caller's thread
// and none of them waits for the caller's event loop.
//
// Device folder layout:
//   device.ini    description (version, screen, memory, power, partnership, ...);
//                 [Faults] WriteFailsAfter=N: a full store, no file grows past N
//                 bytes; ReadFailsAfter=N: reads fail at offset N of a file;
//                 UnplugAfterMoves=N: the device is pulled out right after the
//                 N-th file move of a connection (every later call fails)
//   state.ini     [State] Plugged=0|1, Ip=<address>; written by plug/unplug
//   registry.reg  the registry (see sim_registry.h), written atomically
//   fs/           the device's file system root ("\Windows\x" = fs/Windows/x)

#include "device/rapi_api.h"
#include "device/simulator/sim_registry.h"
#include "device/simulator/sim_text.h"

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace devsim {

struct CleOuverte {
    uint32_t racine;
    std::vector<std::u16string> chemin;
};

struct Recherche {
    std::vector<CE_FIND_DATA> restants;
};

// What an open file handle holds on its file: the file's identity, the
// access asked and the sharing allowed to later opens.
struct PartageFichier {
    uint64_t dev = 0, ino = 0;
    DWORD acces = 0, partage = 0;
};

struct ServicePartenariat {
    unsigned service;
};

// What tells one version of dir/registry.reg from another: its modification
// time (ns), size and inode (every write replaces the file by a rename, so a
// rewrite within one clock tick and of the same size still has a new inode);
// 0, -1 and 0 when absent.
struct DateRegistre
{
    int64_t ns = 0;
    int64_t taille = -1;
    uint64_t inode = 0;
    bool operator==(const DateRegistre &) const = default;
};

class Appareil {
public:
    std::string dossier; // empty until attached

    // Session
    bool sessionOuverte = false;
    bool debranche = false; // set by an unplug seen in this process
    int descripteurInit = -1;
    HRESULT resultatInit = 0;
    std::optional<std::chrono::steady_clock::time_point> reponseA; // none: never answers
    std::optional<Registre> registre;
    bool registreModifie = false;
    DateRegistre registreLu; // registry.reg as it was when read
    Ini config;

    // Handles of the session
    std::map<uint32_t, CleOuverte> cles;
    std::map<uintptr_t, int> fichiers;
    std::map<uintptr_t, PartageFichier> partages;
    std::map<uintptr_t, Recherche> recherches;
    std::map<uintptr_t, ServicePartenariat> services;
    std::set<void *> tampons;
    uintptr_t prochainHandle = 0x100;

    int deplacements = 0; // file moves of this connection
    DWORD derniereErreur = 0;
    std::map<std::string, int> appels;

    // The folder in use: the attached one, else ORVANDEL_DEVSIM_DIR, else the
    // per-user default; attaches on first use.
    const std::string &dossierCourant();
    bool attache(const std::string &dir);

    bool sessionActive() const;
    // Fails the call (sets the last error) when no session is active.
    bool exigeSession();
    uintptr_t nouveauHandle() { return prochainHandle++; }

    bool ouvreSession(RAPIINIT *init);
    void fermeSession();
    bool enregistreRegistre();
    // Reloads registry.reg when another process (the ovd-devsim tool)
    // changed it and this session has changed nothing yet.
    void rafraichitRegistre();
    // Whether the host file is open through a handle of this session.
    bool fichierOuvert(const std::string &hote) const;

    std::string racineFs() { return dossierCourant() + "/fs"; }
};

Appareil &appareil();
void compteAppel(const char *entree);

std::string dossierParDefaut();
Ini litIni(const std::string &path);
bool estBranche(const std::string &dir);
DateRegistre dateRegistre(const std::string &dir);

// ---------------------------------------------------------------------------
// File system mapping

struct CheminHote {
    std::string hote;    // host path under fs/
    std::u16string nom;  // last device component ("" for the root)
    bool existe = false;
    bool dossier = false;
};

// The longest device path the path calls take (their text is read within
// OVD_MAX_PATH units, the NUL included); a longer path names no file.
inline constexpr size_t kLongueurMaxChemin = OVD_MAX_PATH - 1;
std::optional<std::u16string> lireChemin(const WCHAR *p);

// A name the device's file system can hold as one component of a path: not
// empty, "." or "..", shorter than a path, and without a control character
// or any of \ / : * ? " < > |. Names are refused where files are made, and a
// host file under another name is not one of the device's (never listed).
bool composantValide(const std::u16string &c);

// Maps a device path ("\" separators, from the root) to the host. Every
// component is matched without regard to case; ".", "..", "/", NUL, control
// and reserved characters, and symbolic links are refused, so a path never
// leaves the device folder. The last component may be missing when
// dernierPeutManquer (its parent must exist). On failure returns nullopt and
// sets erreur.
std::optional<CheminHote> resoutChemin(const std::u16string &chemin, bool dernierPeutManquer,
                                       DWORD &erreur);

bool remplitTrouve(const std::string &hote, const std::u16string &nom, CE_FIND_DATA &fd);
bool correspondMotif(const std::u16string &motif, const std::u16string &nom);

} // namespace devsim
