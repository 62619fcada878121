#include "onvifmedia.h"

#include "ipcpicture.h"
#include "onvifdevice.h"
#include "simdevice.h"
#include "simoptions.h"

#include <algorithm>
#include <cstdlib>

namespace {

struct Size
{
    int width, height;
};
const Size Resolutions[] = {{1920, 1080}, {1280, 720}, {640, 360}, {480, 270}, {320, 180}};
const OnvifEncoder Defaults[] = {{"H264", 640, 360, 25, 2048, 50, 4, false},
                                 {"H264", 480, 270, 25, 768, 50, 4, false},
                                 {"H264", 320, 180, 15, 256, 30, 4, false}};

} // namespace

namespace soap {

pugi::xml_node anyChild(pugi::xml_node node, const char *local)
{
    for (pugi::xml_node candidate : node.children()) {
        if (candidate.type() == pugi::node_element && localName(candidate.name()) == local)
            return candidate;
    }
    return {};
}

std::string anyText(pugi::xml_node node, std::initializer_list<const char *> path)
{
    for (const char *step : path) {
        node = anyChild(node, step);
        if (!node)
            return {};
    }
    return node.text().as_string();
}

} // namespace soap

OnvifMedia::OnvifMedia(SimDevice &device, const SimOptions &options, int videoSources)
    : m_device(device)
    , m_options(options)
    , m_videoSources(videoSources)
{
    // A camera streams main, sub and third from its one source; a recorder one stream per channel.
    const int count = videoSources > 1 ? videoSources : 3;
    for (int i = 0; i < count; ++i)
        m_encoders.push_back(Defaults[videoSources > 1 ? 0 : i]);
}

const std::map<std::string, std::pair<std::string, OnvifMedia::Handler>> &OnvifMedia::table(const std::string &ns)
{
    static const std::map<std::string, std::pair<std::string, Handler>> media = {
        {"GetProfiles", {"trt", &OnvifMedia::getProfiles}},
        {"GetProfile", {"trt", &OnvifMedia::getProfile}},
        {"GetVideoSources", {"trt", &OnvifMedia::getVideoSources}},
        {"GetVideoEncoderConfigurations", {"trt", &OnvifMedia::getVideoEncoderConfigurations}},
        {"GetVideoEncoderConfiguration", {"trt", &OnvifMedia::getVideoEncoderConfiguration}},
        {"GetVideoEncoderConfigurationOptions", {"trt", &OnvifMedia::getVideoEncoderConfigurationOptions}},
        {"SetVideoEncoderConfiguration", {"trt", &OnvifMedia::setVideoEncoderConfiguration}},
        {"GetStreamUri", {"trt", &OnvifMedia::getStreamUri}},
        {"GetSnapshotUri", {"trt", &OnvifMedia::getSnapshotUri}},
    };
    static const std::map<std::string, std::pair<std::string, Handler>> media2 = {
        {"GetProfiles", {"tr2", &OnvifMedia::getProfiles2}},
        {"GetVideoEncoderConfigurations", {"tr2", &OnvifMedia::getVideoEncoderConfigurations2}},
        {"GetVideoEncoderConfigurationOptions", {"tr2", &OnvifMedia::getVideoEncoderConfigurationOptions2}},
        {"SetVideoEncoderConfiguration", {"tr2", &OnvifMedia::setVideoEncoderConfiguration2}},
        {"GetStreamUri", {"tr2", &OnvifMedia::getStreamUri2}},
        {"GetSnapshotUri", {"tr2", &OnvifMedia::getSnapshotUri2}},
    };
    static const std::map<std::string, std::pair<std::string, Handler>> imaging = {
        {"GetImagingSettings", {"timg", &OnvifMedia::getImagingSettings}},
        {"GetOptions", {"timg", &OnvifMedia::getImagingOptions}},
        {"SetImagingSettings", {"timg", &OnvifMedia::setImagingSettings}},
        {"GetPresets", {"timg", &OnvifMedia::getPresets}},
        {"GetCurrentPreset", {"timg", &OnvifMedia::getCurrentPreset}},
        {"SetCurrentPreset", {"timg", &OnvifMedia::setCurrentPreset}},
    };
    static const std::map<std::string, std::pair<std::string, Handler>> none;
    if (ns == onvifns::Media)
        return media;
    if (ns == onvifns::Media2)
        return media2;
    if (ns == onvifns::Imaging)
        return imaging;
    return none;
}

bool OnvifMedia::serves(const std::string &ns, const std::string &name) const
{
    if (ns == onvifns::Imaging && name.find("Preset") != std::string::npos && !m_options.onvifImagingPresets)
        return false;
    return table(ns).count(name) != 0;
}

