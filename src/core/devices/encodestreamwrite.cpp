#include "encodestreamwrite.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcEncodeWrite, "corvane.remotecfg.encoding")

using namespace EncodeStreams;

namespace EncodeStreamWrite {

namespace {

class CWriter
{
public:
    CWriter(const QByteArray &userId, std::array<stEncoderCfg, 3> &arrHeld)
        : m_userId(userId)
        , m_arrHeld(arrHeld)
    {
    }

    DWORD put(const stEncoderCfg &cfg)
    {
        const QByteArray data = cfg.toBytes();
        const DWORD ulResult = ZELT_MW_SetConfig(m_userId.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0,
                                                 DWORD(data.size()), data.constData());
        if (ulResult != 0)
            qCDebug(lcEncodeWrite) << "ZELT_MW_SetConfig ZELT_MW_VIDEO_ENCODER_CFG failed!" << cfg.ulStream << ulResult;
        else
            m_arrHeld[cfg.ulStream] = cfg;
        return ulResult;
    }

    const stEncoderCfg &held(int iStream) const { return m_arrHeld[std::size_t(iStream)]; }

private:
    const QByteArray &m_userId;
    std::array<stEncoderCfg, 3> &m_arrHeld;
};

} // namespace

stResult write(const QByteArray &userId, const QList<stEncoderCfg> &listWrites,
               std::array<stEncoderCfg, 3> &arrHeld)
{
    const std::array<stEncoderCfg, 3> arrBefore = arrHeld;
    CWriter writer(userId, arrHeld);
    stResult result;
    std::array<bool, 3> touched{{false, false, false}};
    for (const stEncoderCfg &cfg : listWrites) {
        Q_ASSERT(cfg.ulStream < quint32(StreamCount));
        result.ulError = writer.put(cfg);
        // A refusal stores nothing; a write left unanswered may still have been applied.
        if (result.ulError == 0 || result.ulError == ZELT_MW_ERR_TIMEOUT)
            touched[cfg.ulStream] = true;
        if (result.ulError != 0)
            break;
    }
    if (result.ulError == 0)
        return result;

    std::array<bool, 3> restored{{true, true, true}};
    if (touched[Main]) {
        // The main stream goes back only once no lower stream on the device is larger than it.
        for (int iStream : {int(Third), int(Sub)}) {
            if (touched[iStream] && writer.held(iStream).ulEnabled != 0) {
                stEncoderCfg off = writer.held(iStream);
                off.ulEnabled = 0;
                writer.put(off);
            }
        }
        restored[Main] = writer.put(arrBefore[Main]) == 0;
    }
    for (int iStream : {int(Sub), int(Third)}) {
        if (touched[iStream])
            restored[iStream] = writer.put(arrBefore[std::size_t(iStream)]) == 0;
    }
    for (int iStream = Main; iStream < StreamCount; ++iStream) {
        if (!restored[iStream])
            result.listUnrestored << iStream;
    }
    return result;
}

} // namespace EncodeStreamWrite
