#include "simoptions.h"

#include "ipcmodel.h"
#include "loopbackguard.h"

#include <asio/ip/address_v4.hpp>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

const int MaxDevices = 20000;

bool toInt(const std::string &value, int low, int high, int &out, std::string &error)
{
    char *end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || number < low || number > high) {
        error = "expected a number from " + std::to_string(low) + " to " + std::to_string(high) + ", got \"" + value + "\"";
        return false;
    }
    out = int(number);
    return true;
}

// The attack options' "FROM=REST": false unless FROM is an address in 127.0.0.0/8.
bool splitAttacker(const std::string &value, asio::ip::address_v4 &from, std::string &rest)
{
    const std::size_t equals = value.find('=');
    if (equals == std::string::npos)
        return false;
    asio::error_code ec;
    from = asio::ip::make_address_v4(value.substr(0, equals), ec);
    rest = value.substr(equals + 1);
    return !ec && corvane::wire::isLoopback(from.to_uint());
}

bool toCapKind(const std::string &value, uint32_t &out, std::string &error)
{
    int kind = 0;
    if (!toInt(value, 1, 255, kind, error))
        return false;
    out = uint32_t(kind);
    return true;
}

// "IP:CMD[:STREAM]"
bool toRefused(const std::string &v, std::vector<SimOptions::RefusedSet> &list, std::string &e)
{
    SimOptions::RefusedSet refused;
    std::istringstream in(v);
    std::string cmd, stream;
    int value = 0;
    if (!std::getline(in, refused.ip, ':') || !std::getline(in, cmd, ':') || !toInt(cmd, 1, 1000, value, e)) {
        e = "expected IP:CMD[:STREAM], got \"" + v + "\"";
        return false;
    }
    refused.cmd = uint32_t(value);
    if (std::getline(in, stream) && !toInt(stream, 0, 2, refused.stream, e))
        return false;
    list.push_back(refused);
    return true;
}

std::vector<std::string> splitList(const std::string &value)
{
    std::vector<std::string> items;
    std::istringstream in(value);
    std::string item;
    while (std::getline(in, item, ','))
        items.push_back(item);
    return items;
}

bool toCommands(const std::string &value, std::set<uint32_t> &out, std::string &error)
{
    out.clear();
    for (const std::string &item : splitList(value)) {
        int command = 0;
        if (!toInt(item, 1, 1000, command, error))
            return false;
        out.insert(uint32_t(command));
    }
    if (out.empty()) {
        error = "expected configuration command codes separated by \",\"";
        return false;
    }
    return true;
}

bool toPort(const std::string &value, uint16_t &out, std::string &error)
{
    int port = 0;
    if (!toInt(value, 1, 65535, port, error))
        return false;
    out = uint16_t(port);
    return true;
}

} // namespace

