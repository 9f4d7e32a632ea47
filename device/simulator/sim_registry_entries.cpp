// Registry entries of the simulated device. Strict like a real device: no
// session, no answer; keys are only opened by reads; sizes are checked
// before a single byte is written (234 = more data, 259 = no more items).

#include "device/simulator/sim_device.h"

#include <cstring>

using namespace devsim;

namespace {

constexpr uint32_t kMaxValueBytes = 1u << 20; // far above any theme value
constexpr size_t kMaxKeyPath = 1024;

// The key behind a handle (a root or one opened in this session).
CleReg *cleDe(CEHKEY h, CleOuverte *ouverte, LONG &err)
{
    Appareil &a = appareil();
    if (CleReg *r = a.registre->racine(h)) {
        if (ouverte)
            *ouverte = {h, {}};
        return r;
    }
    const auto it = a.cles.find(h);
    if (it == a.cles.end()) {
        err = OVD_ERROR_INVALID_HANDLE;
        return nullptr;
    }
    CleReg *k = a.registre->trouve(it->second.racine, it->second.chemin);
    if (!k) {
        err = OVD_ERROR_KEY_DELETED;
        return nullptr;
    }
    if (ouverte)
        *ouverte = it->second;
    return k;
}

LONG echec(LONG err)
{
    appareil().derniereErreur = DWORD(err);
    return err;
}

std::u16string nomOuVide(const WCHAR *s, bool &ok)
{
    ok = true;
    if (!s)
        return {};
    const auto n = lireChaine(s, kMaxKeyPath);
    ok = n.has_value();
    return n.value_or(std::u16string());
}

void modifie()
{
    appareil().registreModifie = true;
}

// The start of every entry that works on an open key: the call is counted, a
// session is required and the handle must name a key. When it does not, the
// key is null and resultat holds what the entry returns.
CleReg *cleDeLAppel(const char *entree, CEHKEY h, LONG &resultat)
{
    compteAppel(entree);
    if (!appareil().exigeSession()) {
        resultat = OVD_ERROR_NOT_READY;
        return nullptr;
    }
    LONG err = 0;
    CleReg *k = cleDe(h, nullptr, err);
    if (!k)
        resultat = echec(err);
    return k;
}

} // namespace

