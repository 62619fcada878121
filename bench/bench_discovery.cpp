// How many of a thousand simulated devices one probe finds before the search
// timer fires (500 ms for a multicast search, 1500 ms with a range probe).
#include "devdiscovery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QSet>
#include <QThread>

#include <cstdio>

namespace {

const char *const Port = "37852";
const char *const First = "127.4.0.10";
const int Ipc = 700;
const int Nvr = 300;
const int Devices = Ipc + Nvr;
const int Runs = 3;

struct Figures
{
    int at500 = 0;
    int at1500 = 0;
    qint64 allInMs = -1;
};

quint32 toNumber(const QString &strIp)
{
    return QHostAddress(strIp).toIPv4Address();
}

int countOurs(const CDevDiscovery &discovery)
{
    const quint32 first = toNumber(QString::fromLatin1(First));
    QSet<QString> ips;
    for (const stDiscoveryBean &bean : discovery.results()) {
        const quint32 ip = toNumber(bean.strIp);
        if (ip >= first && ip - first < quint32(Devices))
            ips.insert(bean.strIp);
    }
    return ips.size();
}

Figures measure(bool multicast)
{
    CDevDiscovery discovery;
    QElapsedTimer timer;
    timer.start();
    if (multicast)
        discovery.sendProbe1();
    else
        discovery.sendProbe2(QString::fromLatin1(First),
                             QHostAddress(toNumber(QString::fromLatin1(First)) + Devices - 1).toString());
    Figures figures;
    while (timer.elapsed() < 1500) {
        const int found = countOurs(discovery);
        if (timer.elapsed() <= 500)
            figures.at500 = found;
        if (found == Devices && figures.allInMs < 0)
            figures.allInMs = timer.elapsed();
        QThread::msleep(2);
    }
    figures.at1500 = countOurs(discovery);
    return figures;
}

bool startSimulator(QProcess &sim, const QStringList &extra)
{
    sim.setProgram(QStringLiteral(CORVANE_DEVSIM));
    sim.setArguments(QStringList{QStringLiteral("--ipc"), QString::number(Ipc), QStringLiteral("--nvr"),
                                 QString::number(Nvr), QStringLiteral("--first"), QString::fromLatin1(First),
                                 QStringLiteral("--port"), QString::fromLatin1(Port)}
                     + extra);
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start();
    if (!sim.waitForStarted(10000))
        return false;
    while (sim.waitForReadyRead(20000) || sim.canReadLine()) {
        while (sim.canReadLine()) {
            if (sim.readLine().trimmed() == "ready")
                return true;
        }
    }
    return false;
}

void stopSimulator(QProcess &sim)
{
    sim.terminate();
    if (!sim.waitForFinished(10000))
        sim.kill();
    sim.waitForFinished(5000);
}

} // namespace

int main(int argc, char **argv)
{
    // Never anything but loopback, whatever the caller's environment says.
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    qputenv("CORVANE_DISCOVERY_PORT", Port);
    QCoreApplication app(argc, argv);

    std::printf("bench_discovery: %d simulated devices, %d runs per probe, worst run shown\n", Devices, Runs);
    std::printf("%-36s %10s %10s %12s\n", "scenario", "in 500ms", "in 1500ms", "all in (ms)");
    const struct
    {
        const char *name;
        QStringList extra;
    } fleets[] = {{"", {}}, {" (10% probes lost)", {QStringLiteral("--drop-probes"), QStringLiteral("10")}}};
    for (const auto &fleet : fleets) {
        QProcess sim;
        if (!startSimulator(sim, fleet.extra)) {
            std::fprintf(stderr, "bench_discovery: the simulator did not start\n");
            return 1;
        }
        for (const bool multicast : {true, false}) {
            Figures worst{Devices, Devices, 0};
            for (int run = 0; run < Runs; ++run) {
                const Figures figures = measure(multicast);
                worst.at500 = qMin(worst.at500, figures.at500);
                worst.at1500 = qMin(worst.at1500, figures.at1500);
                worst.allInMs = (figures.allInMs < 0 || worst.allInMs < 0) ? -1 : qMax(worst.allInMs, figures.allInMs);
            }
            const QByteArray name = QByteArray(multicast ? "multicast probe" : "range probe") + fleet.name;
            std::printf("%-36s %5d/%d %5d/%d %12lld\n", name.constData(), worst.at500, Devices, worst.at1500,
                        Devices, static_cast<long long>(worst.allInMs));
        }
        stopSimulator(sim);
    }
    return 0;
}
