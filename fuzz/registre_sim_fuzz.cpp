// The simulated device's registry store on arbitrary text: what it reads it
// writes back, and what it writes it reads again to the same text.
#include "device/simulator/sim_registry.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
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
