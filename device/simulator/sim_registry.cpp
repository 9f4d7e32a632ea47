#include "device/simulator/sim_registry.h"

#include "device/rapi_api.h"
#include "device/simulator/sim_text.h"

#include <cctype>
#include <cstdio>

namespace devsim {

CleReg *CleReg::sousCle(const std::u16string &n) const
{
    for (const auto &k : sousCles)
        if (egauxSansCasse(k->nom, n))
            return k.get();
    return nullptr;
}

ValeurReg *CleReg::valeur(const std::u16string &n)
{
    for (auto &v : valeurs)
        if (egauxSansCasse(v.nom, n))
            return &v;
    return nullptr;
}

CleReg &CleReg::ajouteSousCle(const std::u16string &n)
{
    if (CleReg *k = sousCle(n))
        return *k;
    sousCles.push_back(std::make_unique<CleReg>());
    sousCles.back()->nom = n;
    return *sousCles.back();
}

void CleReg::fixeValeur(const std::u16string &n, uint32_t type, std::vector<uint8_t> donnees)
{
    if (ValeurReg *v = valeur(n)) {
        v->type = type;
        v->donnees = std::move(donnees);
        return;
    }
    valeurs.push_back({n, type, std::move(donnees)});
}

bool CleReg::supprimeSousCle(const std::u16string &n)
{
    for (auto it = sousCles.begin(); it != sousCles.end(); ++it)
        if (egauxSansCasse((*it)->nom, n)) {
            sousCles.erase(it);
            return true;
        }
    return false;
}

bool CleReg::supprimeValeur(const std::u16string &n)
{
    for (auto it = valeurs.begin(); it != valeurs.end(); ++it)
        if (egauxSansCasse(it->nom, n)) {
            valeurs.erase(it);
            return true;
        }
    return false;
}

CleReg *Registre::racine(uint32_t hkey)
{
    if (hkey == HKCU)
        return &m_hkcu;
    if (hkey == HKLM)
        return &m_hklm;
    return nullptr;
}

CleReg *Registre::trouve(uint32_t root, const std::vector<std::u16string> &chemin)
{
    CleReg *k = racine(root);
    for (const auto &c : chemin) {
        if (!k)
            return nullptr;
        k = k->sousCle(c);
    }
    return k;
}

std::optional<std::vector<std::u16string>> decoupeCle(const std::u16string &chemin)
{
    std::vector<std::u16string> out;
    if (chemin.empty())
        return out;
    size_t pos = 0;
    for (;;) {
        const size_t sep = chemin.find(u'\\', pos);
        const std::u16string part = chemin.substr(pos, sep == std::u16string::npos ? std::u16string::npos : sep - pos);
        if (part.empty())
            return std::nullopt;
        out.push_back(part);
        if (sep == std::u16string::npos)
            return out;
        pos = sep + 1;
    }
}

std::vector<uint8_t> octetsDword(uint32_t v)
{
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

std::vector<uint8_t> octetsChaine(const std::u16string &s)
{
    std::vector<uint8_t> out;
    for (char16_t c : s) {
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::vector<uint8_t> octetsMultiChaine(const std::vector<std::u16string> &l)
{
    std::vector<uint8_t> out;
    for (const auto &s : l) {
        const auto b = octetsChaine(s);
        out.insert(out.end(), b.begin(), b.end());
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

// ---------------------------------------------------------------------------
// Text form

namespace {

bool estHaut(char16_t c)
{
    return c >= 0xD800 && c < 0xDC00;
}

bool estBas(char16_t c)
{
    return c >= 0xDC00 && c < 0xE000;
}

// A surrogate without its partner: UTF-8 has no form for it (the UTF-8
// writer would turn it into U+FFFD, and two such names into one), so the
// stored text carries its unit in an escape of its own.
bool surrogatSeul(const std::u16string &s, size_t i)
{
    if (estHaut(s[i]))
        return i + 1 >= s.size() || !estBas(s[i + 1]);
    if (estBas(s[i]))
        return i == 0 || !estHaut(s[i - 1]);
    return false;
}

// Walks a name as runs of UTF-8 text between lone surrogates.
template <typename Texte, typename Unite>
void parcourt(const std::u16string &s, Texte texte, Unite unite)
{
    size_t debut = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (surrogatSeul(s, i)) {
            texte(versUtf8(s.substr(debut, i - debut)));
            unite(s[i]);
            debut = i + 1;
        }
    texte(versUtf8(s.substr(debut)));
}

// Four hex digits at s[pos], exactly.
std::optional<char16_t> uniteHexa(const std::string &s, size_t pos)
{
    if (pos + 4 > s.size())
        return std::nullopt;
    unsigned v = 0;
    for (size_t i = pos; i < pos + 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (!std::isxdigit(c))
            return std::nullopt;
        v = v << 4 | unsigned(std::isdigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
    }
    return char16_t(v);
}

// A name as it is read back: UTF-8 bytes, and lone surrogates given by
// their escape. An escape must stand for a surrogate that stays alone (a
// pair has its UTF-8 form), so that each name has a single stored form.
class NomLu
{
public:
    void octet(char c) { m_octets += c; }
    bool unite(char16_t u)
    {
        if (!estHaut(u) && !estBas(u))
            return false;
        vide();
        if (estBas(u) && !m_nom.empty() && estHaut(m_nom.back()))
            return false;
        m_nom += u;
        return true;
    }
    std::u16string nom()
    {
        vide();
        return m_nom;
    }

private:
    void vide()
    {
        m_nom += depuisUtf8(m_octets);
        m_octets.clear();
    }
    std::u16string m_nom;
    std::string m_octets;
};

std::string cite(const std::u16string &s)
{
    std::string out = "\"";
    const auto texte = [&out](const std::string &utf8) {
        for (char c : utf8) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (c == '\\' || c == '"') {
                out += '\\';
                out += c;
            } else if (u < 0x20 || u == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02x", u);
                out += buf;
            } else {
                out += c;
            }
        }
    };
    const auto unite = [&out](char16_t u) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(u));
        out += buf;
    };
    parcourt(s, texte, unite);
    return out + "\"";
}

// The UTF-16 text of a REG_SZ value when its bytes are exactly one text and
// its NUL (and the text round-trips through UTF-8).
std::optional<std::u16string> chaineSimple(const std::vector<uint8_t> &d)
{
    if (d.size() < 2 || d.size() % 2)
        return std::nullopt;
    std::u16string s;
    for (size_t i = 0; i + 2 < d.size(); i += 2) {
        const char16_t c = char16_t(d[i] | (d[i + 1] << 8));
        if (c == 0)
            return std::nullopt;
        s += c;
    }
    if (d[d.size() - 2] || d[d.size() - 1])
        return std::nullopt;
    if (depuisUtf8(versUtf8(s)) != s)
        return std::nullopt;
    return s;
}

std::string hexa(const std::vector<uint8_t> &d)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < d.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02x", d[i]);
        if (i)
            out += ',';
        out += buf;
    }
    return out;
}

// A key name as it stands in a key line: "%", control characters and DEL
// as "%" and two hex digits, so that no key name can end its line early or
// be read back as another name; a lone surrogate as "%u" and four.
std::string nomCleEchappe(const std::u16string &nom)
{
    std::string out;
    const auto texte = [&out](const std::string &utf8) {
        for (char c : utf8) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (u < 0x20 || u == 0x7F || c == '%') {
                char buf[4];
                std::snprintf(buf, sizeof buf, "%%%02X", u);
                out += buf;
            } else {
                out += c;
            }
        }
    };
    const auto unite = [&out](char16_t u) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%%u%04X", unsigned(u));
        out += buf;
    };
    parcourt(nom, texte, unite);
    return out;
}

std::optional<std::u16string> nomCleLu(const std::string &s)
{
    NomLu out;
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char u = static_cast<unsigned char>(s[i]);
        if (u < 0x20 || u == 0x7F)
            return std::nullopt;
        if (s[i] != '%') {
            out.octet(s[i]);
            continue;
        }
        if (i + 1 < s.size() && s[i + 1] == 'u') {
            const auto unite = uniteHexa(s, i + 2);
            if (!unite || !out.unite(*unite))
                return std::nullopt;
            i += 5;
            continue;
        }
        unsigned v = 0;
        if (i + 2 >= s.size() || std::sscanf(s.substr(i + 1, 2).c_str(), "%2x", &v) != 1
            || !std::isxdigit(static_cast<unsigned char>(s[i + 1]))
            || !std::isxdigit(static_cast<unsigned char>(s[i + 2])))
            return std::nullopt;
        out.octet(char(v));
        i += 2;
    }
    return out.nom();
}

