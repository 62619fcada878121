#include "udpsocketstats.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// Socket inode -> drop counter of every IPv4 UDP socket on the host.
QHash<quint64, qint64> udpDropsByInode()
{
    QHash<quint64, qint64> drops;
    QFile table(QStringLiteral("/proc/net/udp"));
    // A proc file reports size 0: read it whole rather than line by line.
    if (!table.open(QIODevice::ReadOnly))
        return drops;
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).simplified().split(' ');
        // sl local rem st queues tr retrnsmt uid timeout inode ref pointer drops
        if (fields.size() >= 13)
            drops.insert(fields.at(9).toULongLong(), fields.at(12).toLongLong());
    }
    return drops;
    table.readLine(); // header
    while (!table.atEnd()) {
        const QList<QByteArray> fields = table.readLine().simplified().split(' ');
        // sl local rem st queues tr retrnsmt uid timeout inode ref pointer drops
        if (fields.size() >= 13)
            drops.insert(fields.at(9).toULongLong(), fields.at(12).toLongLong());
    }
    return drops;
}

} // namespace

UdpSocketStats ownUdpSocketStats()
{
    UdpSocketStats stats;
    const QHash<quint64, qint64> drops = udpDropsByInode();
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &name : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
        char link[64] = {};
        const ssize_t length = ::readlink(QFile::encodeName(fds.filePath(name)).constData(), link, sizeof link - 1);
        const QByteArray text(link, length > 0 ? int(length) : 0);
        if (!text.startsWith("socket:[") || !text.endsWith(']'))
            continue;
        const quint64 inode = text.mid(8, text.size() - 9).toULongLong();
        if (!drops.contains(inode))
            continue;
        const int fd = name.toInt();
        int buffer = 0;
        socklen_t size = sizeof buffer;
        if (::getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, &size) != 0)
            continue;
        ++stats.sockets;
        stats.drops += drops.value(inode);
        stats.smallestReceiveBuffer = stats.sockets == 1 ? buffer : qMin(stats.smallestReceiveBuffer, buffer);
        stats.largestReceiveBuffer = qMax(stats.largestReceiveBuffer, buffer);
    }
    return stats;
}
