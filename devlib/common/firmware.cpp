#include "firmware.h"

#include "auth.h"

#include <cstring>

namespace corvane::wire {

namespace {

constexpr std::size_t kModelOffset = 8;
constexpr std::size_t kVersionOffset = 40;
constexpr std::size_t kSizeOffset = 72;
constexpr std::size_t kChecksumOffset = 80;
constexpr std::size_t kChecksumSize = 32;

bool validText(const std::string &text)
{
    if (text.empty() || text.size() >= kFirmwareTextSize)
        return false;
    for (unsigned char c : text) {
        if (c < 0x20 || c > 0x7e)
            return false;
    }
    return true;
}

bool readText(const uint8_t *p, std::string &out)
{
    const void *end = std::memchr(p, 0, kFirmwareTextSize);
    if (!end)
        return false;
    out.assign(reinterpret_cast<const char *>(p), static_cast<const uint8_t *>(end) - p);
    return validText(out);
}

std::vector<uint8_t> checksumOf(const std::vector<uint8_t> &image)
{
    // SHA-256 over the header without the checksum field, then the payload.
    std::vector<uint8_t> data(image.begin(), image.begin() + kChecksumOffset);
    data.insert(data.end(), image.begin() + kFirmwareHeaderSize, image.end());
    return sha256(data.data(), data.size());
}

} // namespace

const char *firmwareStatusText(FirmwareStatus status)
{
    switch (status) {
    case FirmwareStatus::Ok: return "ok";
    case FirmwareStatus::TooShort: return "file too short";
    case FirmwareStatus::BadMagic: return "not a firmware file";
    case FirmwareStatus::BadFormat: return "unsupported firmware format";
    case FirmwareStatus::BadHeader: return "damaged firmware header";
    case FirmwareStatus::SizeMismatch: return "firmware size mismatch";
    case FirmwareStatus::ChecksumMismatch: return "firmware checksum mismatch";
    case FirmwareStatus::WrongModel: return "firmware is for another model";
    }
    return "unknown";
}

bool buildFirmware(const std::string &model, const std::string &version,
                   const std::vector<uint8_t> &payload, std::vector<uint8_t> &image)
{
    if (!validText(model) || !validText(version)
        || payload.size() > kMaxFirmwareSize - kFirmwareHeaderSize)
        return false;
    image.assign(kFirmwareHeaderSize, 0);
    std::memcpy(image.data(), kFirmwareMagic, sizeof kFirmwareMagic);
    image[4] = uint8_t(kFirmwareFormat);
    image[5] = uint8_t(kFirmwareFormat >> 8);
    image[6] = uint8_t(kFirmwareHeaderSize);
    image[7] = uint8_t(kFirmwareHeaderSize >> 8);
    std::memcpy(image.data() + kModelOffset, model.data(), model.size());
    std::memcpy(image.data() + kVersionOffset, version.data(), version.size());
    const uint64_t size = payload.size();
    for (int i = 0; i < 8; ++i)
        image[kSizeOffset + i] = uint8_t(size >> (8 * i));
    image.insert(image.end(), payload.begin(), payload.end());
    const std::vector<uint8_t> sum = checksumOf(image);
    if (sum.size() != kChecksumSize)
        return false;
    std::memcpy(image.data() + kChecksumOffset, sum.data(), kChecksumSize);
    return true;
}

FirmwareStatus parseFirmware(const std::vector<uint8_t> &image, FirmwareInfo &info)
{
    if (image.size() < kFirmwareHeaderSize)
        return FirmwareStatus::TooShort;
    if (std::memcmp(image.data(), kFirmwareMagic, sizeof kFirmwareMagic) != 0)
        return FirmwareStatus::BadMagic;
    const uint16_t format = uint16_t(image[4] | (image[5] << 8));
    const uint16_t headerSize = uint16_t(image[6] | (image[7] << 8));
    if (format != kFirmwareFormat || headerSize != kFirmwareHeaderSize)
        return FirmwareStatus::BadFormat;
    FirmwareInfo parsed;
    if (!readText(image.data() + kModelOffset, parsed.model)
        || !readText(image.data() + kVersionOffset, parsed.version))
        return FirmwareStatus::BadHeader;
    for (int i = 0; i < 8; ++i)
        parsed.payloadSize |= uint64_t(image[kSizeOffset + i]) << (8 * i);
    if (parsed.payloadSize != image.size() - kFirmwareHeaderSize)
        return FirmwareStatus::SizeMismatch;
    const std::vector<uint8_t> sum = checksumOf(image);
    if (sum.size() != kChecksumSize
        || std::memcmp(sum.data(), image.data() + kChecksumOffset, kChecksumSize) != 0)
        return FirmwareStatus::ChecksumMismatch;
    info = parsed;
    return FirmwareStatus::Ok;
}

FirmwareStatus checkFirmwareFor(const std::vector<uint8_t> &image, const std::string &model,
                                FirmwareInfo &info)
{
    const FirmwareStatus status = parseFirmware(image, info);
    if (status != FirmwareStatus::Ok)
        return status;
    return info.model == model ? FirmwareStatus::Ok : FirmwareStatus::WrongModel;
}

} // namespace corvane::wire
