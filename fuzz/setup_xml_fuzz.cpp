// The setup XML reader on arbitrary bytes.
#include "theme/setup_xml_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ErreurXmlSetup erreur = ErreurXmlSetup::Aucune;
    const auto r = LireXmlSetup(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), &erreur);
    if (r && (r->groupeFormat < 0 || r->groupeFormat > 6))
        __builtin_trap();
    if (!r && erreur == ErreurXmlSetup::Aucune)
        __builtin_trap(); // a refusal always says why
    return 0;
}
