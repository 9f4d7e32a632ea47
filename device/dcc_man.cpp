#include "device/dcc_man.h"

#include "device/lien_rapi.h"

#include <QSocketNotifier>

namespace {

TDccEventSink *sinkDe(void *context)
{
    return static_cast<TDccEventSink *>(context);
}

const DccManSinkVtbl kTable = {
    [](void *c, DWORD a) -> HRESULT { sinkDe(c)->OnLogIpAddr(a); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogTerminated(); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogActive(); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogInactive(); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogAnswered(); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogListen(); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogDisconnection(); return 0; },
    [](void *c) -> HRESULT { sinkDe(c)->OnLogError(); return 0; },
};

} // namespace

const DccManSinkVtbl &TDccEventSink::table()
{
    return kTable;
}

void TDccEventSink::OnLogIpAddr(DWORD address)
{
    // Lowest byte first.
    notifie(1, QString::asprintf("IP Adress : %d.%d.%d.%d", int(address & 0xFF), int((address >> 8) & 0xFF),
                                 int((address >> 16) & 0xFF), int((address >> 24) & 0xFF)));
}

void TDccEventSink::notifie(int code, const QString &texte)
{
    m_code = code;
    m_texte = texte;
    m_owner->DoChange();
}

TDccMan::TDccMan(LienRapi &rapi, QObject *parent)
    : QObject(parent)
    , m_rapi(rapi)
{
    DCCMAN manager = nullptr;
    if (m_rapi.DccManCreate(&manager) == 0 && manager) {
        m_manager = manager;
        m_managerCree = true;
        m_sink = std::make_unique<TDccEventSink>(this);
        m_sinkObtenu = true;
    }
}

TDccMan::~TDccMan()
{
    Unadvise();
    if (m_managerCree)
        m_rapi.DccManRelease(m_manager);
    m_manager = nullptr;
    m_sink.reset();
}

void TDccMan::Advise()
{
    if (!m_sinkObtenu || m_advise)
        return;
    const int fd = m_rapi.DccManEventFd(m_manager);
    if (fd < 0)
        return;
    DWORD context = 0;
    if (m_rapi.DccManAdvise(m_manager, &TDccEventSink::table(), m_sink.get(), &context) != 0)
        return;
    m_context = context;
    m_advise = true;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TDccMan::evenementsPrets);
}

void TDccMan::Unadvise()
{
    if (!m_advise)
        return;
    // Stop watching first: nothing queued is delivered after this.
    delete m_notifier;
    m_notifier = nullptr;
    m_rapi.DccManUnadvise(m_manager, m_context);
    m_advise = false;
}

HRESULT TDccMan::ShowCommSettings()
{
    if (!m_managerCree)
        return OVD_E_FAIL;
    return m_rapi.DccManShowCommSettings(m_manager);
}

int TDccMan::Status() const
{
    return m_sink ? m_sink->code() : -1;
}

QString TDccMan::StatusText() const
{
    return m_sink ? m_sink->texte() : QString();
}

void TDccMan::DoChange()
{
    emit OnChange(this);
}

void TDccMan::evenementsPrets()
{
    if (m_advise)
        m_rapi.DccManDispatch(m_manager);
}
