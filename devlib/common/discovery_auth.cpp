#include "discovery_auth.h"

#include "auth.h"

namespace corvane::wire {

namespace {

// The proof over a request encoded with a placeholder proof.
std::vector<uint8_t> proofOver(const std::vector<uint8_t> &datagram, const std::string &key)
{
    if (datagram.size() < kDiscoveryHeaderSize + kDiscoveryProofSize)
        return {};
    return hmacSha256(key, datagram.data(), datagram.size() - kDiscoveryProofSize);
}

} // namespace

std::vector<uint8_t> encodeSignedRequest(DiscoveryMessage request, const std::string &key)
{
    request.proof.assign(kDiscoveryProofSize, 0);
    std::vector<uint8_t> datagram = encodeDiscovery(request);
    const std::vector<uint8_t> proof = proofOver(datagram, key);
    if (proof.size() != kDiscoveryProofSize)
        return {};
    std::copy(proof.begin(), proof.end(), datagram.end() - std::ptrdiff_t(kDiscoveryProofSize));
    return datagram;
}

bool checkRequestProof(const DiscoveryMessage &request, const std::string &key)
{
    // Decoding is strict, so encoding the decoded request gives back its bytes.
    return sameProof(proofOver(encodeDiscovery(request), key), request.proof);
}

} // namespace corvane::wire
