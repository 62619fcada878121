#include "udpdrops.h"

#include <QFile>
#include <QList>

qint64 UdpDrops::count(quint16 localPort)
{
#ifdef Q_OS_LINUX
    QFile file(QStringLiteral("/proc/net/udp"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // The system tells no size of its files: read until the end.
    const QList<QByteArray> listLines = file.readAll().split('\n');
    // "sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode ref pointer drops"
    const QByteArray port = ':' + QByteArray::number(localPort, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray &line : qAsConst(listLines)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 13 && fields.at(1) == "00000000" + port) {
            bool bOk = false;
            const qint64 llDrops = fields.last().toLongLong(&bOk);
            return bOk ? llDrops : -1;
        }
    }
#else
    Q_UNUSED(localPort)
#endif
    return -1;
}
