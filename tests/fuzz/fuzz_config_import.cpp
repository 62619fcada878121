// Configuration files on import: the IPC's binary file (import and saved
// state) and the NVR's text file. The first byte picks the reader; its top
// bit has the IPC file's checksum recomputed, so that mutations reach the
// entries behind it.
#include "ipcconfig.h"
#include "ipcmodel.h"
#include "nvrsettings.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <zlib.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<uint8_t> file(data + 1, data + size);
    const uint8_t selector = data[0] & 0x7F;
    if ((data[0] & 0x80) != 0 && file.size() >= 4) {
        const std::size_t body = file.size() - 4;
        zelt_put_u32(file.data(), body, uint32_t(crc32(0L, file.data(), uInt(body))));
    }
    const std::vector<IpcModel> &models = ipcModels();
    switch (selector % 3) {
    case 0: {
        IpcConfig config(models[selector / 3 % models.size()], "127.0.0.10");
        const std::vector<uint8_t> before = config.exportFile("V1");
        // A refused file changes nothing.
        if (config.importFile(file) != ZELT_MW_OK && config.exportFile("V1") != before)
            std::abort();
        break;
    }
    case 1: {
        IpcConfig config(models[selector / 3 % models.size()], "127.0.0.10");
        std::string version;
        config.loadState(file, version);
        break;
    }
    default: {
        NvrSettings settings = NvrSettings::defaultsFor("ZN-3108", "S1");
        std::string reason;
        if (readNvrSettings(file, "ZN-3108", settings, reason)) {
            // What was accepted writes back to a file that reads the same.
            NvrSettings again;
            if (!readNvrSettings(writeNvrSettings(settings, "ZN-3108", "S1"), "ZN-3108", again, reason))
                std::abort();
        }
        break;
    }
    }
    return 0;
}
