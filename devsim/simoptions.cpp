#include "simoptions.h"

#include "ipcmodel.h"
#include "loopbackguard.h"

#include <asio/ip/address_v4.hpp>

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
        {"--silent", "N", "fault: N devices never answer probes (marked \"silent\")",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, MaxDevices, o.silentCount, e); }},
        {"--restart-ms", "MS", "a rebooting device stays offline MS milliseconds",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 600000, o.restartMs, e); }},
        {"--upgrade-ms", "MS", "a firmware upgrade takes MS milliseconds after the upload",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 600000, o.upgradeMs, e); }},
        {"--lockout-tries", "N", "wrong passwords in a row that lock an account",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 1, 1000, o.lockoutTries, e); }},
        {"--lockout-ms", "MS", "how long a locked account stays locked",
         [](SimOptions &o, const std::string &v, std::string &e) { return toInt(v, 0, 3600000, o.lockoutMs, e); }},
        {"--exit-on-eof", nullptr, "end when standard input closes (so a crashed parent leaves no fleet behind)",
         [](SimOptions &o, const std::string &, std::string &) { o.exitOnStdinEof = true; return true; }},
        {"--ipc-models", "LIST", "IPC models (\",\" separated) given to the IPCs in turn instead of at random",
         [](SimOptions &o, const std::string &v, std::string &e) {
             o.ipcModels = splitList(v);
             for (const std::string &name : o.ipcModels) {
                 if (!findIpcModel(name)) {
                     e = "unknown IPC model \"" + name + "\"";
                     return false;
                 }
             }
             if (o.ipcModels.empty())
                 e = "expected at least one IPC model";
             return !o.ipcModels.empty();
         }},
        {"--cfg-unreadable", "CMDS", "fault: every IPC fails to read these configuration commands (e.g. 12,19)",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCommands(v, o.unreadableCfg, e); }},
        {"--cfg-refused", "CMDS", "fault: every IPC refuses writes of these configuration commands",
         [](SimOptions &o, const std::string &v, std::string &e) { return toCommands(v, o.refusedCfg, e); }},
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
    const long total = long(options.ipcCount) + options.nvrCount;
    const uint32_t first = asio::ip::make_address_v4(options.firstIp).to_uint();
    if (total > 0 && !corvane::wire::isLoopback(uint32_t(first + total - 1))) {
        error = "the devices would run past 127.255.255.255";
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
        << "Simulates IPC and NVR devices on consecutive loopback addresses. Prints one line per device\n"
        << "(type address model serial MAC security-code [silent]), then \"ready\"; runs until SIGINT or SIGTERM.\n\n";
    for (const SimOptionSpec &row : simOptionTable()) {
        std::string left = std::string("  ") + row.name + (row.argument ? std::string(" ") + row.argument : "");
        if (left.size() < 26)
            left.resize(26, ' ');
        out << left << ' ' << row.help << '\n';
    }
    return out.str();
}
