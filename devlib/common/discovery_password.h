#ifndef CORVANE_DISCOVERY_PASSWORD_H
#define CORVANE_DISCOVERY_PASSWORD_H

// The password form of the discovery library's credential block: the
// program encodes, the library decodes and proves knowledge of the password
// to the device without sending it.

#include <optional>
#include <string>

namespace corvane::wire {

// Sent instead of an encoded form when the password is empty.
constexpr const char *kEmptyPasswordMarker = "nullpassword";
constexpr unsigned char kPasswordKey = 0x6E;

std::string encodeDiscoveryPassword(const std::string &password);
// Empty optional for text that no password encodes to.
std::optional<std::string> decodeDiscoveryPassword(const std::string &encoded);

} // namespace corvane::wire

#endif // CORVANE_DISCOVERY_PASSWORD_H
