#include "onvifdevice.h"

#include "onvifmedia.h"

#include "auth.h"
#include "simfleet.h"
#include "simoptions.h"

#include <chrono>
#include <thread>

namespace {

const char *const Manufacturer = "Corvane Sim";
// Scopes are separated by spaces: the maker's name percent-encoded.
const char *const ManufacturerScope = "Corvane%20Sim";

OnvifAuth::Mode authMode(const SimOptions &options)
{
    if (options.onvifDigestOnly)
        return OnvifAuth::Mode::DigestOnly;
    return options.onvifBothAuth ? OnvifAuth::Mode::Both : OnvifAuth::Mode::Either;
}

void addDateTime(pugi::xml_node parent, const char *name, std::time_t when)
{
    std::tm parts{};
    gmtime_r(&when, &parts);
    pugi::xml_node node = soap::add(parent, name);
    pugi::xml_node time = soap::add(node, "tt:Time");
    soap::add(time, "tt:Hour", std::to_string(parts.tm_hour));
    soap::add(time, "tt:Minute", std::to_string(parts.tm_min));
    soap::add(time, "tt:Second", std::to_string(parts.tm_sec));
    pugi::xml_node date = soap::add(node, "tt:Date");
    soap::add(date, "tt:Year", std::to_string(parts.tm_year + 1900));
    soap::add(date, "tt:Month", std::to_string(parts.tm_mon + 1));
    soap::add(date, "tt:Day", std::to_string(parts.tm_mday));
}

void addVersion(pugi::xml_node parent, const char *name)
{
    pugi::xml_node version = soap::add(parent, name);
    soap::add(version, "tt:Major", "2");
    soap::add(version, "tt:Minor", "60");
}

} // namespace

soap::Fault invalidArg(const std::string &subcode, const std::string &reason)
{
    return soap::Fault{"env:Sender", "ter:InvalidArgVal", subcode, reason, 400};
}

OnvifDevice::OnvifDevice(SimDevice &device, SimFleet &fleet, const SimOptions &options, Hooks hooks)
    : m_device(device)
    , m_fleet(fleet)
    , m_options(options)
    , m_hooks(std::move(hooks))
    , m_auth(authMode(options))
{
}

const std::map<std::string, OnvifDevice::Operation> &OnvifDevice::operations()
{
    static const std::map<std::string, Operation> table = {
        {"GetDeviceInformation", {&OnvifDevice::getDeviceInformation, false, false}},
        {"GetServices", {&OnvifDevice::getServices, true, false}},
        {"GetCapabilities", {&OnvifDevice::getCapabilities, true, false}},
        {"GetScopes", {&OnvifDevice::getScopes, false, false}},
        {"GetSystemDateAndTime", {&OnvifDevice::getSystemDateAndTime, true, false}},
        {"SetSystemDateAndTime", {&OnvifDevice::setSystemDateAndTime, false, false}},
        {"GetUsers", {&OnvifDevice::getUsers, false, false}},
        {"SetUser", {&OnvifDevice::setUser, false, false}},
        {"GetNetworkInterfaces", {&OnvifDevice::getNetworkInterfaces, false, false}},
        {"SetNetworkInterfaces", {&OnvifDevice::setNetworkInterfaces, false, false}},
        {"GetNetworkDefaultGateway", {&OnvifDevice::getNetworkDefaultGateway, false, false}},
        {"SetNetworkDefaultGateway", {&OnvifDevice::setNetworkDefaultGateway, false, false}},
        {"GetDNS", {&OnvifDevice::getDNS, false, false}},
        {"SetDNS", {&OnvifDevice::setDNS, false, false}},
        {"GetNTP", {&OnvifDevice::getNTP, false, false}},
        {"SetNTP", {&OnvifDevice::setNTP, false, false}},
        {"GetHostname", {&OnvifDevice::getHostname, false, false}},
        {"SetHostname", {&OnvifDevice::setHostname, false, false}},
        {"GetNetworkProtocols", {&OnvifDevice::getNetworkProtocols, false, false}},
        {"SystemReboot", {&OnvifDevice::systemReboot, false, true}},
        {"StartFirmwareUpgrade", {&OnvifDevice::startFirmwareUpgrade, false, false}},
        {"UpgradeSystemFirmware", {&OnvifDevice::upgradeSystemFirmware, false, true}},
        {"GetSystemBackup", {&OnvifDevice::getSystemBackup, false, false}},
        {"RestoreSystem", {&OnvifDevice::restoreSystem, false, false}},
        {"GetSystemLog", {&OnvifDevice::getSystemLog, false, false}},
        {"GetSystemSupportInformation", {&OnvifDevice::getSystemSupportInformation, false, false}},
    };
    return table;
}

