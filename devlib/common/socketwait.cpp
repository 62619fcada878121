#include "socketwait.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#endif

namespace corvane::wire {

bool waitSocket(NativeSocket socket, bool forWrite, int timeoutMs)
{
    pollfd entry {};
    entry.fd = socket;
    entry.events = forWrite ? POLLOUT : POLLIN;
#ifdef _WIN32
    const int ready = WSAPoll(&entry, 1, timeoutMs);
#else
    const int ready = ::poll(&entry, 1, timeoutMs);
    if (ready < 0 && errno == EINTR)
        return false; // the caller recomputes what is left and waits again
#endif
    // An error makes the following call fail with the reason.
    return ready != 0;
}

std::error_code socketError(NativeSocket socket)
{
    int error = 0;
#ifdef _WIN32
    int size = sizeof error;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &size) != 0)
        return std::error_code(WSAGetLastError(), std::system_category());
#else
    socklen_t size = sizeof error;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return std::error_code(errno, std::system_category());
#endif
    return std::error_code(error, std::system_category());
}

} // namespace corvane::wire
