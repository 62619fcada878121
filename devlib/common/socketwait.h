#ifndef CORVANE_SOCKETWAIT_H
#define CORVANE_SOCKETWAIT_H

// The two socket calls the blocking frame client needs beyond Asio: a wait
// with a timeout, and the outcome of a non-blocking connect.
#include <asio/ip/tcp.hpp>

#include <system_error>

namespace corvane::wire {

using NativeSocket = asio::ip::tcp::socket::native_handle_type;

// True when the socket is readable (or writable), or has an error or hang-up
// for the next call to report; false when timeoutMs passed first.
bool waitSocket(NativeSocket socket, bool forWrite, int timeoutMs);
// The pending error of a socket (SO_ERROR), e.g. after a non-blocking connect.
std::error_code socketError(NativeSocket socket);

} // namespace corvane::wire

#endif // CORVANE_SOCKETWAIT_H
