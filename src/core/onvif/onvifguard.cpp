#include "onvifguard.h"

namespace OnvifGuard {

bool loopbackOnly()
{
    return qgetenv("CORVANE_LOOPBACK_ONLY") == "1";
}

bool destinationAllowed(const QHostAddress &address)
{
    if (!loopbackOnly())
        return true;
    bool bV4 = false;
    const quint32 uIp = address.toIPv4Address(&bV4);
    return bV4 && (uIp >> 24) == 127;
}

bool destinationAllowed(const QUrl &url)
{
    const QHostAddress address(url.host());
    if (address.isNull())
        return !loopbackOnly();
    return destinationAllowed(address);
}

} // namespace OnvifGuard
