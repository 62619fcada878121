#ifndef CORVANE_DISCOVERY_AUTH_H
#define CORVANE_DISCOVERY_AUTH_H

// Proofs of the discovery requests. The secret (the account's password for
// set-address, the security code for reset-password) never leaves the
// program. The device's challenge names a salt and a cost; the key is
// PBKDF2-HMAC-SHA256(secret, salt, cost rounds), so that checking one guess
// against a captured request costs milliseconds. The request carries the
// device's nonce, a nonce of the program's own and
// HMAC-SHA256(key, every byte of the datagram before the proof), so the
// proof binds the header (type, transaction id) and every field, a spent
// nonce makes a captured request worthless, and a device cannot choose
// everything its proof is made over.

#include "discovery_wire.h"

#include <string>
#include <vector>

namespace corvane::wire {

// Cost of the simulated devices, and what the library accepts from a device:
// less would make guessing cheap, more would let a device stall the program.
constexpr uint32_t kDiscoveryCost = 20000;
constexpr uint32_t kMinDiscoveryCost = 10000;
constexpr uint32_t kMaxDiscoveryCost = 1000000;

// Empty when the derivation fails.
std::vector<uint8_t> deriveDiscoveryKey(const std::string &secret, const std::vector<uint8_t> &salt, uint32_t cost);
// Encodes request (both nonces set, proof ignored) with its proof; empty when it cannot be encoded.
std::vector<uint8_t> encodeSignedRequest(DiscoveryMessage request, const std::vector<uint8_t> &key);
// True when the decoded request's proof was made with key.
bool checkRequestProof(const DiscoveryMessage &request, const std::vector<uint8_t> &key);

} // namespace corvane::wire

#endif // CORVANE_DISCOVERY_AUTH_H
