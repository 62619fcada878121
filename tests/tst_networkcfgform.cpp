// The network page against simulated IPCs: what it offers per model, how it
// checks its input, what a save writes and what it leaves alone.
#include "dev_networkcfgform.h"
#include "devfailreason.h"

#include "devcapability.h"
#include "devdiscovery.h"
#include "devtext.h"
#include "dialoghelper.h"
#include "ipwidget.h"
#include "simfleetprocess.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Models of the main fleet, one device per case that writes.
enum EDevice { DevDhcpOnly, DevSwitching, DevEdits, DevAddress, DevPppoe, DevBare, DevMove, DevCount };
const char *const kModels = "ZC-1210D,ZC-5330,ZC-5330,ZC-5330,ZC-5330,ZC-1100B,ZC-5330";
const char *const kFirst = "127.73.0.10";
const char *const kMovedTo = "127.73.0.200";
const char *const kDiscoveryPort = "37873";

const QString kMtuNote = QStringLiteral("有效范围为576~1500的整数，请重新输入。");
const QString kQuestion = QStringLiteral("修改网络参数可能会导致网络中断，真的要修改吗？");

struct Session
{
    QByteArray userId;
    CUIDeviceBean bean;
    QList<stDevCapacityInfo> caps;
};

template <typename T>
T *child(QWidget &w, const char *pszName)
{
    T *p = w.findChild<T *>(QLatin1String(pszName));
    if (!p)
        qFatal("missing child %s", pszName);
    return p;
}

bool shown(QWidget &page, const char *pszName)
{
    return child<QWidget>(page, pszName)->isVisibleTo(&page);
}

// Types a value and presses Return, as a user finishing the edit.
void enterText(QWidget &page, const char *pszEdit, const QString &strText)
{
    auto *pEdit = child<QLineEdit>(page, pszEdit);
    pEdit->setText(strText);
    QTest::keyClick(pEdit, Qt::Key_Return);
}

// The four octet fields as typed, empty ones included ("127.0.0.").
void typeAddress(QWidget &page, const char *pszWidget, const QString &strRaw)
{
    const QStringList listParts = strRaw.split(QLatin1Char('.'));
    const QList<QLineEdit *> listEdits = child<IpWidget>(page, pszWidget)->findChildren<QLineEdit *>();
    QCOMPARE(listEdits.size(), 4);
    for (int i = 0; i < 4; ++i)
        listEdits[i]->setText(listParts.value(i));
}

QByteArray readCfg(const QByteArray &userId, DWORD ulCmd)
{
    QByteArray cfg(int(zelt_cfg_size(ulCmd)), '\0');
    DWORD ulLen = DWORD(cfg.size());
    if (ZELT_MW_GetConfig(userId.constData(), ulCmd, 0, &ulLen, cfg.data()) != 0)
        return QByteArray();
    return cfg;
}

QString textAt(const QByteArray &cfg, int nOffset, int nLen)
{
    return DevText::fromBuffer(cfg.constData() + nOffset, std::size_t(nLen));
}

// SetConfig requests for one command among recorded protocol bytes.
// Writes of one configuration as the device logged them (its event log, from a diagnosis export).
int configWrites(const QByteArray &eventLog, quint32 ulCmd)
{
    return eventLog.count("configuration " + QByteArray::number(ulCmd) + " written");
}

QByteArray deviceEventLog(const QByteArray &userId)
{
    QTemporaryDir dir;
    if (!dir.isValid() || ZELT_MW_ExportDiagnosis(userId.constData(), dir.path().toLocal8Bit().constData()) != 0)
        return {};
    const QStringList archives = QDir(dir.path()).entryList({QStringLiteral("*.tgz")});
    if (archives.size() != 1)
        return {};
    QProcess tar;
    tar.start(QStringLiteral("tar"), {"-xzOf", dir.filePath(archives.first()), "log/events.log"});
    return tar.waitForFinished(10000) && tar.exitCode() == 0 ? tar.readAllStandardOutput() : QByteArray();
}

} // namespace

class TestNetworkCfgForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void textsCutAtCharacterBoundary_data();
    void textsCutAtCharacterBoundary();
    void dhcpOnlyModelShowsOneMode();
    void addressModeSwitchesRows();
    void mtuRangeOnEditing();
    void clearedMtuAndRefusedQuestionWriteNothing();
    void staticAddressChecked_data();
    void staticAddressChecked();
    void pppoeUserNameKeepsWholeCharacters();
    void unlistedModesWriteBackWhatWasRead();
    void unreadableDnsSavesTheRest();
    void unreadableInterfaceIsNotWritten();
    void unreadableNtxStaysHiddenAndRefusedPortReported();
    void newAddressMovesDevice();

private:
    bool login(const QString &strIp, Session &session, quint16 uPort = 0);
    const SimFleetProcess::Device &device(EDevice eDevice) const { return m_sim.devices().at(eDevice); }
    // Clicks Save and answers the question with the given button; the seen dialog.
    std::shared_ptr<DialogHelper::SeenDialog> save(QWidget &page, const char *pszAnswer);

    SimFleetProcess m_sim {{"--ipc", QString::number(DevCount), "--first", kFirst, "--seed", "73",
                            "--ipc-models", kModels, "--port", kDiscoveryPort}};
    QList<QByteArray> m_userIds;
};

void TestNetworkCfgForm::initTestCase()
{
    // For QSignalSpy on the report signal.
    qRegisterMetaType<ULONG>("ULONG");
    qputenv("CORVANE_DISCOVERY_PORT", kDiscoveryPort);
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
    QCOMPARE(m_sim.devices().size(), int(DevCount));
}

void TestNetworkCfgForm::cleanupTestCase()
{
    for (const QByteArray &userId : qAsConst(m_userIds))
        ZELT_MW_Logout(userId.constData());
    m_sim.stop();
}

bool TestNetworkCfgForm::login(const QString &strIp, Session &session, quint16 uPort)
{
    char szUserId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", strIp.toLatin1().constData(), uPort, szUserId) != 0)
        return false;
    session.userId = QByteArray(szUserId);
    m_userIds << session.userId;
    session.bean.m_strIp = strIp;
    session.bean.m_strDevType = QStringLiteral("IPC");
    session.bean.m_strLoginKey = QString::fromLatin1(session.userId);
    return DevCapability::fetch(session.bean.m_strLoginKey, DevCapability::KindNetwork, session.caps) == 0;
}

std::shared_ptr<DialogHelper::SeenDialog> TestNetworkCfgForm::save(QWidget &page, const char *pszAnswer)
{
    auto seen = DialogHelper::clickOnModal(QLatin1String(pszAnswer));
    child<QPushButton>(page, "oSaveBtn")->click();
    return seen;
}

void TestNetworkCfgForm::textsCutAtCharacterBoundary_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("stored");
    const QString strHan = QString(32, QChar(0x7F51));   // 3 bytes each in UTF-8
    QTest::newRow("fits") << QStringLiteral("user") << QByteArray("user");
    QTest::newRow("35 bytes fill the field") << QString(35, QLatin1Char('a')) << QByteArray(35, 'a');
    QTest::newRow("36 bytes lose one") << QString(36, QLatin1Char('a')) << QByteArray(35, 'a');
    QTest::newRow("three-byte characters") << strHan << strHan.left(11).toUtf8();
    QTest::newRow("characters filling the field") << QStringLiteral("ab") + strHan
                                                  << (QStringLiteral("ab") + strHan.left(11)).toUtf8();
    QTest::newRow("four-byte character at the end")
        << QString(33, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600") << QByteArray(33, 'a');
}

void TestNetworkCfgForm::textsCutAtCharacterBoundary()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, stored);
    QByteArray field(40, '\x7F');
    DevText::toBuffer(text, field.data(), 36);
    QCOMPARE(QByteArray(field.constData()), stored);
    QCOMPARE(field.mid(stored.size(), 36 - stored.size()), QByteArray(36 - stored.size(), '\0'));
    QCOMPARE(field.mid(36), QByteArray(4, '\x7F'));
}

