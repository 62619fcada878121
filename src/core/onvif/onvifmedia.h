#ifndef ONVIFMEDIA_H
#define ONVIFMEDIA_H

#include "mediaaccess.h"
#include "onvifsoap.h"

#include <QHash>

// The media (version 2 where the camera offers it, else version 1) and
// imaging services of one ONVIF camera, for the thread that creates it.
// Profiles with a video encoder become the main, sub and third streams.
class COnvifMedia : public CMediaDevice
{
public:
    COnvifMedia(const QString &strXAddr, const QString &strUser, const QString &strPassword);

    QString readStreams(QVector<stStreamEncoding> &vecStreams, QVector<stStreamOptions> &vecOptions) override;
    QString writeStream(int iIndex, const stStreamEncoding &stream) override;
    QString readImage(stImageSettings &settings, stImageOptions &options) override;
    QString writeImage(const stImageSettings &settings) override;
    QString applyPreset(const QString &strToken) override;
    QString liveSource(int iStream, stLiveSource &source) override;

protected:
    // The transport: every request goes through these two, so answers can
    // come from elsewhere than the network (the fuzz harness).
    virtual COnvifError syncClock(const QUrl &url);
    virtual COnvifError call(const QUrl &url, const QString &strBody, COnvifNode &answer, bool bSigned = true);

private:
    struct stProfile
    {
        QString strToken;
        QString strEncoderToken;
        QString strSourceToken;
        stStreamEncoding encoding;
        COnvifNode encoder; // as read, for the parts a write sends back unchanged
    };

    // Clock and service addresses, once.
    COnvifError open();
    COnvifError readProfiles();
    COnvifError readOptions(const stProfile &profile, stStreamOptions &options);
    QString encoderBody(const stProfile &profile, const stStreamEncoding &stream) const;
    QString encoderBody2(const stProfile &profile, const stStreamEncoding &stream) const;
    // The token of the preset named as the camera's default, or empty.
    QString defaultPreset(const QString &strSource);
    COnvifError uri(const QString &strOperation, const QString &strProfile, QUrl &url);

    QUrl m_urlDevice;
    QUrl m_urlMedia;
    QUrl m_urlMedia2;
    QUrl m_urlImaging;
    QString m_strUser;
    QString m_strPassword;
    bool m_bOpen = false;
    QVector<stProfile> m_vecProfiles;
};

namespace OnvifNs {
extern const QString kMedia;
extern const QString kMedia2;
extern const QString kImaging;
} // namespace OnvifNs

#endif // ONVIFMEDIA_H
