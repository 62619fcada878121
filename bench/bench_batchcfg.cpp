// Daylight saving and a batch encoding change sent to 256 simulated IPCs of
// one model through the dialogs (shown offscreen): time from the OK or
// Configure press until every device's status is final.
#include "dev_batchcfgdlg.h"
#include "dev_dstcfgdlg.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const char *const First = "127.78.0.10";
const int Devices = 256;
const int Runs = 3;

struct stRun
{
    qint64 lMs = -1;   // -1: not every status became final in time
    int iOk = 0;
    int iFailed = 0;
};

// Presses the dialog's button and waits until each device has one final status.
template <typename Dialog>
stRun timeBatch(Dialog *pDlg, const std::function<void()> &fnPress)
{
    stRun run;
    QObject::connect(pDlg, &Dialog::sendResultSignal, [&run](CUIDeviceBean &oBean) {
        if (oBean.m_lStatus == DevStatusCfgOk)
            ++run.iOk;
        else if (oBean.m_lStatus == DevStatusCfgFailed)
            ++run.iFailed;
    });
    QElapsedTimer timer;
    timer.start();
    fnPress();
    while (run.iOk + run.iFailed < Devices && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (run.iOk + run.iFailed == Devices)
        run.lMs = timer.elapsed();
    return run;
}

void report(const char *pszName, const std::vector<stRun> &runs)
{
    qint64 lWorst = 0, lBest = -1;
    int iFailed = 0;
    for (const stRun &run : runs) {
        if (run.lMs < 0) {
            std::printf("%s: not every status became final within 60 s\n", pszName);
            return;
        }
        lWorst = std::max(lWorst, run.lMs);
        lBest = lBest < 0 ? run.lMs : std::min(lBest, run.lMs);
        iFailed += run.iFailed;
    }
    std::printf("%s: all %d statuses final after %lld ms (best %lld ms), %d failed\n", pszName, Devices,
                static_cast<long long>(lWorst), static_cast<long long>(lBest), iFailed);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerRecordTypes();
    SimFleetProcess sim({"--ipc", QString::number(Devices), "--first", First, "--ipc-models", "ZC-2320"});
    if (!sim.start() || sim.devices().size() != Devices) {
        std::fprintf(stderr, "bench_batchcfg: the simulator did not start: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    QList<CUIDeviceBean> listDev;
    for (const SimFleetProcess::Device &device : sim.devices()) {
        CUIDeviceBean oBean;
        oBean.m_strDevType = device.type;
        oBean.m_strIp = device.ip;
        oBean.m_strModel = device.model;
        listDev.append(oBean);
    }
    ZELT_MW_Init();
    for (CUIDeviceBean &oBean : listDev) {
        char szUserId[ZELT_MW_USERID_LEN] = {};
        if (ZELT_MW_Login("admin", "vorpe", oBean.m_strIp.toLatin1().constData(), 0, szUserId) != 0) {
            std::fprintf(stderr, "bench_batchcfg: login to %s failed\n", qPrintable(oBean.m_strIp));
            return 1;
        }
        oBean.m_strLoginKey = QString::fromLatin1(szUserId);
    }

    std::printf("bench_batchcfg: %d simulated IPCs, %d runs each, worst run shown\n", Devices, Runs);
    std::vector<stRun> dstRuns;
    for (int i = 0; i < Runs; ++i) {
        auto *pDlg = new CDstCfgDlg;
        pDlg->getDevListInfoSlot(listDev);
        if (pDlg->setDefault() != 0) {
            std::fprintf(stderr, "bench_batchcfg: reading the daylight-saving rule failed\n");
            return 1;
        }
        auto *pMonth = pDlg->findChild<QComboBox *>(QStringLiteral("oEndMonthCombo"));
        pMonth->setCurrentIndex(pMonth->findData(9 + i));
        dstRuns.push_back(timeBatch(pDlg, [pDlg] { pDlg->on_oOkBtn_clicked(); }));
        pDlg->deleteWhenDone();
    }
    report("daylight saving (1 write per device)", dstRuns);

    std::vector<stRun> encodeRuns;
    for (int i = 0; i < Runs; ++i) {
        auto *pDlg = new CBatchCfgDlg;
        pDlg->getDevListInfoSlot(listDev);
        if (pDlg->prepare() != 0) {
            std::fprintf(stderr, "bench_batchcfg: the batch dialog has no tab\n");
            return 1;
        }
        pDlg->findChild<QLineEdit *>(QStringLiteral("oBitRatioEdit_1"))->setText(QString::number(3072 + 256 * i));
        encodeRuns.push_back(timeBatch(pDlg, [pDlg] { pDlg->on_oEncodeCfgBtn_clicked(); }));
        pDlg->deleteWhenDone();
    }
    report("batch encoding (sub off, main, sub: 3 writes per device)", encodeRuns);

    for (const CUIDeviceBean &oBean : qAsConst(listDev))
        ZELT_MW_Logout(oBean.m_strLoginKey.toLatin1().constData());
    return 0;
}
