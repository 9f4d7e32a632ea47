#include "device/lien_rapi.h"

#include <QCoreApplication>
#include <QDir>

LienRapi::LienRapi(const QString &cheminRapi, const QString &cheminCeUtil)
    : m_rapi(cheminRapi)
{
    QString ceUtil = cheminCeUtil;
    if (ceUtil.isEmpty())
        ceUtil = qEnvironmentVariable("ORVANDEL_CEUTIL");
    if (ceUtil.isEmpty())
        ceUtil = cheminRapi;
    m_ceUtil.setFileName(ceUtil);
}

LienRapi::~LienRapi() = default; // libraries stay loaded until Libere()

QString LienRapi::cheminRapiParDefaut()
{
    const QString env = qEnvironmentVariable("ORVANDEL_RAPI");
    if (!env.isEmpty())
        return env;
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("liborvandel_devsim.so"));
}

bool LienRapi::LoadRapi()
{
    if (m_rapiCharge)
        return true;
    if (m_rapi.fileName().isEmpty() || !m_rapi.load())
        return false;
    ++m_chargementsRapi;
#define OVD_RESOLVE(ret, name, params, args, fail) \
    m_table.name = reinterpret_cast<PFN_##name>(m_rapi.resolve(#name));
    OVD_RAPI_ENTRIES(OVD_RESOLVE)
    OVD_RAPI_VOID_ENTRIES(OVD_RESOLVE)
    OVD_DCCMAN_ENTRIES(OVD_RESOLVE)
#undef OVD_RESOLVE
    m_rapiCharge = true;
    return true;
}

bool LienRapi::ChargeCeUtil()
{
    if (m_ceUtilCharge)
        return true;
    if (m_ceUtil.fileName().isEmpty() || !m_ceUtil.load())
        return false;
#define OVD_RESOLVE(ret, name, params, args, fail) \
    m_tableCeUtil.name = reinterpret_cast<PFN_##name>(m_ceUtil.resolve(#name));
    OVD_CEUTIL_ENTRIES(OVD_RESOLVE)
#undef OVD_RESOLVE
    m_ceUtilCharge = true;
    return true;
}

void LienRapi::Libere()
{
    if (m_ceUtilCharge) {
        m_tableCeUtil = {};
        m_ceUtil.unload();
        m_ceUtilCharge = false;
    }
    if (m_rapiCharge) {
        m_table = {};
        m_rapi.unload();
        m_rapiCharge = false;
    }
}

#define OVD_WRAPPER(ret, name, params, args, fail) \
    ret LienRapi::name params \
    { \
        if (!LoadRapi() || !m_table.name) \
            return static_cast<ret>(fail); \
        return m_table.name args; \
    }
OVD_RAPI_ENTRIES(OVD_WRAPPER)
#undef OVD_WRAPPER

void LienRapi::CeGlobalMemoryStatus(CEMEMORYSTATUS *status)
{
    if (LoadRapi() && m_table.CeGlobalMemoryStatus)
        m_table.CeGlobalMemoryStatus(status);
}

#define OVD_WRAPPER(ret, name, params, args, fail) \
    ret LienRapi::name params \
    { \
        if (!ChargeCeUtil() || !m_tableCeUtil.name) \
            return static_cast<ret>(fail); \
        return m_tableCeUtil.name args; \
    }
OVD_CEUTIL_ENTRIES(OVD_WRAPPER)
#undef OVD_WRAPPER

// The connection manager lives in the device library.
HRESULT LienRapi::DccManCreate(DCCMAN *result)
{
    if (result)
        *result = nullptr;
    if (!LoadRapi() || !m_table.DccManCreate)
        return OVD_E_FAIL;
    return m_table.DccManCreate(result);
}

void LienRapi::DccManRelease(DCCMAN manager)
{
    if (LoadRapi() && m_table.DccManRelease)
        m_table.DccManRelease(manager);
}

#define OVD_WRAPPER(ret, name, params, args, fail) \
    ret LienRapi::name params \
    { \
        if (!LoadRapi() || !m_table.name) \
            return static_cast<ret>(fail); \
        return m_table.name args; \
    }
OVD_WRAPPER(HRESULT, DccManAdvise, (DCCMAN manager, const DccManSinkVtbl *sink, void *context, DWORD *cookie),
            (manager, sink, context, cookie), OVD_E_FAIL)
OVD_WRAPPER(HRESULT, DccManUnadvise, (DCCMAN manager, DWORD cookie), (manager, cookie), OVD_E_FAIL)
OVD_WRAPPER(HRESULT, DccManShowCommSettings, (DCCMAN manager), (manager), OVD_E_FAIL)
OVD_WRAPPER(int, DccManEventFd, (DCCMAN manager), (manager), -1)
OVD_WRAPPER(HRESULT, DccManDispatch, (DCCMAN manager), (manager), OVD_E_FAIL)
#undef OVD_WRAPPER