extern "C" {

LONG CeRegOpenKeyEx(CEHKEY hKey, const WCHAR *subKey, DWORD, DWORD, CEHKEY *result)
{
    compteAppel("CeRegOpenKeyEx");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_ERROR_NOT_READY;
    if (!result)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    LONG err = 0;
    CleOuverte base{};
    if (!cleDe(hKey, &base, err))
        return echec(err);
    bool ok = false;
    const auto parts = decoupeCle(nomOuVide(subKey, ok));
    if (!ok || !parts)
        return echec(OVD_ERROR_FILE_NOT_FOUND);
    CleOuverte cle = base;
    cle.chemin.insert(cle.chemin.end(), parts->begin(), parts->end());
    if (!a.registre->trouve(cle.racine, cle.chemin))
        return echec(OVD_ERROR_FILE_NOT_FOUND);
    const auto h = CEHKEY(a.nouveauHandle());
    a.cles[h] = std::move(cle);
    *result = h;
    return OVD_ERROR_SUCCESS;
}

LONG CeRegCreateKeyEx(CEHKEY hKey, const WCHAR *subKey, DWORD, WCHAR *, DWORD, DWORD, void *,
                      CEHKEY *result, DWORD *disposition)
{
    compteAppel("CeRegCreateKeyEx");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_ERROR_NOT_READY;
    if (!result)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    LONG err = 0;
    CleOuverte base{};
    CleReg *k = cleDe(hKey, &base, err);
    if (!k)
        return echec(err);
    bool ok = false;
    const auto parts = decoupeCle(nomOuVide(subKey, ok));
    if (!ok || !parts || parts->empty())
        return echec(OVD_ERROR_INVALID_PARAMETER);
    // Key names hold no control characters on the device.
    for (const auto &p : *parts)
        for (char16_t c : p)
            if (c < 0x20 || c == 0x7F)
                return echec(OVD_ERROR_INVALID_PARAMETER);
    bool cree = false;
    for (const auto &p : *parts) {
        if (!k->sousCle(p))
            cree = true;
        k = &k->ajouteSousCle(p);
    }
    if (cree)
        modifie();
    CleOuverte cle = base;
    cle.chemin.insert(cle.chemin.end(), parts->begin(), parts->end());
    const auto h = CEHKEY(a.nouveauHandle());
    a.cles[h] = std::move(cle);
    *result = h;
    if (disposition)
        *disposition = cree ? 1 : 2;
    return OVD_ERROR_SUCCESS;
}

LONG CeRegCloseKey(CEHKEY hKey)
{
    compteAppel("CeRegCloseKey");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_ERROR_NOT_READY;
    if (a.registre->racine(hKey))
        return OVD_ERROR_SUCCESS;
    if (a.cles.erase(hKey) == 0)
        return echec(OVD_ERROR_INVALID_HANDLE);
    // Writes reach the registry file when their key is closed.
    a.enregistreRegistre();
    return OVD_ERROR_SUCCESS;
}

LONG CeRegQueryValueEx(CEHKEY hKey, const WCHAR *valueName, DWORD *, DWORD *type, BYTE *data,
                       DWORD *cbData)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegQueryValueEx", hKey, resultat);
    if (!k)
        return resultat;
    if (data && !cbData)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    bool ok = false;
    const std::u16string nom = nomOuVide(valueName, ok);
    ValeurReg *v = ok ? k->valeur(nom) : nullptr;
    if (!v)
        return echec(OVD_ERROR_FILE_NOT_FOUND);
    const auto taille = DWORD(v->donnees.size());
    if (data && *cbData < taille) {
        *cbData = taille;
        return echec(OVD_ERROR_MORE_DATA);
    }
    if (data && taille)
        std::memcpy(data, v->donnees.data(), taille);
    if (cbData)
        *cbData = taille;
    if (type)
        *type = v->type;
    return OVD_ERROR_SUCCESS;
}

LONG CeRegSetValueEx(CEHKEY hKey, const WCHAR *valueName, DWORD, DWORD type, const BYTE *data,
                     DWORD cbData)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegSetValueEx", hKey, resultat);
    if (!k)
        return resultat;
    bool ok = false;
    const std::u16string nom = nomOuVide(valueName, ok);
    if (!ok || (!data && cbData) || cbData > kMaxValueBytes)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    k->fixeValeur(nom, type, std::vector<uint8_t>(data, data + cbData));
    modifie();
    return OVD_ERROR_SUCCESS;
}

LONG CeRegDeleteValue(CEHKEY hKey, const WCHAR *valueName)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegDeleteValue", hKey, resultat);
    if (!k)
        return resultat;
    bool ok = false;
    const std::u16string nom = nomOuVide(valueName, ok);
    if (!ok || !k->supprimeValeur(nom))
        return echec(OVD_ERROR_FILE_NOT_FOUND);
    modifie();
    return OVD_ERROR_SUCCESS;
}

LONG CeRegDeleteKey(CEHKEY hKey, const WCHAR *subKey)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegDeleteKey", hKey, resultat);
    if (!k)
        return resultat;
    bool ok = false;
    const auto parts = decoupeCle(nomOuVide(subKey, ok));
    // An empty name would name the key itself: refused.
    if (!ok || !parts || parts->empty())
        return echec(OVD_ERROR_INVALID_PARAMETER);
    for (size_t i = 0; i + 1 < parts->size(); ++i) {
        k = k->sousCle((*parts)[i]);
        if (!k)
            return echec(OVD_ERROR_FILE_NOT_FOUND);
    }
    if (!k->supprimeSousCle(parts->back()))
        return echec(OVD_ERROR_FILE_NOT_FOUND);
    modifie();
    appareil().enregistreRegistre();
    return OVD_ERROR_SUCCESS;
}

