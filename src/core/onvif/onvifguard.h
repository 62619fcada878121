#ifndef ONVIFGUARD_H
#define ONVIFGUARD_H

#include <QHostAddress>
#include <QUrl>

// With CORVANE_LOOPBACK_ONLY=1 the ONVIF client sends nothing outside
// 127.0.0.0/8. Every send path (SOAP, uploads, discovery) asks here first;
// a host name is refused then, as it cannot be checked before it resolves.
namespace OnvifGuard {

bool loopbackOnly();
bool destinationAllowed(const QHostAddress &address);
bool destinationAllowed(const QUrl &url);

} // namespace OnvifGuard

#endif // ONVIFGUARD_H
