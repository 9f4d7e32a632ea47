#pragma once

// Small text helpers of the device simulator (standard library and POSIX
// only: the simulator never depends on the host program's event loop).

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

// A NUL-terminated UTF-16 string from the caller, bounded; nullopt when the
// pointer is null or no NUL comes within maxUnits.
std::optional<std::u16string> lireChaine(const char16_t *s, size_t maxUnits = 32768);

std::string versUtf8(const std::u16string &s);
std::u16string depuisUtf8(const std::string &s);

// Case-insensitive comparison key (ASCII and Latin-1 letters folded), as
// the device compares file, key and value names.
std::u16string cleSansCasse(const std::u16string &s);
bool egauxSansCasse(const std::u16string &a, const std::u16string &b);

// Copies s with its NUL into buf of cch units; false (buf untouched) when it
// does not fit.
bool copieChaine(const std::u16string &s, char16_t *buf, size_t cch);

// Writes bytes to path through a temporary file in the same folder, flushed
// and renamed over it: readers see the old file or the new one, never a part.
bool ecritAtomique(const std::string &path, const std::string &bytes);
// Removes what ecritAtomique(path, ...) left behind when its process was
// killed before the rename: the plain files named like its temporaries in
// path's folder that no living writer holds. Other names stay.
void enleveTemporairesAbandonnes(const std::string &path);
std::optional<std::string> litFichier(const std::string &path);

// A plain INI text: [Section] then Key=Value lines; names matched without
// regard to case; order kept.
class Ini {
public:
    static Ini lire(const std::string &text);
    std::string texte() const;
    std::string valeur(const std::string &section, const std::string &key,
                       const std::string &defaut = {}) const;
    int64_t nombre(const std::string &section, const std::string &key, int64_t defaut) const;
    void fixe(const std::string &section, const std::string &key, const std::string &value);
    std::vector<std::pair<std::string, std::string>> section(const std::string &name) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    std::vector<Section> m_sections;
};

} // namespace devsim