void TestNetworkCfgForm::dhcpOnlyModelShowsOneMode()
{
    Session session;
    QVERIFY(login(device(DevDhcpOnly).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();

    auto *pIpType = child<QComboBox>(page, "oIPTypeCombo");
    QCOMPARE(pIpType->count(), 1);
    QCOMPARE(pIpType->currentData().toInt(), 2);
    QVERIFY(shown(page, "oIPTypeCombo"));
    for (const char *pszName : {"oIpAddrWidget", "oSubnetWidget", "oGatewayWidget", "oMTUEdit", "oMTUHintLabel",
                                "oUserNameEdit", "oPassWordEdit", "oNTXGroup"})
        QVERIFY2(!shown(page, pszName), pszName);
    // The model lists its port and work modes.
    QVERIFY(shown(page, "oPortTypeCombo"));
    QVERIFY(!child<QComboBox>(page, "oPortTypeCombo")->isEnabled());
    QCOMPARE(child<QComboBox>(page, "oOperateModeCombo")->count(), 1);
    QVERIFY(shown(page, "oDNSGroup"));
    QVERIFY(shown(page, "oPortGroup"));
}

void TestNetworkCfgForm::addressModeSwitchesRows()
{
    Session session;
    QVERIFY(login(device(DevSwitching).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();

    auto *pIpType = child<QComboBox>(page, "oIPTypeCombo");
    QCOMPARE(pIpType->count(), 3);
    QCOMPARE(pIpType->currentData().toInt(), 0);
    QCOMPARE(child<IpWidget>(page, "oIpAddrWidget")->text(), device(DevSwitching).ip);
    QCOMPARE(child<QLineEdit>(page, "oMTUEdit")->text(), QStringLiteral("1500"));
    QCOMPARE(child<QComboBox>(page, "oOperateModeCombo")->count(), 6);

    const char *const staticRows[] = {"oIpAddrWidget", "oSubnetWidget", "oGatewayWidget", "oMTUEdit", "oNTXGroup"};
    const char *const pppoeRows[] = {"oUserNameEdit", "oPassWordEdit"};
    for (int nRound = 0; nRound < 2; ++nRound) {
        pIpType->setCurrentIndex(pIpType->findData(1));
        for (const char *pszName : staticRows)
            QVERIFY2(!shown(page, pszName), pszName);
        for (const char *pszName : pppoeRows)
            QVERIFY2(shown(page, pszName), pszName);

        pIpType->setCurrentIndex(pIpType->findData(0));
        for (const char *pszName : staticRows)
            QVERIFY2(shown(page, pszName), pszName);
        for (const char *pszName : pppoeRows)
            QVERIFY2(!shown(page, pszName), pszName);
    }
    pIpType->setCurrentIndex(pIpType->findData(2));
    for (const char *pszName : {"oIpAddrWidget", "oMTUEdit", "oUserNameEdit", "oNTXGroup"})
        QVERIFY2(!shown(page, pszName), pszName);

    // A hidden MTU is not the user's to fix: Save goes on to the question.
    child<QLineEdit>(page, "oMTUEdit")->clear();
    auto seen = save(page, "oCancelBtn");
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, kQuestion);
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestNetworkCfgForm::mtuRangeOnEditing()
{
    Session session;
    QVERIFY(login(device(DevEdits).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    auto *pMtu = child<QLineEdit>(page, "oMTUEdit");

    struct Case { const char *pszTyped; bool bAccepted; };
    const QString strBefore = pMtu->text();
    QString strLastAccepted = strBefore;
    for (const Case &c : {Case{"575", false}, Case{"576", true}, Case{"1501", false}, Case{"1500", true},
                          Case{"9999", false}}) {
        std::shared_ptr<DialogHelper::SeenDialog> seen;
        if (!c.bAccepted)
            seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
        enterText(page, "oMTUEdit", QLatin1String(c.pszTyped));
        if (c.bAccepted) {
            strLastAccepted = QLatin1String(c.pszTyped);
        } else {
            QTRY_VERIFY(seen->done);
            QCOMPARE(seen->title, QStringLiteral("信息"));
            QCOMPARE(seen->text, kMtuNote);
        }
        QCOMPARE(pMtu->text(), strLastAccepted);
        QTRY_VERIFY(DialogHelper::noModal());
    }

    // Ports: 0 is not a port.
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    enterText(page, "oHttpPortEdit", QStringLiteral("65536"));
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("有效范围为1~65535的整数，请重新输入。"));
    QCOMPARE(child<QLineEdit>(page, "oHttpPortEdit")->text(), QStringLiteral("80"));
    QCOMPARE(child<QLabel>(page, "oHttpPortHintLabel")->text(), QStringLiteral("[1 ~ 65535]"));
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestNetworkCfgForm::clearedMtuAndRefusedQuestionWriteNothing()
{
    Session session;
    QVERIFY(login(device(DevEdits).ip, session));
    const QByteArray netIfBefore = readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG);
    const QByteArray portBefore = readCfg(session.userId, ZELT_MW_PORT_CFG);
    QVERIFY(!netIfBefore.isEmpty() && !portBefore.isEmpty());

    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    auto *pMtu = child<QLineEdit>(page, "oMTUEdit");
    const QString strMtu = pMtu->text();

    // A cleared edit never finishes editing; Save catches it before asking.
    pMtu->clear();
    auto seen = save(page, "oCancelBtn");
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, kMtuNote);
    QCOMPARE(pMtu->text(), strMtu);
    QTRY_VERIFY(DialogHelper::noModal());

    child<QLineEdit>(page, "oHttpPortEdit")->clear();
    seen = save(page, "oCancelBtn");
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, QStringLiteral("有效范围为1~65535的整数，请重新输入。"));
    QTRY_VERIFY(DialogHelper::noModal());

    // "No" to the question.
    enterText(page, "oMTUEdit", QStringLiteral("1400"));
    enterText(page, "oHttpsPortEdit", QStringLiteral("8443"));
    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    seen = save(page, "oCancelBtn");
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, kQuestion);
    QTRY_VERIFY(DialogHelper::noModal());
    QVERIFY(child<QPushButton>(page, "oSaveBtn")->isEnabled());
    QCOMPARE(reports.count(), 0);
    QCOMPARE(readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG), netIfBefore);
    QCOMPARE(readCfg(session.userId, ZELT_MW_PORT_CFG), portBefore);
}

void TestNetworkCfgForm::staticAddressChecked_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    // A server address field typed as well (empty: none).
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<QString>("note");
    const QString strIpNote = QStringLiteral("IP地址无效，请重新输入。");
    const QString strMaskNote = QStringLiteral("子网掩码无效，请重新输入。");
    const QString strHostNote = QStringLiteral("IP地址不能是网络地址或广播地址，请重新输入。");
    const QString strGatewayNote = QStringLiteral("默认网关无效或与IP地址不在同一网段，请重新输入。");
    const QString strIp = QStringLiteral("127.73.0.20");
    const QString strMask = QStringLiteral("255.255.255.0");
    const QString strGateway = QStringLiteral("127.73.0.1");
    QTest::newRow("half-filled address") << "127.0.0." << "255.0.0.0" << "127.0.0.1" << "" << "" << strIpNote;
    QTest::newRow("first number 0") << "0.73.0.20" << "255.0.0.0" << "127.0.0.1" << "" << "" << strIpNote;
    QTest::newRow("gap in mask") << strIp << "255.0.255.0" << "127.0.0.1" << "" << "" << strMaskNote;
    QTest::newRow("half-filled mask") << strIp << "255.255.." << "127.0.0.1" << "" << "" << strMaskNote;
    QTest::newRow("all-ones mask") << strIp << "255.255.255.255" << strGateway << "" << "" << strMaskNote;
    QTest::newRow("last number 0") << "127.73.0.0" << "255.0.0.0" << "127.0.0.1" << "" << "" << strIpNote;
    QTest::newRow("network address") << "127.73.0.128" << "255.255.255.128" << "127.73.0.129" << "" << ""
                                     << strHostNote;
    QTest::newRow("broadcast address") << "127.73.0.255" << strMask << strGateway << "" << "" << strHostNote;
    QTest::newRow("gateway outside") << strIp << strMask << "127.74.0.1" << "" << "" << strGatewayNote;
    QTest::newRow("gateway is address") << strIp << strMask << strIp << "" << "" << strGatewayNote;
    QTest::newRow("gateway half-filled") << strIp << strMask << "127.73.0." << "" << "" << strGatewayNote;
    QTest::newRow("preferred DNS half-typed") << strIp << strMask << strGateway << "oPrefDNSAddrWidget" << "8.8.."
                                              << QStringLiteral("首选DNS服务器地址无效，请重新输入。");
    QTest::newRow("alternate DNS without first number")
        << strIp << strMask << strGateway << "oAlterDNSAddrWidget" << ".8.8.8"
        << QStringLiteral("备选DNS服务器地址无效，请重新输入。");
    QTest::newRow("NTX server half-typed") << strIp << strMask << strGateway << "oNTXServerAddrWidget" << "127.73.0."
                                           << QStringLiteral("NTX服务器地址无效，请重新输入。");
    QTest::newRow("usable, DNS emptied") << strIp << strMask << strGateway << "oAlterDNSAddrWidget" << "..."
                                         << kQuestion;
}

