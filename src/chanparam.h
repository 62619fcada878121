#ifndef CHANPARAM_H
#define CHANPARAM_H

#include <QString>

class QComboBox;

// Choices and bit-rate recommendation shared by the two channel dialogs.
class CChanParam
{
public:
    enum EEncFmt { EncMjpeg = 3, EncH264 = 6 };
    static constexpr int MinBitRate = 128;
    static constexpr int MaxBitRate = 16384;

    // Resolutions: display text with "width*height" as item data.
    static void fillResolutions(QComboBox *pCombo);
    static void fillEncFmts(QComboBox *pCombo);
    // All frame rates up to lMaxRate, number as item data.
    static void fillFrameRates(QComboBox *pCombo, int lMaxRate);

    // Recommended kbit/s for "width*height" at a normal frame rate; 0 when unknown.
    static quint32 baseBitRate(const QString &strSize);
    // Slow frame rates need half, 50 and 60 fps one and a half times the base.
    static quint32 frameRateAdjusted(quint32 lBitRate, int lFrameRate);

    static bool isBitRateInRange(int lBitRate);
};

#endif // CHANPARAM_H