LONG CeRegEnumKeyEx(CEHKEY hKey, DWORD index, WCHAR *name, DWORD *cchName, DWORD *, WCHAR *className,
                    DWORD *cchClass, CEFILETIME *lastWrite)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegEnumKeyEx", hKey, resultat);
    if (!k)
        return resultat;
    if (!name || !cchName)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    if (index >= k->sousCles.size())
        return echec(OVD_ERROR_NO_MORE_ITEMS);
    const std::u16string &n = k->sousCles[index]->nom;
    if (!copieChaine(n, name, *cchName))
        return echec(OVD_ERROR_MORE_DATA);
    *cchName = DWORD(n.size());
    if (className && cchClass && *cchClass >= 1) {
        className[0] = 0;
        *cchClass = 0;
    }
    if (lastWrite)
        *lastWrite = CEFILETIME{0, 0};
    return OVD_ERROR_SUCCESS;
}

LONG CeRegEnumValue(CEHKEY hKey, DWORD index, WCHAR *name, DWORD *cchName, DWORD *, DWORD *type,
                    BYTE *data, DWORD *cbData)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegEnumValue", hKey, resultat);
    if (!k)
        return resultat;
    if (!name || !cchName || (data && !cbData))
        return echec(OVD_ERROR_INVALID_PARAMETER);
    if (index >= k->valeurs.size())
        return echec(OVD_ERROR_NO_MORE_ITEMS);
    const ValeurReg &v = k->valeurs[index];
    const auto taille = DWORD(v.donnees.size());
    if (*cchName < v.nom.size() + 1)
        return echec(OVD_ERROR_MORE_DATA);
    if (data && *cbData < taille) {
        *cbData = taille;
        return echec(OVD_ERROR_MORE_DATA);
    }
    copieChaine(v.nom, name, *cchName);
    *cchName = DWORD(v.nom.size());
    if (data && taille)
        std::memcpy(data, v.donnees.data(), taille);
    if (cbData)
        *cbData = taille;
    if (type)
        *type = v.type;
    return OVD_ERROR_SUCCESS;
}

LONG CeRegQueryInfoKey(CEHKEY hKey, WCHAR *className, DWORD *cchClass, DWORD *, DWORD *subKeys,
                       DWORD *maxSubKeyLen, DWORD *maxClassLen, DWORD *values, DWORD *maxValueNameLen,
                       DWORD *maxValueLen, DWORD *securityDescriptor, CEFILETIME *lastWrite)
{
    LONG resultat = 0;
    CleReg *k = cleDeLAppel("CeRegQueryInfoKey", hKey, resultat);
    if (!k)
        return resultat;
    if (className && cchClass && *cchClass >= 1) {
        className[0] = 0;
        *cchClass = 0;
    }
    DWORD maxCle = 0, maxNom = 0, maxDonnees = 0;
    for (const auto &s : k->sousCles)
        maxCle = std::max(maxCle, DWORD(s->nom.size()));
    for (const auto &v : k->valeurs) {
        maxNom = std::max(maxNom, DWORD(v.nom.size()));
        maxDonnees = std::max(maxDonnees, DWORD(v.donnees.size()));
    }
    if (subKeys)
        *subKeys = DWORD(k->sousCles.size());
    if (maxSubKeyLen)
        *maxSubKeyLen = maxCle;
    if (maxClassLen)
        *maxClassLen = 0;
    if (values)
        *values = DWORD(k->valeurs.size());
    if (maxValueNameLen)
        *maxValueNameLen = maxNom;
    if (maxValueLen)
        *maxValueLen = maxDonnees;
    if (securityDescriptor)
        *securityDescriptor = 0;
    if (lastWrite)
        *lastWrite = CEFILETIME{0, 0};
    return OVD_ERROR_SUCCESS;
}

} // extern "C"
