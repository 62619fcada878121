#ifndef SIMOPTIONS_H
#define SIMOPTIONS_H

// Command line of corvane-devsim. Each option is one row of
// simOptionTable(); add a field here and a row there for a new option.
#include <cstdint>
#include <set>
#include <functional>
#include <string>
#include <vector>

struct SimOptions
{
    int ipcCount = 0;
    int nvrCount = 0;
    std::string firstIp = "127.0.0.10";
    std::string stateDir;          // empty: nothing kept between runs
    uint16_t discoveryPort = 0;    // 0: the library's port (CORVANE_DISCOVERY_PORT or the default)
    uint32_t seed = 0;             // 0: a random fleet each run
    // Faults.
    int answerJitterMs = 0;        // extra random delay added to each probe answer
    int dropProbePercent = 0;      // share of probe datagrams each device ignores
    int silentCount = 0;           // devices (chosen at random) that never answer probes
    // Attack: a host at "from" (loopback) answers every probe at once for each
    // address from "first" to "last" (host order) as an invented device.
    struct ForgedAnswer { std::string from; uint32_t first = 0; uint32_t last = 0; };
    std::vector<ForgedAnswer> forgedAnswers;
    // Attack: a host at "from" answers every WS-Discovery probe at once with
    // the ProbeMatch of the simulated ONVIF device at "copied", endpoint reference and all.
    struct ForgedOnvifAnswer { std::string from; std::string copied; };
    std::vector<ForgedOnvifAnswer> forgedOnvifAnswers;
    // Attack: a host at "from" answers every WS-Discovery probe at once with
    // "count" ProbeMatches, each a new endpoint reference with XAddrs at "from".
    struct OnvifPhantoms { std::string from; int count = 0; };
    std::vector<OnvifPhantoms> onvifPhantoms;
    // Device behaviour.
    int restartMs = 3000;          // a rebooting device stays offline this long
    int upgradeMs = 5000;          // a firmware upgrade takes this long after the upload
    int rebootAfterUpgradeMs = -1; // a device restarts this long after reporting a finished upgrade; -1: never
    int lockoutTries = 5;          // wrong passwords in a row that lock an account
    int lockoutMs = 60000;         // how long a locked account stays locked
    bool exitOnStdinEof = false;   // stop when the parent process closes our standard input
    // IPC models given to the IPC devices in turn; empty: chosen at random.
    std::vector<std::string> ipcModels;
    // Faults of the configuration opening (capability kinds; 0: none).
    uint32_t capFailKind = 0;      // this kind's capability request fails
    uint32_t capGarbledKind = 0;   // this kind's document does not parse
    uint32_t capFullKind = 0;      // this kind's document is padded to the full 5120 bytes
    bool videoInputFail = false;   // reading command 30 fails
    bool streamFail = false;       // live streams cannot be opened
    bool mainStreamRefused = false; // writes of the main stream's encoder settings are refused
    int cfgDelayMs = 0;            // capability, live-stream and configuration-write answers come this late
    int cfgReadDelayMs = 0;        // configuration-read answers come this late
    std::set<std::string> cfgSilentIps; // devices that never answer configuration reads and writes
    // Configuration writes one device refuses (command, and for the encoder one stream or -1 for all).
    struct RefusedSet { std::string ip; uint32_t cmd = 0; int stream = -1; };
    std::vector<RefusedSet> refusedSets;
    std::vector<RefusedSet> refusedGets; // configuration reads one device refuses
    uint32_t unreadableImageCmd = 0;         // fault: this image group cannot be read (0: none)
    // Faults of every IPC: configuration commands it cannot read or refuses to write.
    std::set<uint32_t> unreadableCfg;
    std::set<uint32_t> refusedCfg;
    // ONVIF devices, placed after the native ones.
    int onvifCount = 0;
    int onvifNvrCount = 0;
    uint16_t onvifHttpPort = 8080;
    uint16_t onvifDiscoveryPort = 3702;
    uint16_t onvifRtspPort = 8554;  // 0: no RTSP streams
    int onvifRefuseEncoder = 0;     // fault: writes to this profile's encoder (1-based) fail
    bool onvifHttps = false;        // SOAP over HTTPS with the device's own key
    bool onvifDigestOnly = false;   // fault: only HTTP Digest logs in, UsernameToken is ignored
    bool onvifBothAuth = false;     // protected operations need UsernameToken and HTTP Digest
    int onvifClockOffset = 0;       // fault: the devices' clocks run this many seconds off
    int onvifDelayMs = 0;           // fault: every SOAP answer comes this late
    bool onvifMalformed = false;    // fault: SOAP answers are garbled
    bool onvifRtspGarbage = false;  // fault: the RTSP port answers bytes that are no RTSP
    int onvifStreamStopMs = 0;      // fault: every stream stops sending this long after it started
    bool onvifImagingPresets = false; // the cameras offer imaging presets (Default, Night, WDR)
    bool onvifDeadStreamUri = false;  // fault: stream addresses name a port where nothing listens
    std::set<std::string> onvifUnsupported; // fault: these operations answer ActionNotSupported
    // Encoder faults of every IPC.
    int encAnswerIndex = -1;       // encoder reads answer with this stream index; -1: the one asked for
    int refuseAfterMain = -1;      // the first write of this stream after a main-stream write is refused; -1: none
};

struct SimOptionSpec
{
    const char *name;      // "--ipc"
    const char *argument;  // placeholder of the value, nullptr for a flag
    const char *help;
    // Stores the value; false with a message in error when it is not acceptable.
    std::function<bool(SimOptions &options, const std::string &value, std::string &error)> apply;
};

const std::vector<SimOptionSpec> &simOptionTable();

// False with a message when the command line is not usable; help is set for --help.
bool parseSimOptions(int argc, char **argv, SimOptions &options, bool &help, std::string &error);
std::string simUsage();

#endif // SIMOPTIONS_H