OnvifDevice::HttpAnswer OnvifDevice::handleSoap(const HttpRequest &request)
{
    if (m_options.onvifDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_options.onvifDelayMs));
    // HTTP Digest clients first send an empty body to learn the challenge.
    if (request.body.empty() && request.authorization.empty()) {
        HttpAnswer answer = faultAnswer({"env:Sender", "ter:NotAuthorized", "", "this operation needs a login", 401});
        answer.challenges = m_auth.challenges();
        return answer;
    }
    soap::Request parsed;
    std::string error;
    if (!parsed.parse(request.body, error))
        return faultAnswer({"env:Sender", "ter:WellFormed", "", error, 400});

    const pugi::xml_node operation = parsed.operation();
    const std::string ns = soap::namespaceOf(operation);
    const std::string name = soap::localName(operation.name());
    const auto found = operations().find(name);
    const bool media = m_media && m_media->serves(ns, name);
    if ((!media && (found == operations().end() || ns != onvifns::Device)) || m_options.onvifUnsupported.count(name))
        return faultAnswer({"env:Receiver", "ter:ActionNotSupported", "",
                            "the device does not support " + name, 500});

    if (media || !found->second.open) {
        OnvifAuth::Request authRequest{parsed.header(), request.method, request.target, request.authorization,
                                       request.source, now()};
        const OnvifAuth::Outcome outcome = m_auth.check(m_device, authRequest);
        if (outcome.result != OnvifAuth::Result::Ok) {
            HttpAnswer answer = faultAnswer({"env:Sender", "ter:NotAuthorized", "", outcome.reason, 400});
            if (outcome.httpRejected && outcome.result != OnvifAuth::Result::Locked) {
                answer.status = 401;
                answer.challenges = m_auth.challenges(outcome.reason == "the HTTP Digest nonce expired");
            }
            if (outcome.result != OnvifAuth::Result::Missing)
                addLog("login refused from " + request.source + ": " + outcome.reason);
            return answer;
        }
    }

    soap::Writer writer;
    soap::Fault fault;
    if (media ? !m_media->handle(ns, name, operation, writer.body(), fault)
              : !(this->*found->second.handler)(operation, writer.body().append_child(("tds:" + name + "Response").c_str()), fault))
        return faultAnswer(fault);
    HttpAnswer answer;
    answer.body = m_options.onvifMalformed ? garble(writer.text()) : writer.text();
    answer.afterwardsReboot = !media && found->second.reboots;
    return answer;
}

OnvifDevice::HttpAnswer OnvifDevice::faultAnswer(const soap::Fault &fault)
{
    HttpAnswer answer;
    answer.status = fault.httpStatus;
    answer.body = soap::faultText(fault);
    return answer;
}

// Cut short and with a stray tag: no parser may take it.
std::string OnvifDevice::garble(const std::string &text) const
{
    return text.substr(0, text.size() * 2 / 3) + "<tt:Broken attr=\"";
}

std::time_t OnvifDevice::now() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::time(nullptr) + std::time_t(m_state.clockOffset);
}

OnvifState OnvifDevice::state() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void OnvifDevice::setState(const OnvifState &state)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state = state;
}

void OnvifDevice::addLog(const std::string &line)
{
    std::time_t when = now();
    std::tm parts{};
    gmtime_r(&when, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &parts);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.log.push_back(std::string(stamp) + ' ' + logSafe(line));
    while (m_state.log.size() > OnvifState::MaxLogLines)
        m_state.log.pop_front();
}

uint16_t OnvifDevice::httpPort() const
{
    return m_options.onvifHttpPort;
}

std::string OnvifDevice::serviceBase(const SimDevice &device, const SimOptions &options)
{
    return std::string(options.onvifHttps ? "https://" : "http://") + device.currentIp() + ':'
           + std::to_string(options.onvifHttpPort) + "/onvif/";
}

std::string OnvifDevice::xaddr() const
{
    return serviceBase(m_device, m_options) + "device_service";
}

std::string OnvifDevice::endpoint() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state.endpoint;
}

int OnvifDevice::videoSources() const
{
    return m_device.type == "ONVIF-NVR" ? 8 : 1;
}

