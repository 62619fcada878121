#ifndef CHANPARAM_H
#define CHANPARAM_H

#include <QList>
#include <QPair>
#include <QString>

// Choices and bit-rate recommendation shared by the two channel dialogs.
class CChanParam
{
public:
    enum EEncFmt { EncMjpeg = 3, EncH264 = 6 };
    static constexpr int MinBitRate = 128;
    static constexpr int MaxBitRate = 16384;

    // Resolutions offered, largest first: display label and "width*height".
    static QList<QPair<QString, QString>> resolutions();
    // Encoding formats offered: display name and format code.
    static QList<QPair<QString, int>> encFmts();
    // Frame rates offered, up to lMaxRate.
    static QList<int> frameRates(int lMaxRate);

    // Recommended kbit/s for "width*height" at a normal frame rate; 0 when unknown.
    static quint32 baseBitRate(const QString &strSize);
    // Slow frame rates need half, 50 and 60 fps one and a half times the base.
    static quint32 frameRateAdjusted(quint32 lBitRate, int lFrameRate);

    static bool isBitRateInRange(int lBitRate);

    // Label and recommended kbit/s of a picture size read from a device,
    // matched by pixel count; false (label and rate untouched) for a size
    // outside the table.
    static bool labelForSize(quint32 ulWidth, quint32 ulHeight, QString &strLabel, quint32 &ulBitRate);
};

#endif // CHANPARAM_H