const std::vector<SimOptionSpec> &simOptionTable()
{
    static const std::vector<SimOptionSpec> table = {
        {"--ipc", "N", "number of simulated IPC devices",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, MaxDevices, o.ipcCount, e); }},
        {"--nvr", "M", "number of simulated NVR devices",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, MaxDevices, o.nvrCount, e); }},
        {"--first", "IP", "address of the first device; the others follow it (127.0.0.0/8)",
         [](SimOptions &o, const std::string &v, std::string &e) {
             asio::error_code ec;
             const asio::ip::address_v4 address = asio::ip::make_address_v4(v, ec);
             if (ec || !corvane::wire::isLoopback(address.to_uint())) {
                 e = "--first needs an address in 127.0.0.0/8, got \"" + v + "\"";
                 return false;
             }
             o.firstIp = address.to_string();
             return true;
         }},
        {"--state", "DIR", "keep identities, addresses and passwords in DIR across runs",
         [](SimOptions &o, const std::string &v, std::string &) { o.stateDir = v; return true; }},
        {"--port", "PORT", "discovery port (the library reads CORVANE_DISCOVERY_PORT)",
         [](SimOptions &o, const std::string &v, std::string &e) {
             int port = 0;
             if (!toInt(v, 1, 65535, port, e))
                 return false;
             o.discoveryPort = uint16_t(port);
             return true;
         }},
        {"--seed", "N", "fixed seed: the same fleet on every run",
         [](SimOptions &o, const std::string &v, std::string &e) {
             int seed = 0;
             if (!toInt(v, 1, 1 << 30, seed, e))
                 return false;
             o.seed = uint32_t(seed);
             return true;
         }},
        {"--answer-jitter", "MS", "fault: add up to MS milliseconds to each probe answer",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 60000, o.answerJitterMs, e); }},
        {"--drop-probes", "PERCENT", "fault: each device ignores this share of probe datagrams",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 100, o.dropProbePercent, e); }},
        {"--forge-answers", "FROM=FIRST[-LAST]",
         "attack: a host at FROM (127.0.0.0/8) answers every probe at once for each address FIRST to LAST "
         "as an invented device (model ZC-FORGED), naming itself as relay for addresses not its own; repeatable",
         [](SimOptions &o, const std::string &v, std::string &e) {
             asio::ip::address_v4 from;
             std::string range;
             SimOptions::ForgedAnswer forged;
             bool ok = splitAttacker(v, from, range);
             if (ok) {
                 const std::size_t dash = range.find('-');
                 asio::error_code ecFirst, ecLast;
                 forged.first = asio::ip::make_address_v4(range.substr(0, dash), ecFirst).to_uint();
                 forged.last = dash == std::string::npos
                     ? forged.first
                     : asio::ip::make_address_v4(range.substr(dash + 1), ecLast).to_uint();
                 ok = !ecFirst && !ecLast && forged.last >= forged.first && forged.last - forged.first < 65536;
             }
             if (!ok) {
                 e = "--forge-answers needs FROM=FIRST[-LAST] with FROM in 127.0.0.0/8 and at most 65536 addresses, got \""
                     + v + "\"";
                 return false;
             }
             forged.from = from.to_string();
             o.forgedAnswers.push_back(forged);
             return true;
         }},
        {"--forge-onvif", "FROM=DEVICE",
         "attack: a host at FROM (127.0.0.0/8) answers every WS-Discovery probe at once with a copy of the "
         "ProbeMatch of the ONVIF device at DEVICE, its endpoint reference included; repeatable",
         [](SimOptions &o, const std::string &v, std::string &e) {
             asio::ip::address_v4 from;
             std::string device;
             asio::error_code ec;
             const bool ok = splitAttacker(v, from, device);
             const asio::ip::address_v4 copied = asio::ip::make_address_v4(device, ec);
             if (!ok || ec) {
                 e = "--forge-onvif needs FROM=DEVICE with FROM in 127.0.0.0/8, got \"" + v + "\"";
                 return false;
             }
             o.forgedOnvifAnswers.push_back({from.to_string(), copied.to_string()});
             return true;
         }},
        {"--onvif-phantoms", "FROM=COUNT",
         "attack: a host at FROM (127.0.0.0/8) answers every WS-Discovery probe at once with COUNT (1 to 10000) "
         "ProbeMatches, each naming a new endpoint reference and XAddrs at FROM; repeatable",
         [](SimOptions &o, const std::string &v, std::string &e) {
             asio::ip::address_v4 from;
             std::string count;
             if (!splitAttacker(v, from, count)) {
                 e = "--onvif-phantoms needs FROM=COUNT with FROM in 127.0.0.0/8, got \"" + v + "\"";
                 return false;
             }
             SimOptions::OnvifPhantoms phantoms{from.to_string(), 0};
             if (!toInt(count, 1, 10000, phantoms.count, e))
                 return false;
             o.onvifPhantoms.push_back(phantoms);
             return true;
         }},
        {"--silent", "N", "fault: N devices never answer probes (marked \"silent\")",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, MaxDevices, o.silentCount, e); }},
        {"--restart-ms", "MS", "a rebooting device stays offline MS milliseconds",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 600000, o.restartMs, e); }},
        {"--upgrade-ms", "MS", "a firmware upgrade takes MS milliseconds after the upload",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 600000, o.upgradeMs, e); }},
        {"--reboot-after-upgrade", "MS", "a device restarts MS milliseconds after it reported a finished upgrade",
         [](SimOptions &o, const std::string &v, std::string &e) {
             return toInt(v, 0, 600000, o.rebootAfterUpgradeMs, e);
         }},
        {"--lockout-tries", "N", "wrong passwords in a row that lock an account",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 1, 1000, o.lockoutTries, e); }},
        {"--lockout-ms", "MS", "how long a locked account stays locked",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 3600000, o.lockoutMs, e); }},
        {"--ipc-models", "LIST", "IPC models (\",\" separated) given to the IPC devices in turn",
         [](SimOptions &o, const std::string &v, std::string &e) {
             o.ipcModels.clear();
             std::istringstream in(v);
             std::string name;
             while (std::getline(in, name, ',')) {
                 if (!findIpcModel(name)) {
                     e = "unknown IPC model \"" + name + "\"";
                     return false;
                 }
                 o.ipcModels.push_back(name);
             }
             if (o.ipcModels.empty()) {
                 e = "no model given";
                 return false;
             }
             return true;
         }},
        {"--cap-fail", "KIND", "fault: capability requests of this kind fail",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCapKind(v, o.capFailKind, e); }},
        {"--cap-garbled", "KIND", "fault: the capability document of this kind does not parse",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCapKind(v, o.capGarbledKind, e); }},
        {"--cap-full", "KIND", "the capability document of this kind fills the whole 5120 bytes",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCapKind(v, o.capFullKind, e); }},
        {"--vin-fail", nullptr, "fault: reading the video input mode (command 30) fails",
         [](SimOptions &o, const std::string &, std::string &) { o.videoInputFail = true; return true; }},
        {"--stream-fail", nullptr, "fault: live streams cannot be opened",
         [](SimOptions &o, const std::string &, std::string &) { o.streamFail = true; return true; }},
        {"--refuse-main-stream", nullptr, "fault: writes of the main stream's encoder settings are refused",
         [](SimOptions &o, const std::string &, std::string &) { o.mainStreamRefused = true; return true; }},
        {"--cfg-delay", "MS", "fault: capability, live-stream and configuration-write answers come MS milliseconds late",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 60000, o.cfgDelayMs, e); }},
        {"--cfg-read-delay", "MS", "fault: configuration-read answers come MS milliseconds late",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 60000, o.cfgReadDelayMs, e); }},
        {"--cfg-silent", "IP", "fault: the device at IP never answers configuration reads and writes (may repeat)",
         [](SimOptions &o, const std::string &v, std::string &) { o.cfgSilentIps.insert(v); return true; }},
        {"--exit-on-eof", nullptr, "end when standard input closes (so a crashed parent leaves no fleet behind)",
         [](SimOptions &o, const std::string &, std::string &) { o.exitOnStdinEof = true; return true; }},
        {"--refuse-set", "IP:CMD[:STREAM]", "fault: the device at IP refuses writes of configuration CMD (may repeat)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toRefused(v, o.refusedSets, e); }},
        {"--refuse-get", "IP:CMD[:STREAM]", "fault: the device at IP refuses reads of configuration CMD (may repeat)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toRefused(v, o.refusedGets, e); }},
        {"--unreadable-image", "CMD", "fault: reading image group CMD (20, 21, 22 or 28) fails on every IPC",
         [](SimOptions &o, const std::string &v, std::string &e) {
             int cmd = 0;
             if (!toInt(v, 20, 28, cmd, e))
                 return false;
             if (cmd != 20 && cmd != 21 && cmd != 22 && cmd != 28) {
                 e = "--unreadable-image takes 20, 21, 22 or 28";
                 return false;
             }
             o.unreadableImageCmd = uint32_t(cmd);
             return true;
         }},
        {"--cfg-unreadable", "CMDS", "fault: every IPC fails to read these configuration commands (e.g. 12,19)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCommands(v, o.unreadableCfg, e); }},
        {"--cfg-refused", "CMDS", "fault: every IPC refuses writes of these configuration commands",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCommands(v, o.refusedCfg, e); }},
        {"--onvif", "N", "number of simulated ONVIF cameras (after the native devices)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, MaxDevices, o.onvifCount, e); }},
        {"--onvif-nvr", "N", "number of simulated ONVIF recorders (after the ONVIF cameras)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, MaxDevices, o.onvifNvrCount, e); }},
        {"--onvif-http-port", "PORT", "HTTP port of every ONVIF device (default 8080)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toPort(v, o.onvifHttpPort, e); }},
        {"--onvif-discovery-port", "PORT", "WS-Discovery port of the ONVIF devices (default 3702)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toPort(v, o.onvifDiscoveryPort, e); }},
        {"--onvif-rtsp-port", "PORT", "RTSP port of every ONVIF device, 0 for none (default 8554)",
         [](SimOptions &o, const std::string &v, std::string &e) {
             if (v == "0") {
                 o.onvifRtspPort = 0;
                 return true;
             }
             return toPort(v, o.onvifRtspPort, e);
         }},
        {"--onvif-refuse-encoder", "N", "fault: ONVIF writes to the encoder of profile N (1-based) fail",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 1, 8, o.onvifRefuseEncoder, e); }},
        {"--onvif-https", nullptr, "ONVIF devices serve SOAP over HTTPS, with the key of their TLS identity",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifHttps = true; return true; }},
        {"--onvif-digest-only", nullptr, "fault: ONVIF devices accept only HTTP Digest, not UsernameToken",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifDigestOnly = true; return true; }},
        {"--onvif-both-auth", nullptr, "ONVIF devices need both UsernameToken and HTTP Digest",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifBothAuth = true; return true; }},
        {"--onvif-clock-offset", "SECONDS", "fault: the ONVIF devices' clocks run SECONDS off (e.g. 3600)",
         [](SimOptions &o, const std::string &v, std::string &e) {
             return toInt(v, -86400 * 365, 86400 * 365, o.onvifClockOffset, e);
         }},
        {"--onvif-delay", "MS", "fault: every ONVIF SOAP answer comes MS milliseconds late",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 60000, o.onvifDelayMs, e); }},
        {"--onvif-unsupported", "OP[,OP]", "fault: these ONVIF operations answer ActionNotSupported",
         [](SimOptions &o, const std::string &v, std::string &e) {
             for (const std::string &item : splitList(v))
                 o.onvifUnsupported.insert(item);
             if (o.onvifUnsupported.empty()) {
                 e = "expected operation names separated by \",\"";
                 return false;
             }
             return true;
         }},
        {"--onvif-malformed", nullptr, "fault: ONVIF SOAP answers are garbled",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifMalformed = true; return true; }},
        {"--onvif-rtsp-garbage", nullptr, "fault: the ONVIF devices' RTSP port answers garbage",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifRtspGarbage = true; return true; }},
        {"--onvif-stream-stop", "MS", "fault: every ONVIF stream stops sending MS milliseconds after it started (the session stays open)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 1, 3600000, o.onvifStreamStopMs, e); }},
        {"--onvif-imaging-presets", nullptr, "the ONVIF cameras offer imaging presets (Default, Night, WDR)",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifImagingPresets = true; return true; }},
        {"--onvif-dead-stream-uri", nullptr, "fault: ONVIF stream addresses name a port where nothing listens",
         [](SimOptions &o, const std::string &, std::string &) { o.onvifDeadStreamUri = true; return true; }},
        {"--enc-answer-index", "N", "fault: every IPC answers encoder reads naming stream N, whichever was asked for",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 1000, o.encAnswerIndex, e); }},
        {"--refuse-after-main", "STREAM", "fault: every IPC refuses the first write of encoder stream 1 or 2 that follows a main-stream write (once)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 1, 2, o.refuseAfterMain, e); }},
    };
    return table;
}

