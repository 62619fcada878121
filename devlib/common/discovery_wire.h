#ifndef CORVANE_DISCOVERY_WIRE_H
#define CORVANE_DISCOVERY_WIRE_H

// Discovery datagrams (UDP), shared by the discovery library and the
// simulator. Layout in docs/protocol.md. Every datagram is a 12-byte
// little-endian header and a body of length-prefixed texts:
//
//   offset 0  u32  magic    'C' 'V' 'D' 'S'
//   offset 4  u8   version  kDiscoveryVersion
//   offset 5  u8   type     DiscoveryType
//   offset 6  u16  length   body bytes; must equal the datagram size - 12
//   offset 8  u32  id       probe id or transaction id
//
// decodeDiscovery() rejects anything that does not match exactly.
//
// Set-address and reset-password requests carry no secret: each spends a
// fresh device nonce (fetched with a challenge request) and ends in an
// HMAC-SHA256 proof over every byte before it (discovery_auth.h).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::wire {

constexpr uint32_t kDiscoveryMagic = 0x53445643u; // "CVDS" as little-endian bytes
constexpr uint8_t kDiscoveryVersion = 1;
constexpr std::size_t kDiscoveryHeaderSize = 12;
constexpr std::size_t kMaxDiscoveryDatagram = 512;
constexpr uint16_t kDefaultDiscoveryPort = 37810;
constexpr const char *kDiscoveryGroup = "239.255.73.17";
// Request texts may fill a 64-byte slot; answer texts keep room for the NUL.
constexpr std::size_t kMaxRequestText = 64;
constexpr std::size_t kMaxAnswerText = 63;

constexpr std::size_t kDiscoveryNonceSize = 32;
constexpr std::size_t kDiscoveryProofSize = 32;
constexpr std::size_t kDiscoverySaltSize = 16;
// A challenge: the device's nonce, its salt and its key derivation cost (u32).
constexpr std::size_t kChallengeSize = kDiscoveryNonceSize + kDiscoverySaltSize + 4;
// A challenge request is padded to the size of the challenge it asks for,
// so that a forged source address gains no amplification.
constexpr std::size_t kChallengeRequestSize = kChallengeSize;

enum class DiscoveryType : uint8_t {
    Probe = 1,            // body: u8 ProbeKind
    Answer = 2,           // texts: ip, model, serial, mac, reserved, version[, sent from]
    SetAddrRequest = 3,   // texts: serial, mac, user, ip, mask, gateway; nonce; client nonce; proof
    SetAddrReply = 4,     // body: u32 result
    ResetPwdRequest = 5,  // texts: serial, mac; nonce; client nonce; proof
    ResetPwdReply = 6,    // body: u32 result
    ChallengeRequest = 7, // body: u8 type of the request to come, zero padding
    Challenge = 8         // body: nonce, salt, u32 cost
};

// Result of a request whose nonce the device does not hold (spent, expired
// or never issued). Only on the wire: the library fetches a new nonce.
constexpr uint32_t kStaleChallengeResult = 11090;

enum class ProbeKind : uint8_t { Multicast = 1, Range = 2 };

struct DiscoveryMessage
{
    DiscoveryType type = DiscoveryType::Probe;
    uint32_t id = 0;
    ProbeKind probeKind = ProbeKind::Multicast;
    DiscoveryType purpose = DiscoveryType::SetAddrRequest; // challenge requests
    std::vector<std::string> texts;
    std::vector<uint8_t> nonce;       // requests, challenges: the device's
    std::vector<uint8_t> salt;        // challenges
    uint32_t cost = 0;                // challenges
    std::vector<uint8_t> clientNonce; // requests
    std::vector<uint8_t> proof;       // requests
    uint32_t result = 0;
};

// Indexes into DiscoveryMessage::texts. An answer sent from another address
// than its own (a device that moved off the host's networks answers through
// a relay) names that address in a seventh text.
enum AnswerText { AnswerIp, AnswerModel, AnswerSerial, AnswerMac, AnswerReserved, AnswerVersion, AnswerTextCount,
                  AnswerSentFrom = AnswerTextCount };
enum SetAddrText { SetAddrSerial, SetAddrMac, SetAddrUser, SetAddrIp, SetAddrMask, SetAddrGateway, SetAddrTextCount };
enum ResetPwdText { ResetSerial, ResetMac, ResetTextCount };

// Empty when the message cannot be encoded (wrong text count, text too long or holding a NUL).
std::vector<uint8_t> encodeDiscovery(const DiscoveryMessage &message);
std::optional<DiscoveryMessage> decodeDiscovery(const uint8_t *data, std::size_t size);

// The discovery port: CORVANE_DISCOVERY_PORT when set to a valid port, else the default.
uint16_t discoveryPort();

// Text of a fixed slot: up to the first NUL, at most slotSize bytes.
std::string slotText(const char *slot, std::size_t slotSize);
// Copies text into a slot, zero-filling the rest; longer text is cut at slotSize.
void fillSlot(char *slot, std::size_t slotSize, const std::string &text);

} // namespace corvane::wire

#endif // CORVANE_DISCOVERY_WIRE_H