void TestNetworkCfgForm::staticAddressChecked()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(QString, server);
    QFETCH(QString, serverText);
    QFETCH(QString, note);
    Session session;
    QVERIFY(login(device(DevAddress).ip, session));
    QList<QByteArray> listBefore;
    for (DWORD ulCmd : {ZELT_MW_NETWORK_INTERFACE_CFG, ZELT_MW_DNS_SERVER_CFG, ZELT_MW_NTX_CFG})
        listBefore << readCfg(session.userId, ulCmd);
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    typeAddress(page, "oIpAddrWidget", ip);
    typeAddress(page, "oSubnetWidget", mask);
    typeAddress(page, "oGatewayWidget", gateway);
    if (!server.isEmpty())
        typeAddress(page, server.toLatin1().constData(), serverText);

    auto seen = save(page, "oCancelBtn");
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, note);
    QTRY_VERIFY(DialogHelper::noModal());
    QVERIFY(child<QPushButton>(page, "oSaveBtn")->isEnabled());
    QList<QByteArray> listAfter;
    for (DWORD ulCmd : {ZELT_MW_NETWORK_INTERFACE_CFG, ZELT_MW_DNS_SERVER_CFG, ZELT_MW_NTX_CFG})
        listAfter << readCfg(session.userId, ulCmd);
    QCOMPARE(listAfter, listBefore);
    ZELT_MW_Logout(session.userId.constData());
}

