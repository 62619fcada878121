#ifndef ONVIFDEVICE_H
#define ONVIFDEVICE_H

// The SOAP operations of one simulated ONVIF camera or recorder. Called on
// the HTTP server's worker threads; state changes are made under m_mutex and
// saved through the host.
#include "onvifauth.h"
#include "onvifstate.h"
#include "soapxml.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class OnvifMedia;
class SimFleet;
struct SimDevice;
struct SimOptions;

class OnvifDevice
{
public:
    // What the device asks of its host once an answer is on its way.
    struct Hooks
    {
        std::function<void()> reboot;  // go away for the restart time, then come back
        std::function<void()> changed; // settings changed: save the state
        std::function<void()> passwordChanged; // the account's streams end
    };
    struct HttpRequest
    {
        std::string method;
        std::string target;
        std::string body;
        std::string authorization;
        std::string source;
    };
    struct HttpAnswer
    {
        int status = 200;
        std::string contentType = "application/soap+xml; charset=utf-8";
        std::string body;
        std::vector<std::string> challenges; // WWW-Authenticate values
        bool afterwardsReboot = false;
    };

    OnvifDevice(SimDevice &device, SimFleet &fleet, const SimOptions &options, Hooks hooks);

    SimDevice &device() { return m_device; }
    // The media and imaging services answered beside the device service.
    void setMedia(OnvifMedia *media) { m_media = media; }
    HttpAnswer handleSoap(const HttpRequest &request);
    // The POST of a firmware file to the address StartFirmwareUpgrade handed out.
    HttpAnswer handleFirmwareUpload(const std::string &token, const std::string &body);
    // GET of a profile's JPEG snapshot, behind HTTP Digest (onvifsnapshot.cpp).
    HttpAnswer handleSnapshot(const HttpRequest &request, const std::string &profile);

    OnvifState state() const;
    void setState(const OnvifState &state);
    void addLog(const std::string &line);
    std::string xaddr() const;
    // "http://ADDRESS:PORT/onvif/", https with --onvif-https.
    static std::string serviceBase(const SimDevice &device, const SimOptions &options);
    std::string endpoint() const;
    std::vector<std::string> scopes() const;
    int videoSources() const;
    uint16_t httpPort() const;

private:
    using Handler = bool (OnvifDevice::*)(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    struct Operation
    {
        Handler handler;
        bool open;      // answered without a login
        bool reboots;   // the device restarts once the answer is out
    };
    static const std::map<std::string, Operation> &operations();

    std::time_t now() const;
    HttpAnswer faultAnswer(const soap::Fault &fault);
    std::string garble(const std::string &text) const;

    // Device information and discovery (onvifdevice.cpp).
    bool getDeviceInformation(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getServices(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getCapabilities(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getScopes(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getSystemDateAndTime(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setSystemDateAndTime(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getUsers(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setUser(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    // Network (onvifnetwork.cpp).
    bool getNetworkInterfaces(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setNetworkInterfaces(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getNetworkDefaultGateway(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setNetworkDefaultGateway(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getDNS(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setDNS(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getNTP(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setNTP(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getHostname(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool setHostname(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getNetworkProtocols(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    // Maintenance (onvifsystem.cpp).
    bool systemReboot(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool startFirmwareUpgrade(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool upgradeSystemFirmware(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getSystemBackup(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool restoreSystem(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getSystemLog(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    bool getSystemSupportInformation(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault);
    // Checks a firmware image; false with the reason in fault.
    bool installFirmware(const std::string &image, soap::Fault &fault);

    SimDevice &m_device;
    SimFleet &m_fleet;
    const SimOptions &m_options;
    Hooks m_hooks;
    OnvifMedia *m_media = nullptr;
    OnvifAuth m_auth;
    mutable std::mutex m_mutex; // m_state, m_uploadTokens
    OnvifState m_state;
    std::map<std::string, std::time_t> m_uploadTokens;
};

// Faults with the codes ONVIF clients expect.
soap::Fault invalidArg(const std::string &subcode, const std::string &reason);

#endif // ONVIFDEVICE_H
