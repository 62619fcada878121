#include "framedecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

CFrameDecoder::~CFrameDecoder()
{
    sws_freeContext(m_pScaler);
    av_frame_free(&m_pFrame);
    avcodec_free_context(&m_pCodec);
}

bool CFrameDecoder::openCodec(int iCodecId, const AVCodecParameters *pParams)
{
    const AVCodec *pDecoder = avcodec_find_decoder(AVCodecID(iCodecId));
    if (!pDecoder)
        return false;
    m_pCodec = avcodec_alloc_context3(pDecoder);
    m_pFrame = av_frame_alloc();
    if (!m_pCodec || !m_pFrame || (pParams && avcodec_parameters_to_context(m_pCodec, pParams) < 0))
        return false;
    m_pCodec->flags |= AV_CODEC_FLAG_LOW_DELAY;
    // One thread per stream: several live views share two cores.
    m_pCodec->thread_count = 1;
    return avcodec_open2(m_pCodec, pDecoder, nullptr) == 0;
}

bool CFrameDecoder::open(const AVCodecParameters *pParams)
{
    return openCodec(pParams->codec_id, pParams);
}

bool CFrameDecoder::openJpeg()
{
    return openCodec(AV_CODEC_ID_MJPEG, nullptr);
}

void CFrameDecoder::decode(const AVPacket *pPacket, const Sink &sink)
{
    if (avcodec_send_packet(m_pCodec, pPacket) < 0)
        return;
    while (avcodec_receive_frame(m_pCodec, m_pFrame) == 0)
        convert(sink);
}

void CFrameDecoder::decodeImage(const QByteArray &data, const Sink &sink)
{
    AVPacket *pPacket = av_packet_alloc();
    if (av_new_packet(pPacket, data.size()) == 0) {
        memcpy(pPacket->data, data.constData(), size_t(data.size()));
        decode(pPacket, sink);
    }
    av_packet_free(&pPacket);
}

void CFrameDecoder::convert(const Sink &sink)
{
    const int iWidth = m_pFrame->width;
    const int iHeight = m_pFrame->height;
    if (iWidth <= 0 || iHeight <= 0)
        return;
    m_pScaler = sws_getCachedContext(m_pScaler, iWidth, iHeight, AVPixelFormat(m_pFrame->format), iWidth, iHeight,
                                     AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_pScaler)
        return;
    stVideoFrame frame;
    frame.iWidth = iWidth;
    frame.iHeight = iHeight;
    frame.iStride = iWidth * 4;
    frame.data.resize(frame.iStride * iHeight);
    uint8_t *pDest[1] = {reinterpret_cast<uint8_t *>(frame.data.data())};
    const int iDestStride[1] = {frame.iStride};
    sws_scale(m_pScaler, m_pFrame->data, m_pFrame->linesize, 0, iHeight, pDest, iDestStride);
    sink(std::move(frame));
}