void ecritCle(const CleReg &k, const std::string &chemin, std::string &out)
{
    out += "[" + chemin + "]\n";
    for (const auto &v : k.valeurs) {
        out += v.nom.empty() ? std::string("@") : cite(v.nom);
        out += '=';
        char buf[32];
        if (v.type == OVD_REG_DWORD && v.donnees.size() == 4) {
            const uint32_t n = v.donnees[0] | (v.donnees[1] << 8) | (v.donnees[2] << 16)
                               | (uint32_t(v.donnees[3]) << 24);
            std::snprintf(buf, sizeof buf, "dword:%08x", n);
            out += buf;
        } else if (v.type == 1 && chaineSimple(v.donnees)) {
            out += cite(*chaineSimple(v.donnees));
        } else if (v.type == 3) {
            out += "hex:" + hexa(v.donnees);
        } else {
            std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
            out += buf + hexa(v.donnees);
        }
        out += '\n';
    }
    out += '\n';
    for (const auto &s : k.sousCles)
        ecritCle(*s, chemin + "\\" + nomCleEchappe(s->nom), out);
}

// A quoted text starting at line[pos]; pos moves past the closing quote.
std::optional<std::u16string> litCite(const std::string &line, size_t &pos)
{
    if (pos >= line.size() || line[pos] != '"')
        return std::nullopt;
    NomLu out;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return out.nom();
        }
        if (c == '\\') {
            if (++pos >= line.size())
                return std::nullopt;
            const char e = line[pos];
            if (e == '\\' || e == '"') {
                out.octet(e);
            } else if (e == 'x' && pos + 2 < line.size()) {
                unsigned v = 0;
                if (std::sscanf(line.substr(pos + 1, 2).c_str(), "%2x", &v) != 1)
                    return std::nullopt;
                out.octet(char(v));
                pos += 2;
            } else if (e == 'u') {
                const auto unite = uniteHexa(line, pos + 1);
                if (!unite || !out.unite(*unite))
                    return std::nullopt;
                pos += 4;
            } else {
                return std::nullopt;
            }
        } else {
            out.octet(c);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<uint8_t>> litHexa(const std::string &s)
{
    std::vector<uint8_t> out;
    if (s.empty())
        return out;
    size_t pos = 0;
    for (;;) {
        if (pos + 2 > s.size())
            return std::nullopt;
        unsigned v = 0;
        for (int i = 0; i < 2; ++i) {
            const char c = s[pos + i];
            v <<= 4;
            if (c >= '0' && c <= '9')
                v |= unsigned(c - '0');
            else if (c >= 'a' && c <= 'f')
                v |= unsigned(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                v |= unsigned(c - 'A' + 10);
            else
                return std::nullopt;
        }
        out.push_back(uint8_t(v));
        pos += 2;
        if (pos == s.size())
            return out;
        if (s[pos] != ',')
            return std::nullopt;
        ++pos;
    }
}

} // namespace

std::string Registre::texte() const
{
    std::string out = "; Orvandel device simulator registry\n\n";
    ecritCle(m_hkcu, "HKEY_CURRENT_USER", out);
    ecritCle(m_hklm, "HKEY_LOCAL_MACHINE", out);
    return out;
}

std::optional<Registre> Registre::lire(const std::string &texte)
{
    Registre r;
    CleReg *cur = nullptr;
    size_t pos = 0;
    while (pos < texte.size()) {
        size_t eol = texte.find('\n', pos);
        if (eol == std::string::npos)
            eol = texte.size();
        std::string line = texte.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']')
                return std::nullopt;
            // Split first, then decode each name: an escaped name may hold
            // any character but "\".
            const auto brut = decoupeCle(depuisUtf8(line.substr(1, line.size() - 2)));
            if (!brut || brut->empty())
                return std::nullopt;
            std::vector<std::u16string> decodes;
            for (const auto &p : *brut) {
                const auto n = nomCleLu(versUtf8(p));
                if (!n || n->empty())
                    return std::nullopt;
                decodes.push_back(*n);
            }
            const std::optional<std::vector<std::u16string>> parts = decodes;
            const std::u16string root = cleSansCasse((*parts)[0]);
            cur = root == u"HKEY_CURRENT_USER" ? &r.m_hkcu
                  : root == u"HKEY_LOCAL_MACHINE" ? &r.m_hklm
                                                   : nullptr;
            if (!cur)
                return std::nullopt;
            for (size_t i = 1; i < parts->size(); ++i)
                cur = &cur->ajouteSousCle((*parts)[i]);
            continue;
        }
        if (!cur)
            return std::nullopt;
        size_t p = 0;
        std::u16string nom;
        if (line[0] == '@') {
            p = 1;
        } else {
            const auto n = litCite(line, p);
            if (!n)
                return std::nullopt;
            nom = *n;
        }
        if (p >= line.size() || line[p] != '=')
            return std::nullopt;
        const std::string v = line.substr(p + 1);
        if (v.rfind("dword:", 0) == 0) {
            const auto h = v.substr(6);
            if (h.size() != 8 || h.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return std::nullopt;
            cur->fixeValeur(nom, OVD_REG_DWORD, octetsDword(uint32_t(std::stoul(h, nullptr, 16))));
        } else if (v.rfind("hex:", 0) == 0) {
            const auto d = litHexa(v.substr(4));
            if (!d)
                return std::nullopt;
            cur->fixeValeur(nom, 3, *d);
        } else if (v.rfind("hex(", 0) == 0) {
            const size_t close = v.find("):");
            if (close == std::string::npos || close == 4 || close > 12)
                return std::nullopt;
            const std::string t = v.substr(4, close - 4);
            if (t.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                return std::nullopt;
            const auto d = litHexa(v.substr(close + 2));
            if (!d)
                return std::nullopt;
            cur->fixeValeur(nom, uint32_t(std::stoul(t, nullptr, 16)), *d);
        } else {
            size_t q = 0;
            const auto s = litCite(v, q);
            if (!s || q != v.size())
                return std::nullopt;
            cur->fixeValeur(nom, 1, octetsChaine(*s));
        }
    }
    return r;
}

} // namespace devsim
