#include "onvifmedia.h"

#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcOnvifMedia, "corvane.onvif.media")

namespace OnvifNs {
const QString kMedia = QStringLiteral("http://www.onvif.org/ver10/media/wsdl");
const QString kMedia2 = QStringLiteral("http://www.onvif.org/ver20/media/wsdl");
const QString kImaging = QStringLiteral("http://www.onvif.org/ver20/imaging/wsdl");
} // namespace OnvifNs

namespace {

const char *const kStreamNames[] = {"main", "sub", "third"};
constexpr int kMaxStreams = 3;

QString tt(const COnvifNode *pNode, const char *pszName)
{
    return pNode ? pNode->childText(OnvifNs::kSchema, QLatin1String(pszName)) : QString();
}

const COnvifNode *ttChild(const COnvifNode *pNode, const char *pszName)
{
    return pNode ? pNode->child(OnvifNs::kSchema, QLatin1String(pszName)) : nullptr;
}

stIntRange range(const COnvifNode *pNode)
{
    stIntRange r;
    if (pNode) {
        r.iMin = OnvifXml::number(tt(pNode, "Min"));
        r.iMax = OnvifXml::number(tt(pNode, "Max"));
    }
    return r;
}

QVector<QSize> resolutions(const COnvifNode *pNode)
{
    QVector<QSize> vec;
    if (pNode) {
        for (const COnvifNode *pRes : pNode->children(OnvifNs::kSchema, QStringLiteral("ResolutionsAvailable")))
            vec.append(QSize(tt(pRes, "Width").toInt(), tt(pRes, "Height").toInt()));
    }
    return vec;
}

// The encoder's values, in either media version's shape.
stStreamEncoding encodingOf(const COnvifNode &encoder)
{
    stStreamEncoding s;
    s.strEncoding = tt(&encoder, "Encoding").toUpper();
    const COnvifNode *pRes = ttChild(&encoder, "Resolution");
    s.iWidth = tt(pRes, "Width").toInt();
    s.iHeight = tt(pRes, "Height").toInt();
    s.iQuality = OnvifXml::number(tt(&encoder, "Quality"));
    const COnvifNode *pRate = ttChild(&encoder, "RateControl");
    s.iFps = OnvifXml::number(tt(pRate, "FrameRateLimit"));
    s.iBitrate = tt(pRate, "BitrateLimit").toInt();
    s.bConstantBitrate = pRate && pRate->m_hashAttrs.value(QStringLiteral("ConstantBitRate")) == QLatin1String("true");
    const QString strGop = encoder.m_hashAttrs.value(QStringLiteral("GovLength"));
    s.iGop = strGop.isEmpty() ? tt(ttChild(&encoder, "H264"), "GovLength").toInt() : strGop.toInt();
    return s;
}

QList<const COnvifNode *> childrenOf(const COnvifNode *pNode, const QString &strNs, const QString &strName)
{
    return pNode ? pNode->children(strNs, strName) : QList<const COnvifNode *>();
}

QString el(const QString &strName, const QString &strText)
{
    return QStringLiteral("<%1>%2</%1>").arg(strName, OnvifXml::esc(strText));
}

} // namespace

COnvifMedia::COnvifMedia(const QString &strXAddr, const QString &strUser, const QString &strPassword)
    : m_urlDevice(strXAddr)
    , m_strUser(strUser)
    , m_strPassword(strPassword)
{
}

COnvifError COnvifMedia::syncClock(const QUrl &url)
{
    return COnvifSoap::ofThread().syncClock({url, m_strUser, m_strPassword});
}

COnvifError COnvifMedia::call(const QUrl &url, const QString &strBody, COnvifNode &answer, bool bSigned)
{
    return COnvifSoap::ofThread().call({url, m_strUser, m_strPassword}, strBody, answer, bSigned);
}

