// The imaging service: settings of the one video source, within the ranges GetOptions offers.
#include "onvifmedia.h"

#include <cstdlib>
#include <vector>

namespace {

struct Range
{
    const char *name;
    int low, high;
};
const Range Level{"Level", 0, 100};
const Range ExposureTime{"ExposureTime", 10, 40000};
const Range Gain{"Gain", 0, 100};
const Range ColourGain{"Gain", 0, 255};

void addRange(pugi::xml_node parent, const char *name, int low, int high)
{
    pugi::xml_node node = soap::add(parent, name);
    soap::add(node, "tt:Min", std::to_string(low));
    soap::add(node, "tt:Max", std::to_string(high));
}

struct Preset
{
    const char *token;
    const char *type;
    const char *name;
    OnvifImaging settings;
};

const std::vector<Preset> &presets()
{
    static const std::vector<Preset> all = [] {
        OnvifImaging night;
        night.irCut = "OFF";
        night.brightness = 60;
        night.exposureMode = "MANUAL";
        night.maxExposure = 33000;
        OnvifImaging wdr;
        wdr.wdr = "ON";
        wdr.wdrLevel = 70;
        return std::vector<Preset>{{"Preset_1", "Custom", "Default", OnvifImaging()},
                                   {"Preset_2", "Night", "Night", night},
                                   {"Preset_3", "WDR", "WDR", wdr}};
    }();
    return all;
}

void writePreset(pugi::xml_node parent, const Preset &preset)
{
    pugi::xml_node node = soap::add(parent, "timg:Preset");
    node.append_attribute("token") = preset.token;
    node.append_attribute("type") = preset.type;
    soap::add(node, "timg:Name", preset.name);
}

soap::Fault noSource()
{
    return soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoSource", "no such video source", 400};
}

bool knownSource(pugi::xml_node in)
{
    return soap::anyText(in, {"VideoSourceToken"}).rfind("VideoSource_", 0) == 0;
}

soap::Fault outOfRange(const std::string &what, const std::string &value, int low, int high)
{
    return soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:SettingsInvalid",
                       what + " " + value + " is outside " + std::to_string(low) + ".." + std::to_string(high), 400};
}

// Reads an optional number at path into value; false with a fault when it is outside the range.
bool readNumber(pugi::xml_node in, std::initializer_list<const char *> path, const char *what, const Range &range,
                int &value, soap::Fault &fault)
{
    pugi::xml_node node = in;
    for (const char *step : path) {
        node = soap::anyChild(node, step);
        if (!node)
            return true;
    }
    const std::string text = node.text().as_string();
    char *end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || number < range.low || number > range.high) {
        fault = outOfRange(what, text, range.low, range.high);
        return false;
    }
    value = int(number);
    return true;
}

bool readMode(pugi::xml_node in, std::initializer_list<const char *> path, const char *what,
              std::initializer_list<const char *> offered, std::string &value, soap::Fault &fault)
{
    const std::string text = soap::anyText(in, path);
    if (text.empty())
        return true;
    for (const char *mode : offered) {
        if (text == mode) {
            value = text;
            return true;
        }
    }
    fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:SettingsInvalid",
                        std::string(what) + " " + text + " is not offered", 400};
    return false;
}

} // namespace

