#include "chanparam.h"

#include <QStringList>


namespace {

struct stResolution {
    const char *label;
    const char *size;
    quint32 bitRate;
};

const stResolution s_arrResolution[] = {
    {"12MP", "4000*3000", 9216}, {"8MP", "3840*2160", 8192}, {"5MP", "2592*2048", 6144},
    {"3MP", "2048*1560", 5120},  {"1080P", "1920*1080", 4096}, {"UXGA", "1600*1200", 4096},
    {"SXGA", "1280*1024", 2048}, {"960P", "1280*960", 2048},  {"720P", "1280*720", 2048},
    {"D1", "720*576", 1024},     {"2CIF", "704*288", 1024},   {"CIF", "352*288", 512},
};

// Sizes devices report beside the offered ones, with the label of the
// offered size they stand in for.
const stResolution s_arrDeviceOnlySize[] = {
    {"D1", "704*576", 1024}, {"D1", "720*480", 1024},
};

quint64 pixelCount(const char *size)
{
    const QStringList parts = QString::fromLatin1(size).split(QLatin1Char('*'));
    return parts.value(0).toULongLong() * parts.value(1).toULongLong();
}

const int s_arrFrameRate[] = {1, 3, 5, 8, 10, 15, 20, 25, 30, 50, 60};

} // namespace

QList<QPair<QString, QString>> CChanParam::resolutions()
{
    QList<QPair<QString, QString>> list;
    for (const stResolution &res : s_arrResolution)
        list.append({QLatin1String(res.label), QLatin1String(res.size)});
    return list;
}

QList<QPair<QString, int>> CChanParam::encFmts()
{
    return {{QStringLiteral("MJPEG"), EncMjpeg}, {QStringLiteral("H.264"), EncH264}};
}

QList<int> CChanParam::frameRates(int lMaxRate)
{
    QList<int> list;
    for (int lRate : s_arrFrameRate) {
        if (lRate <= lMaxRate)
            list.append(lRate);
    }
    return list;
}

quint32 CChanParam::baseBitRate(const QString &strSize)
{
    for (const stResolution &res : s_arrResolution) {
        if (strSize == QLatin1String(res.size))
            return res.bitRate;
    }
    for (const stResolution &res : s_arrDeviceOnlySize) {
        if (strSize == QLatin1String(res.size))
            return res.bitRate;
    }
    return 0;
}

quint32 CChanParam::frameRateAdjusted(quint32 lBitRate, int lFrameRate)
{
    if (lFrameRate <= 20)
        return static_cast<quint32>(lBitRate * 0.5);
    if (lFrameRate >= 50 && lFrameRate <= 60)
        return static_cast<quint32>(lBitRate * 1.5);
    return lBitRate;
}

bool CChanParam::isBitRateInRange(int lBitRate)
{
    return lBitRate >= MinBitRate && lBitRate <= MaxBitRate;
}

bool CChanParam::labelForSize(quint32 ulWidth, quint32 ulHeight, QString &strLabel, quint32 &ulBitRate)
{
    const quint64 ulPixels = quint64(ulWidth) * ulHeight;
    if (ulPixels == 0)
        return false;
    auto match = [&](const stResolution &res) {
        if (pixelCount(res.size) != ulPixels)
            return false;
        strLabel = QLatin1String(res.label);
        ulBitRate = res.bitRate;
        return true;
    };
    for (const stResolution &res : s_arrResolution) {
        if (match(res))
            return true;
    }
    for (const stResolution &res : s_arrDeviceOnlySize) {
        if (match(res))
            return true;
    }
    return false;
}
