// The connection watcher: the eight notifications, plug and unplug sequences
// reaching it through the event loop, and its lifetime.

#include "device/dcc_man.h"
#include "device/etat_pda.h"
#include "device/lien_rapi.h"
#include "tests/support/attente.h"
#include "tests/support/devsim_support.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace devsimtest;

namespace {

struct Releve {
    std::vector<int> codes;
    std::vector<QString> textes;
    void suit(TDccMan &w)
    {
        QObject::connect(&w, &TDccMan::OnChange, &w, [this](TDccMan *s) {
            codes.push_back(s->Status());
            textes.push_back(s->StatusText());
        });
    }
};

} // namespace

TEST(TDccMan, AvantLaPremiereNotificationEtatZeroEtTexteVide)
{
    Controle c;
    nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    TDccMan w(lien);
    EXPECT_TRUE(w.managerCree());
    EXPECT_EQ(w.Status(), 0);
    EXPECT_TRUE(w.StatusText().isEmpty());
}

TEST(TDccMan, LesHuitNotificationsDonnentLeurCodeEtLeurTexte)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    TDccMan w(lien);
    Releve r;
    r.suit(w);
    QSignalSpy spy(&w, &TDccMan::OnChange);
    w.Advise();
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000)); // the unplugged device listens
    EXPECT_EQ(r.codes.front(), 6);

    for (int code = 1; code <= 8; ++code)
        ASSERT_EQ(c.OvdSimRaise(dir.constData(), code, ip(192, 168, 0, 1)), 1);
    ASSERT_EQ(c.OvdSimRaise(dir.constData(), 8, 0), 1); // twice the same: twice OnChange
    ASSERT_TRUE(testenv::attendSignaux(spy, 10, 5000));
    const std::vector<int> codes(r.codes.begin() + 1, r.codes.end());
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 8}));
    const std::vector<QString> textes(r.textes.begin() + 1, r.textes.end());
    EXPECT_EQ(textes, (std::vector<QString>{QStringLiteral("IP Adress : 192.168.0.1"), QStringLiteral("Closed"),
                                            QStringLiteral("Active"), QStringLiteral("Inactive"),
                                            QStringLiteral("Answer"), QStringLiteral("Listen"),
                                            QStringLiteral("Disconnected"), QStringLiteral("Error"),
                                            QStringLiteral("Error")}));
    EXPECT_EQ(w.Status(), 8);
}

TEST(TDccMan, BrancherEtDebrancherSuiventLEtatEtLaConnexion)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    EtatPDA etat(cheminSimulateur());
    etat.demarre();
    ASSERT_TRUE(etat.RapiPresent);
    ASSERT_TRUE(etat.DccMan);
    Releve r;
    r.suit(*etat.DccMan);
    // What the device-state handler does: connect on state 1, else disconnect.
    QObject::connect(etat.DccMan.get(), &TDccMan::OnChange, etat.DccMan.get(), [&etat](TDccMan *s) {
        if (s->Status() == 1 && !etat.PDAConnecte)
            etat.PDAConnecte = etat.Rapi.ConnecteCE(5000);
        else if (s->Status() != 1 && etat.PDAConnecte) {
            etat.Rapi.DeconnecteCE();
            etat.PDAConnecte = false;
        }
    });
    QSignalSpy spy(etat.DccMan.get(), &TDccMan::OnChange);
    etat.DccMan->Advise();
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));

    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 4, 5000));
    EXPECT_EQ(r.codes, (std::vector<int>{6, 5, 3, 1}));
    EXPECT_EQ(etat.texteEtat(), QStringLiteral("IP Adress : 169.254.2.1"));
    EXPECT_TRUE(etat.PDAConnecte);
    EXPECT_EQ(c.OvdSimSessionCount(), 1);

    ASSERT_EQ(c.OvdSimUnplug(dir.constData()), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 6, 5000));
    EXPECT_EQ(r.codes, (std::vector<int>{6, 5, 3, 1, 7, 6}));
    EXPECT_FALSE(etat.PDAConnecte);
    EXPECT_EQ(c.OvdSimSessionCount(), 0);

    // Shut-down ends an open connection.
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(169, 254, 2, 1)), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 9, 5000));
    ASSERT_TRUE(etat.PDAConnecte);
    etat.arrete();
    EXPECT_EQ(c.OvdSimSessionCount(), 0);
    EXPECT_FALSE(etat.RapiPresent);
}