std::vector<std::string> OnvifDevice::scopes() const
{
    const std::string base = "onvif://www.onvif.org/";
    std::string location;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        location = m_state.location;
    }
    return {base + "type/video_encoder", base + (m_device.type == "ONVIF-NVR" ? "type/NetworkVideoStorage" : "type/Network_Video_Transmitter"),
            base + "Profile/Streaming", base + "Profile/T", base + "name/" + m_device.model,
            base + "hardware/" + m_device.model, base + "location/" + location,
            base + "manufacturer/" + ManufacturerScope};
}

bool OnvifDevice::getDeviceInformation(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    soap::add(out, "tds:Manufacturer", Manufacturer);
    soap::add(out, "tds:Model", m_device.model);
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        soap::add(out, "tds:FirmwareVersion", m_device.version);
    }
    soap::add(out, "tds:SerialNumber", m_device.serial);
    soap::add(out, "tds:HardwareId", m_device.reserved);
    return true;
}

bool OnvifDevice::getServices(pugi::xml_node in, pugi::xml_node out, soap::Fault &)
{
    const std::string base = serviceBase(m_device, m_options);
    const std::pair<const char *, const char *> services[] = {{onvifns::Device, "device_service"},
                                                              {onvifns::Media, "media_service"},
                                                              {onvifns::Media2, "media2_service"},
                                                              {onvifns::Imaging, "imaging_service"}};
    const bool withCapabilities = std::string(soap::schemaText(in, {"IncludeCapability"})) == "true";
    for (const auto &service : services) {
        pugi::xml_node node = soap::add(out, "tds:Service");
        soap::add(node, "tds:Namespace", service.first);
        soap::add(node, "tds:XAddr", base + service.second);
        if (withCapabilities && service.first == std::string(onvifns::Device)) {
            pugi::xml_node caps = soap::add(soap::add(node, "tds:Capabilities"), "tds:Capabilities");
            caps.append_child("tds:Network").append_attribute("IPFilter") = false;
            pugi::xml_node security = caps.append_child("tds:Security");
            security.append_attribute("UsernameToken") = !m_options.onvifDigestOnly;
            security.append_attribute("HttpDigest") = true;
            pugi::xml_node system = caps.append_child("tds:System");
            system.append_attribute("DiscoveryBye") = true;
            system.append_attribute("SystemBackup") = true;
            system.append_attribute("SystemLogging") = true;
            system.append_attribute("FirmwareUpgrade") = true;
            system.append_attribute("HttpFirmwareUpgrade") = true;
            system.append_attribute("HttpSystemBackup") = false;
            system.append_attribute("HttpSystemLogging") = false;
            system.append_attribute("HttpSupportInformation") = false;
        }
        addVersion(node, "tds:Version");
    }
    return true;
}

bool OnvifDevice::getCapabilities(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const std::string base = serviceBase(m_device, m_options);
    pugi::xml_node caps = soap::add(out, "tds:Capabilities");
    pugi::xml_node device = soap::add(caps, "tt:Device");
    soap::add(device, "tt:XAddr", base + "device_service");
    pugi::xml_node network = soap::add(device, "tt:Network");
    for (const char *name : {"tt:IPFilter", "tt:ZeroConfiguration", "tt:IPVersion6", "tt:DynDNS"})
        soap::add(network, name, "false");
    pugi::xml_node system = soap::add(device, "tt:System");
    soap::add(system, "tt:DiscoveryResolve", "false");
    soap::add(system, "tt:DiscoveryBye", "true");
    soap::add(system, "tt:RemoteDiscovery", "false");
    soap::add(system, "tt:SystemBackup", "true");
    soap::add(system, "tt:SystemLogging", "true");
    soap::add(system, "tt:FirmwareUpgrade", "true");
    addVersion(system, "tt:SupportedVersions");
    pugi::xml_node security = soap::add(device, "tt:Security");
    for (const char *name : {"tt:TLS1.1", "tt:TLS1.2", "tt:OnboardKeyGeneration", "tt:AccessPolicyConfig",
                             "tt:X.509Token", "tt:SAMLToken", "tt:KerberosToken", "tt:RELToken"})
        soap::add(security, name, "false");
    soap::add(soap::add(caps, "tt:Imaging"), "tt:XAddr", base + "imaging_service");
    pugi::xml_node media = soap::add(caps, "tt:Media");
    soap::add(media, "tt:XAddr", base + "media_service");
    pugi::xml_node streaming = soap::add(media, "tt:StreamingCapabilities");
    soap::add(streaming, "tt:RTPMulticast", "false");
    soap::add(streaming, "tt:RTP_TCP", "true");
    soap::add(streaming, "tt:RTP_RTSP_TCP", "true");
    return true;
}

