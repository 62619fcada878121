#include "onvifstate.h"

#include "simfleet.h"

#include <cstdlib>
#include <regex>
#include <sstream>

namespace {

const char *const SettingsTag = "onvif-settings-1";

std::string joinList(const std::vector<std::string> &items)
{
    std::string out;
    for (const std::string &item : items)
        out += (out.empty() ? "" : ",") + item;
    return out;
}

std::vector<std::string> splitList(const std::string &text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty())
            items.push_back(item);
    return items;
}

// "[+-]hh[:mm[:ss]]" in seconds, sign as written (POSIX: positive is west).
long clockText(const std::string &text)
{
    int parts[3] = {0, 0, 0};
    const bool negative = !text.empty() && text[0] == '-';
    std::sscanf(text.c_str() + ((text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) ? 0 : 1),
                "%d:%d:%d", &parts[0], &parts[1], &parts[2]);
    const long seconds = parts[0] * 3600L + parts[1] * 60L + parts[2];
    return negative ? -seconds : seconds;
}

const char *const TzName = R"(([A-Za-z]{3,}|<[A-Za-z0-9+-]{3,}>))";
const char *const TzOffset = R"(([+-]?\d{1,2}(?::\d{2}(?::\d{2})?)?))";
const char *const TzRule = R"((M\d{1,2}\.[1-5]\.[0-6]|J?\d{1,3})(?:/([+-]?\d{1,3}(?::\d{2}(?::\d{2})?)?))?)";

const std::regex &tzPattern()
{
    static const std::regex pattern(std::string("^") + TzName + TzOffset + "(?:" + TzName + TzOffset + "?(?:,"
                                    + TzRule + "," + TzRule + ")?)?$");
    return pattern;
}

// Seconds from the start of the year to the rule's day at its time, in local time of that year.
long long ruleSecond(const std::string &rule, const std::string &timeText, int year)
{
    std::tm jan1{};
    jan1.tm_year = year - 1900;
    jan1.tm_mday = 1;
    const std::time_t start = timegm(&jan1);
    long day = 0;
    if (rule[0] == 'M') {
        int month = 0, week = 0, weekday = 0;
        std::sscanf(rule.c_str(), "M%d.%d.%d", &month, &week, &weekday);
        std::tm first{};
        first.tm_year = year - 1900;
        first.tm_mon = month - 1;
        first.tm_mday = 1;
        const std::time_t firstTime = timegm(&first);
        std::tm firstParts{};
        gmtime_r(&firstTime, &firstParts);
        int mday = 1 + (weekday - firstParts.tm_wday + 7) % 7 + (week - 1) * 7;
        static const int Days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        const int monthDays = (month == 2 && !leap) ? 28 : Days[month - 1];
        while (mday > monthDays)
            mday -= 7;
        day = long((firstTime - start) / 86400) + mday - 1;
    } else if (rule[0] == 'J') {
        day = std::atol(rule.c_str() + 1) - 1;
    } else {
        day = std::atol(rule.c_str());
    }
    return start + day * 86400LL + (timeText.empty() ? 7200 : clockText(timeText));
}

} // namespace

std::string OnvifState::settingsLine() const
{
    std::string logText;
    for (const std::string &line : log)
        logText += line + '\n';
    std::ostringstream out;
    out << SettingsTag << '\t' << SimFleet::escapeField(hostname) << '\t' << dhcp << '\t' << dnsFromDhcp << '\t'
        << joinList(dns) << '\t' << ntpFromDhcp << '\t' << joinList(ntp) << '\t'
        << SimFleet::escapeField(timeZone) << '\t' << daylightSavings << '\t' << ntpTime << '\t' << clockOffset
        << '\t' << SimFleet::escapeField(location) << '\t' << SimFleet::escapeField(logText);
    return out.str();
}

bool OnvifState::applySettingsLine(const std::string &line)
{
    const std::vector<std::string> f = SimFleet::splitTabs(line);
    if (f.size() != 13 || f[0] != SettingsTag)
        return false;
    const std::string tz = SimFleet::unescapeField(f[7]);
    if (!validPosixTz(tz))
        return false;
    hostname = SimFleet::unescapeField(f[1]);
    dhcp = f[2] == "1";
    dnsFromDhcp = f[3] == "1";
    dns = splitList(f[4]);
    ntpFromDhcp = f[5] == "1";
    ntp = splitList(f[6]);
    timeZone = tz;
    daylightSavings = f[8] == "1";
    ntpTime = f[9] == "1";
    clockOffset = std::atoll(f[10].c_str());
    location = SimFleet::unescapeField(f[11]);
    log.clear();
    std::istringstream logText(SimFleet::unescapeField(f[12]));
    std::string logLine;
    while (std::getline(logText, logLine) && log.size() < MaxLogLines)
        log.push_back(logLine);
    return true;
}

bool validPosixTz(const std::string &tz)
{
    return tz.size() <= 64 && std::regex_match(tz, tzPattern());
}

long posixTzOffset(const std::string &tz, std::time_t utc)
{
    std::smatch m;
    if (!std::regex_match(tz, m, tzPattern()))
        return 0;
    const long standard = -clockText(m[2]);
    if (!m[3].matched)
        return standard;
    const long daylight = m[4].matched ? -clockText(m[4]) : standard + 3600;
    // Without rules: the common European dates.
    const std::string startRule = m[5].matched ? m[5].str() : "M3.5.0";
    const std::string endRule = m[7].matched ? m[7].str() : "M10.5.0";
    std::tm parts{};
    gmtime_r(&utc, &parts);
    const int year = parts.tm_year + 1900;
    // Transitions are written in local time: the start in standard, the end in daylight time.
    const long long start = ruleSecond(startRule, m[6].str(), year) - standard;
    const long long end = ruleSecond(endRule, m[8].str(), year) - daylight;
    const bool inside = start < end ? (utc >= start && utc < end) : (utc >= start || utc < end);
    return inside ? daylight : standard;
}
