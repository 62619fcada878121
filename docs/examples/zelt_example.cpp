// Walks through every call of the configuration and media library against
// one simulated IPC. Start the simulator first, for example
//   CORVANE_LOOPBACK_ONLY=1 corvane-devsim --ipc 1 --first 127.20.0.10 --upgrade-ms 2000
//   corvane-devsim make-firmware --model ZC-2320 --version V9.9.9 /tmp/fw.bin
//   CORVANE_LOOPBACK_ONLY=1 QT_QPA_PLATFORM=offscreen zelt_example 127.20.0.10 admin vorpe /tmp/fw.bin
// The firmware file is optional; its model must be the device's for the
// upgrade to succeed.
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_upgradeResult {-1};

void DEV_API onEvent(const char *szUserID, DWORD ulEventType, DWORD *pulValue)
{
    std::printf("event %u for %s, value %u\n", ulEventType, szUserID, *pulValue);
    if (ulEventType == ZELT_MW_EVENT_UPGRADE)
        g_upgradeResult = int(*pulValue);
}

void check(const char *what, DWORD result)
{
    std::printf("%-28s -> %u\n", what, result);
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: zelt_example IP [USER PASSWORD [FIRMWARE]]\n");
        return 2;
    }
    const char *ip = argv[1];
    const char *user = argc > 2 ? argv[2] : "admin";
    const char *password = argc > 3 ? argv[3] : "vorpe";

    check("ZELT_MW_Init", ZELT_MW_Init());
    check("ZELT_MW_SetLog", ZELT_MW_SetLog(2, "log/", 2097152));
    check("ZELT_MW_SetEventCallback", ZELT_MW_SetEventCallback(onEvent));

    char userId[ZELT_MW_USERID_LEN] = {};
    const DWORD login = ZELT_MW_Login(user, password, ip, 0, userId);
    check("ZELT_MW_Login", login);
    if (login != ZELT_MW_OK)
        return 1;
    std::printf("user-ID %s\n", userId);

    std::vector<char> base(ZELT_QUERY_BASE_SIZE), net(ZELT_QUERY_NET_SIZE), reg(ZELT_QUERY_REG_SIZE);
    check("ZELT_MW_QueryDeviceInfo 52", ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_DEVICE_BASE, base.data()));
    check("ZELT_MW_QueryDeviceInfo 57", ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_NETWORK, net.data()));
    check("ZELT_MW_QueryDeviceInfo 58", ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_REGISTER, reg.data()));
    std::printf("model %s, version %s, mask %s, gateway %s, registration \"%s\"\n", &base[ZELT_QUERY_BASE_MODEL],
                &base[ZELT_QUERY_BASE_VERSION], &net[ZELT_QUERY_NET_MASK], &net[ZELT_QUERY_NET_GATEWAY],
                &reg[ZELT_QUERY_REG_TEXT]);

    for (DWORD cmd : {2u, 12u, 13u, 18u, 19u, 20u, 21u, 22u, 28u, 30u, 31u, 32u}) {
        std::vector<uint8_t> buf(zelt_cfg_size(cmd), 0);
        DWORD len = DWORD(buf.size());
        char what[40];
        std::snprintf(what, sizeof what, "ZELT_MW_GetConfig %u", cmd);
        check(what, ZELT_MW_GetConfig(userId, cmd, 0, &len, buf.data()));
    }
    std::vector<uint8_t> enhance(ZELT_ENH_SIZE, 0);
    DWORD len = ZELT_ENH_SIZE;
    ZELT_MW_GetConfig(userId, ZELT_MW_IMAGE_ENHANCE_CFG, 0, &len, enhance.data());
    zelt_put_u32(enhance.data(), ZELT_ENH_BRIGHTNESS, 200);
    check("ZELT_MW_SetConfig 22", ZELT_MW_SetConfig(userId, ZELT_MW_IMAGE_ENHANCE_CFG, 0, ZELT_ENH_SIZE, enhance.data()));
    zelt_put_u32(enhance.data(), ZELT_ENH_BRIGHTNESS, 256);
    check("ZELT_MW_SetConfig 22 (256)", ZELT_MW_SetConfig(userId, ZELT_MW_IMAGE_ENHANCE_CFG, 0, ZELT_ENH_SIZE, enhance.data()));

    for (DWORD kind : {1u, 3u, 4u, 11u}) {
        char doc[ZELT_MW_CAP_MAX_LEN + 1] = {};
        DWORD size = ZELT_MW_CAP_MAX_LEN;
        char what[40];
        std::snprintf(what, sizeof what, "ZELT_MW_GetDeviceCapability %u", kind);
        check(what, ZELT_MW_GetDeviceCapability(userId, kind, &size, doc));
        if (kind == ZELT_MW_CAP_ENCODE)
            std::printf("%s", doc);
    }

    DWORD stream = 0;
    check("ZELT_MW_StartMediaStream", ZELT_MW_StartMediaStream(userId, 0, 0, 1, "0.0.0.0", 10086, 1, &stream));
    QWidget window;
    window.resize(320, 240);
    window.show();
    check("ZELT_MW_StartPlay", ZELT_MW_StartPlay(reinterpret_cast<HWND>(window.winId()), stream));
    wait(1500);
    window.grab().save("zelt_example_live.png");
    std::printf("live picture saved as zelt_example_live.png\n");
    check("ZELT_MW_StopPlay", ZELT_MW_StopPlay(reinterpret_cast<HWND>(window.winId())));
    check("ZELT_MW_StopMediaStream", ZELT_MW_StopMediaStream(userId, stream));

    check("ZELT_MW_ExportConfig", ZELT_MW_ExportConfig(userId, "zelt_example"));
    std::string cfg = std::string("zelt_example/") + ip + "_config.cfg";
    check("ZELT_MW_ImportConfig", ZELT_MW_ImportConfig(userId, cfg.c_str()));
    check("ZELT_MW_ExportDiagnosis", ZELT_MW_ExportDiagnosis(userId, "zelt_example"));
    check("ZELT_MW_RestoreImageDefault", ZELT_MW_RestoreImageDefault(userId, 0, 0));

    if (argc > 4) {
        check("ZELT_MW_Upgrade", ZELT_MW_Upgrade(userId, argv[4]));
        for (int i = 0; i < 600 && g_upgradeResult < 0; ++i)
            wait(100);
        std::printf("upgrade outcome %d\n", g_upgradeResult.load());
    }
    check("ZELT_MW_Reboot", ZELT_MW_Reboot(userId));
    check("ZELT_MW_Logout", ZELT_MW_Logout(userId));
    check("ZELT_MW_Logout (again)", ZELT_MW_Logout(userId));
    return 0;
}
