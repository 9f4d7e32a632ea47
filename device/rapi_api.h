#pragma once

// The C interface of the device library: the remote API, the partnership
// services and the connection manager, under their ActiveSync names and types.
// It is shared by the program, which binds the library at run time, and by our
// device simulator, which implements it. Records are laid out here once; the
// program never relies on a field that is not listed.
//
// Strings are UTF-16 (WCHAR is a 16-bit code unit, never wchar_t).

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
typedef char16_t WCHAR;
extern "C" {
#else
typedef uint16_t WCHAR;
#endif

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef int32_t BOOL;
typedef int32_t HRESULT;
typedef uint8_t BYTE;
typedef unsigned int UINT;
typedef uintptr_t CEHANDLE; // file and search handles
typedef uint32_t CEHKEY;    // registry keys
typedef uint32_t CEHWND;    // device windows, 0 = none
typedef uintptr_t HCESVC;   // partnership data

#define OVD_INVALID_HANDLE ((CEHANDLE)-1)

#define OVD_HKEY_CURRENT_USER ((CEHKEY)0x80000001u)
#define OVD_HKEY_LOCAL_MACHINE ((CEHKEY)0x80000002u)

#define OVD_REG_NONE 0
#define OVD_REG_SZ 1
#define OVD_REG_EXPAND_SZ 2
#define OVD_REG_BINARY 3
#define OVD_REG_DWORD 4
#define OVD_REG_MULTI_SZ 7

// Win32 error codes the device returns.
#define OVD_ERROR_SUCCESS 0
#define OVD_ERROR_FILE_NOT_FOUND 2
#define OVD_ERROR_PATH_NOT_FOUND 3
#define OVD_ERROR_ACCESS_DENIED 5
#define OVD_ERROR_INVALID_HANDLE 6
#define OVD_ERROR_NOT_READY 21
#define OVD_ERROR_READ_FAULT 30
#define OVD_ERROR_SHARING_VIOLATION 32
#define OVD_ERROR_FILE_EXISTS 80
#define OVD_ERROR_INVALID_PARAMETER 87
#define OVD_ERROR_DISK_FULL 112
#define OVD_ERROR_INSUFFICIENT_BUFFER 122
#define OVD_ERROR_INVALID_NAME 123
#define OVD_ERROR_DIR_NOT_EMPTY 145
#define OVD_ERROR_ALREADY_EXISTS 183
#define OVD_ERROR_MORE_DATA 234
#define OVD_ERROR_NO_MORE_ITEMS 259
#define OVD_ERROR_KEY_DELETED 1018

#define OVD_E_FAIL ((HRESULT)0x80004005)
#define OVD_E_NOTIMPL ((HRESULT)0x80004001)
#define OVD_E_INVALIDARG ((HRESULT)0x80070057)
#define OVD_E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define OVD_HRESULT_NO_MORE_ITEMS ((HRESULT)0x80070103)
#define OVD_HRESULT_INSUFFICIENT_BUFFER ((HRESULT)0x8007007A)

#define OVD_GENERIC_READ 0x80000000u
#define OVD_GENERIC_WRITE 0x40000000u
#define OVD_FILE_SHARE_READ 1u
#define OVD_FILE_SHARE_WRITE 2u
#define OVD_CREATE_NEW 1
#define OVD_CREATE_ALWAYS 2
#define OVD_OPEN_EXISTING 3
#define OVD_OPEN_ALWAYS 4
#define OVD_TRUNCATE_EXISTING 5
#define OVD_FILE_ATTRIBUTE_DIRECTORY 0x10u
#define OVD_FILE_ATTRIBUTE_NORMAL 0x80u
#define OVD_MAX_PATH 260

// Connection record: heRapiInit is a descriptor that becomes readable when the
// attempt completes; hrRapiInit is then its result (0 = connected).
typedef struct RAPIINIT {
    DWORD cbSize;
    int32_t heRapiInit;
    HRESULT hrRapiInit;
} RAPIINIT;

typedef struct CEFILETIME { // 100 ns ticks since 1601, UTC
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} CEFILETIME;

typedef struct CE_FIND_DATA {
    DWORD dwFileAttributes;
    CEFILETIME ftCreationTime;
    CEFILETIME ftLastAccessTime;
    CEFILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[OVD_MAX_PATH]; // always NUL-terminated
} CE_FIND_DATA;

typedef struct CEOSVERSIONINFO {
    DWORD dwOSVersionInfoSize; // 276
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId; // 3 = Windows CE
    WCHAR szCSDVersion[128];
} CEOSVERSIONINFO;

typedef struct CEMEMORYSTATUS {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORD dwTotalPhys;
    DWORD dwAvailPhys;
    DWORD dwTotalPageFile;
    DWORD dwAvailPageFile;
    DWORD dwTotalVirtual;
    DWORD dwAvailVirtual;
} CEMEMORYSTATUS;

typedef struct STORE_INFORMATION {
    DWORD dwStoreSize;
    DWORD dwFreeSize;
} STORE_INFORMATION;

typedef struct SYSTEM_POWER_STATUS_EX {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
    BYTE Reserved2;
    BYTE BackupBatteryFlag;
    BYTE BackupBatteryLifePercent;
    BYTE Reserved3;
    DWORD BackupBatteryLifeTime;
    DWORD BackupBatteryFullLifeTime;
} SYSTEM_POWER_STATUS_EX;

#define OVD_CEOSVERSIONINFO_SIZE 276
#define OVD_RAPIINIT_SIZE 12

// ---------------------------------------------------------------------------
// Remote API entries: OVD_RAPI_ENTRIES(X) calls
//   X(result type, name, (parameters), (arguments), failure value)
// once per entry. The failure value is what the program's guarded wrapper
// returns when the library or the entry is missing.
#define OVD_RAPI_ENTRIES(X) \
    X(HRESULT, CeRapiInitEx, (RAPIINIT *pRapiInit), (pRapiInit), 0xFFFF) \
    X(HRESULT, CeRapiUninit, (void), (), 0xFFFF) \
    X(HRESULT, CeRapiGetError, (void), (), 0xFFFF) \
    X(HRESULT, CeRapiFreeBuffer, (void *buffer), (buffer), 0xFFFF) \
    X(DWORD, CeGetLastError, (void), (), 0xFFFF) \
    X(CEHANDLE, CeFindFirstFile, (const WCHAR *fileName, CE_FIND_DATA *findData), (fileName, findData), OVD_INVALID_HANDLE) \
    X(BOOL, CeFindNextFile, (CEHANDLE hFind, CE_FIND_DATA *findData), (hFind, findData), 0) \
    X(BOOL, CeFindClose, (CEHANDLE hFind), (hFind), 0) \
    X(BOOL, CeFindAllFiles, (const WCHAR *pattern, DWORD flags, DWORD *foundCount, CE_FIND_DATA **findDataArray), (pattern, flags, foundCount, findDataArray), 0) \
    X(DWORD, CeGetFileAttributes, (const WCHAR *fileName), (fileName), 0xFFFFFFFFu) \
    X(CEHANDLE, CeCreateFile, (const WCHAR *fileName, DWORD access, DWORD shareMode, void *security, DWORD disposition, DWORD attributes, CEHANDLE templateFile), (fileName, access, shareMode, security, disposition, attributes, templateFile), OVD_INVALID_HANDLE) \
    X(BOOL, CeReadFile, (CEHANDLE hFile, void *buffer, DWORD toRead, DWORD *read, void *overlapped), (hFile, buffer, toRead, read, overlapped), 0) \
    X(BOOL, CeWriteFile, (CEHANDLE hFile, const void *buffer, DWORD toWrite, DWORD *written, void *overlapped), (hFile, buffer, toWrite, written, overlapped), 0) \
    X(BOOL, CeCloseHandle, (CEHANDLE handle), (handle), 0) \
    X(DWORD, CeGetFileSize, (CEHANDLE hFile, DWORD *sizeHigh), (hFile, sizeHigh), 0xFFFFFFFFu) \
    X(BOOL, CeCreateDirectory, (const WCHAR *path, void *security), (path, security), 0) \
    X(BOOL, CeRemoveDirectory, (const WCHAR *path), (path), 0) \
    X(BOOL, CeMoveFile, (const WCHAR *existing, const WCHAR *newName), (existing, newName), 0) \
    X(BOOL, CeCopyFile, (const WCHAR *existing, const WCHAR *newName, BOOL failIfExists), (existing, newName, failIfExists), 0) \
    X(BOOL, CeDeleteFile, (const WCHAR *fileName), (fileName), 0) \
    X(LONG, CeRegOpenKeyEx, (CEHKEY hKey, const WCHAR *subKey, DWORD options, DWORD samDesired, CEHKEY *result), (hKey, subKey, options, samDesired, result), 0xFFFF) \
    X(LONG, CeRegEnumKeyEx, (CEHKEY hKey, DWORD index, WCHAR *name, DWORD *cchName, DWORD *reserved, WCHAR *className, DWORD *cchClass, CEFILETIME *lastWrite), (hKey, index, name, cchName, reserved, className, cchClass, lastWrite), 0xFFFF) \
    X(LONG, CeRegCreateKeyEx, (CEHKEY hKey, const WCHAR *subKey, DWORD reserved, WCHAR *className, DWORD options, DWORD samDesired, void *security, CEHKEY *result, DWORD *disposition), (hKey, subKey, reserved, className, options, samDesired, security, result, disposition), 0xFFFF) \
    X(LONG, CeRegCloseKey, (CEHKEY hKey), (hKey), 0xFFFF) \
    X(LONG, CeRegDeleteKey, (CEHKEY hKey, const WCHAR *subKey), (hKey, subKey), 0xFFFF) \
    X(LONG, CeRegEnumValue, (CEHKEY hKey, DWORD index, WCHAR *name, DWORD *cchName, DWORD *reserved, DWORD *type, BYTE *data, DWORD *cbData), (hKey, index, name, cchName, reserved, type, data, cbData), 0xFFFF) \
    X(LONG, CeRegDeleteValue, (CEHKEY hKey, const WCHAR *valueName), (hKey, valueName), 0xFFFF) \
    X(LONG, CeRegQueryInfoKey, (CEHKEY hKey, WCHAR *className, DWORD *cchClass, DWORD *reserved, DWORD *subKeys, DWORD *maxSubKeyLen, DWORD *maxClassLen, DWORD *values, DWORD *maxValueNameLen, DWORD *maxValueLen, DWORD *securityDescriptor, CEFILETIME *lastWrite), (hKey, className, cchClass, reserved, subKeys, maxSubKeyLen, maxClassLen, values, maxValueNameLen, maxValueLen, securityDescriptor, lastWrite), 0xFFFF) \
    X(LONG, CeRegQueryValueEx, (CEHKEY hKey, const WCHAR *valueName, DWORD *reserved, DWORD *type, BYTE *data, DWORD *cbData), (hKey, valueName, reserved, type, data, cbData), 0xFFFF) \
    X(LONG, CeRegSetValueEx, (CEHKEY hKey, const WCHAR *valueName, DWORD reserved, DWORD type, const BYTE *data, DWORD cbData), (hKey, valueName, reserved, type, data, cbData), 0xFFFF) \
    X(BOOL, CeGetStoreInformation, (STORE_INFORMATION *info), (info), 0) \
    X(int, CeGetSystemMetrics, (int index), (index), 0xFFFF) \
    X(BOOL, CeGetVersionEx, (CEOSVERSIONINFO *info), (info), 0) \
    X(CEHWND, CeGetWindow, (CEHWND hWnd, UINT cmd), (hWnd, cmd), 0xFFFF) \
    X(LONG, CeGetWindowLong, (CEHWND hWnd, int index), (hWnd, index), 0xFFFF) \
    X(int, CeGetWindowText, (CEHWND hWnd, WCHAR *text, int cchMax), (hWnd, text, cchMax), 0xFFFF) \
    X(int, CeGetClassName, (CEHWND hWnd, WCHAR *name, int cchMax), (hWnd, name, cchMax), 0xFFFF) \
    X(BOOL, CeGetSystemPowerStatusEx, (SYSTEM_POWER_STATUS_EX *status, BOOL update), (status, update), 0) \
    X(DWORD, CeGetTempPath, (DWORD cchBuffer, WCHAR *buffer), (cchBuffer, buffer), 0xFFFF) \
    X(DWORD, CeGetSpecialFolderPath, (int folder, DWORD cchBuffer, WCHAR *buffer), (folder, cchBuffer, buffer), 0xFFFF) \
    X(BOOL, CeQueryInstructionSet, (DWORD query, DWORD *instructionSet), (query, instructionSet), 0)

// CeGlobalMemoryStatus has no result; its wrapper does nothing when missing.
#define OVD_RAPI_VOID_ENTRIES(X) \
    X(void, CeGlobalMemoryStatus, (CEMEMORYSTATUS *status), (status), 0)

// Partnership services (CeUtil).
#define OVD_CEUTIL_ENTRIES(X) \
    X(DWORD, CeGetDeviceId, (void), (), 0xFFFE) \
    X(HRESULT, CeSvcOpen, (UINT service, DWORD deviceId, BOOL create, HCESVC *result), (service, deviceId, create, result), 0xFFFF) \
    X(HRESULT, CeSvcClose, (HCESVC hSvc), (hSvc), 0xFFFF) \
    X(HRESULT, CeSvcGetString, (HCESVC hSvc, const WCHAR *valueName, WCHAR *buffer, DWORD cchBuffer), (hSvc, valueName, buffer, cchBuffer), 0xFFFF) \
    X(HRESULT, CeSvcGetDword, (HCESVC hSvc, const WCHAR *valueName, DWORD *value), (hSvc, valueName, value), 0xFFFF) \
    X(HRESULT, CeSvcEnumProfiles, (HCESVC *hSvc, DWORD index, DWORD *profile), (hSvc, index, profile), 0xFFFF)

// ---------------------------------------------------------------------------
// Connection manager. A manager owns one event descriptor; while it is
// readable, DccManDispatch delivers the pending notifications synchronously,
// on the calling thread, to every advised sink. A sink that is unadvised (or
// a manager that is released) never receives anything afterwards.
typedef struct OvdDccMan *DCCMAN;

typedef struct DccManSinkVtbl {
    HRESULT (*OnLogIpAddr)(void *context, DWORD address);
    HRESULT (*OnLogTerminated)(void *context);
    HRESULT (*OnLogActive)(void *context);
    HRESULT (*OnLogInactive)(void *context);
    HRESULT (*OnLogAnswered)(void *context);
    HRESULT (*OnLogListen)(void *context);
    HRESULT (*OnLogDisconnection)(void *context);
    HRESULT (*OnLogError)(void *context);
} DccManSinkVtbl;

#define OVD_DCCMAN_ENTRIES(X) \
    X(HRESULT, DccManCreate, (DCCMAN *result), (result), OVD_E_FAIL) \
    X(void, DccManRelease, (DCCMAN manager), (manager), 0) \
    X(HRESULT, DccManAdvise, (DCCMAN manager, const DccManSinkVtbl *sink, void *context, DWORD *cookie), (manager, sink, context, cookie), OVD_E_FAIL) \
    X(HRESULT, DccManUnadvise, (DCCMAN manager, DWORD cookie), (manager, cookie), OVD_E_FAIL) \
    X(HRESULT, DccManShowCommSettings, (DCCMAN manager), (manager), OVD_E_FAIL) \
    X(int, DccManEventFd, (DCCMAN manager), (manager), -1) \
    X(HRESULT, DccManDispatch, (DCCMAN manager), (manager), OVD_E_FAIL)

// Notification codes of the simulator's raw events (the sink's slot order).
enum OvdDccEvent {
    OVD_DCC_IPADDR = 1,
    OVD_DCC_TERMINATED = 2,
    OVD_DCC_ACTIVE = 3,
    OVD_DCC_INACTIVE = 4,
    OVD_DCC_ANSWERED = 5,
    OVD_DCC_LISTEN = 6,
    OVD_DCC_DISCONNECTION = 7,
    OVD_DCC_ERROR = 8
};

// ---------------------------------------------------------------------------
// Simulator control, for tests and the ovd-devsim tool (not part of a real
// device library). Results: 0 or more on success, negative on error.
#define OVD_SIM_CONTROL_ENTRIES(X) \
    X(int, OvdSimInit, (const char *dir), (dir), -1) \
    X(int, OvdSimAttach, (const char *dir), (dir), -1) \
    X(int, OvdSimPlug, (const char *dir, DWORD ipAddress), (dir, ipAddress), -1) \
    X(int, OvdSimUnplug, (const char *dir), (dir), -1) \
    X(int, OvdSimRaise, (const char *dir, int code, DWORD argument), (dir, code, argument), -1) \
    X(int, OvdSimSetOption, (const char *dir, const char *section, const char *key, const char *value), (dir, section, key, value), -1) \
    X(int, OvdSimStatus, (const char *dir, char *buffer, size_t size), (dir, buffer, size), -1) \
    X(int, OvdSimSessionCount, (void), (), -1) \
    X(int, OvdSimOpenHandleCount, (void), (), -1) \
    X(int, OvdSimCallCount, (const char *entry), (entry), -1) \
    X(int, OvdSimFlush, (void), (), -1) \
    X(int, OvdSimDefaultDir, (char *buffer, size_t size), (buffer, size), -1) \
    X(int, OvdSimSetDword, (const char *dir, const char *key, const char *valueName, DWORD value), (dir, key, valueName, value), -1) \
    X(int, OvdSimKeyExists, (const char *dir, const char *key), (dir, key), -1)

#define OVD_DECLARE_ENTRY(ret, name, params, args, fail) \
    __attribute__((visibility("default"))) ret name params;
#define OVD_DECLARE_POINTER_TYPE(ret, name, params, args, fail) typedef ret(*PFN_##name) params;

#ifdef OVD_DEVICE_LIBRARY_IMPLEMENTATION
// Only the library declares the functions themselves; the program binds them.
OVD_RAPI_ENTRIES(OVD_DECLARE_ENTRY)
OVD_RAPI_VOID_ENTRIES(OVD_DECLARE_ENTRY)
OVD_CEUTIL_ENTRIES(OVD_DECLARE_ENTRY)
OVD_DCCMAN_ENTRIES(OVD_DECLARE_ENTRY)
OVD_SIM_CONTROL_ENTRIES(OVD_DECLARE_ENTRY)
#endif

OVD_RAPI_ENTRIES(OVD_DECLARE_POINTER_TYPE)
OVD_RAPI_VOID_ENTRIES(OVD_DECLARE_POINTER_TYPE)
OVD_CEUTIL_ENTRIES(OVD_DECLARE_POINTER_TYPE)
OVD_DCCMAN_ENTRIES(OVD_DECLARE_POINTER_TYPE)
OVD_SIM_CONTROL_ENTRIES(OVD_DECLARE_POINTER_TYPE)

#ifdef __cplusplus
} // extern "C"
static_assert(sizeof(RAPIINIT) == OVD_RAPIINIT_SIZE);
static_assert(sizeof(CEOSVERSIONINFO) == OVD_CEOSVERSIONINFO_SIZE);
static_assert(sizeof(WCHAR) == 2);
#endif
