// The run-time binding of the device library: failure values without the
// library or an entry, and opening and closing the device connection.

#include "device/etat_pda.h"
#include "device/lien_rapi.h"
#include "device/valeurs_echec.h"
#include "tests/support/devsim_support.h"

#include <gtest/gtest.h>

using namespace devsimtest;

namespace {

// Calls a wrapper with every argument value-initialised (null pointers,
// zeros): safe only when nothing is called.
template <typename R, typename... A>
R appelleAVide(LienRapi &l, R (LienRapi::*f)(A...))
{
    return (l.*f)(A{}...);
}

} // namespace

TEST(LienRapi, SansBibliothequeChaqueWrapperRendSaValeurDEchec)
{
    LienRapi lien(testenv::tempDir() + QStringLiteral("/absent/librapi.so"));
    EXPECT_FALSE(lien.LoadRapi());
    EXPECT_FALSE(lien.ChargeCeUtil());
#define OVD_CHECK(ret, name, params, args, fail) \
    EXPECT_EQ(appelleAVide(lien, &LienRapi::name), static_cast<ret>(fail)) << #name;
    OVD_RAPI_ENTRIES(OVD_CHECK)
    OVD_CEUTIL_ENTRIES(OVD_CHECK)
#undef OVD_CHECK
    // The specific values the callers compare with.
    EXPECT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, nullptr), 0xFFFF);
    EXPECT_EQ(lien.CeCreateFile(u"\\x", OVD_GENERIC_READ, 1, nullptr, 3, 0x80, 0), OVD_INVALID_HANDLE);
    EXPECT_EQ(lien.CeReadFile(0, nullptr, 0, nullptr, nullptr), 0);
    EXPECT_EQ(lien.CeGetDeviceId(), 0xFFFEu);
    EXPECT_EQ(lien.CeSvcEnumProfiles(nullptr, 0, nullptr), 0xFFFF);
    CEMEMORYSTATUS mem{};
    mem.dwMemoryLoad = 77;
    lien.CeGlobalMemoryStatus(&mem);
    EXPECT_EQ(mem.dwMemoryLoad, 77u); // nothing written
    EXPECT_FALSE(lien.ConnecteCE(10));
    DCCMAN m = reinterpret_cast<DCCMAN>(&mem);
    EXPECT_NE(lien.DccManCreate(&m), 0);
    EXPECT_EQ(m, nullptr);
    // A later call tries the load again.
    EXPECT_FALSE(lien.LoadRapi());
    EXPECT_EQ(lien.chargementsRapi(), 0);
}

TEST(LienRapi, SansBibliothequeLEtatEstMissingEtRienNeChange)
{
    EtatPDA etat(testenv::tempDir() + QStringLiteral("/absent/librapi.so"));
    etat.demarre();
    EXPECT_FALSE(etat.RapiPresent);
    EXPECT_EQ(etat.DccMan, nullptr);
    EXPECT_EQ(etat.texteEtat(), QStringLiteral("Missing"));
    etat.arrete();
    EXPECT_FALSE(etat.PDAConnecte);
}

TEST(LienRapi, UneEntreeManquanteNeDesactiveQueSonWrapper)
{
    Controle c(cheminSimulateurPartiel());
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 2)), 0);

    LienRapi lien(cheminSimulateurPartiel());
    ASSERT_TRUE(lien.LoadRapi());
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_EQ(lien.CeGetWindow(0, 5), 0xFFFFu); // the missing entry
    EXPECT_EQ(lien.CeGetWindowLong(1, -16), LONG(0x10000000)); // its neighbours work
    CEHKEY k = 0;
    ASSERT_EQ(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), 0);
    EXPECT_EQ(lien.CeRegCloseKey(k), 0);
    EXPECT_NE(lien.CeGetDeviceId(), 0xFFFEu);

    // Without the connection manager there is no sink: -1, empty, no events.
    TDccMan watcher(lien);
    EXPECT_FALSE(watcher.managerCree());
    EXPECT_EQ(watcher.Status(), -1);
    EXPECT_TRUE(watcher.StatusText().isEmpty());
    watcher.Advise();
    EXPECT_FALSE(watcher.advise());
    lien.DeconnecteCE();
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
}

TEST(LienRapi, LoadRapiNeChargeQuUneFois)
{
    LienRapi lien(cheminSimulateur());
    EXPECT_TRUE(lien.LoadRapi());
    EXPECT_TRUE(lien.LoadRapi());
    EXPECT_EQ(lien.chargementsRapi(), 1);
    EXPECT_TRUE(lien.HandleRapi());
    lien.Libere();
    EXPECT_FALSE(lien.HandleRapi());
}

