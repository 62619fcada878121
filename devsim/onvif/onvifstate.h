#ifndef ONVIFSTATE_H
#define ONVIFSTATE_H

// What a simulated ONVIF device keeps beyond the fleet's identity and
// address: its endpoint reference and the settings its operations change.
// One tab-separated line serves both the state file and the device's
// configuration backup.
#include <ctime>
#include <deque>
#include <string>
#include <vector>

struct OnvifState
{
    std::string endpoint;               // "urn:uuid:...", never changes
    std::string hostname;
    bool dhcp = false;
    bool dnsFromDhcp = false;
    std::vector<std::string> dns{"127.0.0.1"};
    bool ntpFromDhcp = false;
    std::vector<std::string> ntp;
    std::string timeZone = "CST-8";
    bool daylightSavings = false;
    bool ntpTime = false;               // DateTimeType NTP instead of Manual
    long long clockOffset = 0;          // device clock minus the host's, seconds
    std::string location = "corvane-lab";
    std::deque<std::string> log;        // newest last

    static constexpr std::size_t MaxLogLines = 200;

    // The settings (not the endpoint reference) as one line, and back; false
    // for a line that is no such record.
    std::string settingsLine() const;
    bool applySettingsLine(const std::string &line);
};

// POSIX TZ text such as "CET-1CEST,M3.5.0,M10.5.0/3"; false for anything else.
bool validPosixTz(const std::string &tz);
// Local time offset in seconds east of UTC at the moment utc, for a valid TZ.
long posixTzOffset(const std::string &tz, std::time_t utc);

#endif // ONVIFSTATE_H
