// The device tab's side of the configuration dialog against simulated
// devices: the icon opens its own row's device, a login resumes the opening,
// a failing capability kind ends the opening with one message and logs the
// device out, and an NVR opens with system information only.
#include "dev_devcfgdlg.h"
#include "dev_manageform.h"
#include "encodedevmodelex.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "tableviewex.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// This file's own loopback range and discovery port.
const QString kFirst = QStringLiteral("127.23.0.10");
const QString kFaultFirst = QStringLiteral("127.23.1.10");
const QString kDiscoveryPort = QStringLiteral("39623");

// Handles every modal dialog that comes up (the wait overlay aside) with the
// given function, recording class names and message texts.
class CModalWatch
{
public:
    explicit CModalWatch(std::function<void(QWidget *)> handler)
        : m_handler(std::move(handler))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }
    QStringList seen;
    QStringList texts;

private:
    void poll()
    {
        QWidget *pModal = QApplication::activeModalWidget();
        if (!pModal || !pModal->isVisible() || pModal == m_pLast)
            return;
        const QString cls = QString::fromLatin1(pModal->metaObject()->className());
        if (cls == QLatin1String("CWaitDlg"))
            return;
        m_pLast = pModal;
        seen << cls;
        if (auto *pLabel = pModal->findChild<QLabel *>(QStringLiteral("oMsgLabel")))
            texts << pLabel->text();
        m_handler(pModal);
    }
    std::function<void(QWidget *)> m_handler;
    QTimer m_timer;
    QPointer<QWidget> m_pLast;
};

void press(QWidget *pDialog, const char *pszButton)
{
    if (auto *pButton = pDialog->findChild<QPushButton *>(QLatin1String(pszButton)))
        pButton->click();
}

} // namespace

class TestDevCfgTab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void iconOpensItsRowAfterLogin();
    void failingKindEndsOpening();
    void failedLiveStartStillOpens();
    void tabClosedWhileRequestsPending();

private:
    int rowOf(const CDevManageForm &form, const QString &ip) const;
    bool waitForDevices(const CDevManageForm &form, const QStringList &ips) const;
    void clickIcon(CDevManageForm &form, const QString &ip);
};

void TestDevCfgTab::initTestCase()
{
    registerRecordTypes();
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort.toLatin1());
}

int TestDevCfgTab::rowOf(const CDevManageForm &form, const QString &ip) const
{
    for (int i = 0; i < form.deviceList().size(); ++i) {
        if (form.deviceList().at(i).m_strIp == ip)
            return i;
    }
    return -1;
}

bool TestDevCfgTab::waitForDevices(const CDevManageForm &form, const QStringList &ips) const
{
    return QTest::qWaitFor([&] {
        return std::all_of(ips.begin(), ips.end(), [&](const QString &ip) { return rowOf(form, ip) >= 0; });
    }, 10000);
}

void TestDevCfgTab::clickIcon(CDevManageForm &form, const QString &ip)
{
    auto *pView = form.findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    pView->setCurrentIndex(form.devModel()->index(rowOf(form, ip), 1));
    emit pView->sendOpenConfigDlgSignal();
}

