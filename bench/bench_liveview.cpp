// Live view of a simulated full-HD stream through the configuration
// library's player: frames shown per second, decode and paint time per
// frame, the device's send to the end of the paint, and the CPU share of this
// program and of the simulator. Needs a display (run under Xvfb).
#include "zelt_mw_sdk.h"
#include "simfleetprocess.h"
#include "zeltplaystats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

namespace {

const char *const First = "127.77.0.10";
const int WarmUpMs = 2000;
const int MeasureMs = 10000;

double processCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// User and system time of another process, from /proc.
double otherCpuSeconds(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = file.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // Fields after the name: state is index 0, utime 11, stime 12.
    if (fields.size() < 13)
        return 0;
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool measure(const QByteArray &userId, const QSize &size, qint64 simPid)
{
    DWORD stream = 0;
    const DWORD started = ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream);
    if (started != 0) {
        std::fprintf(stderr, "bench_liveview: stream start failed, code %u\n", started);
        return false;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("bench_liveview"));
    window.resize(size);
    window.show();
    const HWND hWnd = reinterpret_cast<HWND>(window.winId());
    if (ZELT_MW_StartPlay(hWnd, stream) != 0) {
        std::fprintf(stderr, "bench_liveview: play failed\n");
        ZELT_MW_StopMediaStream(userId.constData(), stream);
        return false;
    }
    runFor(WarmUpMs);
    ZeltPlayStats before {};
    ZELT_DBG_GetPlayStats(hWnd, &before);
    const double cpuBefore = processCpuSeconds();
    const double simBefore = otherCpuSeconds(simPid);
    QElapsedTimer wall;
    wall.start();
    runFor(MeasureMs);
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    ZeltPlayStats after {};
    ZELT_DBG_GetPlayStats(hWnd, &after);
    const double cpu = processCpuSeconds() - cpuBefore;
    const double simCpu = otherCpuSeconds(simPid) - simBefore;
    ZELT_MW_StopPlay(hWnd);
    ZELT_MW_StopMediaStream(userId.constData(), stream);

    const double shown = double(after.framesShown - before.framesShown);
    const double decoded = double(after.framesDecoded - before.framesDecoded);
    if (shown <= 0 || decoded <= 0) {
        std::fprintf(stderr, "bench_liveview: no frames shown\n");
        return false;
    }
    std::printf("%4dx%-4d  %5.1f fps shown (%5.1f decoded)  decode %5.2f ms  paint %5.2f ms  "
                "send-to-screen mean %5.1f ms, max %5.1f ms  CPU program %4.0f%%, simulator %4.0f%%\n",
                size.width(), size.height(), shown / seconds, decoded / seconds,
                double(after.decodeNs - before.decodeNs) / decoded / 1e6,
                double(after.paintNs - before.paintNs) / shown / 1e6,
                double(after.latencyNs - before.latencyNs) / shown / 1e6, double(after.latencyMaxNs) / 1e6,
                100.0 * cpu / seconds, 100.0 * simCpu / seconds);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    // ZC-2320: main stream 1920x1080 at 25 frames per second.
    SimFleetProcess sim({"--ipc", "1", "--first", First, "--seed", "3", "--ipc-models", "ZC-2320"});
    if (!sim.start() || sim.devices().isEmpty()) {
        std::fprintf(stderr, "bench_liveview: the simulator did not start: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    const QString ip = sim.devices().first().ip;
    ZELT_MW_Init();
    char userId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", ip.toLatin1().constData(), 0, userId) != 0) {
        std::fprintf(stderr, "bench_liveview: login failed\n");
        return 1;
    }
    std::printf("bench_liveview: 1920x1080 stream at 25 fps from %s, %d s per window size after %d s warm-up\n",
                qPrintable(ip), MeasureMs / 1000, WarmUpMs / 1000);
    bool ok = true;
    for (const QSize &size : {QSize(480, 270), QSize(960, 540), QSize(1920, 1080)})
        ok = measure(QByteArray(userId), size, sim.processId()) && ok;
    ZELT_MW_Logout(userId);
    return ok ? 0 : 1;
}
