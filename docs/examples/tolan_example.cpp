// Walks through every call of the maintenance library against one simulated
// NVR. Start the simulator first, for example
//   CORVANE_LOOPBACK_ONLY=1 corvane-devsim --nvr 1 --first 127.30.0.10 --upgrade-ms 3000
// and note the model it prints for the NVR, then
//   corvane-devsim make-firmware --model ZN-5216 --version "V4.2.0 build 261207" /tmp/nvr.bin
//   CORVANE_LOOPBACK_ONLY=1 tolan_example 127.30.0.10 admin vorpe /tmp/nvr.bin
// The firmware file is optional; its model must be the device's for the
// upgrade to be accepted.
#include "TolanNetSDK.h"
#include "tolan_cfg.h"

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

void check(const char *what, DWORD result)
{
    std::printf("%-26s -> %u\n", what, result);
}

std::string text(const std::vector<uint8_t> &buffer, std::size_t offset)
{
    return reinterpret_cast<const char *>(buffer.data() + offset);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: tolan_example IP USER PASSWORD [FIRMWARE]\n");
        return 2;
    }
    const char *ip = argv[1];
    check("TLSDK_Init", TLSDK_Init());

    // The information buffer gets TLSDK_LOGIN_INFO_SIZE bytes.
    DWORD login = 0;
    std::vector<uint8_t> info(TLSDK_LOGIN_INFO_SIZE);
    DWORD result = TLSDK_Login(ip, TLSDK_DEFAULT_PORT, argv[2], argv[3], &login, info.data());
    check("TLSDK_Login", result);
    if (result != TLSDK_OK)
        return 1;
    std::printf("  handle %u, serial %s\n", login, text(info, TLSDK_LOGIN_INFO_SERIAL).c_str());

    std::vector<uint8_t> device(TLSDK_DEVICE_INFO_SIZE);
    check("TLSDK_GetDevCfg 0", TLSDK_GetDevCfg(login, TLSDK_CFG_DEVICE_INFO, device.data()));
    std::printf("  model %s, serial %s, version %s\n", text(device, TLSDK_DEVINFO_MODEL).c_str(),
                text(device, TLSDK_DEVINFO_SERIAL).c_str(), text(device, TLSDK_DEVINFO_VERSION).c_str());

    std::vector<uint8_t> network(TLSDK_NETWORK_INFO_SIZE);
    check("TLSDK_GetDevCfg 18", TLSDK_GetDevCfg(login, TLSDK_CFG_NETWORK, network.data()));
    std::printf("  mask %s, gateway %s, mac ", text(network, TLSDK_NETINFO_MASK).c_str(),
                text(network, TLSDK_NETINFO_GATEWAY).c_str());
    for (int i = 0; i < TLSDK_NETINFO_MAC_LEN; ++i)
        std::printf("%02x", network[TLSDK_NETINFO_MAC + i]);
    std::printf("\n");

    check("TLSDK_ExportCfg", TLSDK_ExportCfg(login, "/tmp/Config.cfg"));
    check("TLSDK_ImportCfg", TLSDK_ImportCfg(login, "/tmp/Config.cfg"));
    check("TLSDK_ExportMtInfo", TLSDK_ExportMtInfo(login, "/tmp/mtinfo.tgz"));

    if (argc > 4) {
        DWORD upgrade = 0;
        result = TLSDK_Upgrade(login, argv[4], &upgrade);
        check("TLSDK_Upgrade", result);
        DWORD state = 0, progress = 0;
        while (result == TLSDK_OK && state != TLSDK_UPGRADE_FINISHED && state != TLSDK_UPGRADE_FAILED) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            result = TLSDK_GetUpgradeState(upgrade, &state);
            TLSDK_GetUpgradeProgress(upgrade, &progress);
            std::printf("  state %u, progress %u%%\n", state, progress);
        }
        check("TLSDK_CloseUpgrade", TLSDK_CloseUpgrade(upgrade));
        check("TLSDK_GetDevCfg 0", TLSDK_GetDevCfg(login, TLSDK_CFG_DEVICE_INFO, device.data()));
        std::printf("  version now %s\n", text(device, TLSDK_DEVINFO_VERSION).c_str());
    }

    // The device goes offline for --restart-ms; the session ends with it.
    check("TLSDK_Restart", TLSDK_Restart(login));
    check("TLSDK_Logout", TLSDK_Logout(login));
    check("TLSDK_Logout again", TLSDK_Logout(login));
    return 0;
}
