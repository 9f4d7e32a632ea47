#include "device/identite_ce.h"

#include "device/fonctions_rapi_registre.h"

IdentiteCE LitIdentiteCE(LienRapi &rapi)
{
    IdentiteCE id;
    CEOSVERSIONINFO v{};
    v.dwOSVersionInfoSize = OVD_CEOSVERSIONINFO_SIZE;
    if (!rapi.CeGetVersionEx(&v))
        return id;
    id.lue = true;
    id.majeure = v.dwMajorVersion;
    id.mineure = v.dwMinorVersion;
    id.build = v.dwBuildNumber;
    id.nom = LitChaineCE(rapi, OVD_HKEY_LOCAL_MACHINE, QStringLiteral("Ident"), QStringLiteral("Name"))
                 .value_or(QString());
    id.idPartenariat = rapi.CeGetDeviceId();
    return id;
}