bool OnvifMedia::handle(const std::string &ns, const std::string &name, pugi::xml_node in, pugi::xml_node body,
                        soap::Fault &fault)
{
    const auto &entry = table(ns).at(name);
    pugi::xml_node out = body.append_child((entry.first + ':' + name + "Response").c_str());
    return (this->*entry.second)(in, out, fault);
}

OnvifEncoder OnvifMedia::encoder(int profile) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_encoders.at(std::size_t(profile));
}

OnvifImaging OnvifMedia::imaging() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_imaging;
}

std::string OnvifMedia::streamUri(int profile) const
{
    // Port 1: nothing listens there.
    const uint16_t port = m_options.onvifDeadStreamUri ? 1 : m_options.onvifRtspPort;
    return "rtsp://" + m_device.currentIp() + ':' + std::to_string(port) + "/stream"
           + std::to_string(profile + 1);
}

std::string OnvifMedia::snapshotUri(int profile) const
{
    return OnvifDevice::serviceBase(m_device, m_options) + "snapshot/" + std::to_string(profile + 1);
}

std::vector<unsigned char> OnvifMedia::snapshot(int profile) const
{
    if (profile < 0 || profile >= profiles())
        return {};
    const OnvifEncoder enc = encoder(profile);
    const OnvifImaging img = imaging();
    PictureSettings settings;
    settings.brightness = uint32_t(img.brightness * 255 / 100);
    settings.contrast = uint32_t(img.contrast * 255 / 100);
    settings.saturation = uint32_t(img.saturation * 255 / 100);
    settings.width = uint32_t(enc.width);
    settings.height = uint32_t(enc.height);
    static uint32_t frame = 0;
    return renderTestPicture(settings, frame++);
}

bool OnvifMedia::resolutionOffered(int width, int height)
{
    for (const Size &size : Resolutions) {
        if (size.width == width && size.height == height)
            return true;
    }
    return false;
}

int OnvifMedia::profileOfToken(const std::string &token) const
{
    for (const char *prefix : {"Profile_", "VideoEncoder_"}) {
        const std::string text(prefix);
        if (token.rfind(text, 0) == 0) {
            const int number = std::atoi(token.c_str() + text.size());
            if (number >= 1 && number <= profiles() && token == text + std::to_string(number))
                return number - 1;
        }
    }
    return -1;
}

bool OnvifMedia::checkEncoder(const OnvifEncoder &wanted, soap::Fault &fault) const
{
    const auto range = [&fault](const char *what, int value, int low, int high) {
        if (value >= low && value <= high)
            return true;
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:ConfigModify",
                            std::string(what) + " " + std::to_string(value) + " is outside " + std::to_string(low)
                                + ".." + std::to_string(high),
                            400};
        return false;
    };
    if (std::find(m_encodings.begin(), m_encodings.end(), wanted.encoding) == m_encodings.end()) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:ConfigModify",
                            "encoding " + wanted.encoding + " is not offered", 400};
        return false;
    }
    if (!resolutionOffered(wanted.width, wanted.height)) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:ConfigModify",
                            "resolution " + std::to_string(wanted.width) + "x" + std::to_string(wanted.height)
                                + " is not offered",
                            400};
        return false;
    }
    return range("frame rate", wanted.fps, 1, 30) && range("bit rate", wanted.bitrate, 64, 16384)
           && range("GOP length", wanted.gop, 1, 150) && range("quality", wanted.quality, 0, 10);
}

bool OnvifMedia::storeEncoder(int profile, const OnvifEncoder &wanted, soap::Fault &fault)
{
    if (!checkEncoder(wanted, fault))
        return false;
    if (profile + 1 == m_options.onvifRefuseEncoder) {
        fault = soap::Fault{"env:Receiver", "ter:Action", "ter:ConfigurationConflict",
                            "the encoder is busy and cannot be changed", 500};
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_encoders[std::size_t(profile)] = wanted;
    }
    if (m_hooks.encoderChanged)
        m_hooks.encoderChanged(profile);
    return true;
}