bool OnvifMedia::getImagingSettings(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    if (!knownSource(in)) {
        fault = noSource();
        return false;
    }
    const OnvifImaging img = imaging();
    pugi::xml_node settings = soap::add(out, "timg:ImagingSettings");
    pugi::xml_node backlight = soap::add(settings, "tt:BacklightCompensation");
    soap::add(backlight, "tt:Mode", img.backlight);
    soap::add(backlight, "tt:Level", std::to_string(img.backlightLevel));
    soap::add(settings, "tt:Brightness", std::to_string(img.brightness));
    soap::add(settings, "tt:ColorSaturation", std::to_string(img.saturation));
    soap::add(settings, "tt:Contrast", std::to_string(img.contrast));
    pugi::xml_node exposure = soap::add(settings, "tt:Exposure");
    soap::add(exposure, "tt:Mode", img.exposureMode);
    soap::add(exposure, "tt:MinExposureTime", std::to_string(img.minExposure));
    soap::add(exposure, "tt:MaxExposureTime", std::to_string(img.maxExposure));
    soap::add(exposure, "tt:MinGain", std::to_string(img.minGain));
    soap::add(exposure, "tt:MaxGain", std::to_string(img.maxGain));
    soap::add(exposure, "tt:ExposureTime", std::to_string(img.exposureTime));
    soap::add(exposure, "tt:Gain", std::to_string(img.gain));
    soap::add(settings, "tt:IrCutFilter", img.irCut);
    soap::add(settings, "tt:Sharpness", std::to_string(img.sharpness));
    pugi::xml_node wdr = soap::add(settings, "tt:WideDynamicRange");
    soap::add(wdr, "tt:Mode", img.wdr);
    soap::add(wdr, "tt:Level", std::to_string(img.wdrLevel));
    pugi::xml_node white = soap::add(settings, "tt:WhiteBalance");
    soap::add(white, "tt:Mode", img.whiteBalance);
    soap::add(white, "tt:CrGain", std::to_string(img.crGain));
    soap::add(white, "tt:CbGain", std::to_string(img.cbGain));
    return true;
}

bool OnvifMedia::getImagingOptions(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    pugi::xml_node options = soap::add(out, "timg:ImagingOptions");
    pugi::xml_node backlight = soap::add(options, "tt:BacklightCompensation");
    soap::add(backlight, "tt:Mode", "OFF");
    soap::add(backlight, "tt:Mode", "ON");
    addRange(backlight, "tt:Level", Level.low, Level.high);
    addRange(options, "tt:Brightness", Level.low, Level.high);
    addRange(options, "tt:ColorSaturation", Level.low, Level.high);
    addRange(options, "tt:Contrast", Level.low, Level.high);
    pugi::xml_node exposure = soap::add(options, "tt:Exposure");
    soap::add(exposure, "tt:Mode", "AUTO");
    soap::add(exposure, "tt:Mode", "MANUAL");
    addRange(exposure, "tt:MinExposureTime", ExposureTime.low, ExposureTime.high);
    addRange(exposure, "tt:MaxExposureTime", ExposureTime.low, ExposureTime.high);
    addRange(exposure, "tt:MinGain", Gain.low, Gain.high);
    addRange(exposure, "tt:MaxGain", Gain.low, Gain.high);
    addRange(exposure, "tt:ExposureTime", ExposureTime.low, ExposureTime.high);
    addRange(exposure, "tt:Gain", Gain.low, Gain.high);
    for (const char *mode : {"ON", "OFF", "AUTO"})
        soap::add(options, "tt:IrCutFilterModes", mode);
    addRange(options, "tt:Sharpness", Level.low, Level.high);
    pugi::xml_node wdr = soap::add(options, "tt:WideDynamicRange");
    soap::add(wdr, "tt:Mode", "OFF");
    soap::add(wdr, "tt:Mode", "ON");
    addRange(wdr, "tt:Level", Level.low, Level.high);
    pugi::xml_node white = soap::add(options, "tt:WhiteBalance");
    soap::add(white, "tt:Mode", "AUTO");
    soap::add(white, "tt:Mode", "MANUAL");
    addRange(white, "tt:YrGain", ColourGain.low, ColourGain.high);
    addRange(white, "tt:YbGain", ColourGain.low, ColourGain.high);
    return true;
}

