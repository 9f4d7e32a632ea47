#include "device/simulator/sim_text.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace devsim {

std::optional<std::u16string> lireChaine(const char16_t *s, size_t maxUnits)
{
    if (!s)
        return std::nullopt;
    for (size_t i = 0; i < maxUnits; ++i)
        if (s[i] == 0)
            return std::u16string(s, i);
    return std::nullopt;
}

std::string versUtf8(const std::u16string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD; // lone surrogate
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string depuisUtf8(const std::string &s)
{
    // Strict: a byte that does not start a well-formed sequence (overlong
    // forms, surrogates, values past U+10FFFF, missing continuation bytes)
    // becomes U+FFFD on its own, so no two spellings give one character.
    std::u16string out;
    size_t i = 0;
    const auto suite = [&s](size_t k) { return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80; };
    while (i < s.size()) {
        const unsigned char b = s[i];
        uint32_t c = 0xFFFD;
        size_t n = 1;
        if (b < 0x80) {
            c = b;
        } else if (b >= 0xC2 && b <= 0xDF && suite(i + 1)) {
            c = ((b & 0x1F) << 6) | (s[i + 1] & 0x3F);
            n = 2;
        } else if ((b & 0xF0) == 0xE0 && suite(i + 1) && suite(i + 2)) {
            const uint32_t v = ((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
                c = v;
                n = 3;
            }
        } else if (b >= 0xF0 && b <= 0xF4 && suite(i + 1) && suite(i + 2) && suite(i + 3)) {
            const uint32_t v = ((b & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6)
                               | (s[i + 3] & 0x3F);
            if (v >= 0x10000 && v <= 0x10FFFF) {
                c = v;
                n = 4;
            }
        }
        i += n;
        if (c >= 0x10000) {
            c -= 0x10000;
            out += char16_t(0xD800 + (c >> 10));
            out += char16_t(0xDC00 + (c & 0x3FF));
        } else {
            out += char16_t(c);
        }
    }
    return out;
}

std::u16string cleSansCasse(const std::u16string &s)
{
    std::u16string k(s);
    for (auto &c : k) {
        if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = char16_t(c - 0x20);
    }
    return k;
}

bool egauxSansCasse(const std::u16string &a, const std::u16string &b)
{
    return a.size() == b.size() && cleSansCasse(a) == cleSansCasse(b);
}

bool copieChaine(const std::u16string &s, char16_t *buf, size_t cch)
{
    if (!buf || cch < s.size() + 1)
        return false;
    std::memcpy(buf, s.data(), s.size() * sizeof(char16_t));
    buf[s.size()] = 0;
    return true;
}

namespace {

// The temporary names of ecritAtomique: the file's name, "." and the six
// letters or digits that mkstemp puts in place of "XXXXXX".
constexpr const char *kSuffixeTemporaire = ".XXXXXX";
constexpr size_t kLettresTemporaire = 6;

bool estTemporaire(const std::string &nom, const std::string &prefixe)
{
    if (nom.size() != prefixe.size() + kLettresTemporaire || nom.compare(0, prefixe.size(), prefixe) != 0)
        return false;
    for (size_t i = prefixe.size(); i < nom.size(); ++i) {
        const char c = nom[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// The name still stands for the open file.
bool memeFichier(int fd, const std::string &nom)
{
    struct stat a {}, b {};
    return ::fstat(fd, &a) == 0 && ::lstat(nom.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

int verrouille(int fd, int operation)
{
    int r;
    do
        r = ::flock(fd, operation);
    while (r != 0 && errno == EINTR);
    return r;
}

} // namespace

bool ecritAtomique(const std::string &path, const std::string &bytes)
{
    // The temporary file is locked from its making until it has its name:
    // the sweep of leftovers takes only those whose writer is gone (a lock
    // ends with its process). One swept away before it was locked is given
    // up for another name.
    std::string tmp;
    int fd = -1;
    for (int essai = 0; essai < 4 && fd < 0; ++essai) {
        tmp = path + kSuffixeTemporaire;
        fd = mkstemp(tmp.data());
        if (fd < 0)
            return false;
        verrouille(fd, LOCK_EX);
        if (!memeFichier(fd, tmp)) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += size_t(n);
    }
    ok = ok && ::fsync(fd) == 0;
    // The lock goes with the last descriptor of the file: a copy keeps it
    // past the close, which is checked before the file takes its name.
    const int verrou = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    ok = ::close(fd) == 0 && ok;
    if (ok)
        ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(tmp.c_str());
    if (verrou >= 0)
        ::close(verrou);
    return ok;
}

void enleveTemporairesAbandonnes(const std::string &path)
{
    const size_t sep = path.rfind('/');
    const std::string dossier = sep == std::string::npos ? std::string(".") : path.substr(0, sep);
    const std::string prefixe = path.substr(sep == std::string::npos ? 0 : sep + 1) + ".";
    std::vector<std::string> restes;
    if (DIR *d = ::opendir(dossier.c_str())) {
        while (const dirent *e = ::readdir(d))
            if (estTemporaire(e->d_name, prefixe))
                restes.push_back(dossier + "/" + e->d_name);
        ::closedir(d);
    }
    for (const std::string &r : restes) {
        // Plain files only, never followed through a link, never waited on.
        struct stat st {};
        if (::lstat(r.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const int fd = ::open(r.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd < 0)
            continue;
        // Locked: a writer is still at work on it. Unlocked and still under
        // that name: its writer died before the rename.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && verrouille(fd, LOCK_EX | LOCK_NB) == 0
            && memeFichier(fd, r))
            ::unlink(r.c_str());
        ::close(fd);
    }
}

std::optional<std::string> litFichier(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    std::string out;
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buf, size_t(n));
    }
    ::close(fd);
    return out;
}

namespace {
std::string trim(const std::string &s)
{
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool memeNom(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}
} // namespace

Ini Ini::lire(const std::string &text)
{
    Ini ini;
    Section *cur = nullptr;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos)
            eol = text.size();
        const std::string line = trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = line.substr(1, line.size() - 2);
            cur = nullptr;
            for (auto &s : ini.m_sections)
                if (memeNom(s.name, name))
                    cur = &s;
            if (!cur) {
                ini.m_sections.push_back({name, {}});
                cur = &ini.m_sections.back();
            }
            continue;
        }
        const auto eq = line.find('=');
        if (!cur || eq == std::string::npos)
            continue;
        cur->entries.emplace_back(trim(line.substr(0, eq)), trim(line.substr(eq + 1)));
    }
    return ini;
}

std::string Ini::texte() const
{
    std::string out;
    for (const auto &s : m_sections) {
        out += "[" + s.name + "]\n";
        for (const auto &[k, v] : s.entries)
            out += k + "=" + v + "\n";
        out += "\n";
    }
    return out;
}

std::string Ini::valeur(const std::string &section, const std::string &key,
                        const std::string &defaut) const
{
    for (const auto &s : m_sections)
        if (memeNom(s.name, section))
            for (const auto &[k, v] : s.entries)
                if (memeNom(k, key))
                    return v;
    return defaut;
}

int64_t Ini::nombre(const std::string &section, const std::string &key, int64_t defaut) const
{
    const std::string v = valeur(section, key);
    if (v.empty())
        return defaut;
    char *end = nullptr;
    errno = 0;
    const long long n = std::strtoll(v.c_str(), &end, 0);
    if (errno || !end || *end)
        return defaut;
    return n;
}

void Ini::fixe(const std::string &section, const std::string &key, const std::string &value)
{
    for (auto &s : m_sections)
        if (memeNom(s.name, section)) {
            for (auto &[k, v] : s.entries)
                if (memeNom(k, key)) {
                    v = value;
                    return;
                }
            s.entries.emplace_back(key, value);
            return;
        }
    m_sections.push_back({section, {{key, value}}});
}

std::vector<std::pair<std::string, std::string>> Ini::section(const std::string &name) const
{
    for (const auto &s : m_sections)
        if (memeNom(s.name, name))
            return s.entries;
    return {};
}

} // namespace devsim