COnvifError COnvifMedia::open()
{
    if (m_bOpen)
        return COnvifError();
    COnvifError error = syncClock(m_urlDevice);
    if (!error.ok())
        return error;
    COnvifNode answer;
    error = call(m_urlDevice, QStringLiteral("<tds:GetServices><tds:IncludeCapability>false</tds:IncludeCapability>"
                                                    "</tds:GetServices>"),
                        answer, false);
    if (error.ok()) {
        for (const COnvifNode *pService : childrenOf(answer.find(OnvifNs::kDevice, QStringLiteral("GetServicesResponse")),
                                                         OnvifNs::kDevice, QStringLiteral("Service"))) {
            const QString strNs = pService->childText(OnvifNs::kDevice, QStringLiteral("Namespace"));
            const QUrl url(pService->childText(OnvifNs::kDevice, QStringLiteral("XAddr")));
            if (strNs == OnvifNs::kMedia)
                m_urlMedia = url;
            else if (strNs == OnvifNs::kMedia2)
                m_urlMedia2 = url;
            else if (strNs == OnvifNs::kImaging)
                m_urlImaging = url;
        }
    } else {
        error = call(m_urlDevice, QStringLiteral("<tds:GetCapabilities><tds:Category>All</tds:Category>"
                                                        "</tds:GetCapabilities>"),
                            answer, false);
        if (!error.ok())
            return error;
        if (const COnvifNode *pMedia = answer.find(OnvifNs::kSchema, QStringLiteral("Media")))
            m_urlMedia = QUrl(tt(pMedia, "XAddr"));
        if (const COnvifNode *pImaging = answer.find(OnvifNs::kSchema, QStringLiteral("Imaging")))
            m_urlImaging = QUrl(tt(pImaging, "XAddr"));
    }
    if (m_urlMedia.isEmpty() && m_urlMedia2.isEmpty())
        return COnvifError(COnvifError::Unsupported);
    m_bOpen = true;
    return COnvifError();
}

COnvifError COnvifMedia::readProfiles()
{
    COnvifError error = open();
    if (!error.ok())
        return error;
    const bool bMedia2 = !m_urlMedia2.isEmpty();
    COnvifNode answer;
    error = bMedia2 ? call(m_urlMedia2,
                           QStringLiteral("<tr2:GetProfiles xmlns:tr2=\"%1\"><tr2:Type>All</tr2:Type></tr2:GetProfiles>")
                               .arg(OnvifNs::kMedia2),
                           answer)
                    : call(m_urlMedia, QStringLiteral("<trt:GetProfiles xmlns:trt=\"%1\"/>").arg(OnvifNs::kMedia), answer);
    if (!error.ok())
        return error;
    const QString &strNs = bMedia2 ? OnvifNs::kMedia2 : OnvifNs::kMedia;
    const COnvifNode *pResponse = answer.find(strNs, QStringLiteral("GetProfilesResponse"));
    m_vecProfiles.clear();
    for (const COnvifNode *pProfile : childrenOf(pResponse, strNs, QStringLiteral("Profiles"))) {
        const COnvifNode *pConfigs = bMedia2 ? pProfile->child(strNs, QStringLiteral("Configurations")) : pProfile;
        const COnvifNode *pEncoder = pConfigs ? pConfigs->child(bMedia2 ? strNs : OnvifNs::kSchema,
                                                                bMedia2 ? QStringLiteral("VideoEncoder")
                                                                        : QStringLiteral("VideoEncoderConfiguration"))
                                              : nullptr;
        if (!pEncoder)
            continue;
        const COnvifNode *pSource = pConfigs->child(bMedia2 ? strNs : OnvifNs::kSchema,
                                                    bMedia2 ? QStringLiteral("VideoSource")
                                                            : QStringLiteral("VideoSourceConfiguration"));
        stProfile profile;
        profile.strToken = pProfile->m_hashAttrs.value(QStringLiteral("token"));
        profile.strEncoderToken = pEncoder->m_hashAttrs.value(QStringLiteral("token"));
        profile.strSourceToken = tt(pSource, "SourceToken");
        profile.encoder = *pEncoder;
        profile.encoding = encodingOf(*pEncoder);
        profile.encoding.strStream = QLatin1String(kStreamNames[m_vecProfiles.size()]);
        m_vecProfiles.append(profile);
        if (m_vecProfiles.size() == kMaxStreams)
            break;
    }
    return COnvifError();
}

