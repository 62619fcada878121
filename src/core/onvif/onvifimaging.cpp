// The imaging service of an ONVIF camera: settings of the main stream's video source.
#include "onvifmedia.h"

namespace {

QString tt(const COnvifNode *pNode, const char *pszName)
{
    return pNode ? pNode->childText(OnvifNs::kSchema, QLatin1String(pszName)) : QString();
}

const COnvifNode *ttChild(const COnvifNode *pNode, const char *pszName)
{
    return pNode ? pNode->child(OnvifNs::kSchema, QLatin1String(pszName)) : nullptr;
}

int number(const COnvifNode *pNode, const char *pszName)
{
    return OnvifXml::number(tt(pNode, pszName));
}

stIntRange range(const COnvifNode *pNode, const char *pszName)
{
    const COnvifNode *pRange = ttChild(pNode, pszName);
    stIntRange r;
    if (pRange) {
        r.iMin = number(pRange, "Min");
        r.iMax = number(pRange, "Max");
    }
    return r;
}

QStringList modes(const COnvifNode *pNode, const char *pszName)
{
    QStringList list;
    if (pNode) {
        for (const COnvifNode *pMode : pNode->children(OnvifNs::kSchema, QLatin1String(pszName)))
            list.append(pMode->m_strText.trimmed());
    }
    return list;
}

// The filter in front of the sensor is in by day and out by night.
QString irCutOf(const QString &strMode)
{
    if (strMode == QLatin1String("ON"))
        return QStringLiteral("DAY");
    if (strMode == QLatin1String("OFF"))
        return QStringLiteral("NIGHT");
    return QStringLiteral("AUTO");
}

QString irModeOf(const QString &strIrCut)
{
    if (strIrCut == QLatin1String("DAY"))
        return QStringLiteral("ON");
    if (strIrCut == QLatin1String("NIGHT"))
        return QStringLiteral("OFF");
    return QStringLiteral("AUTO");
}

QString el(const char *pszName, const QString &strText)
{
    return QStringLiteral("<tt:%1>%2</tt:%1>").arg(QLatin1String(pszName), OnvifXml::esc(strText));
}

QString el(const char *pszName, int iValue)
{
    return el(pszName, QString::number(iValue));
}

QString onOff(bool bOn)
{
    return bOn ? QStringLiteral("ON") : QStringLiteral("OFF");
}

} // namespace

QString COnvifMedia::readImage(stImageSettings &s, stImageOptions &o)
{
    if (m_vecProfiles.isEmpty()) {
        const COnvifError error = readProfiles();
        if (!error.ok())
            return error.reason();
    }
    if (m_urlImaging.isEmpty() || m_vecProfiles.isEmpty())
        return COnvifError(COnvifError::Unsupported).reason();
    const QString strSource = OnvifXml::esc(m_vecProfiles.first().strSourceToken);
    COnvifNode answer;
    COnvifError error = call(m_urlImaging,
                             QStringLiteral("<timg:GetImagingSettings xmlns:timg=\"%1\"><timg:VideoSourceToken>%2"
                                            "</timg:VideoSourceToken></timg:GetImagingSettings>")
                                 .arg(OnvifNs::kImaging, strSource),
                             answer);
    if (!error.ok())
        return error.reason();
    const COnvifNode *pSet = answer.find(OnvifNs::kImaging, QStringLiteral("ImagingSettings"));
    s.iBrightness = number(pSet, "Brightness");
    s.iContrast = number(pSet, "Contrast");
    s.iSaturation = number(pSet, "ColorSaturation");
    s.iSharpness = number(pSet, "Sharpness");
    s.strIrCut = irCutOf(tt(pSet, "IrCutFilter"));
    const COnvifNode *pBacklight = ttChild(pSet, "BacklightCompensation");
    s.bBacklight = tt(pBacklight, "Mode") == QLatin1String("ON");
    s.iBacklightLevel = number(pBacklight, "Level");
    const COnvifNode *pWdr = ttChild(pSet, "WideDynamicRange");
    s.bWdr = tt(pWdr, "Mode") == QLatin1String("ON");
    s.iWdrLevel = number(pWdr, "Level");
    const COnvifNode *pExposure = ttChild(pSet, "Exposure");
    s.bExposureAuto = tt(pExposure, "Mode") != QLatin1String("MANUAL");
    s.iExposureMin = number(pExposure, "MinExposureTime");
    s.iExposureMax = number(pExposure, "MaxExposureTime");
    s.iGainMin = number(pExposure, "MinGain");
    s.iGainMax = number(pExposure, "MaxGain");
    const COnvifNode *pWhite = ttChild(pSet, "WhiteBalance");
    s.bWhiteAuto = tt(pWhite, "Mode") != QLatin1String("MANUAL");
    s.iRedGain = number(pWhite, "CrGain");
    s.iBlueGain = number(pWhite, "CbGain");

    error = call(m_urlImaging,
                 QStringLiteral("<timg:GetOptions xmlns:timg=\"%1\"><timg:VideoSourceToken>%2</timg:VideoSourceToken>"
                                "</timg:GetOptions>")
                     .arg(OnvifNs::kImaging, strSource),
                 answer);
    if (!error.ok())
        return error.reason();
    const COnvifNode *pOpt = answer.find(OnvifNs::kImaging, QStringLiteral("ImagingOptions"));
    o.brightness = range(pOpt, "Brightness");
    o.contrast = range(pOpt, "Contrast");
    o.saturation = range(pOpt, "ColorSaturation");
    o.sharpness = range(pOpt, "Sharpness");
    for (const QString &strMode : modes(pOpt, "IrCutFilterModes"))
        o.listIrCut.append(irCutOf(strMode));
    const COnvifNode *pBacklightOpt = ttChild(pOpt, "BacklightCompensation");
    o.bBacklight = modes(pBacklightOpt, "Mode").contains(QStringLiteral("ON")) && pBacklight;
    o.backlightLevel = range(pBacklightOpt, "Level");
    const COnvifNode *pWdrOpt = ttChild(pOpt, "WideDynamicRange");
    o.bWdr = modes(pWdrOpt, "Mode").contains(QStringLiteral("ON")) && pWdr;
    o.wdrLevel = range(pWdrOpt, "Level");
    const COnvifNode *pExposureOpt = ttChild(pOpt, "Exposure");
    o.bExposure = modes(pExposureOpt, "Mode").contains(QStringLiteral("MANUAL")) && pExposure;
    o.exposureTime = range(pExposureOpt, "MaxExposureTime");
    o.gain = range(pExposureOpt, "MaxGain");
    const COnvifNode *pWhiteOpt = ttChild(pOpt, "WhiteBalance");
    o.bWhite = modes(pWhiteOpt, "Mode").contains(QStringLiteral("MANUAL")) && pWhite;
    o.redGain = range(pWhiteOpt, "YrGain");
    o.blueGain = range(pWhiteOpt, "YbGain");
    o.strDefaultPreset = defaultPreset(strSource);
    return QString();
}

