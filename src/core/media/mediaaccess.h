#ifndef MEDIAACCESS_H
#define MEDIAACCESS_H

#include <QCoreApplication>
#include <QMap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVector>

// The streams, picture settings and live picture of one camera, as the
// encoding and image pages see them whatever protocol the camera speaks.

struct stIntRange
{
    int iMin = 0;
    int iMax = -1; // below iMin: not offered
    bool offered() const { return iMax >= iMin; }
    bool contains(int iValue) const { return iValue >= iMin && iValue <= iMax; }
};

// One video stream: "main", "sub" or "third".
struct stStreamEncoding
{
    QString strStream;
    QString strEncoding; // H264, H265, JPEG
    int iWidth = 0;
    int iHeight = 0;
    int iFps = 0;
    int iBitrate = 0; // kbit/s
    int iGop = 0;
    int iQuality = 0;
    bool bConstantBitrate = false;

    bool operator==(const stStreamEncoding &other) const;
    bool operator!=(const stStreamEncoding &other) const { return !(*this == other); }
};

// What one encoding of a stream offers.
struct stEncodingChoice
{
    QVector<QSize> vecResolutions;
    stIntRange fps;
    stIntRange bitrate;
    stIntRange gop; // not offered for JPEG
};

struct stStreamOptions
{
    QMap<QString, stEncodingChoice> mapEncodings; // by encoding name
    stIntRange quality;
    bool bRateControl = false; // constant or variable bit rate can be chosen
};

// Picture settings; a range not offered hides its control.
struct stImageSettings
{
    int iBrightness = 0, iContrast = 0, iSaturation = 0, iSharpness = 0;
    QString strIrCut;           // DAY, NIGHT, AUTO
    bool bBacklight = false;
    int iBacklightLevel = 0;
    bool bWdr = false;
    int iWdrLevel = 0;
    bool bExposureAuto = true;
    int iExposureMin = 0, iExposureMax = 0, iGainMin = 0, iGainMax = 0; // microseconds, gain units
    bool bWhiteAuto = true;
    int iRedGain = 0, iBlueGain = 0;

    bool operator==(const stImageSettings &other) const;
    bool operator!=(const stImageSettings &other) const { return !(*this == other); }
};

struct stImageOptions
{
    stIntRange brightness, contrast, saturation, sharpness;
    QStringList listIrCut;  // of DAY, NIGHT, AUTO
    bool bBacklight = false;
    stIntRange backlightLevel;
    bool bWdr = false;
    stIntRange wdrLevel;
    bool bExposure = false;
    stIntRange exposureTime, gain;
    bool bWhite = false;
    stIntRange redGain, blueGain;
    QString strDefaultPreset; // the camera's own default settings, by token; empty when it has none
};

// Where the live picture of a stream comes from.
struct stLiveSource
{
    QUrl urlStream;   // RTSP
    QUrl urlSnapshot; // JPEG over HTTP, used when the stream cannot be played
    QString strUser;
    QString strPassword;
    bool bUdp = false; // RTP over UDP instead of interleaved in the RTSP connection
};

// One camera's media calls. Each blocks the calling thread until the camera
// answered (at most a few seconds); a failure returns its reason, success
// an empty text.
class CMediaDevice
{
public:
    virtual ~CMediaDevice() = default;
    virtual QString readStreams(QVector<stStreamEncoding> &vecStreams, QVector<stStreamOptions> &vecOptions) = 0;
    virtual QString writeStream(int iIndex, const stStreamEncoding &stream) = 0;
    virtual QString readImage(stImageSettings &settings, stImageOptions &options) = 0;
    virtual QString writeImage(const stImageSettings &settings) = 0;
    // Switches the picture settings to one of the camera's presets.
    virtual QString applyPreset(const QString &strToken) = 0;
    virtual QString liveSource(int iStream, stLiveSource &source) = 0;
};

namespace StreamEncoding {

// The stream's translated name ("main stream", ...).
QString streamTitle(const QString &strStream);
// Why a stream's values cannot be written (naming the range), or empty.
QString problem(const stStreamEncoding &stream, const stStreamOptions &options);

struct stSaveResult
{
    QStringList listFailed; // titles of the streams that could not be written
    QString strReason;      // empty when every changed stream was written
    bool bRestored = true;  // the streams written before the failure were put back
};
// Writes every changed stream in order; when one fails, puts back those
// already written, so the camera is left as it was.
stSaveResult save(CMediaDevice &device, const QVector<stStreamEncoding> &vecBefore,
                  const QVector<stStreamEncoding> &vecAfter);

} // namespace StreamEncoding

#endif // MEDIAACCESS_H
