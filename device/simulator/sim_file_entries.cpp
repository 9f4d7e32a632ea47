// File and folder entries of the simulated device: the device's file system
// is the folder fs/ of the device folder; paths never leave it.

#include "device/simulator/sim_device.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <cerrno>
#include <cstdlib>
#include <cstring>

using namespace devsim;

namespace {

BOOL echec(DWORD err)
{
    appareil().derniereErreur = err;
    return 0;
}

std::optional<CheminHote> chemin(const WCHAR *p, bool peutManquer)
{
    DWORD err = OVD_ERROR_INVALID_PARAMETER;
    const auto s = lireChemin(p);
    std::optional<CheminHote> r;
    if (s)
        r = resoutChemin(*s, peutManquer, err);
    if (!r)
        appareil().derniereErreur = err;
    return r;
}

// Entries of a device folder matching a pattern, sorted without regard to case.
std::optional<std::vector<CE_FIND_DATA>> liste(const WCHAR *motifComplet)
{
    const auto s = lireChemin(motifComplet);
    if (!s) {
        echec(OVD_ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    const size_t sep = s->rfind(u'\\');
    if (sep == std::u16string::npos) {
        echec(OVD_ERROR_INVALID_NAME);
        return std::nullopt;
    }
    const std::u16string motif = s->substr(sep + 1);
    if (motif.empty() || motif.find_first_of(u"/:\"<>|") != std::u16string::npos) {
        echec(OVD_ERROR_INVALID_NAME);
        return std::nullopt;
    }
    DWORD err = 0;
    const auto dossier = resoutChemin(sep == 0 ? std::u16string(u"\\") : s->substr(0, sep), false, err);
    if (!dossier || !dossier->dossier) {
        echec(dossier ? OVD_ERROR_PATH_NOT_FOUND : err);
        return std::nullopt;
    }
    // Only what the device's own calls can then reach is listed: a host
    // file under a name the device refuses, whose full path is longer than
    // the path calls take, or two host names that differ only by case (the
    // device cannot tell them apart), is none of its files.
    std::vector<std::pair<std::u16string, CE_FIND_DATA>> trouves;
    std::map<std::u16string, int> parCle;
    if (DIR *d = ::opendir(dossier->hote.c_str())) {
        while (dirent *e = ::readdir(d)) {
            const std::string h = e->d_name;
            if (h == "." || h == "..")
                continue;
            const std::u16string nom = depuisUtf8(h);
            if (!composantValide(nom))
                continue;
            ++parCle[cleSansCasse(nom)];
            // The entry's path: the folder as asked, "\" and its name.
            if (sep + 1 + nom.size() > kLongueurMaxChemin || !correspondMotif(motif, nom))
                continue;
            CE_FIND_DATA fd;
            if (remplitTrouve(dossier->hote + "/" + h, nom, fd))
                trouves.emplace_back(cleSansCasse(nom), fd);
        }
        ::closedir(d);
    }
    std::sort(trouves.begin(), trouves.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    std::vector<CE_FIND_DATA> out;
    for (auto &t : trouves)
        if (parCle[t.first] == 1)
            out.push_back(t.second);
    return out;
}

bool ecritTout(int fd, const char *buf, size_t n)
{
    while (n) {
        const ssize_t w = ::write(fd, buf, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        buf += w;
        n -= size_t(w);
    }
    return true;
}

} // namespace

extern "C" {

CEHANDLE CeFindFirstFile(const WCHAR *fileName, CE_FIND_DATA *findData)
{
    compteAppel("CeFindFirstFile");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_INVALID_HANDLE;
    if (!findData) {
        echec(OVD_ERROR_INVALID_PARAMETER);
        return OVD_INVALID_HANDLE;
    }
    const auto s = lireChemin(fileName);
    Recherche r;
    if (s && s->find_first_of(u"*?") != std::u16string::npos) {
        auto l = liste(fileName);
        if (!l)
            return OVD_INVALID_HANDLE;
        r.restants = std::move(*l);
    } else {
        const auto c = chemin(fileName, false);
        if (!c)
            return OVD_INVALID_HANDLE;
        CE_FIND_DATA fd;
        if (c->nom.empty() || !remplitTrouve(c->hote, c->nom, fd)) { // the root is no file
            echec(OVD_ERROR_FILE_NOT_FOUND);
            return OVD_INVALID_HANDLE;
        }
        r.restants.push_back(fd);
    }
    if (r.restants.empty()) {
        echec(OVD_ERROR_FILE_NOT_FOUND);
        return OVD_INVALID_HANDLE;
    }
    *findData = r.restants.front();
    r.restants.erase(r.restants.begin());
    const CEHANDLE h = a.nouveauHandle();
    a.recherches[h] = std::move(r);
    return h;
}

BOOL CeFindNextFile(CEHANDLE hFind, CE_FIND_DATA *findData)
{
    compteAppel("CeFindNextFile");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0;
    const auto it = a.recherches.find(hFind);
    if (it == a.recherches.end() || !findData)
        return echec(it == a.recherches.end() ? OVD_ERROR_INVALID_HANDLE : OVD_ERROR_INVALID_PARAMETER);
    if (it->second.restants.empty())
        return echec(OVD_ERROR_NO_MORE_ITEMS);
    *findData = it->second.restants.front();
    it->second.restants.erase(it->second.restants.begin());
    return 1;
}

BOOL CeFindClose(CEHANDLE hFind)
{
    compteAppel("CeFindClose");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0;
    if (a.recherches.erase(hFind) == 0)
        return echec(OVD_ERROR_INVALID_HANDLE);
    return 1;
}

BOOL CeFindAllFiles(const WCHAR *pattern, DWORD, DWORD *foundCount, CE_FIND_DATA **findDataArray)
{
    compteAppel("CeFindAllFiles");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0;
    if (!foundCount || !findDataArray)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    auto l = liste(pattern);
    if (!l)
        return 0;
    *foundCount = DWORD(l->size());
    *findDataArray = nullptr;
    if (!l->empty()) {
        auto *tab = static_cast<CE_FIND_DATA *>(std::malloc(l->size() * sizeof(CE_FIND_DATA)));
        if (!tab)
            return echec(8); // not enough memory
        std::copy(l->begin(), l->end(), tab);
        a.tampons.insert(tab);
        *findDataArray = tab;
    }
    return 1;
}

DWORD CeGetFileAttributes(const WCHAR *fileName)
{
    compteAppel("CeGetFileAttributes");
    if (!appareil().exigeSession())
        return 0xFFFFFFFFu;
    const auto c = chemin(fileName, false);
    if (!c)
        return 0xFFFFFFFFu;
    return c->dossier ? OVD_FILE_ATTRIBUTE_DIRECTORY : OVD_FILE_ATTRIBUTE_NORMAL;
}

CEHANDLE CeCreateFile(const WCHAR *fileName, DWORD access, DWORD shareMode, void *, DWORD disposition, DWORD,
                      CEHANDLE)
{
    compteAppel("CeCreateFile");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return OVD_INVALID_HANDLE;
    const bool cree = disposition == OVD_CREATE_NEW || disposition == OVD_CREATE_ALWAYS
                      || disposition == OVD_OPEN_ALWAYS;
    if (disposition < OVD_CREATE_NEW || disposition > OVD_TRUNCATE_EXISTING) {
        echec(OVD_ERROR_INVALID_PARAMETER);
        return OVD_INVALID_HANDLE;
    }
    const auto c = chemin(fileName, cree);
    if (!c)
        return OVD_INVALID_HANDLE;
    if (c->dossier || c->nom.empty()) {
        echec(OVD_ERROR_ACCESS_DENIED);
        return OVD_INVALID_HANDLE;
    }
    const bool lit = access & OVD_GENERIC_READ, ecrit = access & OVD_GENERIC_WRITE;
    int flags = O_CLOEXEC | O_NOFOLLOW | (lit && ecrit ? O_RDWR : ecrit ? O_WRONLY : O_RDONLY);
    switch (disposition) {
    case OVD_CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case OVD_CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OVD_OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case OVD_TRUNCATE_EXISTING:
        flags |= O_TRUNC;
        break;
    default:
        break;
    }
    if ((flags & O_TRUNC) && !ecrit) {
        echec(OVD_ERROR_ACCESS_DENIED);
        return OVD_INVALID_HANDLE;
    }
    // Sharing, as the device checks it: an open that asks for what an
    // earlier open does not share, or that does not share what an earlier
    // open uses, fails (before anything is truncated).
    const DWORD acces = (lit ? OVD_GENERIC_READ : 0) | (ecrit ? OVD_GENERIC_WRITE : 0);
    if (struct stat st {}; c->existe && ::lstat(c->hote.c_str(), &st) == 0)
        for (const auto &[autre, p] : a.partages)
            if (p.dev == uint64_t(st.st_dev) && p.ino == uint64_t(st.st_ino)
                && (((acces & OVD_GENERIC_READ) && !(p.partage & OVD_FILE_SHARE_READ))
                    || ((acces & OVD_GENERIC_WRITE) && !(p.partage & OVD_FILE_SHARE_WRITE))
                    || ((p.acces & OVD_GENERIC_READ) && !(shareMode & OVD_FILE_SHARE_READ))
                    || ((p.acces & OVD_GENERIC_WRITE) && !(shareMode & OVD_FILE_SHARE_WRITE)))) {
                echec(OVD_ERROR_SHARING_VIOLATION);
                return OVD_INVALID_HANDLE;
            }
    const int fd = ::open(c->hote.c_str(), flags, 0644);
    if (fd < 0) {
        echec(errno == EEXIST ? OVD_ERROR_FILE_EXISTS : OVD_ERROR_ACCESS_DENIED);
        return OVD_INVALID_HANDLE;
    }
    struct stat st {};
    ::fstat(fd, &st);
    const CEHANDLE h = a.nouveauHandle();
    a.fichiers[h] = fd;
    a.partages[h] = {uint64_t(st.st_dev), uint64_t(st.st_ino), acces, shareMode};
    return h;
}

BOOL CeReadFile(CEHANDLE hFile, void *buffer, DWORD toRead, DWORD *read, void *)
{
    compteAppel("CeReadFile");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0;
    const auto it = a.fichiers.find(hFile);
    if (it == a.fichiers.end())
        return echec(OVD_ERROR_INVALID_HANDLE);
    if ((!buffer && toRead) || !read)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    *read = 0;
    // A failing medium: reads stop at this offset of the file.
    DWORD voulu = toRead;
    bool panne = false;
    if (const int64_t limite = a.config.nombre("Faults", "ReadFailsAfter", -1); limite >= 0) {
        const int64_t pos = ::lseek(it->second, 0, SEEK_CUR);
        if (pos < 0 || pos + int64_t(toRead) > limite) {
            voulu = DWORD(std::max<int64_t>(0, limite - std::max<int64_t>(pos, 0)));
            panne = true;
        }
    }
    DWORD total = 0;
    auto *p = static_cast<char *>(buffer);
    while (total < voulu) {
        const ssize_t n = ::read(it->second, p + total, voulu - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return echec(OVD_ERROR_ACCESS_DENIED);
        if (n == 0)
            break;
        total += DWORD(n);
    }
    *read = total;
    if (panne && total == voulu)
        return echec(OVD_ERROR_READ_FAULT);
    return 1;
}

BOOL CeWriteFile(CEHANDLE hFile, const void *buffer, DWORD toWrite, DWORD *written, void *)
{
    compteAppel("CeWriteFile");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0;
    const auto it = a.fichiers.find(hFile);
    if (it == a.fichiers.end())
        return echec(OVD_ERROR_INVALID_HANDLE);
    if ((!buffer && toWrite) || !written)
        return echec(OVD_ERROR_INVALID_PARAMETER);
    *written = 0;
    // A full store: the file cannot grow past this size; what fits is
    // written, as a device does, and the call fails.
    DWORD possible = toWrite;
    if (const int64_t limite = a.config.nombre("Faults", "WriteFailsAfter", -1); limite >= 0) {
        const int64_t pos = ::lseek(it->second, 0, SEEK_CUR);
        if (pos < 0 || pos + int64_t(toWrite) > limite)
            possible = DWORD(std::max<int64_t>(0, limite - std::max<int64_t>(pos, 0)));
    }
    if (!ecritTout(it->second, static_cast<const char *>(buffer), possible))
        return echec(OVD_ERROR_ACCESS_DENIED);
    *written = possible;
    if (possible < toWrite)
        return echec(OVD_ERROR_DISK_FULL);
    return 1;
}

BOOL CeCloseHandle(CEHANDLE handle)
{
    compteAppel("CeCloseHandle");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0;
    const auto it = a.fichiers.find(handle);
    if (it == a.fichiers.end())
        return echec(OVD_ERROR_INVALID_HANDLE);
    ::close(it->second);
    a.partages.erase(it->first);
    a.fichiers.erase(it);
    return 1;
}

DWORD CeGetFileSize(CEHANDLE hFile, DWORD *sizeHigh)
{
    compteAppel("CeGetFileSize");
    Appareil &a = appareil();
    if (!a.exigeSession())
        return 0xFFFFFFFFu;
    const auto it = a.fichiers.find(hFile);
    struct stat st {};
    if (it == a.fichiers.end() || ::fstat(it->second, &st) != 0) {
        echec(OVD_ERROR_INVALID_HANDLE);
        return 0xFFFFFFFFu;
    }
    if (sizeHigh)
        *sizeHigh = DWORD(uint64_t(st.st_size) >> 32);
    return DWORD(st.st_size);
}

BOOL CeCreateDirectory(const WCHAR *path, void *)
{
    compteAppel("CeCreateDirectory");
    if (!appareil().exigeSession())
        return 0;
    const auto c = chemin(path, true);
    if (!c)
        return 0;
    if (c->existe)
        return echec(OVD_ERROR_ALREADY_EXISTS);
    if (::mkdir(c->hote.c_str(), 0755) != 0)
        return echec(OVD_ERROR_ACCESS_DENIED);
    return 1;
}

BOOL CeRemoveDirectory(const WCHAR *path)
{
    compteAppel("CeRemoveDirectory");
    if (!appareil().exigeSession())
        return 0;
    const auto c = chemin(path, false);
    if (!c)
        return 0;
    if (!c->dossier || c->nom.empty())
        return echec(OVD_ERROR_ACCESS_DENIED);
    if (::rmdir(c->hote.c_str()) != 0)
        return echec(errno == ENOTEMPTY ? OVD_ERROR_DIR_NOT_EMPTY : OVD_ERROR_ACCESS_DENIED);
    return 1;
}

BOOL CeDeleteFile(const WCHAR *fileName)
{
    compteAppel("CeDeleteFile");
    if (!appareil().exigeSession())
        return 0;
    const auto c = chemin(fileName, false);
    if (!c)
        return 0;
    if (c->dossier)
        return echec(OVD_ERROR_ACCESS_DENIED);
    if (appareil().fichierOuvert(c->hote))
        return echec(OVD_ERROR_SHARING_VIOLATION);
    if (::unlink(c->hote.c_str()) != 0)
        return echec(OVD_ERROR_ACCESS_DENIED);
    return 1;
}

BOOL CeMoveFile(const WCHAR *existing, const WCHAR *newName)
{
    compteAppel("CeMoveFile");
    if (!appareil().exigeSession())
        return 0;
    const auto de = chemin(existing, false);
    if (!de)
        return 0;
    const auto vers = chemin(newName, true);
    if (!vers)
        return 0;
    if (de->nom.empty() || vers->nom.empty())
        return echec(OVD_ERROR_ACCESS_DENIED);
    if (vers->existe && vers->hote != de->hote)
        return echec(OVD_ERROR_ALREADY_EXISTS);
    if (appareil().fichierOuvert(de->hote))
        return echec(OVD_ERROR_SHARING_VIOLATION);
    if (::rename(de->hote.c_str(), vers->hote.c_str()) != 0)
        return echec(OVD_ERROR_ACCESS_DENIED);
    // Pulled out at this very moment: the move is done, nothing after it.
    Appareil &a = appareil();
    if (const int64_t n = a.config.nombre("Faults", "UnplugAfterMoves", 0); n > 0 && ++a.deplacements == n)
        OvdSimUnplug(a.dossierCourant().c_str());
    return 1;
}

BOOL CeCopyFile(const WCHAR *existing, const WCHAR *newName, BOOL failIfExists)
{
    compteAppel("CeCopyFile");
    if (!appareil().exigeSession())
        return 0;
    const auto de = chemin(existing, false);
    if (!de)
        return 0;
    const auto vers = chemin(newName, true);
    if (!vers)
        return 0;
    if (de->dossier || vers->dossier || vers->nom.empty())
        return echec(OVD_ERROR_ACCESS_DENIED);
    if (vers->existe && failIfExists)
        return echec(OVD_ERROR_FILE_EXISTS);
    const auto octets = litFichier(de->hote);
    if (!octets || !ecritAtomique(vers->hote, *octets))
        return echec(OVD_ERROR_ACCESS_DENIED);
    return 1;
}

HRESULT CeRapiFreeBuffer(void *buffer)
{
    compteAppel("CeRapiFreeBuffer");
    if (!buffer)
        return 0;
    // Only buffers this library handed out are released: anything else is
    // refused instead of corrupting the heap.
    if (appareil().tampons.erase(buffer) == 0)
        return OVD_E_INVALIDARG;
    std::free(buffer);
    return 0;
}

} // extern "C"
