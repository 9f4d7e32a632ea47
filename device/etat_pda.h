#pragma once

// The device state shared by the windows that reach the device: the bound
// device library, whether it is present, whether a connection is open, and
// the connection watcher. Owned by the application context; never global.

#include "device/dcc_man.h"
#include "device/lien_rapi.h"

#include <QString>

#include <memory>

class EtatPDA
{
public:
    explicit EtatPDA(const QString &cheminRapi = LienRapi::cheminRapiParDefaut(),
                     const QString &cheminCeUtil = QString());
    ~EtatPDA();

    // Program start: binds the library (RapiPresent) and, when present,
    // creates the watcher; the caller connects OnChange, then calls Advise.
    void demarre();
    // Shut-down: frees the watcher, ends an open connection, releases the
    // libraries.
    void arrete();

    // "Missing" without the library or a connection manager, else the
    // watcher's state text.
    QString texteEtat() const;

    LienRapi Rapi;
    bool RapiPresent = false;
    bool PDAConnecte = false;
    std::unique_ptr<TDccMan> DccMan;
    // The device browser: its mode, set by the caller before it is shown
    // (true: pick a folder, false: pick a package), and the device path it
    // leaves (empty unless the user validated a choice).
    bool ModeDossierPDA = false;
    QString CheminPDA;
};
