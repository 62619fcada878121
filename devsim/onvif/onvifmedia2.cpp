// The second media service's view of the same profiles and encoders.
#include "onvifmedia.h"

#include <cstdlib>

namespace {

soap::Fault noProfile()
{
    return soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoProfile", "no such profile", 400};
}

} // namespace

void OnvifMedia::writeEncoder2(pugi::xml_node parent, const char *name, int profile) const
{
    const OnvifEncoder enc = encoder(profile);
    const std::string number = std::to_string(profile + 1);
    pugi::xml_node node = soap::add(parent, name);
    node.append_attribute("token") = ("VideoEncoder_" + number).c_str();
    if (enc.encoding != "JPEG") {
        node.append_attribute("GovLength") = enc.gop;
        node.append_attribute("Profile") = enc.encoding == "H265" ? "Main" : "Baseline";
    }
    soap::add(node, "tt:Name", "VideoEncoder_" + number);
    soap::add(node, "tt:UseCount", "1");
    soap::add(node, "tt:Encoding", enc.encoding);
    pugi::xml_node resolution = soap::add(node, "tt:Resolution");
    soap::add(resolution, "tt:Width", std::to_string(enc.width));
    soap::add(resolution, "tt:Height", std::to_string(enc.height));
    pugi::xml_node rate = soap::add(node, "tt:RateControl");
    rate.append_attribute("ConstantBitRate") = enc.constantBitrate;
    soap::add(rate, "tt:FrameRateLimit", std::to_string(enc.fps));
    soap::add(rate, "tt:BitrateLimit", std::to_string(enc.bitrate));
    soap::add(node, "tt:Quality", std::to_string(enc.quality));
}

bool OnvifMedia::getProfiles2(pugi::xml_node in, pugi::xml_node out, soap::Fault &)
{
    const std::string only = soap::anyText(in, {"Token"});
    for (int i = 0; i < profiles(); ++i) {
        const std::string number = std::to_string(i + 1);
        if (!only.empty() && only != "Profile_" + number)
            continue;
        pugi::xml_node profile = soap::add(out, "tr2:Profiles");
        profile.append_attribute("token") = ("Profile_" + number).c_str();
        profile.append_attribute("fixed") = true;
        soap::add(profile, "tr2:Name", "Profile_" + number);
        pugi::xml_node configs = soap::add(profile, "tr2:Configurations");
        writeSourceConfig(soap::add(configs, "tr2:VideoSource"), i);
        writeEncoder2(configs, "tr2:VideoEncoder", i);
    }
    return true;
}

bool OnvifMedia::getVideoEncoderConfigurations2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const std::string token = soap::anyText(in, {"ConfigurationToken"}) + soap::anyText(in, {"ProfileToken"});
    const int only = token.empty() ? -1 : profileOfToken(token);
    if (!token.empty() && only < 0) {
        fault = noProfile();
        return false;
    }
    for (int i = 0; i < profiles(); ++i) {
        if (only < 0 || only == i)
            writeEncoder2(out, "tr2:Configurations", i);
    }
    return true;
}

bool OnvifMedia::getVideoEncoderConfigurationOptions2(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    for (const std::string &encoding : m_encodings) {
        pugi::xml_node options = soap::add(out, "tr2:Options");
        options.append_attribute("FrameRatesSupported") = "1 5 10 12.5 15 20 25 30";
        options.append_attribute("ConstantBitRateSupported") = true;
        if (encoding != "JPEG") {
            options.append_attribute("GovLengthRange") = "1 150";
            options.append_attribute("ProfilesSupported") = encoding == "H265" ? "Main" : "Baseline";
        }
        soap::add(options, "tt:Encoding", encoding);
        pugi::xml_node quality = soap::add(options, "tt:QualityRange");
        soap::add(quality, "tt:Min", "0");
        soap::add(quality, "tt:Max", "10");
        for (int width : {1920, 1280, 640, 480, 320}) {
            pugi::xml_node available = soap::add(options, "tt:ResolutionsAvailable");
            soap::add(available, "tt:Width", std::to_string(width));
            soap::add(available, "tt:Height", std::to_string(width * 9 / 16));
        }
        pugi::xml_node bitrate = soap::add(options, "tt:BitrateRange");
        soap::add(bitrate, "tt:Min", "64");
        soap::add(bitrate, "tt:Max", "16384");
    }
    return true;
}

bool OnvifMedia::setVideoEncoderConfiguration2(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    const pugi::xml_node config = soap::anyChild(in, "Configuration");
    int profile = -1;
    OnvifEncoder wanted;
    if (!readEncoder(config, profile, wanted, fault))
        return false;
    const pugi::xml_node rate = soap::anyChild(config, "RateControl");
    wanted.fps = int(std::atof(soap::anyText(rate, {"FrameRateLimit"}).c_str()));
    wanted.bitrate = std::atoi(soap::anyText(rate, {"BitrateLimit"}).c_str());
    wanted.constantBitrate = std::string(rate.attribute("ConstantBitRate").as_string()) == "true";
    if (pugi::xml_attribute gop = config.attribute("GovLength"))
        wanted.gop = gop.as_int();
    return storeEncoder(profile, wanted, fault);
}

bool OnvifMedia::getStreamUri2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const int profile = profileOfToken(soap::anyText(in, {"ProfileToken"}));
    if (profile < 0) {
        fault = noProfile();
        return false;
    }
    soap::add(out, "tr2:Uri", streamUri(profile));
    return true;
}

bool OnvifMedia::getSnapshotUri2(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const int profile = profileOfToken(soap::anyText(in, {"ProfileToken"}));
    if (profile < 0) {
        fault = noProfile();
        return false;
    }
    soap::add(out, "tr2:Uri", snapshotUri(profile));
    return true;
}
