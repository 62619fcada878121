#include "firmwaretool.h"

#include "filebytes.h"
#include "firmware.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr std::size_t kDefaultPayload = 64 * 1024;

int usage(const char *message)
{
    std::fprintf(stderr, "make-firmware: %s\n"
                         "usage: corvane-devsim make-firmware --model MODEL --version VERSION "
                         "[--size BYTES] FILE\n", message);
    return 2;
}

} // namespace

int runFirmwareTool(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "make-firmware") != 0)
        return -1;
    std::string model, version, file;
    std::size_t size = kDefaultPayload;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--model" && hasValue) {
            model = argv[++i];
        } else if (arg == "--version" && hasValue) {
            version = argv[++i];
        } else if (arg == "--size" && hasValue) {
            char *end = nullptr;
            const unsigned long long value = std::strtoull(argv[++i], &end, 10);
            if (!end || *end || value > corvane::wire::kMaxFirmwareSize - corvane::wire::kFirmwareHeaderSize)
                return usage("invalid --size");
            size = std::size_t(value);
        } else if (!arg.empty() && arg[0] != '-' && file.empty()) {
            file = arg;
        } else {
            return usage(("unexpected argument " + arg).c_str());
        }
    }
    if (model.empty() || version.empty() || file.empty())
        return usage("--model, --version and FILE are required");

    // Reproducible filler: the same model and version give the same file.
    std::seed_seq seed(model.begin(), model.end());
    std::mt19937 generator(seed);
    std::vector<uint8_t> payload(size);
    for (uint8_t &b : payload)
        b = uint8_t(generator());
    for (std::size_t i = 0; i < version.size() && i < payload.size(); ++i)
        payload[i] ^= uint8_t(version[i]);

    std::vector<uint8_t> image;
    if (!corvane::wire::buildFirmware(model, version, payload, image))
        return usage("model and version must be 1 to 31 printable characters");
    if (!corvane::wire::writeFileBytes(file, image)) {
        std::fprintf(stderr, "make-firmware: cannot write %s\n", file.c_str());
        return 1;
    }
    std::printf("%s: firmware %s for %s, %zu bytes\n", file.c_str(), version.c_str(), model.c_str(),
                image.size());
    return 0;
}