void TestNetworkCfgForm::pppoeUserNameKeepsWholeCharacters()
{
    Session session;
    QVERIFY(login(device(DevPppoe).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    auto *pIpType = child<QComboBox>(page, "oIPTypeCombo");
    pIpType->setCurrentIndex(pIpType->findData(1));
    const QString strName = QString(32, QChar(0x7F51));
    child<QLineEdit>(page, "oUserNameEdit")->setText(strName);
    QCOMPARE(child<QLineEdit>(page, "oUserNameEdit")->text(), strName);
    child<QLineEdit>(page, "oPassWordEdit")->setText(QStringLiteral("p") + QString(40, QChar(0x5BC6)));

    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    QSignalSpy moved(&page, &CNetworkCfgForm::sendDevAddrChangedSignal);
    auto seen = save(page, "oOkBtn");
    QTRY_VERIFY(seen->done);
    QVERIFY(reports.wait(5000));
    QCOMPARE(reports.at(0).at(1).toUInt(), 0u);
    QVERIFY(reports.at(0).at(0).toString().startsWith(QStringLiteral("设置参数成功！")));
    // Leaving the static address: the device may take another one.
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(1).toString(), QString());
    QVERIFY(!child<QPushButton>(page, "oSaveBtn")->isEnabled());

    // The device keeps its session in this mode; read back what it stored.
    const QByteArray netIf = readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG);
    QVERIFY(!netIf.isEmpty());
    QCOMPARE(zelt_get_u32(netIf.constData(), ZELT_NETIF_MODE), 1u);
    const QByteArray user = netIf.mid(ZELT_NETIF_PPPOE_USER, ZELT_NETIF_PPPOE_USER_LEN);
    QCOMPARE(QByteArray(user.constData()), strName.left(11).toUtf8());
    QCOMPARE(textAt(netIf, ZELT_NETIF_PPPOE_PASSWORD, ZELT_NETIF_PPPOE_PASSWORD_LEN),
             QStringLiteral("p") + QString(11, QChar(0x5BC6)));
}

