// Firmware images as a device checks them before applying.
#include "firmware.h"

#include <cstdlib>

using namespace corvane::wire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::vector<uint8_t> image(data, data + size);
    FirmwareInfo info;
    const FirmwareStatus status = checkFirmwareFor(image, "ZC-2320", info);
    if (status == FirmwareStatus::Ok && (info.model != "ZC-2320" || info.payloadSize + kFirmwareHeaderSize != size))
        std::abort();
    return 0;
}
