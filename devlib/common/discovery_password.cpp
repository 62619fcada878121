#include "discovery_password.h"

namespace corvane::wire {

std::string encodeDiscoveryPassword(const std::string &password)
{
    if (password.empty())
        return kEmptyPasswordMarker;
    std::string out;
    out.reserve(password.size() * 2);
    unsigned char key = kPasswordKey;
    for (const char c : password) {
        const unsigned char x = static_cast<unsigned char>(c) ^ key;
        out.push_back(char(33 + 5 * (x >> 4)));
        out.push_back(char(33 + 5 * (x & 0x0F)));
        key = static_cast<unsigned char>(~key);
    }
    return out;
}

std::optional<std::string> decodeDiscoveryPassword(const std::string &encoded)
{
    if (encoded == kEmptyPasswordMarker)
        return std::string();
    if (encoded.empty() || encoded.size() % 2 != 0)
        return std::nullopt;
    std::string out;
    out.reserve(encoded.size() / 2);
    unsigned char key = kPasswordKey;
    for (std::size_t i = 0; i < encoded.size(); i += 2) {
        int nibbles[2];
        for (int j = 0; j < 2; ++j) {
            const int step = static_cast<unsigned char>(encoded[i + j]) - 33;
            if (step < 0 || step % 5 != 0 || step / 5 > 15)
                return std::nullopt;
            nibbles[j] = step / 5;
        }
        out.push_back(char(((nibbles[0] << 4) | nibbles[1]) ^ key));
        key = static_cast<unsigned char>(~key);
    }
    return out;
}

} // namespace corvane::wire
