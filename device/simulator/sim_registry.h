#pragma once

// The simulated device's registry: two roots (HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE), keys in creation order, values with a type and raw
// bytes. Names keep their case and are looked up without regard to it.
//
// Stored as a UTF-8 text in the regedit style:
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Color]
//   "BaseHue"=dword:000001a0
//   "5"=hex:2e,97,e3,00
//   "Skin"="\\Windows\\Blue.tsk"
//   "Other"=hex(7):41,00,00,00,00,00
// A string is written in quotes only when its bytes are exactly a UTF-16
// text and one terminating NUL; anything else is written as hex(type) so
// that every value survives a round trip byte for byte. A name may hold any
// UTF-16 units: in a quoted name a control character is "\x" and two hex
// digits, in a key name "%" and two; a surrogate without its partner, which
// UTF-8 cannot hold, is "\u" (quoted) or "%u" (key) and its four digits.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace devsim {

struct ValeurReg {
    std::u16string nom;
    uint32_t type = 0;
    std::vector<uint8_t> donnees;
};

struct CleReg {
    std::u16string nom;
    std::vector<std::unique_ptr<CleReg>> sousCles;
    std::vector<ValeurReg> valeurs;

    CleReg *sousCle(const std::u16string &nom) const;
    ValeurReg *valeur(const std::u16string &nom);
    // Adds (or finds) a sub-key: used to build a device, never by a read.
    CleReg &ajouteSousCle(const std::u16string &nom);
    void fixeValeur(const std::u16string &nom, uint32_t type, std::vector<uint8_t> donnees);
    bool supprimeSousCle(const std::u16string &nom);
    bool supprimeValeur(const std::u16string &nom);
};

class Registre {
public:
    static constexpr uint32_t HKCU = 0x80000001u;
    static constexpr uint32_t HKLM = 0x80000002u;

    CleReg *racine(uint32_t hkey);
    // The key at root\path (components already split); nullptr when any
    // component is missing.
    CleReg *trouve(uint32_t root, const std::vector<std::u16string> &chemin);

    std::string texte() const;
    // Parses a stored registry; nullopt (nothing changed) on a malformed file.
    static std::optional<Registre> lire(const std::string &texte);

private:
    CleReg m_hkcu{u"HKEY_CURRENT_USER", {}, {}};
    CleReg m_hklm{u"HKEY_LOCAL_MACHINE", {}, {}};
};

// Splits a key path at "\"; nullopt when a component is empty.
std::optional<std::vector<std::u16string>> decoupeCle(const std::u16string &chemin);

// Helpers for building values.
std::vector<uint8_t> octetsDword(uint32_t v);
std::vector<uint8_t> octetsChaine(const std::u16string &s);
std::vector<uint8_t> octetsMultiChaine(const std::vector<std::u16string> &l);

} // namespace devsim
