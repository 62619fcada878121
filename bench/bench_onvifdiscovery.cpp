// WS-Discovery of 1000 simulated ONVIF cameras: how long our client
// (COnvifDiscovery) takes to hear every one, and how many the npm package
// onvif hears on the same fleet. The npm client probes every interface, so
// this program runs inside a loopback-only namespace and refuses otherwise:
//   tests/peers/onvif/netns.sh BUILD/bin/bench_onvifdiscovery SOURCE_DIR [RUNS]
#include "onvifdiscovery.h"
#include "simfleetprocess.h"
#include "udpdrops.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkInterface>
#include <QProcess>
#include <QSet>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const char *const First = "127.132.0.10";
const int Devices = 1000;
const int DefaultRuns = 7;

// Milliseconds until every device answered, -1 when some were still missing
// after limitMs; dropped receives the answers our receive buffer threw away,
// elsewhere the datagrams every other socket of the namespace (the
// simulator's) lost meanwhile.
qint64 ourDiscovery(int limitMs, qint64 &dropped, qint64 &elsewhere)
{
    const qint64 allBefore = UdpDrops::countAll();
    QSet<QString> found;
    QEventLoop loop;
    COnvifDiscovery discovery([&](const stDiscoveryBean &bean) {
        if (SimFleetProcess::inRange(bean.strIp, QString::fromLatin1(First), Devices)) {
            found.insert(bean.strEndpoint);
            if (found.size() >= Devices)
                loop.quit();
        }
    });
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    discovery.probeMulticast();
    loop.exec();
    const qint64 elapsed = timer.elapsed();
    // Late answers of this probe must not reach the next run.
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    dropped = discovery.droppedAnswers();
    const qint64 allAfter = UdpDrops::countAll();
    elsewhere = allBefore < 0 || allAfter < 0 || dropped < 0 ? -1 : allAfter - allBefore - dropped;
    if (found.size() < Devices)
        std::fprintf(stderr, "bench_onvifdiscovery: %d of %d found within %d ms\n", int(found.size()), Devices, limitMs);
    return found.size() >= Devices ? elapsed : -1;
}

// Devices the npm client reported within its 1.5 s probe; -1 when it could not run.
int npmDiscovery(const QString &strSourceDir)
{
    QProcess node;
    node.start(QStringLiteral("node"), {strSourceDir + QStringLiteral("/bench/onvif_npm_discover.js"),
                                        QString::fromLatin1(First), QString::number(Devices)});
    if (!node.waitForFinished(20000) || node.exitCode() != 0)
        return -1;
    return node.readAllStandardOutput().trimmed().toInt();
}

bool onlyLoopback()
{
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (!(iface.flags() & QNetworkInterface::IsLoopBack))
            return false;
    }
    return true;
}

QByteArray spread(std::vector<qint64> values)
{
    // A run that never found everything shows as "-" at the top.
    std::sort(values.begin(), values.end(), [](qint64 a, qint64 b) { return a >= 0 && (b < 0 || a < b); });
    auto text = [](qint64 v) { return v < 0 ? QByteArray("-") : QByteArray::number(v); };
    return text(values.front()) + '/' + text(values[values.size() / 2]) + '/' + text(values.back());
}

} // namespace

int main(int argc, char **argv)
{
    // Never anything but loopback, whatever the caller's environment says.
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    if (argc < 2 || !onlyLoopback()) {
        std::fprintf(stderr, "bench_onvifdiscovery: run inside tests/peers/onvif/netns.sh, with the source folder "
                             "as argument\n");
        return 1;
    }
    const QString strSourceDir = QString::fromLocal8Bit(argv[1]);
    const int Runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : DefaultRuns;
    std::printf("bench_onvifdiscovery: uid %d, %d devices, %d runs per row\n", int(::geteuid()), Devices, Runs);
    std::printf("%-28s %18s %18s %18s %18s\n", "scenario", "ours: all in ms", "ours: dropped", "elsewhere: dropped",
                "npm onvif: found");
    std::printf("%-28s %18s %18s %18s %18s\n", "", "min/median/max", "min/median/max", "min/median/max",
                "min/median/max");
    const struct
    {
        QStringList extra;
        int limitMs;
        const char *name;
    } fleets[] = {
        {{}, 1000, "all probes answered"},
        {{QStringLiteral("--drop-probes"), QStringLiteral("10")}, 1500, "10% of probes lost"},
    };
    for (const auto &fleet : fleets) {
        SimFleetProcess sim(QStringList{QStringLiteral("--onvif"), QString::number(Devices), QStringLiteral("--first"),
                                        QString::fromLatin1(First)}
                            + fleet.extra);
        if (!sim.start(120000)) {
            std::fprintf(stderr, "bench_onvifdiscovery: the simulator did not start: %s\n",
                         qPrintable(sim.errorString()));
            return 1;
        }
        std::vector<qint64> ours, drops, elsewhere, npm;
        for (int run = 0; run < Runs; ++run) {
            qint64 dropped = -1, lost = -1;
            ours.push_back(ourDiscovery(2 * fleet.limitMs, dropped, lost));
            drops.push_back(dropped);
            elsewhere.push_back(lost);
            npm.push_back(npmDiscovery(strSourceDir));
        }
        std::printf("%-28s %18s %18s %18s %18s\n", fleet.name, spread(ours).constData(), spread(drops).constData(),
                    spread(elsewhere).constData(), spread(npm).constData());
        std::fflush(stdout);
        sim.stop();
    }
    return 0;
}
