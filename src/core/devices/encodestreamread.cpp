#include "encodestreamread.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QDebug>
#include <QtEndian>

namespace EncodeStreamRead {

DWORD readEncoder(const QByteArray &userId, DWORD ulStream, stEncoderCfg &cfg)
{
    cfg = stEncoderCfg();
    cfg.ulStream = ulStream;
    QByteArray data = cfg.toBytes();
    DWORD ulLen = stEncoderCfg::kSize;
    const DWORD ulResult = ZELT_MW_GetConfig(userId.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, &ulLen, data.data());
    if (ulResult != 0) {
        qDebug() << "ZELT_MW_GetConfig ZELT_MW_VIDEO_ENCODER_CFG failed!" << ulResult;
        return ulResult;
    }
    cfg = stEncoderCfg::fromBytes(data);
    // The answer's own index is not trusted: the structure goes back to, and is
    // stored as, the stream that was asked for.
    cfg.ulStream = ulStream;
    return 0;
}

EResult load(CEncodeStreamLogic &oLogic, const QByteArray &userId, const QList<stDevCapacityInfo> &listCap,
             std::array<stEncoderCfg, 3> &arrEncCfg)
{
    quint8 aVideoInput[ZELT_VIN_SIZE] = {};
    DWORD ulLen = ZELT_VIN_SIZE;
    const DWORD ulVinResult = ZELT_MW_GetConfig(userId.constData(), ZELT_MW_VIDEO_INPUT_MODE_CFG, 0, &ulLen,
                                                aVideoInput);
    if (ulVinResult != 0)
        qDebug() << "ZELT_MW_GetConfig video input mode failed!" << ulVinResult;
    oLogic.setVideoInput(ulVinResult == 0, qFromLittleEndian<quint32>(aVideoInput + ZELT_VIN_WIDTH),
                         qFromLittleEndian<quint32>(aVideoInput + ZELT_VIN_HEIGHT),
                         qFromLittleEndian<quint32>(aVideoInput + ZELT_VIN_MAX_FPS));
    oLogic.parseCapability(listCap);
    oLogic.fillFrameRates();

    bool bReadOk = readEncoder(userId, EncodeStreams::Main, arrEncCfg[EncodeStreams::Main]) == 0;
    oLogic.loadStream(EncodeStreams::Main, arrEncCfg[EncodeStreams::Main]);
    for (int iStream : {int(EncodeStreams::Sub), int(EncodeStreams::Third)}) {
        if (oLogic.streamCount() > iStream) {
            bReadOk = readEncoder(userId, DWORD(iStream), arrEncCfg[std::size_t(iStream)]) == 0 && bReadOk;
            oLogic.loadStream(iStream, arrEncCfg[std::size_t(iStream)]);
        }
    }
    oLogic.finishLoading();

    if (ulVinResult != 0)
        return VideoInputFailed;
    if (oLogic.mainResolutionsEmpty())
        return NoMainResolution;
    return bReadOk ? ReadOk : EncoderFailed;
}

} // namespace EncodeStreamRead
