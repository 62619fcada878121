// The configuration dialog built directly against simulated devices: tabs by
// capability list, pages freed at every close whatever the device type,
// openings in a row, and the system-information page.
#include "dev_devcfgdlg.h"
#include "dev_encodecfgform.h"
#include "dev_imagecfgform.h"
#include "dev_networkcfgform.h"
#include "dev_systeminfoform.h"
#include "devcapability.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QtTest>

namespace {

// This file's own loopback range.
const QString kFirst = QStringLiteral("127.21.0.10");

CUIDeviceBean ipcBean(const SimFleetProcess::Device &device)
{
    CUIDeviceBean bean;
    bean.m_strDevType = QStringLiteral("IPC");
    bean.m_strIp = device.ip;
    bean.m_strModel = device.model;
    bean.m_strSerial = device.serial;
    bean.m_strMac = device.mac;
    char userId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", device.ip.toLatin1().constData(), 0, userId) == 0)
        bean.m_strLoginKey = QString::fromLatin1(userId);
    return bean;
}

CUIDeviceBean nvrBean()
{
    CUIDeviceBean bean;
    bean.m_strDevType = QStringLiteral("NVR");
    bean.m_strIp = QStringLiteral("127.21.0.99");
    bean.m_strModel = QStringLiteral("ZN-3108");
    bean.m_strSerial = QStringLiteral("2401A0000001");
    bean.m_strExtSerial = QStringLiteral("EXT-1");
    bean.m_strLoginKey = QStringLiteral("17");
    return bean;
}

QStringList tabTexts(const CDevCfgDlg &dlg)
{
    QStringList list;
    for (int i = 0; i < dlg.tabWidget()->count(); ++i)
        list << dlg.tabWidget()->tabText(i);
    return list;
}

// Runs one IPC opening the way the device tab does, without the wait dialog.
void openIpc(CDevCfgDlg &dlg, const CUIDeviceBean &bean)
{
    QList<CUIDeviceBean> list{bean};
    dlg.getDevListInfoSlot(list);
    for (ulong kind : {1ul, 4ul, 3ul}) {
        QList<stDevCapacityInfo> caps;
        const uint32_t result = DevCapability::fetch(bean.m_strLoginKey, uint32_t(kind), caps);
        QVERIFY(result == 0 || result == DevCapability::ParseFailed);
        if (result == DevCapability::ParseFailed)
            caps.clear();
        dlg.getDevCapInfoSlot(caps, kind);
    }
    QSignalSpy finished(&dlg, &CDevCfgDlg::sendInitDataFinish_sig);
    dlg.setLiveResult(0, 0);
    QCOMPARE(finished.size(), 1);
    QSignalSpy shown(&dlg, &CDevCfgDlg::sendTerminateWaitDlg);
    dlg.initCfgPages();
    QCOMPARE(shown.size(), 1);
}

QList<QPointer<QWidget>> pages(const CDevCfgDlg &dlg)
{
    QList<QPointer<QWidget>> list;
    for (QWidget *pPage : dlg.findChildren<QWidget *>()) {
        const QString cls = QString::fromLatin1(pPage->metaObject()->className());
        if (cls.endsWith(QLatin1String("Form")))
            list << pPage;
    }
    return list;
}

bool allGone(const QList<QPointer<QWidget>> &list)
{
    return std::all_of(list.begin(), list.end(), [](const QPointer<QWidget> &p) { return p.isNull(); });
}

} // namespace

class TestDevCfgDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void tabsByList();
    void openingsInARowFreePages();
    void emptyDeviceListChangesNothing();
    void spontaneousHideKeepsPages();
    void systemInformation_data();
    void systemInformation();

private:
    SimFleetProcess m_sim{{"--ipc", "3", "--first", kFirst, "--ipc-models", "ZC-5330,ZC-2320,ZC-1100M",
                           "--cap-garbled", "4"}};
    QList<CUIDeviceBean> m_ipcs;
};

