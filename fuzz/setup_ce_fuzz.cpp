// The CE setup file (".000") readers on arbitrary bytes: the picture-set
// reader and the INF rebuild, with a member list that pairs every file id
// our writer uses.
#include "theme/inf_rebuilder.h"
#include "theme/setup_ce_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView octets(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QStringList membres{"mythem~1.000", "tdywater.001", "0stwater.002", "stwate~1.003",
                                     "stwate~2.004", "setup.999"};
    const ResultatSetupCE r = LitFichierSetupCE(octets, membres);
    if (r.accepte() && (r.groupeFormat < 0 || r.groupeFormat > 5))
        __builtin_trap();
    LitFichierSetupCE(octets, {});
    LectureSetup lecture;
    lecture.ListeFichiersCab = membres;
    if (const auto rebuilt = ReconstruireInf(octets, lecture, {}))
        if (rebuilt->lecture.TexteInfOrig.isEmpty())
            __builtin_trap(); // an accepted file always gives a text
    return 0;
}