void TestDevCfgTab::iconOpensItsRowAfterLogin()
{
    SimFleetProcess sim({"--ipc", "2", "--nvr", "1", "--first", kFirst, "--port", kDiscoveryPort,
                         "--ipc-models", "ZC-2320,ZC-5330"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipcA = sim.devices().at(0);
    const SimFleetProcess::Device ipcB = sim.devices().at(1);
    const SimFleetProcess::Device nvr = sim.devices().at(2);
    CDevManageForm form;
    QVERIFY(waitForDevices(form, {ipcA.ip, ipcB.ip, nvr.ip}));

    // Device A checked, the icon of B's row clicked: B is logged in and opened.
    form.devModel()->checkedList() = {form.deviceList().at(rowOf(form, ipcA.ip)).m_lDevId};
    QString serialShown;
    QStringList tabs;
    CModalWatch watch([&](QWidget *pDialog) {
        if (auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog)) {
            for (int i = 0; i < pDlg->tabWidget()->count(); ++i)
                tabs << pDlg->tabWidget()->tabText(i);
            serialShown = pDlg->findChild<QLabel *>(QStringLiteral("oSerialLabel"))->text();
            pDlg->close();
        } else {
            press(pDialog, "oOkBtn");
        }
    });
    clickIcon(form, ipcB.ip);
    QTRY_VERIFY_WITH_TIMEOUT(!tabs.isEmpty(), 15000);
    QCOMPARE(watch.seen, QStringList({"CDevLoginDlg", "CDevCfgDlg"}));
    QCOMPARE(serialShown, ipcB.serial);
    QCOMPARE(tabs, QStringList({"图像", "网络", "编码", "系统信息"}));
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);

    // An NVR: system information only.
    tabs.clear();
    clickIcon(form, nvr.ip);
    QTRY_VERIFY_WITH_TIMEOUT(!tabs.isEmpty(), 15000);
    QCOMPARE(tabs, QStringList{"系统信息"});
    QCOMPARE(serialShown, nvr.serial);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::failingKindEndsOpening()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--port", kDiscoveryPort, "--ipc-models",
                         "ZC-2320", "--cap-fail", "4", "--cfg-delay", "50"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().first();
    CDevManageForm form;
    QVERIFY(waitForDevices(form, {ipc.ip}));

    CModalWatch watch([](QWidget *pDialog) {
        if (qobject_cast<CDevCfgDlg *>(pDialog))
            pDialog->close();
        else
            press(pDialog, QString::fromLatin1(pDialog->metaObject()->className()) == QLatin1String("CMsgDlg")
                               ? "oCancelBtn"
                               : "oOkBtn");
    });
    QStringList listUserIds;
    connect(&form, &CDevManageForm::sendGetCapSig, this,
            [&listUserIds](QString strUserId, ulong, quint32) { listUserIds << strUserId; });
    clickIcon(form, ipc.ip);
    QTRY_COMPARE_WITH_TIMEOUT(watch.seen.size(), 2, 15000);
    QCOMPARE(watch.seen, QStringList({"CDevLoginDlg", "CMsgDlg"}));
    QCOMPARE(watch.texts, QStringList{"连接超时,请检查设备网络连接。"});
    const CUIDeviceBean &dev = form.deviceList().at(rowOf(form, ipc.ip));
    QVERIFY(dev.m_strLoginKey.isEmpty());
    QCOMPARE(dev.m_lStatus, qint32(DevStatusNotLogged));
    // The session the opening used is logged out.
    QCOMPARE(listUserIds.size(), 3);
    const QByteArray userId = listUserIds.first().toLatin1();
    QTRY_VERIFY_WITH_TIMEOUT([&userId] {
        quint8 buf[ZELT_VIN_SIZE] = {};
        DWORD len = sizeof buf;
        return ZELT_MW_GetConfig(userId.constData(), ZELT_MW_VIDEO_INPUT_MODE_CFG, 0, &len, buf) == ZELT_MW_ERR_USERID;
    }(), 10000);
    // Nothing of that opening arrived after the message: no dialog, no second message.
    QCOMPARE(watch.seen.size(), 2);
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::failedLiveStartStillOpens()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--port", kDiscoveryPort, "--ipc-models",
                         "ZC-2320", "--stream-fail"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().first();
    CDevManageForm form;
    QVERIFY(waitForDevices(form, {ipc.ip}));
    int iTabs = 0;
    CModalWatch watch([&iTabs](QWidget *pDialog) {
        if (auto *pDlg = qobject_cast<CDevCfgDlg *>(pDialog)) {
            iTabs = pDlg->tabWidget()->count();
            pDlg->close();
        } else {
            press(pDialog, "oOkBtn");
        }
    });
    clickIcon(form, ipc.ip);
    QTRY_VERIFY_WITH_TIMEOUT(iTabs > 0, 15000);
    QCOMPARE(iTabs, 4);
    QVERIFY(!form.deviceList().at(rowOf(form, ipc.ip)).m_strLoginKey.isEmpty());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void TestDevCfgTab::tabClosedWhileRequestsPending()
{
    // Slow answers: the tab goes away with the capability requests still queued.
    SimFleetProcess sim({"--ipc", "1", "--first", kFaultFirst, "--port", kDiscoveryPort, "--ipc-models",
                         "ZC-5330", "--cfg-delay", "200"});
    CORVANE_START_SIMULATOR(sim);
    const SimFleetProcess::Device ipc = sim.devices().first();
    auto pForm = std::make_unique<CDevManageForm>();
    QVERIFY(waitForDevices(*pForm, {ipc.ip}));
    CModalWatch watch([](QWidget *pDialog) { press(pDialog, "oOkBtn"); });
    QSignalSpy requests(pForm.get(), &CDevManageForm::sendStartLive_sig);
    clickIcon(*pForm, ipc.ip);
    QTRY_COMPARE_WITH_TIMEOUT(requests.size(), 1, 15000);
    pForm.reset();
    QCOMPARE(watch.seen, QStringList{"CDevLoginDlg"});
}

QTEST_MAIN(TestDevCfgTab)
#include "tst_devcfgtab.moc"