void TestNetworkCfgForm::unlistedModesWriteBackWhatWasRead()
{
    Session session;
    QVERIFY(login(device(DevBare).ip, session));
    QVERIFY(!DevCapability::find(session.caps, QStringLiteral("WorkMode")));
    QVERIFY(!DevCapability::find(session.caps, QStringLiteral("Mode"), nullptr, QStringLiteral("IPType")));
    // The device runs a work mode the page cannot offer.
    QByteArray netIf = readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG);
    QVERIFY(!netIf.isEmpty());
    zelt_put_u32(netIf.data(), ZELT_NETIF_WORK_MODE, 3);
    QCOMPARE(ZELT_MW_SetConfig(session.userId.constData(), ZELT_MW_NETWORK_INTERFACE_CFG, 0, ZELT_NETIF_SIZE,
                               netIf.constData()),
             DWORD(0));

    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    QCOMPARE(child<QComboBox>(page, "oIPTypeCombo")->count(), 3);
    QVERIFY(!shown(page, "oOperateModeCombo"));
    QCOMPARE(child<QComboBox>(page, "oOperateModeCombo")->currentIndex(), -1);

    enterText(page, "oMTUEdit", QStringLiteral("1280"));
    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    auto seen = save(page, "oOkBtn");
    QTRY_VERIFY(seen->done);
    QVERIFY(reports.wait(5000));
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("设置参数成功！"));
    const QByteArray after = readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG);
    QCOMPARE(zelt_get_u32(after.constData(), ZELT_NETIF_MTU), 1280u);
    QCOMPARE(zelt_get_u32(after.constData(), ZELT_NETIF_WORK_MODE), 3u);
    QCOMPARE(zelt_get_u32(after.constData(), ZELT_NETIF_MODE), 0u);
    QVERIFY(child<QPushButton>(page, "oSaveBtn")->isEnabled());
}

