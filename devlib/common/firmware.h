#ifndef CORVANE_FIRMWARE_H
#define CORVANE_FIRMWARE_H

// Firmware image format understood by the simulated devices:
//
//   offset 0   char[4]  magic           "CVFW"
//   offset 4   u16      format          kFirmwareFormat
//   offset 6   u16      header size     kFirmwareHeaderSize
//   offset 8   char[32] model           zero-terminated, the model it is built for
//   offset 40  char[32] version         zero-terminated
//   offset 72  u64      payload size    bytes after the header
//   offset 80  u8[32]   checksum        SHA-256 over header bytes 0..79 and the payload
//   offset 112 payload
//
// All numbers little-endian. The checksum covers the header too, so a changed
// model or version is as much a corrupt file as a damaged payload.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::wire {

constexpr char kFirmwareMagic[4] = {'C', 'V', 'F', 'W'};
constexpr uint16_t kFirmwareFormat = 1;
constexpr std::size_t kFirmwareHeaderSize = 112;
constexpr std::size_t kFirmwareTextSize = 32;
constexpr uint64_t kMaxFirmwareSize = 256ull * 1024 * 1024;

struct FirmwareInfo
{
    std::string model;
    std::string version;
    uint64_t payloadSize = 0;
};

enum class FirmwareStatus {
    Ok,
    TooShort,
    BadMagic,
    BadFormat,
    BadHeader,        // texts not terminated or holding control characters
    SizeMismatch,     // payload size disagrees with the file length
    ChecksumMismatch,
    WrongModel,
};

const char *firmwareStatusText(FirmwareStatus status);

// Builds an image; model and version must be 1..31 printable characters.
bool buildFirmware(const std::string &model, const std::string &version,
                   const std::vector<uint8_t> &payload, std::vector<uint8_t> &image);
// Checks structure and checksum and fills info.
FirmwareStatus parseFirmware(const std::vector<uint8_t> &image, FirmwareInfo &info);
// parseFirmware, then the model must match exactly.
FirmwareStatus checkFirmwareFor(const std::vector<uint8_t> &image, const std::string &model,
                                FirmwareInfo &info);

} // namespace corvane::wire

#endif // CORVANE_FIRMWARE_H
