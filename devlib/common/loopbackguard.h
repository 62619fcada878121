#ifndef CORVANE_LOOPBACKGUARD_H
#define CORVANE_LOOPBACKGUARD_H

// Network safety switch shared by the device libraries and the simulator.
// With CORVANE_LOOPBACK_ONLY=1 in the environment nothing may be sent to a
// destination outside 127.0.0.0/8, and multicast leaves only through the
// loopback interface. Every send path asks destinationAllowed() first.

#include <asio/ip/address.hpp>
#include <asio/ip/address_v4.hpp>

#include <cstdint>

namespace corvane::wire {

// True when CORVANE_LOOPBACK_ONLY is "1" (read on every call; cheap).
bool loopbackOnly();

bool isLoopback(uint32_t hostOrderIp);
bool isLoopback(const asio::ip::address &address);

// May a datagram or connection go to this unicast address?
bool destinationAllowed(uint32_t hostOrderIp);
bool destinationAllowed(const asio::ip::address &address);

// May multicast leave through the interface with this local address?
bool multicastInterfaceAllowed(const asio::ip::address_v4 &interfaceAddress);

} // namespace corvane::wire

#endif // CORVANE_LOOPBACKGUARD_H
