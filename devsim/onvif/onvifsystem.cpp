// Maintenance operations of a simulated ONVIF device: restart, firmware,
// configuration backup and the logs.
#include "onvifdevice.h"

#include "auth.h"
#include "firmware.h"
#include "simfleet.h"
#include "simoptions.h"

namespace {

const char *const BackupName = "corvane-onvif-settings.tsv";
const std::time_t UploadTokenLifetime = 600;

} // namespace

bool OnvifDevice::systemReboot(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    addLog("restart requested");
    soap::add(out, "tds:Message", "Rebooting in " + std::to_string(m_options.restartMs / 1000) + " seconds");
    return true;
}

bool OnvifDevice::startFirmwareUpgrade(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const std::vector<uint8_t> random = corvane::wire::randomBytes(16);
    const std::string token = onvifcrypto::hexDigest("SHA-256", std::string(random.begin(), random.end())).substr(0, 32);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const std::time_t now = std::time(nullptr);
        for (auto it = m_uploadTokens.begin(); it != m_uploadTokens.end();)
            it = it->second < now ? m_uploadTokens.erase(it) : std::next(it);
        m_uploadTokens[token] = now + UploadTokenLifetime;
    }
    soap::add(out, "tds:UploadUri", serviceBase(m_device, m_options) + "firmware/" + token);
    soap::add(out, "tds:UploadDelay", "PT0S");
    soap::add(out, "tds:ExpectedDownTime", "PT" + std::to_string((m_options.restartMs + 999) / 1000) + "S");
    return true;
}

OnvifDevice::HttpAnswer OnvifDevice::handleFirmwareUpload(const std::string &token, const std::string &body)
{
    HttpAnswer answer;
    answer.contentType = "text/plain; charset=utf-8";
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_uploadTokens.find(token);
        if (found == m_uploadTokens.end() || found->second < std::time(nullptr)) {
            answer.status = 404;
            answer.body = "no firmware upload was started at this address\n";
            return answer;
        }
        m_uploadTokens.erase(found);
    }
    soap::Fault fault;
    if (!installFirmware(body, fault)) {
        answer.status = 415;
        answer.body = fault.reason + '\n';
        return answer;
    }
    answer.body = "firmware accepted; the device restarts\n";
    answer.afterwardsReboot = true;
    return answer;
}

bool OnvifDevice::upgradeSystemFirmware(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const pugi::xml_node firmware = soap::child(in, onvifns::Device, "Firmware");
    std::string image;
    if (!onvifcrypto::base64Decode(firmware.child_value(), image) || image.empty()) {
        fault = invalidArg("ter:InvalidFirmware", "the firmware must be sent as base64 text in Firmware");
        return false;
    }
    if (!installFirmware(image, fault))
        return false;
    soap::add(out, "tds:Message", "Firmware accepted; the device restarts");
    return true;
}

bool OnvifDevice::installFirmware(const std::string &image, soap::Fault &fault)
{
    const std::vector<uint8_t> bytes(image.begin(), image.end());
    corvane::wire::FirmwareInfo info;
    const corvane::wire::FirmwareStatus status = corvane::wire::checkFirmwareFor(bytes, m_device.model, info);
    if (status != corvane::wire::FirmwareStatus::Ok) {
        fault = invalidArg("ter:InvalidFirmware", std::string("firmware refused: ")
                                                      + corvane::wire::firmwareStatusText(status));
        addLog(fault.reason);
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        m_device.version = info.version;
    }
    addLog("firmware " + info.version + " installed");
    m_fleet.save();
    m_hooks.changed();
    return true;
}

bool OnvifDevice::getSystemBackup(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    pugi::xml_node file = soap::add(out, "tds:BackupFiles");
    soap::add(file, "tt:Name", BackupName);
    pugi::xml_node data = soap::add(file, "tt:Data", onvifcrypto::base64Encode(state().settingsLine()));
    data.append_attribute("xmlns:xmime") = "http://www.w3.org/2005/05/xmlmime";
    data.append_attribute("xmime:contentType") = "application/octet-stream";
    return true;
}

bool OnvifDevice::restoreSystem(pugi::xml_node in, pugi::xml_node, soap::Fault &fault)
{
    const pugi::xml_node file = soap::child(in, onvifns::Device, "BackupFiles");
    std::string text;
    OnvifState restored = state();
    if (!file || !onvifcrypto::base64Decode(soap::schemaText(file, {"Data"}), text)
        || !restored.applySettingsLine(text)) {
        fault = invalidArg("ter:InvalidBackupFile", "the backup file is not one of this device's backups");
        return false;
    }
    restored.endpoint = endpoint();
    restored.log = state().log;
    setState(restored);
    addLog("configuration restored");
    m_hooks.changed();
    return true;
}

bool OnvifDevice::getSystemLog(pugi::xml_node in, pugi::xml_node out, soap::Fault &fault)
{
    const std::string type = soap::schemaText(in, {"LogType"});
    if (type != "System" && type != "Access") {
        fault = invalidArg("ter:InvalidLogType", "LogType must be System or Access");
        return false;
    }
    std::string text;
    for (const std::string &line : state().log) {
        const bool access = line.find(" login refused ") != std::string::npos;
        if (access == (type == "Access"))
            text += line + '\n';
    }
    soap::add(soap::add(out, "tds:SystemLog"), "tt:String", text);
    return true;
}

bool OnvifDevice::getSystemSupportInformation(pugi::xml_node, pugi::xml_node out, soap::Fault &)
{
    const OnvifState current = state();
    std::string text = "model " + m_device.model + "\nserial " + m_device.serial + "\nendpoint " + current.endpoint
                       + "\nhostname " + current.hostname + "\ntime zone " + current.timeZone + "\n";
    {
        std::lock_guard<std::mutex> lock(m_device.mutex);
        text += "firmware " + m_device.version + "\naddress " + m_device.ip + " mask " + m_device.mask
                + " gateway " + m_device.gateway + "\n";
    }
    for (const std::string &line : current.log)
        text += line + '\n';
    soap::add(soap::add(out, "tds:SupportInformation"), "tt:String", text);
    return true;
}
