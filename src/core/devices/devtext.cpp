#include "devtext.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace DevText {

QString fromBuffer(const char *pSlot, std::size_t iSlotLen)
{
    const void *pEnd = std::memchr(pSlot, 0, iSlotLen);
    const std::size_t iLen = pEnd ? static_cast<std::size_t>(static_cast<const char *>(pEnd) - pSlot) : iSlotLen;
    return QString::fromUtf8(pSlot, static_cast<int>(iLen));
}

void toBuffer(const QString &strText, char *pSlot, std::size_t iSlotLen)
{
    if (iSlotLen == 0)
        return;
    std::memset(pSlot, 0, iSlotLen);
    const QByteArray utf8 = strText.toUtf8();
    std::size_t iLen = std::min<std::size_t>(static_cast<std::size_t>(utf8.size()), iSlotLen - 1);
    // Step back over continuation bytes to the start of the cut character.
    if (iLen < static_cast<std::size_t>(utf8.size())) {
        while (iLen > 0 && (static_cast<unsigned char>(utf8.at(static_cast<int>(iLen))) & 0xC0) == 0x80)
            --iLen;
    }
    std::memcpy(pSlot, utf8.constData(), iLen);
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
