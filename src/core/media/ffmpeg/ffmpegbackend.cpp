// The media module: live streams and snapshots decoded by FFmpeg, loaded by
// the program the first time a picture is wanted (mediabackend.h).
#include "framedecoder.h"
#include "mediabackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

constexpr int kOpenTimeoutMs = 5000;
constexpr int kStallTimeoutMs = 5000;

QString avText(int iCode)
{
    char szText[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(iCode, szText, sizeof szText);
    return QString::fromUtf8(szText);
}

// What FFmpeg's blocking calls poll: the player's stop, and a deadline each
// phase sets (opening, then every read), so that a silent camera ends the
// stream instead of holding the thread.
struct stInterrupt
{
    const std::atomic<bool> &bStop;
    QElapsedTimer timer;
    qint64 llDeadlineMs = 0;

    void arm(int iMs) { llDeadlineMs = timer.elapsed() + iMs; }
    static int callback(void *pOpaque)
    {
        const auto *pSelf = static_cast<const stInterrupt *>(pOpaque);
        return pSelf->bStop.load() || pSelf->timer.elapsed() > pSelf->llDeadlineMs;
    }
};

class CFfmpegBackend : public IMediaBackend
{
public:
    EStreamEnd playStream(const QByteArray &url, bool bUdp, const std::atomic<bool> &bStop, const FrameSink &sink,
                          QString &strReason) override;
    void decodeJpeg(const QByteArray &data, const FrameSink &sink) override;
};

IMediaBackend::EStreamEnd CFfmpegBackend::playStream(const QByteArray &url, bool bUdp, const std::atomic<bool> &bStop,
                                                     const FrameSink &sink, QString &strReason)
{
    stInterrupt interrupt{bStop, {}, 0};
    interrupt.timer.start();
    AVFormatContext *pFormat = avformat_alloc_context();
    pFormat->interrupt_callback.callback = &stInterrupt::callback;
    pFormat->interrupt_callback.opaque = &interrupt;
    AVDictionary *pOptions = nullptr;
    av_dict_set(&pOptions, "rtsp_transport", bUdp ? "udp" : "tcp", 0);
    av_dict_set(&pOptions, "timeout", "5000000", 0);
    av_dict_set(&pOptions, "fflags", "nobuffer", 0);
    interrupt.arm(kOpenTimeoutMs);
    int iResult = avformat_open_input(&pFormat, url.constData(), nullptr, &pOptions);
    av_dict_free(&pOptions);
    if (iResult < 0) {
        strReason = avText(iResult);
        return bStop ? Stopped : NotPlayed; // avformat_open_input freed the context
    }
    const int iStream = av_find_best_stream(pFormat, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    CFrameDecoder decoder;
    if (iStream < 0 || !decoder.open(pFormat->streams[iStream]->codecpar)) {
        strReason = QCoreApplication::translate("CLivePlayerWorker", "不支持的视频编码");
        avformat_close_input(&pFormat);
        return NotPlayed;
    }
    AVPacket *pPacket = av_packet_alloc();
    bool bPlayed = false;
    while (!bStop) {
        interrupt.arm(kStallTimeoutMs);
        iResult = av_read_frame(pFormat, pPacket);
        if (iResult < 0)
            break;
        if (pPacket->stream_index == iStream) {
            decoder.decode(pPacket, [&sink, &bPlayed](stVideoFrame frame) {
                bPlayed = true;
                sink(std::move(frame));
            });
        }
        av_packet_unref(pPacket);
    }
    av_packet_free(&pPacket);
    avformat_close_input(&pFormat);
    if (bStop)
        return Stopped;
    strReason = iResult == AVERROR_EXIT ? QCoreApplication::translate("CLivePlayerWorker", "超时未收到数据") : avText(iResult);
    return bPlayed ? Lost : NotPlayed;
}

void CFfmpegBackend::decodeJpeg(const QByteArray &data, const FrameSink &sink)
{
    CFrameDecoder decoder;
    if (decoder.openJpeg())
        decoder.decodeImage(data, sink);
}

} // namespace

extern "C" Q_DECL_EXPORT IMediaBackend *corvane_media_backend()
{
    static CFfmpegBackend backend;
    return &backend;
}
