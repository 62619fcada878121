#include "nvrsettings.h"

#include "auth.h"

#include <asio/ip/address_v4.hpp>

#include <cstdlib>
#include <iterator>
#include <map>
#include <sstream>

namespace {

const char *const kHeader = "CORVANE-NVR-CONFIG 1";
const std::string kChecksumKey = "checksum=";

bool printable(const std::string &text, std::size_t maxSize, bool allowEmpty)
{
    if (text.size() > maxSize || (!allowEmpty && text.empty()))
        return false;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f)
            return false;
    }
    return true;
}

bool dottedOrEmpty(const std::string &text)
{
    if (text.empty())
        return true;
    asio::error_code ec;
    const asio::ip::address_v4 address = asio::ip::make_address_v4(text, ec);
    return !ec && address.to_string() == text;
}

bool number(const std::string &text, uint32_t low, uint32_t high, uint32_t &out)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (value < low || value > high)
        return false;
    out = uint32_t(value);
    return true;
}

} // namespace

NvrSettings NvrSettings::defaultsFor(const std::string &model, const std::string &serial)
{
    NvrSettings settings;
    settings.deviceName = "NVR";
    settings.hostName = model + "-" + serial.substr(serial.size() > 6 ? serial.size() - 6 : 0);
    return settings;
}

std::vector<uint8_t> writeNvrSettings(const NvrSettings &s, const std::string &model,
                                      const std::string &serial)
{
    std::ostringstream out;
    out << kHeader << '\n'
        << "model=" << model << '\n'
        << "serial=" << serial << '\n'
        << "device.name=" << s.deviceName << '\n'
        << "net.hostname=" << s.hostName << '\n'
        << "net.dhcp=" << s.dhcp << '\n'
        << "net.mtu=" << s.mtu << '\n'
        << "net.dns1=" << s.dns1 << '\n'
        << "net.dns2=" << s.dns2 << '\n'
        << "port.http=" << s.httpPort << '\n'
        << "port.https=" << s.httpsPort << '\n'
        << "port.rtsp=" << s.rtspPort << '\n'
        << "time.zone=" << s.timeZone << '\n'
        << "time.ntp=" << s.ntpServer << '\n'
        << "record.days=" << s.recordDays << '\n';
    std::string text = out.str();
    text += kChecksumKey + corvane::wire::toHex(corvane::wire::sha256(text.data(), text.size())) + '\n';
    return std::vector<uint8_t>(text.begin(), text.end());
}

bool readNvrSettings(const std::vector<uint8_t> &file, const std::string &model, NvrSettings &settings,
                     std::string &reason)
{
    const std::string text(file.begin(), file.end());
    const std::size_t sumAt = text.rfind(kChecksumKey);
    if (text.compare(0, std::char_traits<char>::length(kHeader), kHeader) != 0
        || sumAt == std::string::npos || (sumAt > 0 && text[sumAt - 1] != '\n')) {
        reason = "not an NVR configuration file";
        return false;
    }
    const std::string body = text.substr(0, sumAt);
    std::string sum = text.substr(sumAt + kChecksumKey.size());
    if (!sum.empty() && sum.back() == '\n')
        sum.pop_back();
    if (sum != corvane::wire::toHex(corvane::wire::sha256(body.data(), body.size()))) {
        reason = "checksum mismatch";
        return false;
    }

    std::map<std::string, std::string> values;
    std::istringstream lines(body);
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || !values.emplace(line.substr(0, eq), line.substr(eq + 1)).second) {
            reason = "malformed line";
            return false;
        }
    }
    static const char *const keys[] = {"model", "serial", "device.name", "net.hostname", "net.dhcp",
                                       "net.mtu", "net.dns1", "net.dns2", "port.http", "port.https",
                                       "port.rtsp", "time.zone", "time.ntp", "record.days"};
    bool complete = values.size() == std::size(keys);
    for (const char *key : keys)
        complete = complete && values.count(key);
    if (!complete) {
        reason = "missing or unknown setting";
        return false;
    }
    if (values["model"] != model) {
        reason = "file is for model " + values["model"];
        return false;
    }

    NvrSettings s;
    const bool ok = printable(values["device.name"], 23, false)
        && printable(values["net.hostname"], 63, false)
        && number(values["net.dhcp"], 0, 1, s.dhcp)
        && number(values["net.mtu"], 576, 9000, s.mtu)
        && dottedOrEmpty(values["net.dns1"]) && dottedOrEmpty(values["net.dns2"])
        && number(values["port.http"], 1, 65535, s.httpPort)
        && number(values["port.https"], 1, 65535, s.httpsPort)
        && number(values["port.rtsp"], 1, 65535, s.rtspPort)
        && printable(values["time.zone"], 15, false)
        && printable(values["time.ntp"], 63, true)
        && number(values["record.days"], 1, 3650, s.recordDays);
    if (!ok) {
        reason = "setting out of range";
        return false;
    }
    s.deviceName = values["device.name"];
    s.hostName = values["net.hostname"];
    s.dns1 = values["net.dns1"];
    s.dns2 = values["net.dns2"];
    s.timeZone = values["time.zone"];
    s.ntpServer = values["time.ntp"];
    settings = s;
    return true;
}
