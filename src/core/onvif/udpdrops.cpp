#include "udpdrops.h"

#include <QFile>
#include <QList>

#include <functional>

namespace {

// Adds the drops of the sockets whose local address ("HEXADDR:HEXPORT") local
// accepts; -1 when the system does not tell, or no socket was accepted.
qint64 sum(const std::function<bool(const QByteArray &local)> &local)
{
#ifdef Q_OS_LINUX
    QFile file(QStringLiteral("/proc/net/udp"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 llTotal = -1;
    // The system tells no size of its files: read until the end.
    const QList<QByteArray> listLines = file.readAll().split('\n');
    // "sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ref pointer drops"
    for (int i = 1; i < listLines.size(); ++i) {
        const QList<QByteArray> fields = listLines.at(i).simplified().split(' ');
        bool bOk = false;
        const qint64 llDrops = fields.size() >= 13 ? fields.last().toLongLong(&bOk) : 0;
        if (bOk && local(fields.at(1)))
            llTotal = qMax<qint64>(llTotal, 0) + llDrops;
    }
    return llTotal;
#else
    Q_UNUSED(local)
    return -1;
#endif
}

} // namespace

qint64 UdpDrops::count(quint16 localPort)
{
    const QByteArray port = "00000000:" + QByteArray::number(localPort, 16).toUpper().rightJustified(4, '0');
    return sum([&port](const QByteArray &local) { return local == port; });
}

qint64 UdpDrops::countAll()
{
    return sum([](const QByteArray &) { return true; });
}
