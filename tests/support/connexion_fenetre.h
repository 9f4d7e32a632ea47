#pragma once

// The main window under test connected to a simulated device: once the
// connection watcher listens, the device is plugged in, and the window is
// waited for until it holds the connection.

#include "app/orvandel_main_window.h"
#include "device/etat_pda.h"
#include "tests/support/attente.h"
#include "tests/support/devsim_support.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace fenetretest {

// A new simulated device for the main window under test: its folder, with
// the program's device library pointed at the simulator.
inline QByteArray appareilPourFenetre(devsimtest::Controle &c)
{
    const QByteArray dir = devsimtest::nouvelAppareil(c);
    qputenv("ORVANDEL_RAPI", devsimtest::cheminSimulateur().toLocal8Bit());
    return dir;
}

inline ::testing::AssertionResult attendsConnexion(TOrvandel &w, devsimtest::Controle &c, const QByteArray &dir)
{
    if (!w.etatPDA() || !w.etatPDA()->DccMan)
        return ::testing::AssertionFailure() << "no connection watcher";
    QSignalSpy spy(w.etatPDA()->DccMan.get(), &TDccMan::OnChange);
    if (!testenv::attendSignaux(spy, 1, 5000))
        return ::testing::AssertionFailure() << "the window never listened";
    if (c.OvdSimPlug(dir.constData(), devsimtest::ip(169, 254, 2, 1)) != 1)
        return ::testing::AssertionFailure() << "the device could not be plugged in";
    if (!testenv::attendCondition([&] { return w.etatPDA()->PDAConnecte && w.contexte().appareil.connecte; }, 5000))
        return ::testing::AssertionFailure() << "the window did not connect";
    return ::testing::AssertionSuccess();
}

} // namespace fenetretest
