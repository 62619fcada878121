// Which media calls serve a device's encoding and image pages, and the
// stream list and picture the command line reads from any camera.
#include "devsession.h"
#include "devsessionmedia.h"
#include "encodestreamread.h"
#include "onvifmedia.h"
#include "onvifsoap.h"

#include <QCoreApplication>

namespace {

struct stMediaText
{
    Q_DECLARE_TR_FUNCTIONS(DevSession)
};

QString nativeEncoding(quint32 ulFormat)
{
    switch (ulFormat) {
    case EncodeStreams::FormatMjpeg: return QStringLiteral("MJPEG");
    case EncodeStreams::FormatH264: return QStringLiteral("H264");
    case EncodeStreams::FormatJpeg: return QStringLiteral("JPEG");
    default: return QString::number(ulFormat);
    }
}

const char *const kStreamNames[] = {"main", "sub", "third"};

} // namespace

namespace DevSession {

std::unique_ptr<CMediaDevice> mediaDevice(const CUIDeviceBean &oDev)
{
    if (!isOnvif(oDev))
        return nullptr;
    return std::make_unique<COnvifMedia>(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
}

QString readStreams(const CUIDeviceBean &oDev, QVector<stStreamEncoding> &vecStreams)
{
    vecStreams.clear();
    if (std::unique_ptr<CMediaDevice> pMedia = mediaDevice(oDev)) {
        QVector<stStreamOptions> vecOptions;
        return pMedia->readStreams(vecStreams, vecOptions);
    }
    if (!isIpc(oDev))
        return stMediaText::tr("此设备不支持");
    // A stream the camera does not have answers with an error or an empty picture size.
    for (DWORD ulStream = 0; ulStream < 3; ++ulStream) {
        stEncoderCfg cfg;
        const DWORD ulResult = EncodeStreamRead::readEncoder(oDev.m_strLoginKey.toLatin1(), ulStream, cfg);
        if (ulResult != 0 || cfg.ulWidth == 0) {
            if (ulStream == 0)
                return ulResult != 0 ? stMediaText::tr("无法读取主码流（错误码 %1）").arg(ulResult)
                                     : stMediaText::tr("无法读取主码流");
            break;
        }
        stStreamEncoding stream;
        stream.strStream = QLatin1String(kStreamNames[ulStream]);
        stream.strEncoding = nativeEncoding(cfg.ulFormat);
        stream.iWidth = int(cfg.ulWidth);
        stream.iHeight = int(cfg.ulHeight);
        stream.iFps = int(cfg.ulFrameRate);
        stream.iBitrate = int(cfg.ulBitRate);
        stream.iGop = int(cfg.ulIFrame);
        stream.iQuality = int(cfg.ulQuality);
        vecStreams.append(stream);
    }
    return QString();
}

QString snapshot(const CUIDeviceBean &oDev, QByteArray &jpeg)
{
    jpeg.clear();
    std::unique_ptr<CMediaDevice> pMedia = mediaDevice(oDev);
    // The native player paints into a window and hands no picture back.
    if (!pMedia)
        return stMediaText::tr("此设备不支持");
    stLiveSource source;
    const QString strReason = pMedia->liveSource(0, source);
    if (!strReason.isEmpty())
        return strReason;
    if (source.urlSnapshot.isEmpty())
        return stMediaText::tr("此设备不支持");
    const COnvifError error =
        COnvifSoap::ofThread().download({source.urlSnapshot, source.strUser, source.strPassword}, jpeg);
    if (!error.ok())
        return error.reason();
    if (!jpeg.startsWith("\xFF\xD8\xFF")) {
        jpeg.clear();
        return stMediaText::tr("设备返回的快照不是 JPEG 图片");
    }
    return QString();
}

} // namespace DevSession
