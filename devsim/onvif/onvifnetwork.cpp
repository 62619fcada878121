// Network operations of a simulated ONVIF device.
#include "onvifdevice.h"

#include "loopbackguard.h"
#include "simfleet.h"
#include "simoptions.h"

#include <asio/ip/address_v4.hpp>

namespace {

const char *const InterfaceToken = "eth0";

int prefixOf(const std::string &mask)
{
    const uint32_t bits = asio::ip::make_address_v4(mask).to_uint();
    int prefix = 0;
    for (uint32_t bit = 0x80000000u; bit && (bits & bit); bit >>= 1)
        ++prefix;
    return prefix;
}

std::string maskOf(int prefix)
{
    return asio::ip::address_v4(prefix == 0 ? 0 : ~uint32_t(0) << (32 - prefix)).to_string();
}

std::string macText(const std::string &mac)
{
    std::string out;
    for (std::size_t i = 0; i < mac.size(); i += 2)
        out += (i ? ":" : "") + mac.substr(i, 2);
    return out;
}

// Addresses of tt:IPAddress-like lists (Type + IPv4Address); false for an invalid one.
bool readAddresses(const std::vector<pugi::xml_node> &items, std::vector<std::string> &out, soap::Fault &fault)
{
    out.clear();
    for (pugi::xml_node item : items) {
        std::string text = soap::schemaText(item, {"IPv4Address"});
        if (text.empty())
            text = item.text().as_string(); // the gateway's plain address list
        std::string canonical;
        if (!SimFleet::canonicalIp(text, canonical, false)) {
            fault = invalidArg("ter:InvalidIPv4Address", "\"" + text + "\" is no IPv4 address");
            return false;
        }
        out.push_back(canonical);
    }
    return true;
}

void addAddressList(pugi::xml_node parent, const char *name, const std::vector<std::string> &addresses)
{
    for (const std::string &address : addresses) {
        pugi::xml_node node = soap::add(parent, name);
        soap::add(node, "tt:Type", "IPv4");
        soap::add(node, "tt:IPv4Address", address);
    }
}

} // namespace

bool OnvifDevice::getNetworkInterfaces(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    std::string ip, mask;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        ip = m_device.ip;
        mask = m_device.mask;
    }
    const bool dhcp = state().dhcp;
    pugi::xml_node node = soap::add(out, "tds:NetworkInterfaces");
    node.append_attribute("token") = InterfaceToken;
    soap::add(node, "tt:Enabled", "true");
    pugi::xml_node info = soap::add(node, "tt:Info");
    soap::add(info, "tt:Name", InterfaceToken);
    soap::add(info, "tt:HwAddress", macText(m_device.mac));
    soap::add(info, "tt:MTU", "1500");
    pugi::xml_node ipv4 = soap::add(node, "tt:IPv4");
    soap::add(ipv4, "tt:Enabled", "true");
    pugi::xml_node config = soap::add(ipv4, "tt:Config");
    pugi::xml_node address = soap::add(config, dhcp ? "tt:FromDHCP" : "tt:Manual");
    soap::add(address, "tt:Address", ip);
    soap::add(address, "tt:PrefixLength", std::to_string(prefixOf(mask)));
    soap::add(config, "tt:DHCP", dhcp ? "true" : "false");
    return true;
}

bool OnvifDevice::setNetworkInterfaces(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    if (soap::schemaText(in, {"InterfaceToken"}) != InterfaceToken) {
        fault = invalidArg("ter:InvalidNetworkInterface", "the device has only the interface eth0");
        return false;
    }
    const pugi::xml_node ipv4 =
        soap::child(soap::child(in, onvifns::Device, "NetworkInterface"), onvifns::Schema, "IPv4");
    const pugi::xml_node manual = soap::child(ipv4, onvifns::Schema, "Manual");
    const std::string dhcpText = soap::schemaText(ipv4, {"DHCP"});
    std::string newIp, mask;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        newIp = m_device.ip;
        mask = m_device.mask;
    }
    if (manual) {
        const std::string address = soap::schemaText(manual, {"Address"});
        const std::string prefixText = soap::schemaText(manual, {"PrefixLength"});
        char *end = nullptr;
        const long prefix = std::strtol(prefixText.c_str(), &end, 10);
        if (!SimFleet::canonicalIp(address, newIp, true) || prefixText.empty() || *end || prefix < 1 || prefix > 32) {
            fault = invalidArg("ter:InvalidIPv4Address", "\"" + address + "/" + prefixText + "\" is no host address");
            return false;
        }
        if (!corvane::wire::isLoopback(asio::ip::make_address_v4(newIp).to_uint())) {
            fault = invalidArg("ter:InvalidIPv4Address", "this simulated device can only live in 127.0.0.0/8");
            return false;
        }
        mask = maskOf(int(prefix));
    }
    std::string gateway;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        gateway = m_device.gateway;
    }
    const std::string oldIp = m_device.currentIp();
    const SimFleet::MoveResult result = m_fleet.moveDevice(m_device, newIp, mask, gateway);
    if (result == SimFleet::MoveResult::Conflict) {
        fault = invalidArg("ter:InvalidIPv4Address", "another device already uses " + newIp);
        return false;
    }
    if (!dhcpText.empty()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.dhcp = dhcpText == "true";
    }
    if (result == SimFleet::MoveResult::Moved)
        addLog("address changed from " + oldIp + " to " + newIp);
    m_hooks.changed();
    soap::add(out, "tds:RebootNeeded", "false");
    return true;
}