void TestDevCfgDlg::initTestCase()
{
    registerRecordTypes();
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
    for (const SimFleetProcess::Device &device : m_sim.devices()) {
        m_ipcs << ipcBean(device);
        QVERIFY(!m_ipcs.last().m_strLoginKey.isEmpty());
    }
}

void TestDevCfgDlg::cleanupTestCase()
{
    for (const CUIDeviceBean &bean : qAsConst(m_ipcs))
        ZELT_MW_Logout(bean.m_strLoginKey.toLatin1().constData());
}

void TestDevCfgDlg::tabsByList()
{
    CDevCfgDlg dlg;
    QCOMPARE(dlg.windowTitle(), QStringLiteral("配置"));
    QCOMPARE(dlg.minimumSize(), QSize(800, 560));
    QCOMPARE(dlg.maximumSize(), QSize(800, 560));
    QCOMPARE(dlg.tabWidget()->currentIndex(), -1);
    QVERIFY(!(dlg.windowFlags() & Qt::WindowContextHelpButtonHint));

    // The network document does not parse: no tab, and no page that would
    // read the device for nothing.
    openIpc(dlg, m_ipcs.at(0));
    QCOMPARE(tabTexts(dlg), QStringList({"图像", "编码", "系统信息"}));
    const QList<QPointer<QWidget>> built = pages(dlg);
    QCOMPARE(built.size(), 3);
    const QWidgetList listAll = QApplication::allWidgets();
    QVERIFY(std::none_of(listAll.cbegin(), listAll.cend(),
                         [](QWidget *pWidget) { return qobject_cast<CNetworkCfgForm *>(pWidget); }));
    dlg.show();
    dlg.close();
    QVERIFY(allGone(built));
    QCOMPARE(dlg.tabWidget()->count(), 0);
}

void TestDevCfgDlg::openingsInARowFreePages()
{
    CDevCfgDlg dlg;

    // IPC, then NVR, then another IPC: each close frees that opening's pages.
    openIpc(dlg, m_ipcs.at(1));
    QCOMPARE(tabTexts(dlg), QStringList({"图像", "编码", "系统信息"}));
    QList<QPointer<QWidget>> first = pages(dlg);
    dlg.show();
    dlg.close();
    QVERIFY(allGone(first));

    QList<CUIDeviceBean> nvr{nvrBean()};
    dlg.getDevListInfoSlot(nvr);
    QSignalSpy shown(&dlg, &CDevCfgDlg::sendTerminateWaitDlg);
    dlg.initSysInfoPage();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(tabTexts(dlg), QStringList{"系统信息"});
    QList<QPointer<QWidget>> second = pages(dlg);
    QCOMPARE(second.size(), 1);
    dlg.show();
    dlg.close();
    QVERIFY(allGone(second));

    openIpc(dlg, m_ipcs.at(2));
    QCOMPARE(dlg.devBean().m_strIp, m_ipcs.at(2).m_strIp);
    QList<QPointer<QWidget>> third = pages(dlg);
    auto *pSerial = dlg.findChild<QLabel *>(QStringLiteral("oSerialLabel"));
    QVERIFY(pSerial);
    QCOMPARE(pSerial->text(), m_ipcs.at(2).m_strSerial);
    dlg.show();
    dlg.close();
    QVERIFY(allGone(third));
}

void TestDevCfgDlg::emptyDeviceListChangesNothing()
{
    CDevCfgDlg dlg;
    QList<CUIDeviceBean> list{m_ipcs.at(0)};
    dlg.getDevListInfoSlot(list);
    QList<stDevCapacityInfo> caps{{"#document", "EncodeCap", "1"}};
    dlg.getDevCapInfoSlot(caps, 3);
    QList<CUIDeviceBean> empty;
    QCOMPARE(dlg.getDevListInfoSlot(empty), ULONG(0));
    QCOMPARE(dlg.devBean().m_strIp, m_ipcs.at(0).m_strIp);
    // A new device starts with no capabilities: its tabs never show the previous device's.
    QList<CUIDeviceBean> other{m_ipcs.at(1)};
    dlg.getDevListInfoSlot(other);
    QSignalSpy shown(&dlg, &CDevCfgDlg::sendTerminateWaitDlg);
    dlg.setLiveResult(0, 0);
    dlg.initCfgPages();
    QCOMPARE(tabTexts(dlg), QStringList{"系统信息"});
    dlg.show();
    dlg.close();
}

