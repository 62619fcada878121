#include "chanimport.h"

#include "chanparam.h"
#include "devsession.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QLoggingCategory>

#include <array>
#include <cstring>

Q_LOGGING_CATEGORY(lcChanImport, "corvane.chanimport")

namespace {

quint32 field(const std::array<unsigned char, ZELT_ENC_SIZE> &buffer, int iOffset)
{
    quint32 ulValue = 0;
    for (int i = 3; i >= 0; --i)
        ulValue = (ulValue << 8) | buffer[iOffset + i];
    return ulValue;
}

} // namespace

namespace ChanImport {

int readMainStream(const CUIDeviceBean &oDev, CUIChanBean &oChan)
{
    oChan.m_lChanNum = 1;
    oChan.m_strChanName = QStringLiteral("1(") + oDev.m_strDevType + QLatin1Char(')');
    if (oDev.m_strLoginKey.isEmpty())
        return DevStatusImportNotLogged;
    // The stream settings are read through the configuration library, which
    // serves IPC devices only; an NVR's key means nothing to it.
    if (!DevSession::isIpc(oDev))
        return DevStatusImportFailed;

    std::array<unsigned char, ZELT_ENC_SIZE> buffer{};  // stream 0: the main stream
    DWORD ulLen = ZELT_ENC_SIZE;
    const QByteArray userId = oDev.m_strLoginKey.toLatin1();
    const DWORD ulResult = ZELT_MW_GetConfig(userId.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &ulLen,
                                             buffer.data());
    if (ulResult != 0) {
        qCDebug(lcChanImport) << "main stream of" << oDev.m_strIp << "unreadable:" << ulResult;
        return DevStatusImportFailed;
    }
    const quint32 ulBitRate = field(buffer, ZELT_ENC_BITRATE);
    if (ulBitRate == 0) {
        qCDebug(lcChanImport) << "main stream of" << oDev.m_strIp << "reports bit rate" << ulBitRate;
        return DevStatusImportFailed;
    }
    const quint32 ulWidth = field(buffer, ZELT_ENC_WIDTH);
    const quint32 ulHeight = field(buffer, ZELT_ENC_HEIGHT);
    oChan.m_lBitRate = qint32(ulBitRate);
    oChan.m_lTotalBitRate = oChan.m_lChanNum * oChan.m_lBitRate;
    oChan.m_lEncFmt = qint32(field(buffer, ZELT_ENC_FORMAT));
    oChan.m_strFrameRate = QString::number(field(buffer, ZELT_ENC_FPS));
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

} // namespace ChanImport
