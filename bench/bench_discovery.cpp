// How many simulated devices a search finds before its timer fires, through
// the discovery service the device tab uses. Every count is what the service
// holds at that moment; the kernel's own counters say whether answers were
// dropped for a full receive buffer and what buffer the sockets got.
#include "devdiscovery.h"
#include "simfleetprocess.h"
#include "udpsocketstats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char *const Port = "37852";
const char *const First = "127.4.0.10";
const int Runs = 5;

struct Run
{
    int inWindow = 0;
    qint64 allInMs = -1; // -1: not all found within twice the window
    qint64 drops = 0;
    int receiveBuffer = 0;
};

quint32 toNumber(const QString &strIp)
{
    return QHostAddress(strIp).toIPv4Address();
}

// Only this benchmark's simulator answers on its port, and the service keeps
// one entry per address, so the count is the number of devices found.
Run measure(bool multicast, int devices, int windowMs)
{
    CDevDiscovery discovery;
    QElapsedTimer timer;
    timer.start();
    if (multicast)
        discovery.sendProbe1();
    else
        discovery.sendProbe2(QString::fromLatin1(First),
                             QHostAddress(toNumber(QString::fromLatin1(First)) + quint32(devices) - 1).toString());
    Run run;
    const qint64 before = ownUdpSocketStats().drops;
    while (timer.elapsed() < 2 * windowMs) {
        const qint64 now = timer.elapsed();
        const int found = discovery.resultCount();
        if (now <= windowMs)
            run.inWindow = found;
        if (found >= devices) {
            run.allInMs = now;
            break;
        }
        QThread::msleep(2);
    }
    const UdpSocketStats stats = ownUdpSocketStats();
    run.drops = stats.drops - before;
    run.receiveBuffer = stats.smallestReceiveBuffer;
    // Let the re-probe's answers settle before the next run.
    QThread::msleep(600);
    return run;
}

// 70 % IPC, 30 % NVR on our own discovery port.
QStringList fleetArguments(int devices, const QStringList &extra)
{
    const int ipc = devices * 7 / 10;
    return QStringList{QStringLiteral("--ipc"), QString::number(ipc), QStringLiteral("--nvr"),
                       QString::number(devices - ipc), QStringLiteral("--first"), QString::fromLatin1(First),
                       QStringLiteral("--port"), QString::fromLatin1(Port)}
           + extra;
}

QByteArray statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "?";
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(int(qstrlen(name))).trimmed();
    }
    return "?";
}

template <typename T>
T nth(std::vector<T> values, std::size_t index)
{
    std::sort(values.begin(), values.end());
    return values[std::min(index, values.size() - 1)];
}

QByteArray spread(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    auto text = [](qint64 v) { return v < 0 ? QByteArray("-") : QByteArray::number(v); };
    // A run that never found everything sorts first; show it as the maximum.
    std::stable_partition(values.begin(), values.end(), [](qint64 v) { return v >= 0; });
    return text(values.front()) + '/' + text(values[values.size() / 2]) + '/' + text(values.back());
}

} // namespace

int main(int argc, char **argv)
{
    // Never anything but loopback, whatever the caller's environment says.
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    qputenv("CORVANE_DISCOVERY_PORT", Port);
    QCoreApplication app(argc, argv);

    const unsigned long long capEff = statusField("CapEff:").toULongLong(nullptr, 16);
    const bool netAdmin = capEff & (1ull << 12);
    std::printf("bench_discovery: uid %d, CAP_NET_ADMIN %s, CORVANE_DISCOVERY_RCVBUF=%s, %d runs per row\n",
                int(::geteuid()), netAdmin ? "yes" : "no",
                qEnvironmentVariableIsSet("CORVANE_DISCOVERY_RCVBUF")
                    ? qgetenv("CORVANE_DISCOVERY_RCVBUF").constData()
                    : "(unset)",
                Runs);
    std::printf("%-34s %7s %22s %18s %8s %10s\n", "scenario", "window", "found in window", "all in ms",
                "dropped", "rcvbuf");
    std::printf("%-34s %7s %22s %18s %8s %10s\n", "", "ms", "min/median/max", "min/median/max", "(kernel)",
                "(granted)");
    const struct
    {
        int devices;
        int windowMs;
        QStringList extra;
        const char *note;
    } fleets[] = {
        {1000, 500, {}, ""},
        {1000, 500, {QStringLiteral("--drop-probes"), QStringLiteral("10")}, ", 10% probes lost"},
        {4000, 1000, {}, ""},
    };
    bool allFound = true;
    for (const auto &fleet : fleets) {
        SimFleetProcess sim(fleetArguments(fleet.devices, fleet.extra));
        if (!sim.start(60000)) {
            std::fprintf(stderr, "bench_discovery: the simulator did not start: %s\n", qPrintable(sim.errorString()));
            return 1;
        }
        for (const bool multicast : {true, false}) {
            std::vector<qint64> inWindow;
            std::vector<qint64> allIn;
            qint64 drops = 0;
            int receiveBuffer = 0;
            for (int i = 0; i < Runs; ++i) {
                const Run run = measure(multicast, fleet.devices, fleet.windowMs);
                inWindow.push_back(run.inWindow);
                allIn.push_back(run.allInMs);
                drops += run.drops;
                receiveBuffer = run.receiveBuffer;
                allFound = allFound && run.inWindow == fleet.devices;
            }
            const QByteArray name = QByteArray::number(fleet.devices) + (multicast ? " multicast" : " range")
                                    + fleet.note;
            const QByteArray found = QByteArray::number(nth(inWindow, 0)) + '/'
                                     + QByteArray::number(nth(inWindow, inWindow.size() / 2)) + '/'
                                     + QByteArray::number(nth(inWindow, inWindow.size() - 1)) + " of "
                                     + QByteArray::number(fleet.devices);
            std::printf("%-34s %7d %22s %18s %8lld %10d\n", name.constData(), fleet.windowMs, found.constData(),
                        spread(allIn).constData(), static_cast<long long>(drops), receiveBuffer);
            // For bench/run_all.sh.
            std::printf("RESULT|%s, found within %d ms|%lld|%lld|%lld|of %d\n", name.constData(), fleet.windowMs,
                        static_cast<long long>(nth(inWindow, 0)),
                        static_cast<long long>(nth(inWindow, inWindow.size() / 2)),
                        static_cast<long long>(nth(inWindow, inWindow.size() - 1)), fleet.devices);
            std::fflush(stdout);
        }
        sim.stop();
    }
    return allFound ? 0 : 3;
}