bool parseSimOptions(int argc, char **argv, SimOptions &options, bool &help, std::string &error)
{
    help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            help = true;
            return true;
        }
        const SimOptionSpec *row = nullptr;
        for (const SimOptionSpec &candidate : simOptionTable()) {
            if (name == candidate.name)
                row = &candidate;
        }
        if (row == nullptr) {
            error = "unknown option \"" + name + "\"";
            return false;
        }
        std::string value;
        if (row->argument != nullptr) {
            if (i + 1 >= argc) {
                error = name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!row->apply(options, value, error)) {
            error = name + ": " + error;
            return false;
        }
    }
    const long total = long(options.ipcCount) + options.nvrCount + options.onvifCount + options.onvifNvrCount;
    const uint32_t first = asio::ip::make_address_v4(options.firstIp).to_uint();
    if (total > 0 && !corvane::wire::isLoopback(uint32_t(first + total - 1))) {
        error = "the devices would run past 127.255.255.255";
        return false;
    }
    // The WS-Discovery side, which carries the ONVIF attacks, runs only with ONVIF devices.
    if ((!options.forgedOnvifAnswers.empty() || !options.onvifPhantoms.empty())
        && options.onvifCount + options.onvifNvrCount == 0) {
        error = "--forge-onvif and --onvif-phantoms need ONVIF devices (--onvif or --onvif-nvr)";
        return false;
    }
    if (options.silentCount > total) {
        error = "--silent exceeds the number of devices";
        return false;
    }
    return true;
}

std::string simUsage()
{
    std::ostringstream out;
    out << "usage: corvane-devsim [options]\n"
        << "       corvane-devsim make-firmware --model MODEL --version VERSION [--size BYTES] FILE\n"
        << "Simulates IPC and NVR devices on consecutive loopback addresses. Prints one line per device\n"
        << "(type address model serial MAC security-code [silent]; ONVIF devices:\n"
        << "ONVIF|ONVIF-NVR address http-port model serial MAC endpoint-reference), then \"ready\";\n"
        << "runs until SIGINT or SIGTERM.\n\n";
    for (const SimOptionSpec &row : simOptionTable()) {
        std::string left = std::string("  ") + row.name + (row.argument ? std::string(" ") + row.argument : "");
        if (left.size() < 26)
            left.resize(26, ' ');
        out << left << ' ' << row.help << '\n';
    }
    out << "\nmake-firmware writes a firmware image that the simulated devices of MODEL accept for an upgrade\n"
        << "to VERSION (--size: payload bytes, 65536 by default).\n";
    return out.str();
}
