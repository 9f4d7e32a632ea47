#pragma once

// Binding of the device library (remote API, partnership services and the
// connection manager), loaded at run time and allowed to be absent.
//
// Every entry is reached through a guarded wrapper of the same name: it binds
// the library first and, when the library or the entry is missing, returns
// the entry's fixed failure value (0xFFFF for registry, window, path and
// connection calls, -1 for file and search handles, false for the others)
// without calling anything and without raising.

#include "device/rapi_api.h"

#include <QLibrary>
#include <QString>

class LienRapi
{
public:
    // cheminRapi: the device library; cheminCeUtil: the partnership library
    // (empty: ORVANDEL_CEUTIL when set, else the device library).
    explicit LienRapi(const QString &cheminRapi = cheminRapiParDefaut(),
                      const QString &cheminCeUtil = QString());
    ~LienRapi();
    LienRapi(const LienRapi &) = delete;
    LienRapi &operator=(const LienRapi &) = delete;

    // ORVANDEL_RAPI when set, else the simulator library beside the executable.
    static QString cheminRapiParDefaut();

    // Loads the library once and fetches every entry by name; a name the
    // library lacks leaves its entry empty. False (and a retry on the next
    // call) when the library cannot be loaded.
    bool LoadRapi();
    bool ChargeCeUtil();
    bool HandleRapi() const { return m_rapiCharge; }
    bool HandleCeUtil() const { return m_ceUtilCharge; }
    // Releases the partnership library, then the device library (shut-down).
    void Libere();
    int chargementsRapi() const { return m_chargementsRapi; }

    // Opens the device connection: waits on the attempt's descriptor for at
    // most timeoutMs without running an event loop; a time-out or an error
    // ends the attempt, so no session is left open.
    bool ConnecteCE(int timeoutMs);
    void DeconnecteCE();
    // Counts the connections opened: what was read from the device in one
    // connection is known to belong to that connection only.
    int numeroSession() const { return m_numeroSession; }
    HRESULT dernierDebut() const { return m_dernierDebut; }
    int derniereAttente() const { return m_derniereAttente; }

#define OVD_WRAPPER_DECL(ret, name, params, args, fail) ret name params;
    OVD_RAPI_ENTRIES(OVD_WRAPPER_DECL)
    OVD_RAPI_VOID_ENTRIES(OVD_WRAPPER_DECL)
    OVD_CEUTIL_ENTRIES(OVD_WRAPPER_DECL)
    OVD_DCCMAN_ENTRIES(OVD_WRAPPER_DECL)
#undef OVD_WRAPPER_DECL

private:
    struct Table {
#define OVD_TABLE_FIELD(ret, name, params, args, fail) PFN_##name name = nullptr;
        OVD_RAPI_ENTRIES(OVD_TABLE_FIELD)
        OVD_RAPI_VOID_ENTRIES(OVD_TABLE_FIELD)
        OVD_DCCMAN_ENTRIES(OVD_TABLE_FIELD)
#undef OVD_TABLE_FIELD
    };
    struct TableCeUtil {
#define OVD_TABLE_FIELD(ret, name, params, args, fail) PFN_##name name = nullptr;
        OVD_CEUTIL_ENTRIES(OVD_TABLE_FIELD)
#undef OVD_TABLE_FIELD
    };

    QLibrary m_rapi;
    QLibrary m_ceUtil;
    bool m_rapiCharge = false;
    bool m_ceUtilCharge = false;
    int m_chargementsRapi = 0;
    Table m_table;
    TableCeUtil m_tableCeUtil;
    HRESULT m_dernierDebut = 0;
    int m_derniereAttente = 0;
    int m_numeroSession = 0;
};