void OnvifMedia::writeEncoder(pugi::xml_node parent, const char *name, int profile) const
{
    const OnvifEncoder enc = encoder(profile);
    const std::string number = std::to_string(profile + 1);
    pugi::xml_node node = soap::add(parent, name);
    node.append_attribute("token") = ("VideoEncoder_" + number).c_str();
    soap::add(node, "tt:Name", "VideoEncoder_" + number);
    soap::add(node, "tt:UseCount", "1");
    soap::add(node, "tt:Encoding", enc.encoding);
    pugi::xml_node resolution = soap::add(node, "tt:Resolution");
    soap::add(resolution, "tt:Width", std::to_string(enc.width));
    soap::add(resolution, "tt:Height", std::to_string(enc.height));
    soap::add(node, "tt:Quality", std::to_string(enc.quality));
    pugi::xml_node rate = soap::add(node, "tt:RateControl");
    soap::add(rate, "tt:FrameRateLimit", std::to_string(enc.fps));
    soap::add(rate, "tt:EncodingInterval", "1");
    soap::add(rate, "tt:BitrateLimit", std::to_string(enc.bitrate));
    if (enc.encoding == "H264") {
        pugi::xml_node h264 = soap::add(node, "tt:H264");
        soap::add(h264, "tt:GovLength", std::to_string(enc.gop));
        soap::add(h264, "tt:H264Profile", "Baseline");
    }
    pugi::xml_node multicast = soap::add(node, "tt:Multicast");
    pugi::xml_node address = soap::add(multicast, "tt:Address");
    soap::add(address, "tt:Type", "IPv4");
    soap::add(address, "tt:IPv4Address", "0.0.0.0");
    soap::add(multicast, "tt:Port", "0");
    soap::add(multicast, "tt:TTL", "1");
    soap::add(multicast, "tt:AutoStart", "false");
    soap::add(node, "tt:SessionTimeout", "PT60S");
}

void OnvifMedia::writeEncoderOptions(pugi::xml_node out) const
{
    pugi::xml_node options = soap::add(out, "trt:Options");
    pugi::xml_node quality = soap::add(options, "tt:QualityRange");
    soap::add(quality, "tt:Min", "0");
    soap::add(quality, "tt:Max", "10");
    const auto resolutions = [](pugi::xml_node node) {
        for (const Size &size : Resolutions) {
            pugi::xml_node available = soap::add(node, "tt:ResolutionsAvailable");
            soap::add(available, "tt:Width", std::to_string(size.width));
            soap::add(available, "tt:Height", std::to_string(size.height));
        }
    };
    const auto range = [](pugi::xml_node node, const char *name, int low, int high) {
        pugi::xml_node r = soap::add(node, name);
        soap::add(r, "tt:Min", std::to_string(low));
        soap::add(r, "tt:Max", std::to_string(high));
    };
    pugi::xml_node jpeg = soap::add(options, "tt:JPEG");
    resolutions(jpeg);
    range(jpeg, "tt:FrameRateRange", 1, 30);
    range(jpeg, "tt:EncodingIntervalRange", 1, 1);
    pugi::xml_node h264 = soap::add(options, "tt:H264");
    resolutions(h264);
    range(h264, "tt:GovLengthRange", 1, 150);
    range(h264, "tt:FrameRateRange", 1, 30);
    range(h264, "tt:EncodingIntervalRange", 1, 1);
    soap::add(h264, "tt:H264ProfilesSupported", "Baseline");
    pugi::xml_node extension = soap::add(options, "tt:Extension");
    pugi::xml_node jpegExt = soap::add(extension, "tt:JPEG");
    resolutions(jpegExt);
    range(jpegExt, "tt:FrameRateRange", 1, 30);
    range(jpegExt, "tt:EncodingIntervalRange", 1, 1);
    range(jpegExt, "tt:BitrateRange", 64, 16384);
    pugi::xml_node h264Ext = soap::add(extension, "tt:H264");
    resolutions(h264Ext);
    range(h264Ext, "tt:GovLengthRange", 1, 150);
    range(h264Ext, "tt:FrameRateRange", 1, 30);
    range(h264Ext, "tt:EncodingIntervalRange", 1, 1);
    soap::add(h264Ext, "tt:H264ProfilesSupported", "Baseline");
    range(h264Ext, "tt:BitrateRange", 64, 16384);
}

bool OnvifMedia::getProfiles(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    for (int i = 0; i < profiles(); ++i) {
        const std::string number = std::to_string(i + 1);
        pugi::xml_node profile = soap::add(out, "trt:Profiles");
        profile.append_attribute("token") = ("Profile_" + number).c_str();
        profile.append_attribute("fixed") = true;
        soap::add(profile, "tt:Name", "Profile_" + number);
        writeSourceConfig(soap::add(profile, "tt:VideoSourceConfiguration"), i);
        writeEncoder(profile, "tt:VideoEncoderConfiguration", i);
    }
    return true;
}

void OnvifMedia::writeSourceConfig(pugi::xml_node config, int profile) const
{
    const std::string source = std::to_string(m_videoSources > 1 ? profile + 1 : 1);
    config.append_attribute("token") = ("VideoSourceConfig_" + source).c_str();
    soap::add(config, "tt:Name", "VideoSourceConfig_" + source);
    soap::add(config, "tt:UseCount", "1");
    soap::add(config, "tt:SourceToken", "VideoSource_" + source);
    pugi::xml_node bounds = soap::add(config, "tt:Bounds");
    bounds.append_attribute("x") = 0;
    bounds.append_attribute("y") = 0;
    bounds.append_attribute("width") = 1920;
    bounds.append_attribute("height") = 1080;
}

