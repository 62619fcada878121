#ifndef CORVANE_DISCOVERY_AUTH_H
#define CORVANE_DISCOVERY_AUTH_H

// Proofs of the discovery requests. The key (the account's password for
// set-address, the security code for reset-password) never leaves the
// program: the request carries a device nonce and
// HMAC-SHA256(key, every byte of the datagram before the proof), so the
// proof binds the header (type, transaction id) and every field, and a
// spent nonce makes a captured request worthless.

#include "discovery_wire.h"

#include <string>
#include <vector>

namespace corvane::wire {

// Encodes request (nonce set, proof ignored) with its proof; empty when it cannot be encoded.
std::vector<uint8_t> encodeSignedRequest(DiscoveryMessage request, const std::string &key);
// True when the decoded request's proof was made with key.
bool checkRequestProof(const DiscoveryMessage &request, const std::string &key);

} // namespace corvane::wire

#endif // CORVANE_DISCOVERY_AUTH_H
