#include "ipcmodel.h"

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
    // Enough capacity for the largest main stream plus two D1 streams.
    const uint64_t budget = uint64_t(round16(m.captureWidth)) * round16(m.captureHeight) * m.maxFps
                            + uint64_t(720) * 576 * 25 * 2;
    std::ostringstream x;
    x << kXmlHead << "<EncodeCap>\n"
      << "  <MaxStream>" << m.maxStream << "</MaxStream>\n"
      << "  <HiddenStream><Number>" << m.hiddenStream << "</Number></HiddenStream>\n"
      << "  <EncodeFormat>" << m.formats << "</EncodeFormat>\n"
      << "  <Resolution>" << m.mainResolutions << "</Resolution>\n";
    if (!m.subResolutions.empty())
        x << "  <Resolution1>" << m.subResolutions << "</Resolution1>\n";
    x << "  <NoModifyMainPicSize>" << (m.fixedMainResolution ? 1 : 0) << "</NoModifyMainPicSize>\n"
      << "  <ALONE>" << (budget + 255) / 256 << "</ALONE>\n"
      << "  <CONV>3:2</CONV>\n"
      << "</EncodeCap>\n";
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

std::string audioDocument()
{
    return std::string(kXmlHead)
           + "<AudioCap>\n  <AudioIn><Mode>1,2,6</Mode><SampleRate>8,16</SampleRate></AudioIn>\n</AudioCap>\n";
}

std::string imageDocument()
{
    return std::string(kXmlHead)
           + "<ImageCap>\n"
             "  <Enhance>\n"
             "    <Brightness>0,255</Brightness><Contrast>0,255</Contrast><Saturation>0,255</Saturation>\n"
             "    <Sharpness>0,255</Sharpness><_2D>0,255</_2D><_3D>0,255</_3D><Mirror>0,1,2,3,4</Mirror>\n"
             "  </Enhance>\n"
             "  <Scene>0,1</Scene>\n"
             "  <Exposure>\n"
             "    <Mode>1,2,3,4,5,6,7,8</Mode>\n"
             "    <Shutter>1,30000</Shutter><SlowRange>1,25</SlowRange><FastRange>25,30000</FastRange>\n"
             "    <Gain><Range>0,100</Range><MinRange>0,100</MinRange><MaxRange>0,100</MaxRange></Gain>\n"
             "    <Iris>0,100</Iris><Metering>0,1,2,3</Metering><Compensate>-100,100</Compensate>\n"
             "    <DayNight><Mode>1,2,3</Mode><Time><Range>3,120</Range></Time></DayNight>\n"
             "    <WDR>1,2</WDR>\n"
             "  </Exposure>\n"
             "  <WhiteBalance><Mode>1,2,6,7</Mode></WhiteBalance>\n"
             "  <IrCtrl>\n"
             "    <Mode>1,2,3,4,5</Mode>\n"
             "    <NearIrLedLevel><RangeNear>0,1000</RangeNear></NearIrLedLevel>\n"
             "    <MiddleIrLedLevel><RangeNear>0,1000</RangeNear></MiddleIrLedLevel>\n"
             "    <FarIrLedLevel><RangeNear>0,1000</RangeNear></FarIrLedLevel>\n"
             "  </IrCtrl>\n"
             "</ImageCap>\n";
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
        xml = imageDocument();
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
        xml = audioDocument();
        return true;
    default:
        return false;
    }
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
