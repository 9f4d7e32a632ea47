// The simulated device's registry store on arbitrary text: what it reads it
// writes back, and what it writes it reads again to the same text. Then the
// same bytes as key and value names (any UTF-16 units, control characters
// and surrogates included): whatever the registry holds, its stored form
// reads back.
#include "device/simulator/sim_registry.h"

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string>
#include <vector>

namespace {

void stockeEtRelit(const uint8_t *data, size_t size)
{
    // Names are runs of UTF-16 units separated by a zero unit.
    std::vector<std::u16string> noms(1);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t u = char16_t(data[i] | data[i + 1] << 8);
        if (u == 0)
            noms.emplace_back();
        else
            noms.back() += u;
    }
    devsim::Registre r;
    devsim::CleReg *cle = r.racine(devsim::Registre::HKCU);
    for (size_t i = 0; i < noms.size() && i < 64; ++i) {
        if (noms[i].empty())
            continue;
        if (i % 2 == 0) {
            // A key name never holds "\": the device splits key paths there.
            std::u16string nom = noms[i];
            std::replace(nom.begin(), nom.end(), u'\\', u'/');
            cle = &cle->ajouteSousCle(nom);
        } else {
            cle->fixeValeur(noms[i], uint32_t(i % 5), std::vector<uint8_t>(data, data + std::min<size_t>(size, 16)));
        }
    }
    const std::string ecrit = r.texte();
    const auto relu = devsim::Registre::lire(ecrit);
    if (!relu)
        __builtin_trap(); // one odd name made the whole registry unreadable
    if (relu->texte() != ecrit)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    stockeEtRelit(data, size);
    const std::string texte(reinterpret_cast<const char *>(data), size);
    const auto registre = devsim::Registre::lire(texte);
    if (!registre)
        return 0;
    const std::string ecrit = registre->texte();
    const auto relu = devsim::Registre::lire(ecrit);
    if (!relu)
        __builtin_trap(); // the store cannot read what it wrote
    if (relu->texte() != ecrit)
        __builtin_trap(); // a value or a name changed on the way
    return 0;
}
