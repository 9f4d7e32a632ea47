#pragma once

// Test access to the device simulator: the library paths in the build tree,
// its control entries (resolved from the same library file the binding loads,
// so both reach the same simulated device), and a fresh device per test.

#include "device/rapi_api.h"
#include "tests/support/test_env.h"

#include <QLibrary>
#include <QString>

#include <gtest/gtest.h>

namespace devsimtest {

inline QString dossierBin()
{
    return testenv::buildDir() + QStringLiteral("/bin");
}
inline QString cheminSimulateur() { return dossierBin() + QStringLiteral("/liborvandel_devsim.so"); }
inline QString cheminSimulateurPartiel() { return dossierBin() + QStringLiteral("/liborvandel_devsim_partial.so"); }
inline QString cheminOutil() { return dossierBin() + QStringLiteral("/ovd-devsim"); }

// The control entries of one simulator library.
struct Controle {
    explicit Controle(const QString &chemin = cheminSimulateur())
        : lib(chemin)
    {
        // The program under test loads and frees the same library; the test
        // keeps calling it afterwards, so it must stay in the address space.
        lib.setLoadHints(QLibrary::PreventUnloadHint);
        charge = lib.load();
#define OVD_RESOLVE(ret, name, params, args, fail) name = reinterpret_cast<PFN_##name>(lib.resolve(#name)); \
    charge = charge && name;
        OVD_SIM_CONTROL_ENTRIES(OVD_RESOLVE)
#undef OVD_RESOLVE
    }
    QLibrary lib;
    bool charge = false;
#define OVD_FIELD(ret, name, params, args, fail) PFN_##name name = nullptr;
    OVD_SIM_CONTROL_ENTRIES(OVD_FIELD)
#undef OVD_FIELD
};

// Creates the default device in the test's temporary folder and attaches the
// simulator of this process to it.
inline QByteArray nouvelAppareil(Controle &c, const QString &nom = QStringLiteral("device"))
{
    const QByteArray dir = (testenv::tempDir() + QLatin1Char('/') + nom).toLocal8Bit();
    if (!c.charge) {
        ADD_FAILURE() << "simulator library not loaded: " << c.lib.errorString().toStdString();
        return dir;
    }
    EXPECT_EQ(c.OvdSimInit(dir.constData()), 0);
    EXPECT_EQ(c.OvdSimAttach(dir.constData()), 0);
    return dir;
}

inline constexpr DWORD ip(int a, int b, int c, int d)
{
    return DWORD(a) | DWORD(b) << 8 | DWORD(c) << 16 | DWORD(d) << 24;
}

} // namespace devsimtest