COnvifError COnvifMedia::readOptions(const stProfile &profile, stStreamOptions &options)
{
    COnvifNode answer;
    if (!m_urlMedia2.isEmpty()) {
        const COnvifError error = call(
            m_urlMedia2,
            QStringLiteral("<tr2:GetVideoEncoderConfigurationOptions xmlns:tr2=\"%1\">%2%3"
                           "</tr2:GetVideoEncoderConfigurationOptions>")
                .arg(OnvifNs::kMedia2, el(QStringLiteral("tr2:ConfigurationToken"), profile.strEncoderToken),
                     el(QStringLiteral("tr2:ProfileToken"), profile.strToken)),
            answer);
        if (!error.ok())
            return error;
        for (const COnvifNode *pOpt : childrenOf(answer.find(OnvifNs::kMedia2, QStringLiteral("GetVideoEncoderConfigurationOptionsResponse")),
                                                     OnvifNs::kMedia2, QStringLiteral("Options"))) {
            stEncodingChoice choice;
            choice.vecResolutions = resolutions(pOpt);
            choice.bitrate = range(ttChild(pOpt, "BitrateRange"));
            const QStringList listGop = pOpt->m_hashAttrs.value(QStringLiteral("GovLengthRange")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (listGop.size() == 2)
                choice.gop = {listGop[0].toInt(), listGop[1].toInt()};
            QVector<int> vecRates;
            for (const QString &strRate : pOpt->m_hashAttrs.value(QStringLiteral("FrameRatesSupported")).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                vecRates.append(OnvifXml::number(strRate));
            if (!vecRates.isEmpty())
                choice.fps = {qMax(1, *std::min_element(vecRates.begin(), vecRates.end())),
                              *std::max_element(vecRates.begin(), vecRates.end())};
            options.quality = range(ttChild(pOpt, "QualityRange"));
            options.bRateControl = options.bRateControl
                                   || pOpt->m_hashAttrs.value(QStringLiteral("ConstantBitRateSupported")) == QLatin1String("true");
            options.mapEncodings.insert(tt(pOpt, "Encoding").toUpper(), choice);
        }
        return COnvifError();
    }
    const COnvifError error = call(
        m_urlMedia,
        QStringLiteral("<trt:GetVideoEncoderConfigurationOptions xmlns:trt=\"%1\">%2%3</trt:GetVideoEncoderConfigurationOptions>")
            .arg(OnvifNs::kMedia, el(QStringLiteral("trt:ConfigurationToken"), profile.strEncoderToken),
                 el(QStringLiteral("trt:ProfileToken"), profile.strToken)),
        answer);
    if (!error.ok())
        return error;
    const COnvifNode *pOpt = answer.find(OnvifNs::kMedia, QStringLiteral("Options"));
    options.quality = range(ttChild(pOpt, "QualityRange"));
    const COnvifNode *pExt = ttChild(pOpt, "Extension");
    for (const char *pszEnc : {"JPEG", "H264"}) {
        const COnvifNode *pEnc = ttChild(pOpt, pszEnc);
        if (!pEnc)
            continue;
        stEncodingChoice choice;
        choice.vecResolutions = resolutions(pEnc);
        choice.fps = range(ttChild(pEnc, "FrameRateRange"));
        choice.gop = range(ttChild(pEnc, "GovLengthRange"));
        choice.bitrate = range(ttChild(ttChild(pExt, pszEnc), "BitrateRange"));
        options.mapEncodings.insert(QLatin1String(pszEnc), choice);
    }
    return COnvifError();
}

QString COnvifMedia::readStreams(QVector<stStreamEncoding> &vecStreams, QVector<stStreamOptions> &vecOptions)
{
    COnvifError error = readProfiles();
    vecStreams.clear();
    vecOptions.clear();
    for (int i = 0; error.ok() && i < m_vecProfiles.size(); ++i) {
        stStreamOptions options;
        error = readOptions(m_vecProfiles[i], options);
        vecStreams.append(m_vecProfiles[i].encoding);
        vecOptions.append(options);
    }
    return error.reason();
}

QString COnvifMedia::encoderBody(const stProfile &profile, const stStreamEncoding &s) const
{
    const COnvifNode &old = profile.encoder;
    QString strBody = el(QStringLiteral("tt:Name"), tt(&old, "Name")) + el(QStringLiteral("tt:UseCount"), tt(&old, "UseCount"))
                      + el(QStringLiteral("tt:Encoding"), s.strEncoding)
                      + QStringLiteral("<tt:Resolution>%1%2</tt:Resolution>")
                            .arg(el(QStringLiteral("tt:Width"), QString::number(s.iWidth)),
                                 el(QStringLiteral("tt:Height"), QString::number(s.iHeight)))
                      + el(QStringLiteral("tt:Quality"), QString::number(s.iQuality))
                      + QStringLiteral("<tt:RateControl>%1%2%3</tt:RateControl>")
                            .arg(el(QStringLiteral("tt:FrameRateLimit"), QString::number(s.iFps)),
                                 el(QStringLiteral("tt:EncodingInterval"), QStringLiteral("1")),
                                 el(QStringLiteral("tt:BitrateLimit"), QString::number(s.iBitrate)));
    if (s.strEncoding == QLatin1String("H264")) {
        const QString strProfile = tt(ttChild(&old, "H264"), "H264Profile");
        strBody += QStringLiteral("<tt:H264>%1%2</tt:H264>")
                       .arg(el(QStringLiteral("tt:GovLength"), QString::number(s.iGop)),
                            el(QStringLiteral("tt:H264Profile"), strProfile.isEmpty() ? QStringLiteral("Baseline") : strProfile));
    }
    const COnvifNode *pMulticast = ttChild(&old, "Multicast");
    const COnvifNode *pAddress = ttChild(pMulticast, "Address");
    strBody += QStringLiteral("<tt:Multicast><tt:Address>%1%2</tt:Address>%3%4%5</tt:Multicast>")
                   .arg(el(QStringLiteral("tt:Type"), pAddress ? tt(pAddress, "Type") : QStringLiteral("IPv4")),
                        el(QStringLiteral("tt:IPv4Address"), pAddress ? tt(pAddress, "IPv4Address") : QStringLiteral("0.0.0.0")),
                        el(QStringLiteral("tt:Port"), pMulticast ? tt(pMulticast, "Port") : QStringLiteral("0")),
                        el(QStringLiteral("tt:TTL"), pMulticast ? tt(pMulticast, "TTL") : QStringLiteral("1")),
                        el(QStringLiteral("tt:AutoStart"), pMulticast ? tt(pMulticast, "AutoStart") : QStringLiteral("false")));
    const QString strTimeout = tt(&old, "SessionTimeout");
    strBody += el(QStringLiteral("tt:SessionTimeout"), strTimeout.isEmpty() ? QStringLiteral("PT60S") : strTimeout);
    return QStringLiteral("<trt:SetVideoEncoderConfiguration xmlns:trt=\"%1\"><trt:Configuration token=\"%2\">%3"
                          "</trt:Configuration><trt:ForcePersistence>true</trt:ForcePersistence>"
                          "</trt:SetVideoEncoderConfiguration>")
        .arg(OnvifNs::kMedia, OnvifXml::esc(profile.strEncoderToken), strBody);
}

QString COnvifMedia::encoderBody2(const stProfile &profile, const stStreamEncoding &s) const
{
    const COnvifNode &old = profile.encoder;
    QString strAttrs = QStringLiteral(" token=\"%1\"").arg(OnvifXml::esc(profile.strEncoderToken));
    if (s.strEncoding != QLatin1String("JPEG"))
        strAttrs += QStringLiteral(" GovLength=\"%1\"").arg(s.iGop);
    const QString strBody = el(QStringLiteral("tt:Name"), tt(&old, "Name")) + el(QStringLiteral("tt:UseCount"), tt(&old, "UseCount"))
                            + el(QStringLiteral("tt:Encoding"), s.strEncoding)
                            + QStringLiteral("<tt:Resolution>%1%2</tt:Resolution>")
                                  .arg(el(QStringLiteral("tt:Width"), QString::number(s.iWidth)),
                                       el(QStringLiteral("tt:Height"), QString::number(s.iHeight)))
                            + QStringLiteral("<tt:RateControl ConstantBitRate=\"%1\">%2%3</tt:RateControl>")
                                  .arg(s.bConstantBitrate ? QStringLiteral("true") : QStringLiteral("false"),
                                       el(QStringLiteral("tt:FrameRateLimit"), QString::number(s.iFps)),
                                       el(QStringLiteral("tt:BitrateLimit"), QString::number(s.iBitrate)))
                            + el(QStringLiteral("tt:Quality"), QString::number(s.iQuality));
    return QStringLiteral("<tr2:SetVideoEncoderConfiguration xmlns:tr2=\"%1\"><tr2:Configuration%2>%3"
                          "</tr2:Configuration></tr2:SetVideoEncoderConfiguration>")
        .arg(OnvifNs::kMedia2, strAttrs, strBody);
}

QString COnvifMedia::writeStream(int iIndex, const stStreamEncoding &stream)
{
    if (m_vecProfiles.isEmpty()) {
        const COnvifError error = readProfiles();
        if (!error.ok())
            return error.reason();
    }
    if (iIndex < 0 || iIndex >= m_vecProfiles.size())
        return COnvifError(COnvifError::Unsupported).reason();
    stProfile &profile = m_vecProfiles[iIndex];
    COnvifNode answer;
    const COnvifError error = m_urlMedia2.isEmpty() ? call(m_urlMedia, encoderBody(profile, stream), answer)
                                                    : call(m_urlMedia2, encoderBody2(profile, stream), answer);
    if (error.ok())
        profile.encoding = stream;
    else
        qCDebug(lcOnvifMedia) << "encoder write of" << stream.strStream << "refused:" << error.reason();
    return error.reason();
}

COnvifError COnvifMedia::uri(const QString &strOperation, const QString &strProfile, QUrl &url)
{
    COnvifNode answer;
    COnvifError error;
    if (!m_urlMedia2.isEmpty()) {
        error = call(m_urlMedia2,
                     QStringLiteral("<tr2:%1 xmlns:tr2=\"%2\">%3%4</tr2:%1>")
                         .arg(strOperation, OnvifNs::kMedia2,
                              strOperation == QLatin1String("GetStreamUri") ? el(QStringLiteral("tr2:Protocol"), QStringLiteral("RTSP"))
                                                                            : QString(),
                              el(QStringLiteral("tr2:ProfileToken"), strProfile)),
                     answer);
        const COnvifNode *pResponse = answer.find(OnvifNs::kMedia2, strOperation + QStringLiteral("Response"));
        if (error.ok() && pResponse)
            url = QUrl(pResponse->childText(OnvifNs::kMedia2, QStringLiteral("Uri")));
        return error;
    }
    const QString strSetup = strOperation == QLatin1String("GetStreamUri")
                                  ? QStringLiteral("<trt:StreamSetup><tt:Stream>RTP-Unicast</tt:Stream><tt:Transport>"
                                                   "<tt:Protocol>RTSP</tt:Protocol></tt:Transport></trt:StreamSetup>")
                                  : QString();
    error = call(m_urlMedia,
                 QStringLiteral("<trt:%1 xmlns:trt=\"%2\">%3%4</trt:%1>")
                     .arg(strOperation, OnvifNs::kMedia, strSetup, el(QStringLiteral("trt:ProfileToken"), strProfile)),
                 answer);
    if (error.ok())
        url = QUrl(tt(answer.find(OnvifNs::kMedia, QStringLiteral("MediaUri")), "Uri"));
    return error;
}

QString COnvifMedia::liveSource(int iStream, stLiveSource &source)
{
    if (m_vecProfiles.isEmpty()) {
        const COnvifError error = readProfiles();
        if (!error.ok())
            return error.reason();
    }
    if (iStream < 0 || iStream >= m_vecProfiles.size())
        return COnvifError(COnvifError::Unsupported).reason();
    const QString &strProfile = m_vecProfiles[iStream].strToken;
    COnvifError error = uri(QStringLiteral("GetStreamUri"), strProfile, source.urlStream);
    if (!error.ok())
        return error.reason();
    // Without a snapshot address the stream is all there is.
    if (!uri(QStringLiteral("GetSnapshotUri"), strProfile, source.urlSnapshot).ok())
        source.urlSnapshot.clear();
    source.strUser = m_strUser;
    source.strPassword = m_strPassword;
    return QString();
}
