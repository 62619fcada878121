#include "devtext.h"

#include <cstring>

namespace DevText {

QString fromBuffer(const char *pSlot, std::size_t iSlotLen)
{
    const void *pEnd = std::memchr(pSlot, 0, iSlotLen);
    const std::size_t iLen = pEnd ? static_cast<std::size_t>(static_cast<const char *>(pEnd) - pSlot) : iSlotLen;
    return QString::fromUtf8(pSlot, static_cast<int>(iLen));
}

QString macText(const unsigned char *pMac)
{
    static const char kDigits[] = "0123456789abcdef";
    QString strMac;
    strMac.reserve(12);
    for (int i = 0; i < 6; ++i) {
        strMac += QLatin1Char(kDigits[pMac[i] >> 4]);
        strMac += QLatin1Char(kDigits[pMac[i] & 0x0F]);
    }
    return strMac;
}

} // namespace DevText
