#include "discovery_wire.h"

#include <cstdlib>
#include <cstring>

namespace corvane::wire {

namespace {

void putU16(std::vector<uint8_t> &out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void putU32(std::vector<uint8_t> &out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(uint8_t(value >> shift));
}

uint16_t getU16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t getU32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Texts of a text-carrying type: how many (a range), their length limit, and
// whether nonce and proof follow them; 0 texts for the other types.
struct TextShape
{
    std::size_t minCount = 0;
    std::size_t maxCount = 0;
    std::size_t maxLength = 0;
    bool signedRequest = false;
};

TextShape textShape(DiscoveryType type)
{
    switch (type) {
    case DiscoveryType::Answer:
        return {AnswerTextCount, AnswerTextCount + 1, kMaxAnswerText, false};
    case DiscoveryType::SetAddrRequest:
        return {SetAddrTextCount, SetAddrTextCount, kMaxRequestText, true};
    case DiscoveryType::ResetPwdRequest:
        return {ResetTextCount, ResetTextCount, kMaxRequestText, true};
    default:
        return {};
    }
}

bool knownType(uint8_t type)
{
    return type >= uint8_t(DiscoveryType::Probe) && type <= uint8_t(DiscoveryType::Challenge);
}

bool signedType(uint8_t type)
{
    return type == uint8_t(DiscoveryType::SetAddrRequest) || type == uint8_t(DiscoveryType::ResetPwdRequest);
}

} // namespace

std::vector<uint8_t> encodeDiscovery(const DiscoveryMessage &message)
{
    std::vector<uint8_t> body;
    switch (message.type) {
    case DiscoveryType::Probe:
        body.push_back(uint8_t(message.probeKind));
        break;
    case DiscoveryType::SetAddrReply:
    case DiscoveryType::ResetPwdReply:
        putU32(body, message.result);
        break;
    case DiscoveryType::ChallengeRequest:
        if (!signedType(uint8_t(message.purpose)))
            return {};
        body.assign(kChallengeRequestSize, 0);
        body[0] = uint8_t(message.purpose);
        break;
    case DiscoveryType::Challenge:
        if (message.nonce.size() != kDiscoveryNonceSize || message.salt.size() != kDiscoverySaltSize)
            return {};
        body = message.nonce;
        body.insert(body.end(), message.salt.begin(), message.salt.end());
        putU32(body, message.cost);
        break;
    default: {
        const TextShape shape = textShape(message.type);
        if (shape.maxCount == 0 || message.texts.size() < shape.minCount || message.texts.size() > shape.maxCount)
            return {};
        for (const std::string &text : message.texts) {
            if (text.size() > shape.maxLength || text.find('\0') != std::string::npos)
                return {};
            body.push_back(uint8_t(text.size()));
            body.insert(body.end(), text.begin(), text.end());
        }
        if (shape.signedRequest) {
            if (message.nonce.size() != kDiscoveryNonceSize || message.clientNonce.size() != kDiscoveryNonceSize
                || message.proof.size() != kDiscoveryProofSize)
                return {};
            body.insert(body.end(), message.nonce.begin(), message.nonce.end());
            body.insert(body.end(), message.clientNonce.begin(), message.clientNonce.end());
            body.insert(body.end(), message.proof.begin(), message.proof.end());
        }
        break;
    }
    }
    if (kDiscoveryHeaderSize + body.size() > kMaxDiscoveryDatagram)
        return {};

    std::vector<uint8_t> out;
    out.reserve(kDiscoveryHeaderSize + body.size());
    putU32(out, kDiscoveryMagic);
    out.push_back(kDiscoveryVersion);
    out.push_back(uint8_t(message.type));
    putU16(out, uint16_t(body.size()));
    putU32(out, message.id);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::optional<DiscoveryMessage> decodeDiscovery(const uint8_t *data, std::size_t size)
{
    if (data == nullptr || size < kDiscoveryHeaderSize || size > kMaxDiscoveryDatagram)
        return std::nullopt;
    if (getU32(data) != kDiscoveryMagic || data[4] != kDiscoveryVersion || !knownType(data[5]))
        return std::nullopt;
    const std::size_t bodySize = getU16(data + 6);
    if (bodySize != size - kDiscoveryHeaderSize)
        return std::nullopt;

    DiscoveryMessage message;
    message.type = DiscoveryType(data[5]);
    message.id = getU32(data + 8);
    const uint8_t *body = data + kDiscoveryHeaderSize;

    switch (message.type) {
    case DiscoveryType::Probe:
        if (bodySize != 1 || (body[0] != uint8_t(ProbeKind::Multicast) && body[0] != uint8_t(ProbeKind::Range)))
            return std::nullopt;
        message.probeKind = ProbeKind(body[0]);
        return message;
    case DiscoveryType::SetAddrReply:
    case DiscoveryType::ResetPwdReply:
        if (bodySize != 4)
            return std::nullopt;
        message.result = getU32(body);
        return message;
    case DiscoveryType::ChallengeRequest:
        if (bodySize != kChallengeRequestSize || !signedType(body[0]))
            return std::nullopt;
        for (std::size_t i = 1; i < bodySize; ++i) {
            if (body[i] != 0)
                return std::nullopt;
        }
        message.purpose = DiscoveryType(body[0]);
        return message;
    case DiscoveryType::Challenge:
        if (bodySize != kChallengeSize)
            return std::nullopt;
        message.nonce.assign(body, body + kDiscoveryNonceSize);
        message.salt.assign(body + kDiscoveryNonceSize, body + kDiscoveryNonceSize + kDiscoverySaltSize);
        message.cost = getU32(body + kDiscoveryNonceSize + kDiscoverySaltSize);
        return message;
    default:
        break;
    }

    const TextShape shape = textShape(message.type);
    const std::size_t tail = shape.signedRequest ? 2 * kDiscoveryNonceSize + kDiscoveryProofSize : 0;
    if (bodySize < tail)
        return std::nullopt;
    const std::size_t textEnd = bodySize - tail;
    std::size_t pos = 0;
    while (pos < textEnd) {
        if (message.texts.size() == shape.maxCount)
            return std::nullopt;
        const std::size_t length = body[pos++];
        if (length > shape.maxLength || length > textEnd - pos)
            return std::nullopt;
        const char *text = reinterpret_cast<const char *>(body + pos);
        if (std::memchr(text, '\0', length) != nullptr)
            return std::nullopt;
        message.texts.emplace_back(text, length);
        pos += length;
    }
    if (message.texts.size() < shape.minCount)
        return std::nullopt;
    if (tail) {
        const uint8_t *tailStart = body + textEnd;
        message.nonce.assign(tailStart, tailStart + kDiscoveryNonceSize);
        message.clientNonce.assign(tailStart + kDiscoveryNonceSize, tailStart + 2 * kDiscoveryNonceSize);
        message.proof.assign(tailStart + 2 * kDiscoveryNonceSize, body + bodySize);
    }
    return message;
}

uint16_t discoveryPort()
{
    const char *value = std::getenv("CORVANE_DISCOVERY_PORT");
    if (value == nullptr || *value == '\0')
        return kDefaultDiscoveryPort;
    char *end = nullptr;
    const long port = std::strtol(value, &end, 10);
    if (*end != '\0' || port <= 0 || port > 65535)
        return kDefaultDiscoveryPort;
    return uint16_t(port);
}

std::string slotText(const char *slot, std::size_t slotSize)
{
    const void *nul = std::memchr(slot, '\0', slotSize);
    const std::size_t length = nul ? std::size_t(static_cast<const char *>(nul) - slot) : slotSize;
    return std::string(slot, length);
}

void fillSlot(char *slot, std::size_t slotSize, const std::string &text)
{
    std::memset(slot, 0, slotSize);
    std::memcpy(slot, text.data(), text.size() < slotSize ? text.size() : slotSize);
}

} // namespace corvane::wire
