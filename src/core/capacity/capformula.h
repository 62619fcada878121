#ifndef CAPFORMULA_H
#define CAPFORMULA_H

#include <QList>
#include <QtGlobal>

// The two results of the capacity calculator. Both take the total bit rates
// (kbit/s) of the channels to count; a disk gigabyte holds 935 megabytes.
class CCapFormula
{
public:
    static constexpr int MBytesPerDiskGB = 935;

    // Megabytes one hour of recording takes at the given bit rate.
    static double megaBytesPerHour(qint32 lTotalBitRate);

    // Whole days a disk of lDiskGB lasts at dHours a day. Each channel is
    // rounded up to a whole megabyte per hour first. False (days untouched)
    // when the channels take nothing, where the days would be unbounded.
    static bool recordDays(qint64 lDiskGB, double dHours, const QList<qint32> &listTotalBitRate,
                           qint64 &lDays);

    // Whole gigabytes needed for lDays days at lHours a day; no rounding per channel.
    static qint64 diskSpaceGB(int lDays, int lHours, const QList<qint32> &listTotalBitRate);

    // Terabytes (935 GB each) needed for lGB gigabytes, rounded up.
    static qint64 diskSpaceTB(qint64 lGB);
};

#endif // CAPFORMULA_H