void TestNetworkCfgForm::unreadableDnsSavesTheRest()
{
    SimFleetProcess sim({"--ipc", "1", "--first", "127.73.1.10", "--ipc-models", "ZC-5330", "--cfg-unreadable",
                         "19"});
    CORVANE_START_SIMULATOR(sim);
    Session session;
    QVERIFY(login(sim.devices().at(0).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    QVERIFY(!shown(page, "oDNSGroup"));
    QVERIFY(shown(page, "oNTXGroup"));

    enterText(page, "oMTUEdit", QStringLiteral("1400"));
    enterText(page, "oHttpPortEdit", QStringLiteral("8080"));
    child<QCheckBox>(page, "oEnableNTXCheck")->setChecked(true);
    typeAddress(page, "oNTXServerAddrWidget", QStringLiteral("127.73.1.250"));
    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    auto seen = save(page, "oOkBtn");
    QTRY_VERIFY(seen->done);
    QVERIFY(reports.wait(5000));
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(), QStringLiteral("设置参数成功！"));
    QCOMPARE(reports.at(0).at(1).toUInt(), 0u);
    QCOMPARE(child<QLabel>(page, "oReportLabel")->text(), QStringLiteral("设置参数成功！"));

    QCOMPARE(zelt_get_u32(readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG).constData(), ZELT_NETIF_MTU),
             1400u);
    QCOMPARE(uint(zelt_get_u16(readCfg(session.userId, ZELT_MW_PORT_CFG).constData(), ZELT_PORT_HTTP)), 8080u);
    const QByteArray ntx = readCfg(session.userId, ZELT_MW_NTX_CFG);
    QCOMPARE(zelt_get_u32(ntx.constData(), ZELT_NTX_ENABLED), 1u);
    QCOMPARE(textAt(ntx, ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN), QStringLiteral("127.73.1.250"));
    ZELT_MW_Logout(session.userId.constData());
}