bool OnvifDevice::getNetworkDefaultGateway(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    std::lock_guard<std::mutex> lock(m_device.mutex);
    soap::add(soap::add(out, "tds:NetworkGateway"), "tt:IPv4Address", m_device.gateway);
    return true;
}

bool OnvifDevice::setNetworkDefaultGateway(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    std::vector<std::string> gateways;
    if (!readAddresses(soap::children(in, onvifns::Device, "IPv4Address"), gateways, fault))
        return false;
    if (gateways.empty()) {
        fault = invalidArg("ter:InvalidGatewayAddress", "no gateway given");
        return false;
    }
    std::string ip, mask;
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        ip = m_device.ip;
        mask = m_device.mask;
    }
    m_fleet.moveDevice(m_device, ip, mask, gateways.front());
    addLog("default gateway set to " + gateways.front());
    return true;
}

bool OnvifDevice::getDNS(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const OnvifState current = state();
    pugi::xml_node node = soap::add(out, "tds:DNSInformation");
    soap::add(node, "tt:FromDHCP", current.dnsFromDhcp ? "true" : "false");
    addAddressList(node, current.dnsFromDhcp ? "tt:DNSFromDHCP" : "tt:DNSManual", current.dns);
    return true;
}

bool OnvifDevice::setDNS(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    std::vector<std::string> servers;
    if (!readAddresses(soap::children(in, onvifns::Device, "DNSManual"), servers, fault))
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.dnsFromDhcp = soap::schemaText(in, {"FromDHCP"}) == "true";
        m_state.dns = servers;
    }
    m_hooks.changed();
    return true;
}

bool OnvifDevice::getNTP(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const OnvifState current = state();
    pugi::xml_node node = soap::add(out, "tds:NTPInformation");
    soap::add(node, "tt:FromDHCP", current.ntpFromDhcp ? "true" : "false");
    addAddressList(node, current.ntpFromDhcp ? "tt:NTPFromDHCP" : "tt:NTPManual", current.ntp);
    return true;
}

bool OnvifDevice::setNTP(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    std::vector<std::string> servers;
    if (!readAddresses(soap::children(in, onvifns::Device, "NTPManual"), servers, fault))
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.ntpFromDhcp = soap::schemaText(in, {"FromDHCP"}) == "true";
        m_state.ntp = servers;
    }
    m_hooks.changed();
    return true;
}

bool OnvifDevice::getHostname(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    pugi::xml_node node = soap::add(out, "tds:HostnameInformation");
    soap::add(node, "tt:FromDHCP", "false");
    soap::add(node, "tt:Name", state().hostname);
    return true;
}

bool OnvifDevice::setHostname(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    const std::string name = soap::schemaText(in, {"Name"});
    bool valid = !name.empty() && name.size() <= 63 && name.front() != '-' && name.back() != '-';
    for (const char c : name)
        valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.');
    if (!valid) {
        fault = invalidArg("ter:InvalidHostname", "\"" + name + "\" is no host name");
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.hostname = name;
    }
    m_hooks.changed();
    return true;
}

bool OnvifDevice::getNetworkProtocols(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const std::tuple<const char *, bool, int> protocols[] = {
        {"HTTP", true, httpPort()}, {"HTTPS", false, 443}, {"RTSP", true, 554}};
    for (const auto &protocol : protocols) {
        pugi::xml_node node = soap::add(out, "tds:NetworkProtocols");
        soap::add(node, "tt:Name", std::get<0>(protocol));
        soap::add(node, "tt:Enabled", std::get<1>(protocol) ? "true" : "false");
        soap::add(node, "tt:Port", std::to_string(std::get<2>(protocol)));
    }
    return true;
}
