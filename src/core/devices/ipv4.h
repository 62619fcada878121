#ifndef IPV4_H
#define IPV4_H

#include <QString>

// IPv4 addresses as the program handles them: dotted quads of decimal
// numbers (leading zeros allowed, never octal) and host-order numbers.
namespace Ipv4 {

// One number of a dotted quad, 0 to 255, for validators.
QString octetPattern();
// A whole dotted quad, for validators.
QString addressPattern();

// False, leaving uHost alone, for text that is no dotted quad.
bool parse(const QString &strIp, quint32 &uHost);
bool isValid(const QString &strIp);
QString format(quint32 uHost);
// The plain form of a dotted quad ("010.001.0.07" -> "10.1.0.7"); other text unchanged.
QString normalized(const QString &strIp);

// An address a device can take: a dotted quad whose last number is not 0.
bool isUsableHost(const QString &strIp);
// A mask: ones followed by zeros, neither all ones nor all zeros.
bool isValidMask(const QString &strMask);
// An address that is neither the network nor the broadcast address of the
// subnet the mask gives it.
bool isHostInSubnet(const QString &strIp, const QString &strMask);
// A gateway usable with this address and mask: a host in the same subnet
// that is not the address itself.
bool isValidGateway(const QString &strGateway, const QString &strIp, const QString &strMask);

// "255.255.255.0" <-> 24; -1 for text that is no valid mask, an empty
// text for a length outside 1 to 31.
int prefixOfMask(const QString &strMask);
QString maskOfPrefix(int iPrefix);

// Key for numeric order; text that is no address sorts as the broadcast
// address does, after every other address.
quint32 sortKey(const QString &strIp);

} // namespace Ipv4

#endif // IPV4_H
