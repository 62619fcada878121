#ifndef ONVIFMEDIA_H
#define ONVIFMEDIA_H

// The media (profiles, video encoders, stream and snapshot addresses) and
// imaging services of one simulated ONVIF device, in both media service
// versions. Writes are checked against the options the device offers; a value
// outside them is an InvalidArgVal fault. Called on the HTTP workers.
#include "soapxml.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct SimDevice;
struct SimOptions;

struct OnvifEncoder
{
    std::string encoding = "H264"; // H264, H265 or JPEG
    int width = 640;
    int height = 360;
    int fps = 25;
    int bitrate = 2048; // kbit/s
    int gop = 50;
    int quality = 4;
    bool constantBitrate = false;
};

struct OnvifImaging
{
    int brightness = 50, contrast = 50, saturation = 50, sharpness = 50;
    std::string irCut = "AUTO";           // ON, OFF, AUTO
    std::string backlight = "OFF";        // ON, OFF
    int backlightLevel = 50;
    std::string wdr = "OFF";              // ON, OFF
    int wdrLevel = 50;
    std::string exposureMode = "AUTO";    // AUTO, MANUAL
    int minExposure = 10, maxExposure = 40000, exposureTime = 10000; // microseconds
    int minGain = 0, maxGain = 100, gain = 50;
    std::string whiteBalance = "AUTO";    // AUTO, MANUAL
    int crGain = 128, cbGain = 128;
};

class OnvifMedia
{
public:
    struct Hooks
    {
        std::function<void(int profile)> encoderChanged;
        std::function<void()> imagingChanged;
    };

    OnvifMedia(SimDevice &device, const SimOptions &options, int videoSources);
    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    // What the encoders may be set to (the second media service offers them all).
    void setEncodings(std::vector<std::string> encodings) { m_encodings = std::move(encodings); }

    // Whether this service answers the operation (by namespace and local name).
    bool serves(const std::string &ns, const std::string &name) const;
    // Fills out (the operation's response element is made here); false with the fault.
    bool handle(const std::string &ns, const std::string &name, pugi::xml_node in, pugi::xml_node body,
                soap::Fault &fault);

    int profiles() const { return int(m_encoders.size()); }
    OnvifEncoder encoder(int profile) const;
    // The profile a SetVideoEncoderConfiguration names and the fields both services share.
    bool readEncoder(pugi::xml_node config, int &profile, OnvifEncoder &wanted, soap::Fault &fault) const;
    OnvifImaging imaging() const;
    std::string streamUri(int profile) const;
    std::string snapshotUri(int profile) const;
    // A JPEG of the current picture of a profile; empty for an unknown one.
    std::vector<unsigned char> snapshot(int profile) const;
    static bool resolutionOffered(int width, int height);

private:
    using Handler = bool (OnvifMedia::*)(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    static const std::map<std::string, std::pair<std::string, Handler>> &table(const std::string &ns);

    int profileOfToken(const std::string &token) const; // -1 when unknown
    // The video source configuration a profile uses, filled into config.
    void writeSourceConfig(pugi::xml_node config, int profile) const;
    void writeEncoder(pugi::xml_node parent, const char *name, int profile) const;
    void writeEncoder2(pugi::xml_node parent, const char *name, int profile) const;
    void writeEncoderOptions(pugi::xml_node out) const;
    bool checkEncoder(const OnvifEncoder &wanted, soap::Fault &fault) const;
    bool storeEncoder(int profile, const OnvifEncoder &wanted, soap::Fault &fault);

    // Media (onvifmedia.cpp).
    bool getProfiles(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getProfile(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getVideoSources(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getVideoEncoderConfigurations(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getVideoEncoderConfiguration(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getVideoEncoderConfigurationOptions(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setVideoEncoderConfiguration(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getStreamUri(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getSnapshotUri(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    // Media 2 (onvifmedia2.cpp).
    bool getProfiles2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getVideoEncoderConfigurations2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getVideoEncoderConfigurationOptions2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setVideoEncoderConfiguration2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getStreamUri2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getSnapshotUri2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    // Imaging (onvifimaging.cpp).
    bool getImagingSettings(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getImagingOptions(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setImagingSettings(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getPresets(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getCurrentPreset(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setCurrentPreset(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    void storeImaging(const OnvifImaging &img, const std::string &preset);

    SimDevice &m_device;
    const SimOptions &m_options;
    int m_videoSources;
    Hooks m_hooks;
    std::vector<std::string> m_encodings{"H264", "JPEG"};
    mutable std::mutex m_mutex; // m_encoders, m_imaging, m_preset
    std::vector<OnvifEncoder> m_encoders;
    OnvifImaging m_imaging;
    std::string m_preset; // token of the preset the settings came from, empty once changed
};

namespace soap {
// Text of a child found by local name in any namespace, following a path.
std::string anyText(pugi::xml_node node, std::initializer_list<const char *> path);
pugi::xml_node anyChild(pugi::xml_node node, const char *local);
} // namespace soap

#endif // ONVIFMEDIA_H
