// corvane-cli on large simulated fleets: the time from process start to exit
// of "discover --format json" over 1000 devices, and of "set-address --plan"
// over 256 devices, against the batch address dialog moving the same fleet
// (from pressing OK to every row final).
#include "dev_batcheditaddrdlg.h"
#include "ipwidget.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_modifyip.h"
#include "workerhost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const char *const DiscoverPort = "37921";
const char *const DiscoverFirst = "127.121.0.10";
const char *const PlanPort = "37922";
const char *const PlanFirst = "127.122.0.10";
constexpr int Runs = 5;
constexpr int PlanDevices = 256;

// Hands the address worker's answers to the dialog, as the device tab does.
class CRelay : public QObject
{
    Q_OBJECT

public:
    explicit CRelay(CBatchEditAddrDlg *pDlg) : m_pDlg(pDlg) {}

signals:
    void sendModifyIPSignal(CBatchEditNetAddrBean &oNetAddrBean);

public slots:
    void getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean) { m_pDlg->oGetModifyRltSlot(oNetAddrBean); }

private:
    CBatchEditAddrDlg *m_pDlg;
};

struct stCli
{
    qint64 iMs = -1;
    int iExit = -1;
    QByteArray baOut;
};

stCli runCli(const QStringList &listArgs, const char *pszPort)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_LOOPBACK_ONLY"), QStringLiteral("1"));
    env.insert(QStringLiteral("CORVANE_DISCOVERY_PORT"), QLatin1String(pszPort));
    env.insert(QStringLiteral("CORVANE_PASSWORD"), QStringLiteral("vorpe"));
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/corvane-cli"), listArgs);
    stCli run;
    if (!process.waitForFinished(60000))
        return run;
    run.iMs = timer.elapsed();
    run.iExit = process.exitCode();
    run.baOut = process.readAllStandardOutput();
    return run;
}

template <typename T>
T nth(std::vector<T> values, std::size_t index)
{
    std::sort(values.begin(), values.end());
    return values[std::min(index, values.size() - 1)];
}

void result(const char *pszName, const std::vector<qint64> &values, const char *pszUnit)
{
    std::printf("RESULT|%s|%lld|%lld|%lld|%s\n", pszName, static_cast<long long>(nth(values, 0)),
                static_cast<long long>(nth(values, values.size() / 2)),
                static_cast<long long>(nth(values, values.size() - 1)), pszUnit);
    std::fflush(stdout);
}

