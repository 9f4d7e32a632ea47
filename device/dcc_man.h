#pragma once

// The connection watcher: registers a sink with the device library's
// connection manager and turns each of its eight notifications into a state
// code, a state text and an OnChange signal. Notifications arrive through the
// manager's descriptor, watched on the UI thread: nothing polls.
//
// OnChange is emitted synchronously inside the notification; a handler that
// wants to destroy the watcher uses deleteLater().

#include "device/rapi_api.h"

#include <QObject>
#include <QString>

#include <memory>

class LienRapi;
class QSocketNotifier;
class TDccMan;

// The sink: keeps the last state and tells its owner.
class TDccEventSink
{
public:
    explicit TDccEventSink(TDccMan *owner) : m_owner(owner) {}

    int code() const { return m_code; }
    const QString &texte() const { return m_texte; }
    // The C sink table whose context is a TDccEventSink.
    static const DccManSinkVtbl &table();

    void OnLogIpAddr(DWORD address);
    void OnLogTerminated() { notifie(2, QStringLiteral("Closed")); }
    void OnLogActive() { notifie(3, QStringLiteral("Active")); }
    void OnLogInactive() { notifie(4, QStringLiteral("Inactive")); }
    void OnLogAnswered() { notifie(5, QStringLiteral("Answer")); }
    void OnLogListen() { notifie(6, QStringLiteral("Listen")); }
    void OnLogDisconnection() { notifie(7, QStringLiteral("Disconnected")); }
    void OnLogError() { notifie(8, QStringLiteral("Error")); }

private:
    void notifie(int code, const QString &texte);

    QString m_texte;
    int m_code = 0;
    TDccMan *m_owner;
};

class TDccMan : public QObject
{
    Q_OBJECT
public:
    // Creates the connection manager; a failure leaves the watcher without a
    // sink (Status -1) and raises nothing.
    explicit TDccMan(LienRapi &rapi, QObject *parent = nullptr);
    ~TDccMan() override;

    void Advise();
    void Unadvise();
    // Opens the connection manager's settings window: 0 when shown,
    // OVD_E_NOTIMPL when the manager has none (the simulator), another
    // failure without a manager.
    HRESULT ShowCommSettings();
    // The last state code (0 before the first notification, -1 without sink).
    int Status() const;
    QString StatusText() const;

    bool managerCree() const { return m_managerCree; }
    bool sinkObtenu() const { return m_sinkObtenu; }
    bool advise() const { return m_advise; }

signals:
    void OnChange(TDccMan *sender);

private:
    friend class TDccEventSink;
    void DoChange();
    void evenementsPrets();

    LienRapi &m_rapi;
    DCCMAN m_manager = nullptr;
    DWORD m_context = 0;
    std::unique_ptr<TDccEventSink> m_sink;
    bool m_managerCree = false;
    bool m_sinkObtenu = false;
    bool m_advise = false;
    QSocketNotifier *m_notifier = nullptr;
};