QString COnvifMedia::defaultPreset(const QString &strSource)
{
    COnvifNode answer;
    const COnvifError error = call(m_urlImaging,
                                   QStringLiteral("<timg:GetPresets xmlns:timg=\"%1\"><timg:VideoSourceToken>%2"
                                                  "</timg:VideoSourceToken></timg:GetPresets>")
                                       .arg(OnvifNs::kImaging, strSource),
                                   answer);
    // Presets are optional: a camera without them restores the values read.
    if (!error.ok())
        return QString();
    const COnvifNode *pResponse = answer.find(OnvifNs::kImaging, QStringLiteral("GetPresetsResponse"));
    for (const COnvifNode *pPreset : pResponse ? pResponse->children(OnvifNs::kImaging, QStringLiteral("Preset"))
                                               : QList<const COnvifNode *>()) {
        QString strName = pPreset->childText(OnvifNs::kImaging, QStringLiteral("Name"));
        if (strName.isEmpty())
            strName = tt(pPreset, "Name");
        const QString strToken = pPreset->m_hashAttrs.value(QStringLiteral("token"));
        if (!strToken.isEmpty() && strName.contains(QLatin1String("default"), Qt::CaseInsensitive))
            return strToken;
    }
    return QString();
}

QString COnvifMedia::applyPreset(const QString &strToken)
{
    if (m_urlImaging.isEmpty() || m_vecProfiles.isEmpty())
        return COnvifError(COnvifError::Unsupported).reason();
    COnvifNode answer;
    return call(m_urlImaging,
                QStringLiteral("<timg:SetCurrentPreset xmlns:timg=\"%1\"><timg:VideoSourceToken>%2</timg:VideoSourceToken>"
                               "<timg:PresetToken>%3</timg:PresetToken></timg:SetCurrentPreset>")
                    .arg(OnvifNs::kImaging, OnvifXml::esc(m_vecProfiles.first().strSourceToken), OnvifXml::esc(strToken)),
                answer)
        .reason();
}

QString COnvifMedia::writeImage(const stImageSettings &s)
{
    if (m_urlImaging.isEmpty() || m_vecProfiles.isEmpty())
        return COnvifError(COnvifError::Unsupported).reason();
    // Elements in the order the schema gives them.
    QString strBody = QStringLiteral("<tt:BacklightCompensation>%1%2</tt:BacklightCompensation>")
                          .arg(el("Mode", onOff(s.bBacklight)), el("Level", s.iBacklightLevel))
                      + el("Brightness", s.iBrightness) + el("ColorSaturation", s.iSaturation)
                      + el("Contrast", s.iContrast)
                      + QStringLiteral("<tt:Exposure>%1%2%3%4%5</tt:Exposure>")
                            .arg(el("Mode", s.bExposureAuto ? QStringLiteral("AUTO") : QStringLiteral("MANUAL")),
                                 el("MinExposureTime", s.iExposureMin), el("MaxExposureTime", s.iExposureMax),
                                 el("MinGain", s.iGainMin), el("MaxGain", s.iGainMax))
                      + el("IrCutFilter", irModeOf(s.strIrCut)) + el("Sharpness", s.iSharpness)
                      + QStringLiteral("<tt:WideDynamicRange>%1%2</tt:WideDynamicRange>")
                            .arg(el("Mode", onOff(s.bWdr)), el("Level", s.iWdrLevel))
                      + QStringLiteral("<tt:WhiteBalance>%1%2%3</tt:WhiteBalance>")
                            .arg(el("Mode", s.bWhiteAuto ? QStringLiteral("AUTO") : QStringLiteral("MANUAL")),
                                 el("CrGain", s.iRedGain), el("CbGain", s.iBlueGain));
    COnvifNode answer;
    return call(m_urlImaging,
                QStringLiteral("<timg:SetImagingSettings xmlns:timg=\"%1\"><timg:VideoSourceToken>%2"
                               "</timg:VideoSourceToken><timg:ImagingSettings>%3</timg:ImagingSettings>"
                               "<timg:ForcePersistence>true</timg:ForcePersistence></timg:SetImagingSettings>")
                    .arg(OnvifNs::kImaging, OnvifXml::esc(m_vecProfiles.first().strSourceToken), strBody),
                answer)
        .reason();
}
