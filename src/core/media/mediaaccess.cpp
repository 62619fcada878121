#include "mediaaccess.h"

bool stStreamEncoding::operator==(const stStreamEncoding &o) const
{
    return strStream == o.strStream && strEncoding == o.strEncoding && iWidth == o.iWidth && iHeight == o.iHeight
           && iFps == o.iFps && iBitrate == o.iBitrate && iGop == o.iGop && iQuality == o.iQuality
           && bConstantBitrate == o.bConstantBitrate;
}

bool stImageSettings::operator==(const stImageSettings &o) const
{
    return iBrightness == o.iBrightness && iContrast == o.iContrast && iSaturation == o.iSaturation
           && iSharpness == o.iSharpness && strIrCut == o.strIrCut && bBacklight == o.bBacklight
           && iBacklightLevel == o.iBacklightLevel && bWdr == o.bWdr && iWdrLevel == o.iWdrLevel
           && bExposureAuto == o.bExposureAuto && iExposureMin == o.iExposureMin && iExposureMax == o.iExposureMax
           && iGainMin == o.iGainMin && iGainMax == o.iGainMax && bWhiteAuto == o.bWhiteAuto
           && iRedGain == o.iRedGain && iBlueGain == o.iBlueGain;
}

namespace StreamEncoding {

namespace {

QString tr(const char *pszText)
{
    return QCoreApplication::translate("StreamEncoding", pszText);
}

QString outside(const QString &strWhat, const stIntRange &range)
{
    return tr("%1超出范围 %2 - %3").arg(strWhat).arg(range.iMin).arg(range.iMax);
}

} // namespace

QString streamTitle(const QString &strStream)
{
    if (strStream == QLatin1String("main"))
        return tr("主码流");
    if (strStream == QLatin1String("sub"))
        return tr("子码流");
    return tr("第三码流");
}

QString problem(const stStreamEncoding &stream, const stStreamOptions &options)
{
    const auto found = options.mapEncodings.constFind(stream.strEncoding);
    if (found == options.mapEncodings.constEnd())
        return tr("设备不支持编码 %1").arg(stream.strEncoding);
    const stEncodingChoice &choice = found.value();
    if (!choice.vecResolutions.isEmpty() && !choice.vecResolutions.contains(QSize(stream.iWidth, stream.iHeight)))
        return tr("设备不支持分辨率 %1x%2").arg(stream.iWidth).arg(stream.iHeight);
    if (choice.fps.offered() && !choice.fps.contains(stream.iFps))
        return outside(tr("帧率"), choice.fps);
    if (choice.bitrate.offered() && !choice.bitrate.contains(stream.iBitrate))
        return outside(tr("码率"), choice.bitrate);
    if (choice.gop.offered() && !choice.gop.contains(stream.iGop))
        return outside(tr("I帧间隔"), choice.gop);
    if (options.quality.offered() && !options.quality.contains(stream.iQuality))
        return outside(tr("图像质量"), options.quality);
    return QString();
}

stSaveResult save(CMediaDevice &device, const QVector<stStreamEncoding> &vecBefore,
                  const QVector<stStreamEncoding> &vecAfter)
{
    stSaveResult result;
    QVector<int> vecWritten;
    for (int i = 0; i < vecAfter.size() && i < vecBefore.size(); ++i) {
        if (vecAfter[i] == vecBefore[i])
            continue;
        const QString strReason = device.writeStream(i, vecAfter[i]);
        if (strReason.isEmpty()) {
            vecWritten.append(i);
            continue;
        }
        result.listFailed.append(streamTitle(vecAfter[i].strStream));
        result.strReason = strReason;
        break;
    }
    if (result.strReason.isEmpty())
        return result;
    for (int i : vecWritten) {
        if (!device.writeStream(i, vecBefore[i]).isEmpty())
            result.bRestored = false;
    }
    return result;
}

} // namespace StreamEncoding
