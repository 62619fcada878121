#include "loopbackguard.h"

#include <cstdlib>
#include <cstring>

namespace corvane::wire {

bool loopbackOnly()
{
    const char *value = std::getenv("CORVANE_LOOPBACK_ONLY");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

bool isLoopback(uint32_t hostOrderIp)
{
    return (hostOrderIp >> 24) == 127u;
}

bool isLoopback(const asio::ip::address &address)
{
    return address.is_v4() && isLoopback(address.to_v4().to_uint());
}

bool destinationAllowed(uint32_t hostOrderIp)
{
    return !loopbackOnly() || isLoopback(hostOrderIp);
}

bool destinationAllowed(const asio::ip::address &address)
{
    return !loopbackOnly() || isLoopback(address);
}

bool multicastInterfaceAllowed(const asio::ip::address_v4 &interfaceAddress)
{
    return !loopbackOnly() || isLoopback(interfaceAddress.to_uint());
}

} // namespace corvane::wire
