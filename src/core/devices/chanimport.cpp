#include "chanimport.h"

#include "chanparam.h"
#include "devfailreason.h"
#include "devsession.h"
#include "encodestreamread.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcChanImport, "corvane.chanimport")

namespace ChanImport {

int readMainStream(const CUIDeviceBean &oDev, CUIChanBean &oChan, QString &strReason)
{
    strReason.clear();
    oChan.m_lChanNum = 1;
    oChan.m_strChanName = QStringLiteral("1(%1 %2)").arg(oDev.m_strDevType, oDev.m_strIp);
    if (oDev.m_strLoginKey.isEmpty())
        return DevStatusImportNotLogged;
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
    oChan.m_lBitRate = qint32(cfg.ulBitRate);
    oChan.m_lTotalBitRate = oChan.m_lChanNum * oChan.m_lBitRate;
    oChan.m_lEncFmt = qint32(cfg.ulFormat);
    oChan.m_strFrameRate = QString::number(cfg.ulFrameRate);
    oChan.m_strResolution = QString::number(cfg.ulWidth) + QLatin1Char('*') + QString::number(cfg.ulHeight);
    oChan.m_lBestBitRate = 0;
    QString strLabel;
    quint32 ulBest = 0;
    if (CChanParam::labelForSize(cfg.ulWidth, cfg.ulHeight, strLabel, ulBest)) {
        oChan.m_strResolution = strLabel;
        oChan.m_lBestBitRate = qint32(ulBest);
    }
    return DevStatusImportOk;
}

} // namespace ChanImport
