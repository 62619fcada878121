#ifndef UDPDROPS_H
#define UDPDROPS_H

#include <QtGlobal>

// Datagrams the system threw away because a socket's receive buffer was
// full. Linux counts them per socket (/proc/net/udp); elsewhere unknown.
namespace UdpDrops {

// Drops so far of the UDP socket bound to every IPv4 address at localPort,
// -1 when unknown.
qint64 count(quint16 localPort);
// Drops so far of every IPv4 UDP socket of the network namespace, -1 when unknown.
qint64 countAll();

} // namespace UdpDrops

#endif // UDPDROPS_H
