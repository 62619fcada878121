#ifndef CORVANE_DEVICEPINS_H
#define CORVANE_DEVICEPINS_H

// The keys of devices met before, pinned per "address:port" the first time a
// client meets a device over TLS (native frames and ONVIF over HTTPS alike).
// Pins live in the file CORVANE_DEVICE_PINS names (the program points it
// into its data folder), one "address:port sha256-hex" line each; without it
// they last as long as the process.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct evp_pkey_st;

namespace corvane::wire {

// SHA-256 of a public key (DER); empty for none.
std::vector<uint8_t> keyFingerprint(evp_pkey_st *key);
// The same of the key in a certificate given as DER; empty when the bytes
// are no certificate.
std::vector<uint8_t> certificateFingerprint(const uint8_t *der, std::size_t size);
// True when the peer ("address:port") showed this key before or is met for
// the first time (its key is then pinned); false when it shows another key.
bool pinAccepts(const std::string &peer, const std::vector<uint8_t> &fingerprint);

} // namespace corvane::wire

#endif // CORVANE_DEVICEPINS_H
