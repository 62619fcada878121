#include "ipcmodel.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <algorithm>
#include <sstream>

namespace {

std::vector<IpcModel> buildModels()
{
    std::vector<IpcModel> models;

    IpcModel three;
    three.name = "ZC-5330";
    three.captureWidth = 2592;
    three.captureHeight = 2048;
    three.maxFps = 20;
    three.maxStream = 3;
    three.formats = "3,6,12";
    three.mainResolutions = "2592*2048,2048*1536,1920*1080,1280*960,1280*720,720*576,352*288";
    three.subResolutions = "1280*720,720*576,352*288";
    three.ipModes = "0,1,2";
    three.workModes = "0,1,2,3,4,5";
    three.registration = "R5330A";
    models.push_back(three);

    IpcModel two;
    two.name = "ZC-2320";
    two.maxFps = 30;
    two.maxStream = 2;
    two.formats = "3,6";
    two.mainResolutions = "1920*1080,1280*960,1280*720,720*576,704*288,352*288";
    two.ipModes = "0,1,2";
    two.workModes = "0,1,2,3,4";
    models.push_back(two);

    IpcModel mute = two;
    mute.name = "ZC-2320N";
    mute.audio = false;
    mute.registration = "N2320";
    models.push_back(mute);

    IpcModel dhcp;
    dhcp.name = "ZC-1210D";
    dhcp.captureWidth = 1280;
    dhcp.captureHeight = 960;
    dhcp.maxFps = 25;
    dhcp.maxStream = 3;
    dhcp.hiddenStream = 1;
    dhcp.formats = "6";
    dhcp.mainResolutions = "1280*960,1280*720,720*576,352*288";
    dhcp.ipModes = "2";
    dhcp.workModes = "0";
    models.push_back(dhcp);

    IpcModel fixed;
    fixed.name = "ZC-2330F";
    fixed.maxFps = 60;
    fixed.maxStream = 3;
    fixed.formats = "3,6,12";
    fixed.mainResolutions = "1920*1080";
    fixed.subResolutions = "1280*720,720*576,704*288,352*288";
    fixed.fixedMainResolution = true;
    fixed.ipModes = "0,2";
    fixed.workModes = "0,3,4,7";
    fixed.registration = "F2330";
    models.push_back(fixed);

    // Models for the encoding page's edge cases.
    IpcModel single;                // no MaxStream and no CONV: main stream only, MJPEG at 1:1
    single.name = "ZC-1100M";
    single.captureWidth = 1280;
    single.captureHeight = 720;
    single.maxFps = 25;
    single.maxStream = 1;
    single.omitMaxStream = true;
    single.conv.clear();
    single.formats = "3,6";
    single.mainResolutions = "1280*720,720*576,352*288";
    single.ipModes = "0,2";
    single.workModes = "0";
    models.push_back(single);

    IpcModel tight = two;           // room for 1080P at 25 fps and little else
    tight.name = "ZC-2320T";
    tight.alone = 210000;
    tight.conv.clear();
    models.push_back(tight);

    IpcModel large;                 // 8MP, UXGA and SXGA
    large.name = "ZC-8340";
    large.captureWidth = 3840;
    large.captureHeight = 2160;
    large.maxFps = 30;
    large.maxStream = 3;
    large.formats = "3,6,12";
    large.mainResolutions = "3840*2160,1920*1080,1600*1200,1280*1024,1280*720,720*576,704*288,352*288";
    large.ipModes = "0,1,2";
    large.workModes = "0,1,2";
    large.registration = "L8340";
    models.push_back(large);

    IpcModel small;                 // lists 3MP although it captures 1080P
    small.name = "ZC-3320S";
    small.maxFps = 30;
    small.maxStream = 2;
    small.formats = "6";
    small.mainResolutions = "1920*1080,2048*1536,1280*720,720*576,352*288";
    small.ipModes = "0,2";
    small.workModes = "0";
    models.push_back(small);

    IpcModel wide;                  // 2560*1440: a main stream outside the calculator's table
    wide.name = "ZC-4340";
    wide.captureWidth = 2560;
    wide.captureHeight = 1440;
    wide.maxFps = 30;
    wide.maxStream = 2;
    wide.formats = "6";
    wide.mainResolutions = "2560*1440,1920*1080,1280*720,720*576,352*288";
    wide.subResolutions = "720*576,352*288";
    wide.ipModes = "0,2";
    wide.workModes = "0";
    models.push_back(wide);

    // Variants of the two-stream model for the batch and daylight-saving checks.
    IpcModel noDst = two;
    noDst.name = "ZC-2320S";
    noDst.dst = false;
    models.push_back(noDst);

    IpcModel oddDst = two;
    oddDst.name = "ZC-2320R";
    oddDst.dstOutOfRange = true;
    models.push_back(oddDst);

    IpcModel oddAudio = two;
    oddAudio.name = "ZC-2320U";
    oddAudio.audioModes = "4,9";
    models.push_back(oddAudio);

    IpcModel emptyAudio = two;
    emptyAudio.name = "ZC-2320E";
    emptyAudio.audioModes.clear();
    models.push_back(emptyAudio);

    // Image capability variants; the fleet gets them only through --ipc-models.
    IpcModel noIr = two;
    noIr.name = "ZC-2120";
    noIr.maxFps = 25;
    noIr.imageCap = ImageCapKind::NoIrCtrl;
    models.push_back(noIr);

    IpcModel plainWhite = two;
    plainWhite.name = "ZC-2320W";
    plainWhite.imageCap = ImageCapKind::NoWhiteFineTuning;
    models.push_back(plainWhite);

    IpcModel autoExposure = two;
    autoExposure.name = "ZC-2310A";
    autoExposure.maxFps = 25;
    autoExposure.imageCap = ImageCapKind::AutoExposureOnly;
    models.push_back(autoExposure);

    // Older firmware: accepts every address and work mode but lists none.
    // Not in the random fleet; chosen with --ipc-models.
    IpcModel bare = two;
    bare.name = "ZC-1100B";
    bare.networkModesListed = false;
    models.push_back(bare);
    return models;
}

uint32_t round16(uint32_t v)
{
    return (v + 15) / 16 * 16;
}

const char *kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string encodeDocument(const IpcModel &m)
{
    std::ostringstream x;
    x << kXmlHead << "<EncodeCap>\n";
    if (!m.omitMaxStream)
        x << "  <MaxStream>" << m.maxStream << "</MaxStream>\n";
    x << "  <HiddenStream><Number>" << m.hiddenStream << "</Number></HiddenStream>\n"
      << "  <EncodeFormat>" << m.formats << "</EncodeFormat>\n"
      << "  <Resolution>" << m.mainResolutions << "</Resolution>\n";
    if (!m.subResolutions.empty())
        x << "  <Resolution1>" << m.subResolutions << "</Resolution1>\n";
    x << "  <NoModifyMainPicSize>" << (m.fixedMainResolution ? 1 : 0) << "</NoModifyMainPicSize>\n"
      << "  <ALONE>" << encodeAlone(m) << "</ALONE>\n";
    if (!m.conv.empty())
        x << "  <CONV>" << m.conv << "</CONV>\n";
    x << "</EncodeCap>\n";
    return x.str();
}

std::string networkDocument(const IpcModel &m)
{
    std::ostringstream x;
    x << kXmlHead << "<NetworkCap>\n";
    if (m.networkModesListed)
        x << "  <IPType><Mode>" << m.ipModes << "</Mode></IPType>\n";
    x << "  <PortMode>0</PortMode>\n";
    if (m.networkModesListed)
        x << "  <WorkMode>" << m.workModes << "</WorkMode>\n";
    x << "</NetworkCap>\n";
    return x.str();
}

std::string audioDocument(const IpcModel &m)
{
    return std::string(kXmlHead) + "<AudioCap>\n  <AudioIn><Mode>" + m.audioModes
           + "</Mode><SampleRate>8,16</SampleRate></AudioIn>\n</AudioCap>\n";
}

std::string imageDocument(const IpcModel &m)
{
    const bool autoOnly = m.imageCap == ImageCapKind::AutoExposureOnly;
    std::ostringstream x;
    x << kXmlHead << "<ImageCap>\n"
      << "  <Enhance>\n"
         "    <Brightness>0,255</Brightness><Contrast>0,255</Contrast><Saturation>0,255</Saturation>\n"
         "    <Sharpness>0,255</Sharpness><_2D>0,255</_2D><_3D>0,255</_3D><Mirror>0,1,2,3,4</Mirror>\n"
         "  </Enhance>\n"
         "  <Scene>0,1</Scene>\n"
         "  <Exposure>\n"
      << "    <Mode>" << (autoOnly ? "1" : "1,2,3,4,5,6,7,8") << "</Mode>\n"
      << "    <Shutter>1,30000</Shutter><SlowRange>1,25</SlowRange><FastRange>1,30000</FastRange>\n"
         "    <Gain><Range>0,100</Range><MinRange>0,100</MinRange><MaxRange>0,100</MaxRange></Gain>\n"
         "    <Iris>0,100</Iris><Metering>0,1,2,3</Metering><Compensate>-100,100</Compensate>\n"
         "    <DayNight><Mode>1,2,3</Mode><Time><Range>3,120</Range></Time></DayNight>\n"
         "    <WDR>1,2</WDR>\n"
         "  </Exposure>\n"
      << "  <WhiteBalance><Mode>" << (m.imageCap == ImageCapKind::NoWhiteFineTuning ? "1,7" : "1,2,6,7")
      << "</Mode></WhiteBalance>\n";
    if (m.imageCap != ImageCapKind::NoIrCtrl) {
        x << "  <IrCtrl>\n"
             "    <Mode>1,2,3,4,5</Mode>\n"
             "    <NearIrLedLevel><RangeNear>0,1000</RangeNear></NearIrLedLevel>\n"
             "    <MiddleIrLedLevel><RangeNear>0,1000</RangeNear></MiddleIrLedLevel>\n"
             "    <FarIrLedLevel><RangeNear>0,1000</RangeNear></FarIrLedLevel>\n"
             "  </IrCtrl>\n";
    }
    x << "</ImageCap>\n";
    return x.str();
}

} // namespace