bool OnvifMedia::getProfile(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const int profile = profileOfToken(soap::anyText(in, {"ProfileToken"}));
    if (profile < 0) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoProfile", "no such profile", 400};
        return false;
    }
    pugi::xml_node all = out.parent().append_child("scratch");
    getProfiles(in, all, fault);
    pugi::xml_node chosen = out.append_copy(all.find_child_by_attribute("token", ("Profile_" + std::to_string(profile + 1)).c_str()));
    chosen.set_name("trt:Profile");
    out.parent().remove_child(all);
    return true;
}

bool OnvifMedia::getVideoSources(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    for (int i = 1; i <= m_videoSources; ++i) {
        pugi::xml_node source = soap::add(out, "trt:VideoSources");
        source.append_attribute("token") = ("VideoSource_" + std::to_string(i)).c_str();
        soap::add(source, "tt:Framerate", "25");
        pugi::xml_node resolution = soap::add(source, "tt:Resolution");
        soap::add(resolution, "tt:Width", "1920");
        soap::add(resolution, "tt:Height", "1080");
    }
    return true;
}

bool OnvifMedia::getVideoEncoderConfigurations(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    for (int i = 0; i < profiles(); ++i)
        writeEncoder(out, "trt:Configurations", i);
    return true;
}

bool OnvifMedia::getVideoEncoderConfiguration(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const int profile = profileOfToken(soap::anyText(in, {"ConfigurationToken"}));
    if (profile < 0) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoConfig", "no such configuration", 400};
        return false;
    }
    writeEncoder(out, "trt:Configuration", profile);
    return true;
}

bool OnvifMedia::getVideoEncoderConfigurationOptions(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    writeEncoderOptions(out);
    return true;
}

// What both media services' encoder writes share; the rest differs in shape.
bool OnvifMedia::readEncoder(pugi::xml_node config, int &profile, OnvifEncoder &wanted, soap::Fault &fault) const
{
    profile = profileOfToken(config.attribute("token").as_string());
    if (profile < 0) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoConfig", "no such configuration", 400};
        return false;
    }
    wanted = encoder(profile);
    wanted.encoding = soap::anyText(config, {"Encoding"});
    wanted.width = std::atoi(soap::anyText(config, {"Resolution", "Width"}).c_str());
    wanted.height = std::atoi(soap::anyText(config, {"Resolution", "Height"}).c_str());
    wanted.quality = int(std::atof(soap::anyText(config, {"Quality"}).c_str()));
    return true;
}

bool OnvifMedia::setVideoEncoderConfiguration(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    const pugi::xml_node config = soap::anyChild(in, "Configuration");
    int profile = -1;
    OnvifEncoder wanted;
    if (!readEncoder(config, profile, wanted, fault))
        return false;
    wanted.fps = std::atoi(soap::anyText(config, {"RateControl", "FrameRateLimit"}).c_str());
    wanted.bitrate = std::atoi(soap::anyText(config, {"RateControl", "BitrateLimit"}).c_str());
    if (soap::anyChild(config, "H264"))
        wanted.gop = std::atoi(soap::anyText(config, {"H264", "GovLength"}).c_str());
    // The first media service knows no H.265.
    if (wanted.encoding == "H265") {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:ConfigModify", "encoding H265 is not offered", 400};
        return false;
    }
    return storeEncoder(profile, wanted, fault);
}

bool OnvifMedia::getStreamUri(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const int profile = profileOfToken(soap::anyText(in, {"ProfileToken"}));
    if (profile < 0) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoProfile", "no such profile", 400};
        return false;
    }
    pugi::xml_node uri = soap::add(out, "trt:MediaUri");
    soap::add(uri, "tt:Uri", streamUri(profile));
    soap::add(uri, "tt:InvalidAfterConnect", "false");
    soap::add(uri, "tt:InvalidAfterReboot", "false");
    soap::add(uri, "tt:Timeout", "PT0S");
    return true;
}

bool OnvifMedia::getSnapshotUri(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const int profile = profileOfToken(soap::anyText(in, {"ProfileToken"}));
    if (profile < 0) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoProfile", "no such profile", 400};
        return false;
    }
    pugi::xml_node uri = soap::add(out, "trt:MediaUri");
    soap::add(uri, "tt:Uri", snapshotUri(profile));
    soap::add(uri, "tt:InvalidAfterConnect", "false");
    soap::add(uri, "tt:InvalidAfterReboot", "false");
    soap::add(uri, "tt:Timeout", "PT0S");
    return true;
}
