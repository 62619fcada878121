// The simulated ONVIF device's side: SOAP requests and WS-Discovery datagrams.
//
// Input: byte 0 mode, then the payload.
//   bit 0 clear: the payload is a whole HTTP request body.
//   bit 0 set:   the payload is the SOAP body's content, wrapped in an
//                envelope with a valid UsernameToken, so that the operations
//                behind the login read it.
//   bit 1 set:   the payload is also read as a WS-Discovery Probe.
// A fresh device per input: replay and upload-token memories start empty.
#include "onvifauth.h"
#include "onvifdevice.h"
#include "simfleet.h"
#include "simoptions.h"
#include "wsdiscovery.h"

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>

namespace {

struct World
{
    World()
        : settings(options())
        , fleet(settings)
    {
        std::string error;
        if (!fleet.init(error))
            std::abort();
    }

    static SimOptions options()
    {
        SimOptions o;
        o.onvifCount = 1;
        o.seed = 7;
        o.lockoutMs = 0; // guesses of the fuzzer must not lock out the login that follows
        return o;
    }

    SimOptions settings;
    SimFleet fleet;
};

std::string signedEnvelope(const std::string &content, unsigned long serial)
{
    char created[32];
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    std::strftime(created, sizeof created, "%Y-%m-%dT%H:%M:%SZ", &parts);
    const std::string nonce = "fuzz-nonce-" + std::to_string(serial);
    const std::string digest =
        onvifcrypto::base64Encode(onvifcrypto::rawDigest("SHA-1", nonce + created + "vorpe"));
    return std::string("<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\""
                       " xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\""
                       " xmlns:trt=\"http://www.onvif.org/ver10/media/wsdl\""
                       " xmlns:tt=\"http://www.onvif.org/ver10/schema\">"
                       "<s:Header><Security xmlns=\"") + onvifns::Security + "\"><UsernameToken>"
        + "<Username>admin</Username><Password Type=\"#PasswordDigest\">" + digest + "</Password>"
        + "<Nonce>" + onvifcrypto::base64Encode(nonce) + "</Nonce>"
        + "<Created xmlns=\"" + onvifns::Utility + "\">" + created + "</Created>"
        + "</UsernameToken></Security></s:Header><s:Body>" + content + "</s:Body></s:Envelope>";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static World world;
    static unsigned long serial = 0;
    if (size == 0)
        return 0;
    const std::string payload(reinterpret_cast<const char *>(data) + 1, size - 1);
    SimDevice &simDevice = *world.fleet.devices().front();
    {
        // A password the fuzzer set must not keep the signed inputs out.
        std::lock_guard<std::mutex> lock(simDevice.mutex);
        simDevice.password = SimDevice::FactoryPassword;
    }
    OnvifDevice device(simDevice, world.fleet, world.settings, OnvifDevice::Hooks{[] {}, [] {}, [] {}});

    OnvifDevice::HttpRequest request;
    request.method = "POST";
    request.target = "/onvif/device_service";
    request.source = "127.0.0.1";
    request.body = (data[0] & 1) ? signedEnvelope(payload, ++serial) : payload;
    device.handleSoap(request);

    if (data[0] & 2) {
        WsProbe probe;
        if (WsProbe::parse(payload, probe))
            probe.wants(device.scopes());
    }
    return 0;
}