// Addresses the batch dialog gives 256 rows from first address 127.122.B.10:
// .10 to .254, then .1 onwards of the next block.
QStringList dialogAddresses(int iBlock)
{
    QStringList listIp;
    for (int i = 0; i < PlanDevices; ++i) {
        const int iHost = 10 + i;
        listIp << (iHost <= 254 ? QStringLiteral("127.122.%1.%2").arg(2 * iBlock).arg(iHost)
                                : QStringLiteral("127.122.%1.%2").arg(2 * iBlock + 1).arg(iHost - 254));
    }
    return listIp;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("CORVANE_DISCOVERY_PORT", PlanPort);
    QApplication app(argc, argv);
    registerRecordTypes();
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    bool bAllMet = true;

    {
        SimFleetProcess sim({QStringLiteral("--ipc"), QStringLiteral("700"), QStringLiteral("--nvr"),
                             QStringLiteral("300"), QStringLiteral("--first"), QLatin1String(DiscoverFirst),
                             QStringLiteral("--port"), QLatin1String(DiscoverPort)});
        if (!sim.start(60000)) {
            std::fprintf(stderr, "bench_cli: the simulator did not start: %s\n", qPrintable(sim.errorString()));
            return 1;
        }
        std::vector<qint64> vecMs;
        std::vector<qint64> vecListed;
        for (int i = 0; i < Runs; ++i) {
            const stCli run = runCli({QStringLiteral("discover"), QStringLiteral("--format"), QStringLiteral("json")},
                                     DiscoverPort);
            vecMs.push_back(run.iMs);
            vecListed.push_back(QJsonDocument::fromJson(run.baOut).array().size());
            bAllMet = bAllMet && run.iExit == 0 && run.iMs < 1000 && vecListed.back() == 1000;
        }
        result("cli: discover --format json, 1000 devices, start to exit (ms)", vecMs, "ms");
        result("cli: discover --format json, devices listed", vecListed, "of 1000");
    }

    SimFleetProcess sim({QStringLiteral("--ipc"), QString::number(PlanDevices * 3 / 4), QStringLiteral("--nvr"),
                         QString::number(PlanDevices / 4), QStringLiteral("--first"), QLatin1String(PlanFirst),
                         QStringLiteral("--port"), QLatin1String(PlanPort)});
    if (!sim.start(60000)) {
        std::fprintf(stderr, "bench_cli: the simulator did not start: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    QTemporaryDir dir;
    QList<SimFleetProcess::Device> listDev = sim.devices();
    QStringList listCurrent;
    for (const SimFleetProcess::Device &oDev : listDev)
        listCurrent << oDev.ip;

    CBatchEditAddrDlg dlg;
    CRelay relay(&dlg);
    CWorkerHost host(&relay, [&relay] {
        auto *pWorker = new CModifyIPThread(&relay);
        QObject::connect(&relay, &CRelay::sendModifyIPSignal, pWorker, &CModifyIPThread::modifyAddrSlot);
        return pWorker;
    });
    QObject::connect(&dlg, &CBatchEditAddrDlg::sendModifySignal, &relay, &CRelay::sendModifyIPSignal);
    auto *pOk = dlg.findChild<QPushButton *>(QStringLiteral("oOkBtn"));

    std::vector<qint64> vecCliMs;
    std::vector<qint64> vecCliOk;
    std::vector<qint64> vecDlgMs;
    std::vector<qint64> vecDlgOk;
    int iBlock = 1;
    for (int r = 0; r < Runs; ++r) {
        // The command line moves the fleet by plan...
        const QStringList listTarget = dialogAddresses(iBlock++);
        QFile plan(dir.filePath(QStringLiteral("plan.csv")));
        if (!plan.open(QIODevice::WriteOnly))
            return 1;
        plan.write("mac,ip,mask,gateway\n");
        for (int i = 0; i < listDev.size(); ++i)
            plan.write(QStringLiteral("%1,%2,255.0.0.0,127.0.0.1\n").arg(listDev.at(i).mac, listTarget.at(i)).toUtf8());
        plan.close();
        const stCli run = runCli({QStringLiteral("set-address"), QStringLiteral("--user"), QStringLiteral("admin"),
                                  QStringLiteral("--plan"), plan.fileName()},
                                 PlanPort);
        vecCliMs.push_back(run.iMs);
        vecCliOk.push_back(run.baOut.count(" ok\n"));
        bAllMet = bAllMet && run.iExit == 0 && run.iMs < 3000 && vecCliOk.back() == PlanDevices;
        if (run.iExit == 0)
            listCurrent = listTarget;

        // ... and the batch dialog moves it on.
        QList<CBatchEditNetAddrBean> listRows;
        for (int i = 0; i < listDev.size(); ++i) {
            CBatchEditNetAddrBean oRow;
            oRow.m_strOldIp = listCurrent.at(i);
            oRow.m_strMac = listDev.at(i).mac;
            oRow.m_strSerial = listDev.at(i).serial;
            oRow.m_strUserName = QStringLiteral("admin");
            oRow.m_strPassword = QStringLiteral("vorpe");
            oRow.m_strInputPassword = QStringLiteral("vorpe");
            listRows << oRow;
        }
        dlg.setDeviceList(listRows);
        dlg.clearAddresses();
        dlg.setRowTimeout(60000);
        const QStringList listDlgTarget = dialogAddresses(iBlock++);
        dlg.findChild<IpWidget *>(QStringLiteral("firstIpWidget"))->setText(listDlgTarget.first());
        QElapsedTimer timer;
        timer.start();
        pOk->click();
        auto pending = [&dlg] {
            return std::count_if(dlg.rows().cbegin(), dlg.rows().cend(), [](const CBatchEditNetAddrBean &oRow) {
                return oRow.m_lResult == DevStatusModifying;
            });
        };
        while (pending() > 0 && timer.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        vecDlgMs.push_back(timer.elapsed());
        const int iOk = int(std::count_if(dlg.rows().cbegin(), dlg.rows().cend(), [](const CBatchEditNetAddrBean &oRow) {
            return oRow.m_lResult == DevStatusModifyOk;
        }));
        vecDlgOk.push_back(iOk);
        if (iOk == PlanDevices)
            listCurrent = listDlgTarget;
    }
    result("cli: set-address --plan, 256 devices, start to exit (ms)", vecCliMs, "ms");
    result("cli: set-address --plan, devices changed", vecCliOk, "of 256");
    result("batch dialog, 256 devices, OK to every row final (ms)", vecDlgMs, "ms");
    result("batch dialog, devices changed", vecDlgOk, "of 256");
    return bAllMet ? 0 : 3;
}

#include "bench_cli.moc"