bool OnvifDevice::getScopes(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    for (const std::string &scope : scopes()) {
        pugi::xml_node node = soap::add(out, "tds:Scopes");
        soap::add(node, "tt:ScopeDef", "Fixed");
        soap::add(node, "tt:ScopeItem", scope);
    }
    return true;
}

bool OnvifDevice::getSystemDateAndTime(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const std::time_t utc = now();
    const OnvifState current = state();
    pugi::xml_node node = soap::add(out, "tds:SystemDateAndTime");
    soap::add(node, "tt:DateTimeType", current.ntpTime ? "NTP" : "Manual");
    soap::add(node, "tt:DaylightSavings", current.daylightSavings ? "true" : "false");
    soap::add(soap::add(node, "tt:TimeZone"), "tt:TZ", current.timeZone);
    addDateTime(node, "tt:UTCDateTime", utc);
    addDateTime(node, "tt:LocalDateTime", utc + posixTzOffset(current.timeZone, utc));
    return true;
}

bool OnvifDevice::setSystemDateAndTime(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    const std::string type = soap::schemaText(in, {"DateTimeType"});
    const std::string tz = soap::schemaText(in, {"TimeZone", "TZ"});
    if (type != "Manual" && type != "NTP") {
        fault = invalidArg("ter:InvalidDateTime", "DateTimeType must be Manual or NTP");
        return false;
    }
    if (!tz.empty() && !validPosixTz(tz)) {
        fault = invalidArg("ter:InvalidTimeZone", "\"" + tz + "\" is no POSIX time zone");
        return false;
    }
    long long offset = 0;
    const bool setClock = type == "Manual" && soap::child(in, onvifns::Device, "UTCDateTime");
    if (setClock) {
        std::tm parts{};
        parts.tm_year = std::atoi(soap::schemaText(in, {"UTCDateTime", "Date", "Year"}).c_str()) - 1900;
        parts.tm_mon = std::atoi(soap::schemaText(in, {"UTCDateTime", "Date", "Month"}).c_str()) - 1;
        parts.tm_mday = std::atoi(soap::schemaText(in, {"UTCDateTime", "Date", "Day"}).c_str());
        parts.tm_hour = std::atoi(soap::schemaText(in, {"UTCDateTime", "Time", "Hour"}).c_str());
        parts.tm_min = std::atoi(soap::schemaText(in, {"UTCDateTime", "Time", "Minute"}).c_str());
        parts.tm_sec = std::atoi(soap::schemaText(in, {"UTCDateTime", "Time", "Second"}).c_str());
        if (parts.tm_year < 70 || parts.tm_mon < 0 || parts.tm_mon > 11 || parts.tm_mday < 1 || parts.tm_mday > 31
            || parts.tm_hour > 23 || parts.tm_min > 59 || parts.tm_sec > 60) {
            fault = invalidArg("ter:InvalidDateTime", "the date or time is out of range");
            return false;
        }
        offset = (long long)timegm(&parts) - (long long)std::time(nullptr);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.ntpTime = type == "NTP";
        m_state.daylightSavings = soap::schemaText(in, {"DaylightSavings"}) == "true";
        if (!tz.empty())
            m_state.timeZone = tz;
        if (setClock)
            m_state.clockOffset = offset;
    }
    addLog("date and time set" + (tz.empty() ? std::string() : ", time zone " + tz));
    m_hooks.changed();
    return true;
}

bool OnvifDevice::getUsers(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    pugi::xml_node user = soap::add(out, "tds:User");
    soap::add(user, "tt:Username", m_device.account().user);
    soap::add(user, "tt:UserLevel", "Administrator");
    return true;
}

bool OnvifDevice::setUser(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    const std::vector<pugi::xml_node> users = soap::children(in, onvifns::Device, "User");
    if (users.empty()) {
        fault = invalidArg("ter:UsernameMissing", "no user given");
        return false;
    }
    for (pugi::xml_node user : users) {
        const std::string name = soap::schemaText(user, {"Username"});
        const std::string password = soap::schemaText(user, {"Password"});
        if (name != m_device.account().user) {
            fault = invalidArg("ter:UsernameMissing", "no user \"" + name + "\"");
            return false;
        }
        const std::string problem = password.empty() ? "the password is empty" : corvane::wire::passwordProblem(password);
        if (!problem.empty()) {
            fault = invalidArg("ter:PasswordTooWeak", problem);
            return false;
        }
    }
    const std::string user = m_device.account().user;
    m_fleet.changePassword(m_device, user, soap::schemaText(users.back(), {"Password"}));
    addLog("password of " + user + " changed");
    m_hooks.passwordChanged();
    m_hooks.changed();
    return true;
}
