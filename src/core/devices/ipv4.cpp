#include "ipv4.h"

#include <QRegularExpression>
#include <QStringList>

namespace Ipv4 {

QString octetPattern()
{
    return QStringLiteral("(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)");
}

QString addressPattern()
{
    return QStringLiteral("(%1\\.){3}%1").arg(octetPattern());
}

bool parse(const QString &strIp, quint32 &uHost)
{
    static const QRegularExpression reIp(QRegularExpression::anchoredPattern(addressPattern()));
    if (!reIp.match(strIp).hasMatch())
        return false;
    quint32 uValue = 0;
    for (const QString &strPart : strIp.split(QLatin1Char('.')))
        uValue = (uValue << 8) | strPart.toUInt();
    uHost = uValue;
    return true;
}

bool isValid(const QString &strIp)
{
    quint32 uHost = 0;
    return parse(strIp, uHost);
}

QString format(quint32 uHost)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(uHost >> 24)
        .arg((uHost >> 16) & 0xFF)
        .arg((uHost >> 8) & 0xFF)
        .arg(uHost & 0xFF);
}

QString normalized(const QString &strIp)
{
    quint32 uHost = 0;
    return parse(strIp, uHost) ? format(uHost) : strIp;
}

bool isUsableHost(const QString &strIp)
{
    quint32 uHost = 0;
    return parse(strIp, uHost) && (uHost & 0xFF) != 0;
}

bool isValidMask(const QString &strMask)
{
    quint32 uMask = 0;
    if (!parse(strMask, uMask) || uMask == 0 || uMask == 0xFFFFFFFFu)
        return false;
    // Ones then zeros: the inverted mask plus one is a power of two.
    const quint32 uHostBits = ~uMask;
    return (uHostBits & (uHostBits + 1)) == 0;
}

bool isHostInSubnet(const QString &strIp, const QString &strMask)
{
    quint32 uIp = 0;
    quint32 uMask = 0;
    if (!parse(strIp, uIp) || !isValidMask(strMask) || !parse(strMask, uMask))
        return false;
    const quint32 uHostPart = uIp & ~uMask;
    return uHostPart != 0 && uHostPart != ~uMask;
}

bool isValidGateway(const QString &strGateway, const QString &strIp, const QString &strMask)
{
    quint32 uGateway = 0;
    quint32 uIp = 0;
    quint32 uMask = 0;
    if (!isHostInSubnet(strGateway, strMask) || !parse(strGateway, uGateway) || !parse(strIp, uIp)
        || !parse(strMask, uMask))
        return false;
    return (uGateway & uMask) == (uIp & uMask) && uGateway != uIp;
}

int prefixOfMask(const QString &strMask)
{
    quint32 uMask = 0;
    if (!isValidMask(strMask) || !parse(strMask, uMask))
        return -1;
    int iPrefix = 0;
    for (; uMask & 0x80000000u; uMask <<= 1)
        ++iPrefix;
    return iPrefix;
}

QString maskOfPrefix(int iPrefix)
{
    if (iPrefix < 1 || iPrefix > 31)
        return QString();
    return format(~quint32(0) << (32 - iPrefix));
}

quint32 sortKey(const QString &strIp)
{
    quint32 uHost = 0xFFFFFFFFu;
    parse(strIp, uHost);
    return uHost;
}

} // namespace Ipv4
