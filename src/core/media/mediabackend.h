#ifndef MEDIABACKEND_H
#define MEDIABACKEND_H

#include "videoframe.h"

#include <QString>

#include <atomic>
#include <functional>

// Plays live streams and decodes snapshots. FFmpeg does it, from a module
// of its own (corvane_ffmpeg) loaded the first time a picture is wanted:
// linked into the program, FFmpeg and the codec libraries it pulls in took
// about 17 MB of memory from the start, while most runs never show a live
// picture. One instance serves every player thread at once.
class IMediaBackend
{
public:
    using FrameSink = std::function<void(stVideoFrame)>;
    enum EStreamEnd {
        NotPlayed, // no picture came; strReason says why
        Stopped,   // bStop ended it
        Lost       // it ended after pictures; strReason says why
    };

    virtual ~IMediaBackend() = default;
    // Plays the RTSP stream at url (credentials in it; interleaved in TCP
    // unless bUdp) until it ends or bStop is set, every picture to sink.
    virtual EStreamEnd playStream(const QByteArray &url, bool bUdp, const std::atomic<bool> &bStop,
                                  const FrameSink &sink, QString &strReason) = 0;
    // The pictures of one JPEG image to sink; none when it is no JPEG.
    virtual void decodeJpeg(const QByteArray &data, const FrameSink &sink) = 0;
};

namespace MediaBackend {

// The module's backend, loaded on the first call; nullptr with the reason
// when the module cannot be loaded.
IMediaBackend *instance(QString &strError);

} // namespace MediaBackend

// What the module exports (extern "C", so that it is found by this name).
using CorvaneMediaBackendFn = IMediaBackend *(*)();
#define CORVANE_MEDIA_BACKEND_SYMBOL "corvane_media_backend"

#endif // MEDIABACKEND_H
