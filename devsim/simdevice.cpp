#include "simdevice.h"

#include <algorithm>
#include <cctype>

std::string SimDevice::currentIp() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return ip;
}

SimDevice::Account SimDevice::account() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return {userName, password, accountEpoch};
}

bool SimDevice::matchesIdentity(const std::string &serialText, const std::string &macText) const
{
    if (serialText != serial || macText.size() != mac.size())
        return false;
    return std::equal(mac.begin(), mac.end(), macText.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool SimDevice::checkAccount(const std::string &user, const std::string &plainPassword) const
{
    std::lock_guard<std::mutex> lock(mutex);
    return user == userName && plainPassword == password;
}

std::string SimDevice::describe() const
{
    return type + ' ' + currentIp() + ' ' + model + ' ' + serial + ' ' + mac + ' ' + securityCode
           + (silent ? " silent" : "");
}

std::string logSafe(const std::string &text)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == '\\') {
            out += "\\x";
            out += digits[byte >> 4];
            out += digits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}
