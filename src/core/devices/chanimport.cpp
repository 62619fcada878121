#include "chanimport.h"

#include "chanparam.h"
#include "devfailreason.h"
#include "devsession.h"
#include "encodestreamread.h"
#include "mediaaccess.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcChanImport, "corvane.chanimport")

namespace {

int fillRow(CUIChanBean &oChan, quint32 ulWidth, quint32 ulHeight, quint32 ulBitRate, quint32 ulFrameRate,
            qint32 lFormat)
{
    oChan.m_lBitRate = qint32(ulBitRate);
    oChan.m_lTotalBitRate = oChan.m_lChanNum * oChan.m_lBitRate;
    oChan.m_lEncFmt = lFormat;
    oChan.m_strFrameRate = QString::number(ulFrameRate);
    oChan.m_strResolution = QString::number(ulWidth) + QLatin1Char('*') + QString::number(ulHeight);
    oChan.m_lBestBitRate = 0;
    QString strLabel;
    quint32 ulBest = 0;
    if (CChanParam::labelForSize(ulWidth, ulHeight, strLabel, ulBest)) {
        oChan.m_strResolution = strLabel;
        oChan.m_lBestBitRate = qint32(ulBest);
    }
    return DevStatusImportOk;
}

// The calculator knows two format codes; an encoding it has no code for
// (H.265) is imported without one.
qint32 formatCode(const QString &strEncoding)
{
    if (strEncoding == QLatin1String("H264"))
        return CChanParam::EncH264;
    if (strEncoding == QLatin1String("JPEG") || strEncoding == QLatin1String("MJPEG"))
        return CChanParam::EncMjpeg;
    return 0;
}

int readThroughMedia(CMediaDevice &device, const CUIDeviceBean &oDev, CUIChanBean &oChan)
{
    QVector<stStreamEncoding> vecStreams;
    QVector<stStreamOptions> vecOptions;
    const QString strReason = device.readStreams(vecStreams, vecOptions);
    if (!strReason.isEmpty() || vecStreams.isEmpty()) {
        qCDebug(lcChanImport) << "streams of" << oDev.m_strIp << "unreadable:" << strReason;
        return DevStatusImportFailed;
    }
    const stStreamEncoding &main = vecStreams.first();
    if (main.iBitrate <= 0) {
        qCDebug(lcChanImport) << "main stream of" << oDev.m_strIp << "reports no bit rate";
        return DevStatusImportFailed;
    }
    return fillRow(oChan, quint32(main.iWidth), quint32(main.iHeight), quint32(main.iBitrate), quint32(main.iFps),
                   formatCode(main.strEncoding));
}

} // namespace

namespace ChanImport {

int readMainStream(const CUIDeviceBean &oDev, CUIChanBean &oChan, QString &strReason)
{
    strReason.clear();
    oChan.m_lChanNum = 1;
    oChan.m_strChanName = QStringLiteral("1(%1 %2)").arg(oDev.m_strDevType, oDev.m_strIp);
    if (oDev.m_strLoginKey.isEmpty())
        return DevStatusImportNotLogged;
    if (std::unique_ptr<CMediaDevice> pMedia = DevSession::mediaDevice(oDev))
        return readThroughMedia(*pMedia, oDev, oChan);
    // The stream settings are read through the configuration library, which
    // serves IPC devices only; an NVR's key means nothing to it.
    if (!DevSession::isIpc(oDev)) {
        strReason = QCoreApplication::translate("ChanImport", "录像机的通道不能导入，请手动添加");
        return DevStatusImportFailed;
    }

    stEncoderCfg cfg;
    const DWORD ulResult = EncodeStreamRead::readEncoder(oDev.m_strLoginKey.toLatin1(), 0, cfg);
    if (ulResult != 0) {
        qCDebug(lcChanImport) << "main stream of" << oDev.m_strIp << "unreadable:" << ulResult;
        strReason = CDevFailReason::ofIpc(ulResult);
        return DevStatusImportFailed;
    }
    if (cfg.ulBitRate == 0) {
        qCDebug(lcChanImport) << "main stream of" << oDev.m_strIp << "reports bit rate 0";
        strReason = QCoreApplication::translate("ChanImport", "主码流没有码率");
        return DevStatusImportFailed;
    }
    return fillRow(oChan, cfg.ulWidth, cfg.ulHeight, cfg.ulBitRate, cfg.ulFrameRate, qint32(cfg.ulFormat));
}

} // namespace ChanImport
