#ifndef NVRSETTINGS_H
#define NVRSETTINGS_H

// The settings a simulated NVR keeps beyond its identity, and their file
// form, used both for the exported configuration file and for the state kept
// with --state. The file is text:
//
//   CORVANE-NVR-CONFIG 1
//   model=ZN-5216
//   key=value            (one line per setting, see nvrsettings.cpp)
//   checksum=<SHA-256 of every byte before this line, hex>
//
// A file for another model, with an unknown or missing key, a value out of
// range or a wrong checksum is refused as a whole.
#include <cstdint>
#include <string>
#include <vector>

struct NvrSettings
{
    std::string deviceName;
    std::string hostName;
    std::string dns1 = "127.0.0.53";
    std::string dns2;
    std::string timeZone = "UTC+08:00";
    std::string ntpServer = "ntp.corvane.test";
    uint32_t dhcp = 0;
    uint32_t mtu = 1500;
    uint32_t httpPort = 80;
    uint32_t httpsPort = 443;
    uint32_t rtspPort = 554;
    uint32_t recordDays = 30;

    static NvrSettings defaultsFor(const std::string &model, const std::string &serial);
};

std::vector<uint8_t> writeNvrSettings(const NvrSettings &settings, const std::string &model,
                                      const std::string &serial);
// False with a reason when the file is not acceptable for this model.
bool readNvrSettings(const std::vector<uint8_t> &file, const std::string &model, NvrSettings &settings,
                     std::string &reason);

#endif // NVRSETTINGS_H
