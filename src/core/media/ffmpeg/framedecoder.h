#ifndef FRAMEDECODER_H
#define FRAMEDECODER_H

#include "videoframe.h"

#include <QByteArray>

#include <functional>

struct AVCodecContext;
struct AVCodecParameters;
struct AVFrame;
struct AVPacket;
struct SwsContext;

// Decodes compressed pictures into stVideoFrames with FFmpeg's decoders and scaler.
class CFrameDecoder
{
public:
    using Sink = std::function<void(stVideoFrame)>;

    CFrameDecoder() = default;
    ~CFrameDecoder();
    CFrameDecoder(const CFrameDecoder &) = delete;
    CFrameDecoder &operator=(const CFrameDecoder &) = delete;

    bool open(const AVCodecParameters *pParams);
    bool openJpeg();
    // Every picture the packet completes goes to sink.
    void decode(const AVPacket *pPacket, const Sink &sink);
    void decodeImage(const QByteArray &data, const Sink &sink);

private:
    bool openCodec(int iCodecId, const AVCodecParameters *pParams);
    void convert(const Sink &sink);

    AVCodecContext *m_pCodec = nullptr;
    AVFrame *m_pFrame = nullptr;
    SwsContext *m_pScaler = nullptr;
};

#endif // FRAMEDECODER_H
