#ifndef UDPSOCKETSTATS_H
#define UDPSOCKETSTATS_H

// What the kernel reports about this process's own UDP sockets: their
// receive buffers and how many datagrams they dropped because a buffer was
// full. Lets a test or benchmark observe overflow instead of assuming it.
#include <QtGlobal>

struct UdpSocketStats
{
    int sockets = 0;
    int smallestReceiveBuffer = 0; // bytes the kernel granted (SO_RCVBUF), 0 without sockets
    int largestReceiveBuffer = 0;
    qint64 drops = 0;              // summed over the sockets (/proc/net/udp)
};

UdpSocketStats ownUdpSocketStats();

#endif // UDPSOCKETSTATS_H