bool OnvifMedia::setImagingSettings(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    if (!knownSource(in)) {
        fault = noSource();
        return false;
    }
    const pugi::xml_node s = soap::anyChild(in, "ImagingSettings");
    OnvifImaging img = imaging();
    const bool ok = readMode(s, {"BacklightCompensation", "Mode"}, "backlight mode", {"ON", "OFF"}, img.backlight, fault)
        && readNumber(s, {"BacklightCompensation", "Level"}, "backlight level", Level, img.backlightLevel, fault)
        && readNumber(s, {"Brightness"}, "brightness", Level, img.brightness, fault)
        && readNumber(s, {"ColorSaturation"}, "colour saturation", Level, img.saturation, fault)
        && readNumber(s, {"Contrast"}, "contrast", Level, img.contrast, fault)
        && readMode(s, {"Exposure", "Mode"}, "exposure mode", {"AUTO", "MANUAL"}, img.exposureMode, fault)
        && readNumber(s, {"Exposure", "MinExposureTime"}, "minimum exposure time", ExposureTime, img.minExposure, fault)
        && readNumber(s, {"Exposure", "MaxExposureTime"}, "maximum exposure time", ExposureTime, img.maxExposure, fault)
        && readNumber(s, {"Exposure", "MinGain"}, "minimum gain", Gain, img.minGain, fault)
        && readNumber(s, {"Exposure", "MaxGain"}, "maximum gain", Gain, img.maxGain, fault)
        && readNumber(s, {"Exposure", "ExposureTime"}, "exposure time", ExposureTime, img.exposureTime, fault)
        && readNumber(s, {"Exposure", "Gain"}, "gain", Gain, img.gain, fault)
        && readMode(s, {"IrCutFilter"}, "IR cut filter mode", {"ON", "OFF", "AUTO"}, img.irCut, fault)
        && readNumber(s, {"Sharpness"}, "sharpness", Level, img.sharpness, fault)
        && readMode(s, {"WideDynamicRange", "Mode"}, "wide dynamic range mode", {"ON", "OFF"}, img.wdr, fault)
        && readNumber(s, {"WideDynamicRange", "Level"}, "wide dynamic range level", Level, img.wdrLevel, fault)
        && readMode(s, {"WhiteBalance", "Mode"}, "white balance mode", {"AUTO", "MANUAL"}, img.whiteBalance, fault)
        && readNumber(s, {"WhiteBalance", "CrGain"}, "red gain", ColourGain, img.crGain, fault)
        && readNumber(s, {"WhiteBalance", "CbGain"}, "blue gain", ColourGain, img.cbGain, fault);
    if (!ok)
        return false;
    if (img.minExposure > img.maxExposure || img.minGain > img.maxGain) {
        fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:SettingsInvalid",
                            "a minimum is above its maximum", 400};
        return false;
    }
    storeImaging(img, std::string());
    return true;
}

void OnvifMedia::storeImaging(const OnvifImaging &img, const std::string &preset)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_imaging = img;
        m_preset = preset;
    }
    if (m_hooks.imagingChanged)
        m_hooks.imagingChanged();
}

bool OnvifMedia::getPresets(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    if (!knownSource(in)) {
        fault = noSource();
        return false;
    }
    for (const Preset &preset : presets())
        writePreset(out, preset);
    return true;
}

bool OnvifMedia::getCurrentPreset(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    if (!knownSource(in)) {
        fault = noSource();
        return false;
    }
    std::string current;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        current = m_preset;
    }
    for (const Preset &preset : presets()) {
        if (current == preset.token)
            writePreset(out, preset);
    }
    return true;
}

bool OnvifMedia::setCurrentPreset(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    if (!knownSource(in)) {
        fault = noSource();
        return false;
    }
    const std::string token = soap::anyText(in, {"PresetToken"});
    for (const Preset &preset : presets()) {
        if (token == preset.token) {
            storeImaging(preset.settings, token);
            return true;
        }
    }
    fault = soap::Fault{"env:Sender", "ter:InvalidArgVal", "ter:NoImagingPreset", "no such preset", 400};
    return false;
}