const std::vector<IpcModel> &ipcModels()
{
    static const std::vector<IpcModel> models = buildModels();
    return models;
}

const IpcModel *findIpcModel(const std::string &name)
{
    for (const IpcModel &model : ipcModels()) {
        if (model.name == name)
            return &model;
    }
    return nullptr;
}

bool ipcCapability(const IpcModel &model, uint32_t kind, std::string &xml)
{
    switch (kind) {
    case ZELT_MW_CAP_IMAGE:
        xml = imageDocument(model);
        return true;
    case ZELT_MW_CAP_ENCODE:
        xml = encodeDocument(model);
        return true;
    case ZELT_MW_CAP_NETWORK:
        xml = networkDocument(model);
        return true;
    case ZELT_MW_CAP_AUDIO:
        if (!model.audio)
            return false;
        xml = audioDocument(model);
        return true;
    default:
        return false;
    }
}

uint64_t encodeAlone(const IpcModel &m)
{
    if (m.alone)
        return m.alone;
    // Enough capacity for the largest main stream plus two D1 streams.
    const uint64_t budget = uint64_t(round16(m.captureWidth)) * round16(m.captureHeight) * m.maxFps
                            + uint64_t(720) * 576 * 25 * 2;
    return (budget + 255) / 256;
}

uint64_t encodeCost(const IpcModel &m, uint32_t format, uint32_t width, uint32_t height, uint32_t fps)
{
    uint64_t cost = uint64_t(fps) * round16(width) * round16(height);
    const auto colon = m.conv.find(':');
    if (format == ZELT_ENC_FORMAT_MJPEG && colon != std::string::npos) {
        const uint64_t num = std::stoul(m.conv.substr(0, colon));
        const uint64_t den = std::stoul(m.conv.substr(colon + 1));
        if (den != 0)
            cost = cost * num / den;
    }
    return cost;
}

std::vector<std::pair<uint32_t, uint32_t>> parseResolutions(const std::string &list)
{
    std::vector<std::pair<uint32_t, uint32_t>> out;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ',')) {
        const auto star = item.find('*');
        if (star == std::string::npos)
            continue;
        out.emplace_back(uint32_t(std::stoul(item.substr(0, star))), uint32_t(std::stoul(item.substr(star + 1))));
    }
    return out;
}

std::vector<uint32_t> parseCodes(const std::string &list)
{
    std::vector<uint32_t> out;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, ','))
        out.push_back(uint32_t(std::stoul(item)));
    return out;
}

const std::vector<uint32_t> &shutterValues()
{
    static const std::vector<uint32_t> values = {1,   2,   3,   4,   6,   8,    10,   12,   15,   20,
                                                 25,  30,  50,  60,  100, 120,  150,  180,  200,  250,
                                                 500, 1000, 2000, 4000, 8000, 10000, 20000, 30000};
    return values;
}