TEST(TDccMan, UnAppareilDejaBrancheEstAnnonceALAvis)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(10, 0, 0, 5)), 0); // nobody watches yet
    LienRapi lien(cheminSimulateur());
    TDccMan w(lien);
    Releve r;
    r.suit(w);
    QSignalSpy spy(&w, &TDccMan::OnChange);
    w.Advise();
    ASSERT_TRUE(testenv::attendSignaux(spy, 3, 5000));
    EXPECT_EQ(r.codes, (std::vector<int>{5, 3, 1}));
    EXPECT_EQ(w.StatusText(), QStringLiteral("IP Adress : 10.0.0.5"));
}

TEST(TDccMan, RienNEstLivreApresUnadvise)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    TDccMan w(lien);
    Releve r;
    r.suit(w);
    QSignalSpy spy(&w, &TDccMan::OnChange);
    w.Advise();
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));
    w.Unadvise();
    EXPECT_FALSE(w.advise());
    // Raised while unadvised: waiting in the manager, never delivered.
    ASSERT_EQ(c.OvdSimRaise(dir.constData(), 8, 0), 1);
    ASSERT_EQ(c.OvdSimRaise(dir.constData(), 2, 0), 1);
    w.Advise();
    ASSERT_TRUE(testenv::attendSignaux(spy, 2, 5000));
    ASSERT_EQ(c.OvdSimRaise(dir.constData(), 4, 0), 1);
    ASSERT_TRUE(testenv::attendSignaux(spy, 3, 5000));
    EXPECT_EQ(r.codes, (std::vector<int>{6, 6, 4}));
}

TEST(TDccMan, DetruireUnSurveillantJamaisAviseNAppellePasUnadvise)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    {
        TDccMan w(lien);
        EXPECT_TRUE(w.managerCree());
    }
    EXPECT_EQ(c.OvdSimCallCount("DccManUnadvise"), 0);
    EXPECT_EQ(c.OvdSimCallCount("DccManRelease"), 1);
    {
        TDccMan w(lien);
        w.Advise();
    }
    EXPECT_EQ(c.OvdSimCallCount("DccManUnadvise"), 1);
    // The manager is gone: nobody receives an event any more.
    EXPECT_EQ(c.OvdSimRaise(dir.constData(), 3, 0), 0);
}

TEST(TDccMan, LeSurveillantDetruitDansSaNotificationNeRecoitRienDePlus)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    auto *w = new TDccMan(lien);
    int vus = 0;
    QObject::connect(w, &TDccMan::OnChange, w, [&vus](TDccMan *s) {
        ++vus;
        s->Unadvise();
        s->deleteLater();
    });
    QSignalSpy detruit(w, &QObject::destroyed);
    w->Advise();
    ASSERT_EQ(c.OvdSimPlug(dir.constData(), ip(1, 2, 3, 4)), 1); // three notifications queued
    ASSERT_TRUE(detruit.wait(5000));
    EXPECT_EQ(vus, 1);
}

TEST(TDccMan, LOutilBrancheLAppareilVuParLeProgramme)
{
    Controle c;
    const QByteArray dir = nouvelAppareil(c);
    LienRapi lien(cheminSimulateur());
    TDccMan w(lien);
    QSignalSpy spy(&w, &TDccMan::OnChange);
    w.Advise();
    ASSERT_TRUE(testenv::attendSignaux(spy, 1, 5000));

    QProcess outil;
    outil.start(cheminOutil(), {QStringLiteral("plug"), QString::fromLocal8Bit(dir), QStringLiteral("--ip"),
                                QStringLiteral("10.20.30.40")});
    ASSERT_TRUE(outil.waitForFinished(10000));
    EXPECT_EQ(outil.exitCode(), 0);
    EXPECT_TRUE(outil.readAllStandardOutput().contains("the running program was told"));
    ASSERT_TRUE(testenv::attendSignaux(spy, 4, 5000));
    EXPECT_EQ(w.Status(), 1);
    EXPECT_EQ(w.StatusText(), QStringLiteral("IP Adress : 10.20.30.40"));

    outil.start(cheminOutil(), {QStringLiteral("status"), QString::fromLocal8Bit(dir)});
    ASSERT_TRUE(outil.waitForFinished(10000));
    const QByteArray etat = outil.readAllStandardOutput();
    EXPECT_TRUE(etat.contains("State: plugged (IP 10.20.30.40)"));
    EXPECT_TRUE(etat.contains("Watched by a program: yes"));

    outil.start(cheminOutil(), {QStringLiteral("unplug"), QString::fromLocal8Bit(dir)});
    ASSERT_TRUE(outil.waitForFinished(10000));
    ASSERT_TRUE(testenv::attendSignaux(spy, 6, 5000));
    EXPECT_EQ(w.Status(), 6);
}