namespace {

// Records whether the watched widget got a hide event from the window system.
class CHideWatch : public QObject
{
public:
    bool bSpontaneousHide = false;

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::Hide && pEvent->spontaneous())
            bSpontaneousHide = true;
        return QObject::eventFilter(pWatched, pEvent);
    }
};

} // namespace

void TestDevCfgDlg::spontaneousHideKeepsPages()
{
    CDevCfgDlg dlg;
    openIpc(dlg, m_ipcs.at(0));
    const QList<QPointer<QWidget>> built = pages(dlg);
    CHideWatch watch;
    dlg.installEventFilter(&watch);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    // Minimising hides the window as the window system would.
    dlg.showMinimized();
    QTRY_VERIFY(watch.bSpontaneousHide);
    QVERIFY(!allGone(built));
    QCOMPARE(dlg.tabWidget()->count(), 3);
    dlg.showNormal();
    dlg.close();
    QVERIFY(allGone(built));
}

void TestDevCfgDlg::systemInformation_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("macText");
    const QStringList all{"oVersionLabel", "oVapornaSerialLabel", "oDevKindLabel", "oMacLabel",
                          "oSerialLabel", "oDevTypeLabel"};
    QTest::newRow("ipc") << "IPC" << "2401A0000001" << "a1b2c3d4e5f6" << "ZC-2320" << all
                         << "a1:b2:c3:d4:e5:f6";
    QTest::newRow("nvr has no registration code")
        << "NVR" << "2401A0000001" << "A1B2C3D4E5F6" << "ZN-3108"
        << QStringList{"oVersionLabel", "oDevKindLabel", "oMacLabel", "oSerialLabel", "oDevTypeLabel"}
        << "A1:B2:C3:D4:E5:F6";
    QTest::newRow("ipc without serial")
        << "IPC" << "" << "0011223344" << "ZC-2320"
        << QStringList{"oVersionLabel", "oDevKindLabel", "oMacLabel", "oDevTypeLabel"} << "0011223344";
    QTest::newRow("type only") << "IPC" << "" << "" << "" << QStringList{"oDevKindLabel"} << "";
}

void TestDevCfgDlg::systemInformation()
{
    QFETCH(QString, type);
    QFETCH(QString, serial);
    QFETCH(QString, mac);
    QFETCH(QString, model);
    QFETCH(QStringList, shown);
    QFETCH(QString, macText);
    CUIDeviceBean bean;
    bean.m_strDevType = type;
    bean.m_strSerial = serial;
    bean.m_strMac = mac;
    bean.m_strModel = model;
    bean.m_strVersion = shown.contains("oVersionLabel") ? QStringLiteral("V2.6.3") : QString();
    bean.m_strExtSerial = QStringLiteral("R5330A");
    CSystemInfoForm form(bean);
    QStringList visible;
    for (const char *name : {"oVersionLabel", "oVapornaSerialLabel", "oDevKindLabel", "oMacLabel",
                             "oSerialLabel", "oDevTypeLabel"}) {
        auto *pLabel = form.findChild<QLabel *>(QLatin1String(name));
        QVERIFY(pLabel);
        if (!pLabel->isHidden())
            visible << QLatin1String(name);
    }
    QCOMPARE(visible, shown);
    QVERIFY(!form.findChild<QLabel *>("oSysInfoLabel")->isHidden());
    QCOMPARE(form.findChild<QLabel *>("oDevKindLabel")->text(), type);
    QCOMPARE(form.findChild<QLabel *>("oMacLabel")->text(), macText);
}

QTEST_MAIN(TestDevCfgDlg)
#include "tst_devcfgdlg.moc"
