#include "discovery_auth.h"

#include "auth.h"

#include <openssl/evp.h>

namespace corvane::wire {

namespace {

// The proof over a request encoded with a placeholder proof.
std::vector<uint8_t> proofOver(const std::vector<uint8_t> &datagram, const std::vector<uint8_t> &key)
{
    if (datagram.size() < kDiscoveryHeaderSize + kDiscoveryProofSize || key.empty())
        return {};
    return hmacSha256(std::string(key.begin(), key.end()), datagram.data(), datagram.size() - kDiscoveryProofSize);
}

} // namespace

std::vector<uint8_t> deriveDiscoveryKey(const std::string &secret, const std::vector<uint8_t> &salt, uint32_t cost)
{
    std::vector<uint8_t> key(32);
    // PKCS5_PBKDF2_HMAC wants a non-null password even when it is empty.
    static const char empty = 0;
    if (cost == 0 || cost > uint32_t(INT32_MAX) || salt.empty()
        || PKCS5_PBKDF2_HMAC(secret.empty() ? &empty : secret.data(), int(secret.size()), salt.data(),
                             int(salt.size()), int(cost), EVP_sha256(), int(key.size()), key.data()) != 1)
        return {};
    return key;
}

std::vector<uint8_t> encodeSignedRequest(DiscoveryMessage request, const std::vector<uint8_t> &key)
{
    request.proof.assign(kDiscoveryProofSize, 0);
    std::vector<uint8_t> datagram = encodeDiscovery(request);
    const std::vector<uint8_t> proof = proofOver(datagram, key);
    if (proof.size() != kDiscoveryProofSize)
        return {};
    std::copy(proof.begin(), proof.end(), datagram.end() - std::ptrdiff_t(kDiscoveryProofSize));
    return datagram;
}

bool checkRequestProof(const DiscoveryMessage &request, const std::vector<uint8_t> &key)
{
    // Decoding is strict, so encoding the decoded request gives back its bytes.
    return sameProof(proofOver(encodeDiscovery(request), key), request.proof);
}

} // namespace corvane::wire