TEST(LienRapi, SansCeUtilSeulesLesEntreesDePartenariatEchouent)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 2)), 0);
    LienRapi lien(cheminSimulateur(), testenv::tempDir() + QStringLiteral("/absent/libceutil.so"));
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_EQ(lien.CeGetDeviceId(), 0xFFFEu);
    HCESVC h = 0;
    EXPECT_EQ(lien.CeSvcOpen(3, 0x1A2B3C4D, 0, &h), 0xFFFF);
    EXPECT_EQ(lien.CeGetSystemMetrics(0), 240);
    lien.DeconnecteCE();
}

TEST(ConnecteCE, AppareilBrancheSeConnecteEtSeDeconnecte)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(192, 168, 0, 1)), 0); // nobody watches: 0
    LienRapi lien(cheminSimulateur());
    ASSERT_TRUE(lien.ConnecteCE(5000));
    EXPECT_EQ(c.OvdSimSessionCount(), 1);
    EXPECT_EQ(lien.CeGetSystemMetrics(1), 320);
    lien.DeconnecteCE();
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
    // After the end of the session every call fails cleanly.
    CEHKEY k = 0;
    EXPECT_NE(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), 0);
    CE_FIND_DATA fd{};
    EXPECT_EQ(lien.CeFindFirstFile(u"\\Windows", &fd), OVD_INVALID_HANDLE);
    EXPECT_EQ(lien.CeGetSystemMetrics(0), 0);
}

TEST(ConnecteCE, AppareilQuiRepondApresUnDelaiEstAttendu)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Device", "AnswerDelayMs", "30"), 0);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 1, 1, 1)), 0);
    LienRapi lien(cheminSimulateur());
    EXPECT_TRUE(lien.ConnecteCE(5000));
    lien.DeconnecteCE();
}

TEST(ConnecteCE, AppareilDebrancheOuMuetEchoueApresLeDelaiSansSessionOuverte)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    // Unplugged: the attempt starts but never completes.
    EXPECT_FALSE(lien.ConnecteCE(40));
    EXPECT_EQ(lien.dernierDebut(), 0);
    EXPECT_EQ(lien.derniereAttente(), 0); // the wait timed out
    EXPECT_EQ(c.OvdSimSessionCount(), 0);

    // Plugged but never answering.
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Device", "NeverAnswer", "1"), 0);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 1, 1, 1)), 0);
    EXPECT_FALSE(lien.ConnecteCE(40));
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
    CEHKEY k = 0;
    EXPECT_NE(lien.CeRegOpenKeyEx(OVD_HKEY_LOCAL_MACHINE, u"Ident", 0, 0, &k), 0);
}

TEST(ConnecteCE, ResultatDErreurEchoueSansSessionOuverte)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Device", "ConnectResult", "0x80004005"), 0);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 1, 1, 1)), 0);
    LienRapi lien(cheminSimulateur());
    EXPECT_FALSE(lien.ConnecteCE(5000));
    EXPECT_EQ(lien.derniereAttente(), 1); // completed, with an error
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
    // A second attempt after a failed one is possible.
    ASSERT_EQ(c.OvdSimSetOption(dir.constData(), "Device", "ConnectResult", "0"), 0);
    EXPECT_TRUE(lien.ConnecteCE(5000));
    lien.DeconnecteCE();
}

TEST(ConnecteCE, UnRegistreEndommageRefuseLaConnexionEtResteIntact)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    const QString reg = QString::fromLocal8Bit(dir) + QStringLiteral("/registry.reg");
    const QByteArray abime = "[HKEY_LOCAL_MACHINE\\Ident]\n\"Name\"=hex:zz\n";
    testenv::writeFile(reg, abime);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 1, 1, 1)), 0);
    LienRapi lien(cheminSimulateur());
    EXPECT_FALSE(lien.ConnecteCE(5000));
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
    EXPECT_EQ(testenv::readFile(reg), abime);
}

TEST(LienRapi, LesValeursDEchecNeSeLisentPasCommeDesSucces)
{
    LienRapi absent(testenv::tempDir() + QStringLiteral("/absent/librapi.so"));
    HCESVC h = 0;
    EXPECT_EQ(CompteProfilsCE(absent, h), 0); // 0xFFFF is no partnership, and the loop ends
    EXPECT_EQ(IdAppareilCE(absent), 0u);      // no CeUtil: no device id
    EXPECT_FALSE(estFenetreCE(absent.CeGetWindow(0, 5)));
    EXPECT_FALSE(estFenetreCE(0));
    EXPECT_TRUE(estFenetreCE(1));

    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 2)), 0);
    LienRapi lien(cheminSimulateur());
    ASSERT_TRUE(lien.ConnecteCE(5000));
    const DWORD id = IdAppareilCE(lien);
    EXPECT_EQ(id, 0x1A2B3C4Du);
    ASSERT_EQ(lien.CeSvcOpen(3, id, 0, &h), 0);
    EXPECT_EQ(CompteProfilsCE(lien, h), 2);
    lien.CeSvcClose(h);
    lien.DeconnecteCE();
}
