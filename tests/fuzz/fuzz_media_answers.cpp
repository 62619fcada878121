// The media and imaging answers of an ONVIF camera as the encoding and image
// pages read them: the input is a run of SOAP answers separated by the byte
// 0x1E, handed out one per request (services, profiles, encoder options, stream
// and snapshot addresses, image settings, options and presets, writes). What the
// pages then hold must stay within what a page can show.
#include "onvifmedia.h"
#include "onvifxml.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {

class CScriptedMedia : public COnvifMedia
{
public:
    explicit CScriptedMedia(const QList<QByteArray> &listAnswers)
        : COnvifMedia(QStringLiteral("http://127.0.0.1/onvif/device_service"), QStringLiteral("admin"),
                      QStringLiteral("x"))
        , m_listAnswers(listAnswers)
    {
    }

protected:
    COnvifError syncClock(const QUrl &) override { return COnvifError(); }
    COnvifError call(const QUrl &, const QString &, COnvifNode &answer, bool) override
    {
        if (m_iNext >= m_listAnswers.size())
            return COnvifError(COnvifError::Unreachable);
        COnvifNode root;
        QString strError;
        if (!OnvifXml::parse(m_listAnswers.at(m_iNext++), root, strError))
            return COnvifError(COnvifError::Malformed);
        const COnvifNode *pBody = root.child(OnvifNs::kSoap, QStringLiteral("Body"));
        answer = pBody ? *pBody : root;
        return COnvifError();
    }

private:
    QList<QByteArray> m_listAnswers;
    int m_iNext = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_media_answers";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    CScriptedMedia media(input.split('\x1e'));
    QVector<stStreamEncoding> vecStreams;
    QVector<stStreamOptions> vecOptions;
    if (media.readStreams(vecStreams, vecOptions).isEmpty()) {
        // Three streams at most, whatever the camera lists.
        if (vecStreams.size() > 3)
            std::abort();
        for (const stStreamEncoding &stream : qAsConst(vecStreams))
            media.writeStream(0, stream);
    }
    stImageSettings settings;
    stImageOptions options;
    if (media.readImage(settings, options).isEmpty()) {
        media.writeImage(settings);
        if (!options.strDefaultPreset.isEmpty())
            media.applyPreset(options.strDefaultPreset);
    }
    stLiveSource source;
    media.liveSource(0, source);
    return 0;
}
