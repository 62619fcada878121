#ifndef CORVANE_TOLANPROTO_H
#define CORVANE_TOLANPROTO_H

// Messages of the maintenance protocol between the NVR library and an NVR
// device (TCP port 6060), carried in frames (frame.h). Every reply payload
// starts with a u32 result, a TLSDK_* code; the fields listed after "->"
// follow only when it is 0. Every request after login starts with the session
// token, a counter (u64) and a proof (bytes) over the rest (requestproof.h).
// A connection may carry any number of requests; the library opens one per
// call.

#include <cstdint>

namespace corvane::tolan {

constexpr uint16_t kDefaultPort = 6060;
constexpr uint32_t kTokenSize = 16;
constexpr uint32_t kUpgradeChunk = 256u * 1024u;
constexpr uint64_t kMaxFirmwareSize = 64ull * 1024 * 1024;
constexpr uint32_t kMaxConfigFileSize = 256u * 1024u;
constexpr uint32_t kMaxArchiveSize = 2u * 1024u * 1024u;

enum Op : uint16_t {
    OpChallenge = 0x0201,      // user (str) -> nonce (bytes)
    OpLogin = 0x0202,          // user (str), proof (bytes), client nonce (bytes) -> token (bytes), login info (bytes)
    OpLogout = 0x0203,         // token
    OpRestart = 0x0210,        // token
    OpGetDevCfg = 0x0211,      // token, command (u32) -> structure (bytes)
    OpUpgradeBegin = 0x0220,   // token, total size (u64) -> upgrade id (u32)
    OpUpgradeData = 0x0221,    // token, upgrade id (u32), offset (u64), chunk (bytes)
    OpUpgradeEnd = 0x0222,     // token, upgrade id (u32): checks the image and starts applying it
    OpUpgradeStatus = 0x0223,  // token, upgrade id (u32) -> state (u32), progress 0..100 (u32)
    OpUpgradeClose = 0x0224,   // token, upgrade id (u32)
    OpExportMtInfo = 0x0230,   // token -> .tgz content (bytes)
    OpExportCfg = 0x0231,      // token -> configuration file (bytes)
    OpImportCfg = 0x0232,      // token, configuration file (bytes)
};

} // namespace corvane::tolan

#endif // CORVANE_TOLANPROTO_H
