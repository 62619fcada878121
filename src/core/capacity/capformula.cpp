#include "capformula.h"

#include <cmath>

double CCapFormula::megaBytesPerHour(qint32 lTotalBitRate)
{
    // kbit/s * 3600 s / 8 bit / 1024 kB
    return static_cast<double>(lTotalBitRate) * 3600 * 0.125 * 0.0009765625;
}

bool CCapFormula::recordDays(qint64 lDiskGB, double dHours, const QList<qint32> &listTotalBitRate,
                             qint64 &lDays)
{
    qint64 lSumMB = 0;
    for (qint32 lTotal : listTotalBitRate)
        lSumMB += static_cast<qint64>(std::ceil(megaBytesPerHour(lTotal)));
    if (lSumMB <= 0 || !(dHours > 0))
        return false;
    const long double ldDays = std::floor(static_cast<long double>(lDiskGB) * MBytesPerDiskGB
                                          / (static_cast<long double>(dHours) * lSumMB));
    lDays = static_cast<qint64>(ldDays);
    return true;
}

qint64 CCapFormula::diskSpaceGB(int lDays, int lHours, const QList<qint32> &listTotalBitRate)
{
    double dGB = 0;
    for (qint32 lTotal : listTotalBitRate)
        dGB += static_cast<double>(lHours) * lDays * megaBytesPerHour(lTotal) / 1000;
    return static_cast<qint64>(std::ceil(dGB));
}

qint64 CCapFormula::diskSpaceTB(qint64 lGB)
{
    return static_cast<qint64>(std::ceil(static_cast<double>(lGB) / MBytesPerDiskGB));
}
