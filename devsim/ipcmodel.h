#ifndef IPCMODEL_H
#define IPCMODEL_H

// The IPC models the simulator offers and their capability documents.
#include <cstdint>
#include <string>
#include <vector>

// Which image settings a model's image capability document offers.
enum class ImageCapKind { Full, NoIrCtrl, NoWhiteFineTuning, AutoExposureOnly };

struct IpcModel
{
    std::string name;
    uint32_t captureWidth = 1920;
    uint32_t captureHeight = 1080;
    uint32_t maxFps = 30;
    uint32_t maxStream = 2;
    uint32_t hiddenStream = 0;
    std::string formats;            // encoding format codes, "," separated
    std::string mainResolutions;    // "W*H" entries, "," separated
    std::string subResolutions;     // empty: the sub stream uses mainResolutions
    bool fixedMainResolution = false;
    bool audio = true;
    std::string audioModes = "1,2,6"; // audio encoding codes the audio document lists
    bool dst = true;                  // false: the device has no daylight-saving settings
    bool dstOutOfRange = false;       // factory daylight-saving values outside their ranges
    std::string ipModes;            // address modes offered
    std::string workModes;          // port work modes offered
    std::string registration;       // text of query 58; empty for models without one
    // Encoding document variants of some models.
    bool omitMaxStream = false;     // the document has no MaxStream element
    std::string conv = "3:2";       // MJPEG cost ratio; empty: no CONV element
    uint32_t alone = 0;             // encoding capacity in units of 256; 0: roomy default
    ImageCapKind imageCap = ImageCapKind::Full;
    bool networkModesListed = true; // false: the network document names neither IPType nor WorkMode
    uint32_t streams() const { return maxStream > hiddenStream ? maxStream - hiddenStream : 1; }
};

const std::vector<IpcModel> &ipcModels();
// nullptr for an unknown name.
const IpcModel *findIpcModel(const std::string &name);

// Capability document of one kind; false when the model does not offer it.
bool ipcCapability(const IpcModel &model, uint32_t kind, std::string &xml);

// What the encoding document advertises and encoder writes are held to: the
// capacity (ALONE, in units of 256) and a stream's cost against it, frame rate
// times width and height rounded up to 16, MJPEG scaled by CONV.
uint64_t encodeAlone(const IpcModel &model);
uint64_t encodeCost(const IpcModel &model, uint32_t format, uint32_t width, uint32_t height, uint32_t fps);

// "W*H" list helpers.
std::vector<std::pair<uint32_t, uint32_t>> parseResolutions(const std::string &list);
std::vector<uint32_t> parseCodes(const std::string &list);

// Exposure shutter denominators a device accepts.
const std::vector<uint32_t> &shutterValues();

#endif // IPCMODEL_H
