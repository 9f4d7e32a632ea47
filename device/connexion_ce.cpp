// Opening and closing the device connection.

#include "device/lien_rapi.h"

#include <poll.h>

#include <cerrno>
#include <chrono>

bool LienRapi::ConnecteCE(int timeoutMs)
{
    RAPIINIT init{};
    init.cbSize = OVD_RAPIINIT_SIZE;
    init.heRapiInit = -1;
    m_dernierDebut = CeRapiInitEx(&init);
    if (m_dernierDebut != 0)
        return false;

    // A plain blocking wait: no event loop runs, so no other notification
    // can re-enter the caller while the attempt is pending.
    using Horloge = std::chrono::steady_clock;
    const auto fin = Horloge::now() + std::chrono::milliseconds(qMax(0, timeoutMs));
    int r = 0;
    pollfd p{init.heRapiInit, POLLIN, 0};
    if (init.heRapiInit >= 0) {
        for (;;) {
            const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(fin - Horloge::now());
            r = ::poll(&p, 1, int(qMax<qint64>(0, reste.count())));
            if (r < 0 && errno == EINTR)
                continue;
            break;
        }
    }
    m_derniereAttente = r;
    if (r == 1 && (p.revents & POLLIN) && init.hrRapiInit == 0) {
        ++m_numeroSession;
        return true;
    }
    CeRapiUninit();
    return false;
}

void LienRapi::DeconnecteCE()
{
    CeRapiUninit();
}
