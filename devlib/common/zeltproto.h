#ifndef CORVANE_ZELTPROTO_H
#define CORVANE_ZELTPROTO_H

// Messages of the configuration and media protocol between the IPC library
// and an IPC device, carried in frames (frame.h). Every reply payload starts
// with a u32 result (a ZELT_MW_* code); the fields listed follow only when it
// is 0. A connection is bound to a session by Login or Attach; every other
// request on an unbound connection gets ZELT_MW_ERR_USERID.

#include <cstdint>

namespace corvane::zelt {

constexpr uint16_t kDefaultPort = 7060;
constexpr uint32_t kUpgradeChunk = 256u * 1024u;
constexpr uint32_t kMaxFirmwareSize = 64u * 1024u * 1024u;
constexpr uint32_t kMaxConfigFileSize = 256u * 1024u;
constexpr uint32_t kMaxArchiveSize = 2u * 1024u * 1024u;
constexpr uint32_t kMaxPictureSize = 1024u * 1024u;

enum Op : uint16_t {
    OpChallenge = 0x0101,      // user (str) -> nonce (bytes)
    OpLogin = 0x0102,          // user (str), proof (bytes) -> token (u64)
    OpAttach = 0x0103,         // token (u64) -> (nothing)
    OpLogout = 0x0104,         // -> (nothing); the session ends
    OpGetConfig = 0x0110,      // cmd, channel (u32), structure as sent (bytes) -> structure (bytes)
    OpSetConfig = 0x0111,      // cmd, channel (u32), structure (bytes)
    OpQueryInfo = 0x0112,      // query, channel (u32) -> buffer (bytes)
    OpCapability = 0x0113,     // kind (u32) -> XML text (str)
    OpReboot = 0x0120,
    OpRestoreImage = 0x0121,   // channel (u32)
    OpExportConfig = 0x0122,   // -> file content (bytes)
    OpImportConfig = 0x0123,   // file content (bytes)
    OpExportDiag = 0x0124,     // -> .tgz content (bytes)
    OpUpgradeBegin = 0x0130,   // total size (u32)
    OpUpgradeData = 0x0131,    // offset (u32), chunk (bytes)
    OpUpgradeEnd = 0x0132,     // -> (nothing): the device accepted the upload
    OpUpgradeState = 0x0133,   // -> state, progress 0..100, failure code (u32)
    OpStreamOpen = 0x0140,     // stream id (u32) -> has audio (u32)
    OpStreamFrame = 0x0141,    // -> sequence (u32), JPEG (bytes)
};

enum UpgradeState : uint32_t {
    UpgradeIdle = 0,
    UpgradeRunning = 1,
    UpgradeDone = 2,
    UpgradeFailed = 3,
};

// Failure codes of an upgrade, reported as the event value.
enum UpgradeFailure : uint32_t {
    UpgradeFailCorrupt = 1,
    UpgradeFailModel = 2,
    UpgradeFailInterrupted = 3,
};

} // namespace corvane::zelt

#endif // CORVANE_ZELTPROTO_H