void TestNetworkCfgForm::unreadableInterfaceIsNotWritten()
{
    SimFleetProcess sim({"--ipc", "1", "--first", "127.73.2.10", "--ipc-models", "ZC-5330", "--cfg-unreadable",
                         "12"});
    CORVANE_START_SIMULATOR(sim);
    Session session;
    QVERIFY(login(sim.devices().at(0).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();

    // The zero-filled interface: static mode, no addresses, MTU 0.
    QCOMPARE(child<QComboBox>(page, "oIPTypeCombo")->currentData().toInt(), 0);
    QCOMPARE(child<IpWidget>(page, "oIpAddrWidget")->text(), QString());
    QCOMPARE(child<QLineEdit>(page, "oMTUEdit")->text(), QStringLiteral("0"));

    enterText(page, "oHttpsPortEdit", QStringLiteral("8443"));
    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    auto seen = save(page, "oOkBtn");
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->text, kQuestion);
    QVERIFY(reports.wait(5000));
    QCOMPARE(reports.count(), 1);
    QVERIFY(reports.at(0).at(0).toString().startsWith(QStringLiteral("设置参数失败！")));
    QVERIFY(reports.at(0).at(1).toUInt() != 0u);
    QVERIFY(child<QPushButton>(page, "oSaveBtn")->isEnabled());

    const QByteArray eventLog = deviceEventLog(session.userId);
    QVERIFY(!eventLog.isEmpty());
    QCOMPARE(configWrites(eventLog, ZELT_MW_PORT_CFG), 1);
    QCOMPARE(configWrites(eventLog, ZELT_MW_DNS_SERVER_CFG), 1);
    QCOMPARE(configWrites(eventLog, ZELT_MW_NETWORK_INTERFACE_CFG), 0);
    QCOMPARE(uint(zelt_get_u16(readCfg(session.userId, ZELT_MW_PORT_CFG).constData(), ZELT_PORT_HTTPS)), 8443u);
    ZELT_MW_Logout(session.userId.constData());
}

void TestNetworkCfgForm::unreadableNtxStaysHiddenAndRefusedPortReported()
{
    SimFleetProcess sim({"--ipc", "1", "--first", "127.73.3.10", "--ipc-models", "ZC-5330", "--cfg-unreadable",
                         "13", "--cfg-refused", "18"});
    CORVANE_START_SIMULATOR(sim);
    Session session;
    QVERIFY(login(sim.devices().at(0).ip, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();
    QVERIFY(!shown(page, "oNTXGroup"));
    auto *pIpType = child<QComboBox>(page, "oIPTypeCombo");
    pIpType->setCurrentIndex(pIpType->findData(1));
    pIpType->setCurrentIndex(pIpType->findData(0));
    QVERIFY(shown(page, "oIpAddrWidget"));
    QVERIFY(!shown(page, "oNTXGroup"));

    // A refused earlier write is reported once; the interface is still written.
    enterText(page, "oMTUEdit", QStringLiteral("1300"));
    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    auto seen = save(page, "oOkBtn");
    QTRY_VERIFY(seen->done);
    QVERIFY(reports.wait(5000));
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(0).toString(),
             QStringLiteral("设置参数失败！") + CDevFailReason::ofIpc(ZELT_MW_ERR_READ_ONLY));
    QCOMPARE(reports.at(0).at(1).toUInt(), ULONG(ZELT_MW_ERR_READ_ONLY));
    QCOMPARE(zelt_get_u32(readCfg(session.userId, ZELT_MW_NETWORK_INTERFACE_CFG).constData(), ZELT_NETIF_MTU),
             1300u);
    QVERIFY(child<QPushButton>(page, "oSaveBtn")->isEnabled());
    ZELT_MW_Logout(session.userId.constData());
}

void TestNetworkCfgForm::newAddressMovesDevice()
{
    const QString strOldIp = device(DevMove).ip;
    Session session;
    QVERIFY(login(strOldIp, session));
    CNetworkCfgForm page(session.bean, &session.caps);
    page.show();

    enterText(page, "oMTUEdit", QStringLiteral("1450"));
    enterText(page, "oHttpPortEdit", QStringLiteral("8081"));
    typeAddress(page, "oPrefDNSAddrWidget", QStringLiteral("127.73.0.53"));
    typeAddress(page, "oIpAddrWidget", QLatin1String(kMovedTo));
    QSignalSpy reports(&page, &CNetworkCfgForm::sendReportSignal);
    QSignalSpy moved(&page, &CNetworkCfgForm::sendDevAddrChangedSignal);
    auto seen = save(page, "oOkBtn");
    QTRY_VERIFY(seen->done);
    QVERIFY(reports.wait(5000));
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.at(0).at(1).toUInt(), 0u);
    QCOMPARE(reports.at(0).at(0).toString(),
             QStringLiteral("设置参数成功！设备地址已改为%1，请刷新设备列表。").arg(QLatin1String(kMovedTo)));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toString(), strOldIp);
    QCOMPARE(moved.at(0).at(1).toString(), QLatin1String(kMovedTo));
    QVERIFY(!child<QPushButton>(page, "oSaveBtn")->isEnabled());

    // A refresh of the device list finds it at its new address only.
    CDevDiscovery discovery;
    auto foundAt = [&discovery](const QString &strIp) {
        for (const stDiscoveryBean &bean : discovery.results()) {
            if (bean.strIp == strIp)
                return true;
        }
        return false;
    };
    discovery.sendProbe2(QLatin1String(kFirst), QLatin1String(kMovedTo));
    QTRY_VERIFY_WITH_TIMEOUT(foundAt(QLatin1String(kMovedTo)), 5000);
    QVERIFY(!foundAt(strOldIp));

    // It takes a login there, with everything saved, and none at the old
    // address. The device closed the page's session when it moved, so the
    // port and DNS settings arrived only because the interface went last.
    Session again;
    QTRY_VERIFY_WITH_TIMEOUT(login(QLatin1String(kMovedTo), again), 5000);
    const QByteArray netIf = readCfg(again.userId, ZELT_MW_NETWORK_INTERFACE_CFG);
    QCOMPARE(textAt(netIf, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN), QLatin1String(kMovedTo));
    QCOMPARE(zelt_get_u32(netIf.constData(), ZELT_NETIF_MTU), 1450u);
    QCOMPARE(uint(zelt_get_u16(readCfg(again.userId, ZELT_MW_PORT_CFG).constData(), ZELT_PORT_HTTP)), 8081u);
    QCOMPARE(textAt(readCfg(again.userId, ZELT_MW_DNS_SERVER_CFG), ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN),
             QStringLiteral("127.73.0.53"));
    Session old;
    QVERIFY(!login(strOldIp, old));
}

QTEST_MAIN(TestNetworkCfgForm)
#include "tst_networkcfgform.moc"
