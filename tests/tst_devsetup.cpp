// Search settings: the dialog, the segment checks of the device tab and the column choice.
#include "dev_manageform.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"
#include "ipwidget.h"
#include "msgdlg.h"
#include "setupdlg.h"
#include "tableviewex.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QTimer>
#include <QPushButton>
#include <QtTest>

class TestDevSetup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void dialogRoundTrip();
    void addressFieldsFollowSegmentBox();
    void segmentChecks_data();
    void segmentChecks();
    void failedCheckKeepsSegmentButStoresMulticast();
    void cancelKeepsEverything();
    void refusedRangeReopensWithInput();
    void untickedSegmentKeepsAddresses();
    void columnChoice();
    void workFolders();

private:
    static TableViewEx *viewOf(CDevManageForm &form)
    {
        return form.findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    }
};

void TestDevSetup::initTestCase()
{
    // A discovery port of our own: the tab probes at construction and nothing may answer.
    qputenv("CORVANE_DISCOVERY_PORT", "39517");
}

void TestDevSetup::dialogRoundTrip()
{
    CSetupDlg dlg;
    QCOMPARE(dlg.size(), QSize(440, 380));
    CUISearchModeBean oMode;
    oMode.bMulticast = false;
    oMode.bSegmentSearch = true;
    oMode.strBeginIP = QStringLiteral("192.168.1.1");
    oMode.strEndIP = QStringLiteral("192.168.1.200");
    dlg.setSearchMode(oMode);
    const CUISearchModeBean oRead = dlg.getSearchMode();
    QCOMPARE(oRead.bMulticast, false);
    QCOMPARE(oRead.bSegmentSearch, true);
    QCOMPARE(oRead.strBeginIP, oMode.strBeginIP);
    QCOMPARE(oRead.strEndIP, oMode.strEndIP);

    CUICustomMadeBean oCols;
    QVERIFY(!oCols.bVersion && !oCols.bMac && !oCols.bSerial && !oCols.bGateway && !oCols.bNetMask && !oCols.bStatus);
    oCols.bMac = true;
    oCols.bGateway = true;
    dlg.setCustomMade(oCols);
    const CUICustomMadeBean oColsRead = dlg.getCustomMade();
    QVERIFY(oColsRead.bMac && oColsRead.bGateway);
    QVERIFY(!oColsRead.bVersion && !oColsRead.bSerial && !oColsRead.bNetMask && !oColsRead.bStatus);

    // A partly ticked box still counts as ticked.
    dlg.findChild<QCheckBox *>(QStringLiteral("oStatusCheck"))->setCheckState(Qt::PartiallyChecked);
    QVERIFY(dlg.getCustomMade().bStatus);
}

void TestDevSetup::addressFieldsFollowSegmentBox()
{
    CSetupDlg dlg;
    CUISearchModeBean oMode;
    dlg.setSearchMode(oMode);
    auto *pBegin = dlg.findChild<IpWidget *>(QStringLiteral("oBeginIPWidget"));
    auto *pEnd = dlg.findChild<IpWidget *>(QStringLiteral("oEndIPWidget"));
    auto *pCond = dlg.findChild<QCheckBox *>(QStringLiteral("oCondSearchCheck"));
    QVERIFY(pBegin && pEnd && pCond);
    QVERIFY(!pBegin->isEnabled());
    QVERIFY(!pEnd->isEnabled());
    pCond->click();
    QVERIFY(pBegin->isEnabled());
    QVERIFY(pEnd->isEnabled());
    pCond->click();
    QVERIFY(!pBegin->isEnabled());
}

void TestDevSetup::segmentChecks_data()
{
    QTest::addColumn<bool>("multicast");
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");  // empty: accepted

    // The note names the real number of addresses: span + 1.
    QTest::newRow("span 768 beside multicast") << true << "192.168.0.1" << "192.168.3.1" << QString();
    QTest::newRow("span 769 beside multicast") << true << "192.168.0.1" << "192.168.3.2"
                                               << QStringLiteral("一次最多搜索769个地址。");
    QTest::newRow("span 769 alone") << false << "192.168.0.1" << "192.168.3.2" << QString();
    QTest::newRow("span 1024 alone") << false << "10.0.0.0" << "10.0.4.0" << QString();
    QTest::newRow("span 1025 alone") << false << "10.0.0.0" << "10.0.4.1"
                                     << QStringLiteral("一次最多搜索1025个地址。");
    QTest::newRow("begin equals end") << true << "192.168.5.5" << "192.168.5.5" << QString();
    QTest::newRow("leading zeros are decimal") << true << "192.168.000.010" << "192.168.000.012" << QString();
    QTest::newRow("begin octet 256") << true << "192.168.0.256" << "192.168.0.10"
                                     << QStringLiteral("起始IP地址格式错误，请输入有效IP地址。");
    QTest::newRow("empty end") << true << "192.168.0.1" << ""
                               << QStringLiteral("结束IP地址格式错误，请输入有效IP地址。");
    QTest::newRow("three octets") << true << "192.168.0.1" << "192.168.0"
                                  << QStringLiteral("结束IP地址格式错误，请输入有效IP地址。");
    QTest::newRow("begin above end") << true << "192.168.0.20" << "192.168.0.2"
                                     << QStringLiteral("起始地址不能大于结束地址。");
    QTest::newRow("order across octets") << true << "10.0.1.0" << "9.255.255.255"
                                         << QStringLiteral("起始地址不能大于结束地址。");
}

void TestDevSetup::segmentChecks()
{
    QFETCH(bool, multicast);
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(QString, message);

    CDevManageForm form;
    CUISearchModeBean oMode;
    oMode.bMulticast = multicast;
    oMode.bSegmentSearch = true;
    oMode.strBeginIP = begin;
    oMode.strEndIP = end;

    if (!message.isEmpty())
        CMsgDlg::setNextAnswer(QDialog::Rejected);
    const ulong ulResult = form.applySearchMode(oMode);
    const CUISearchModeBean oStored = form.searchMode();
    const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
    if (message.isEmpty()) {
        QCOMPARE(ulResult, 0ul);
        QVERIFY(oStored.bSegmentSearch);
        QCOMPARE(oStored.strBeginIP, begin);
        QCOMPARE(oStored.strEndIP, end);
        QVERIFY(listAnswered.isEmpty());
    } else {
        QCOMPARE(listAnswered.size(), 1);
        QCOMPARE(ulResult, 1ul);
        QCOMPARE(listAnswered.at(0).text, message);
        QCOMPARE(listAnswered.at(0).title, message.startsWith(QStringLiteral("一次最多")) ? QStringLiteral("信息")
                                                                                        : QStringLiteral("错误"));
        QVERIFY(!oStored.bSegmentSearch);
        QCOMPARE(oStored.strBeginIP, QStringLiteral("192.168.0.1"));
        QCOMPARE(oStored.strEndIP, QStringLiteral("192.168.0.255"));
    }
    QCOMPARE(oStored.bMulticast, multicast);
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestDevSetup::failedCheckKeepsSegmentButStoresMulticast()
{
    CDevManageForm form;
    CUISearchModeBean oGood;
    oGood.bMulticast = true;
    oGood.bSegmentSearch = true;
    oGood.strBeginIP = QStringLiteral("127.0.0.1");
    oGood.strEndIP = QStringLiteral("127.0.0.9");
    QCOMPARE(form.applySearchMode(oGood), 0ul);

    CUISearchModeBean oBad = oGood;
    oBad.bMulticast = false;
    oBad.strEndIP = QStringLiteral("127.0.0");
    CMsgDlg::setNextAnswer(QDialog::Rejected);
    QCOMPARE(form.applySearchMode(oBad), 1ul);
    QCOMPARE(CMsgDlg::takeAnswered().size(), 1);
    const CUISearchModeBean oStored = form.searchMode();
    QVERIFY(!oStored.bMulticast);
    QVERIFY(oStored.bSegmentSearch);
    QCOMPARE(oStored.strEndIP, QStringLiteral("127.0.0.9"));
}

void TestDevSetup::cancelKeepsEverything()
{
    CDevManageForm form;
    auto pSeen = DialogHelper::onNextModal([](QWidget *pDlg) {
        pDlg->findChild<QCheckBox *>(QStringLiteral("oAutoSearchCheck"))->setChecked(false);
        pDlg->findChild<QCheckBox *>(QStringLiteral("oCondSearchCheck"))->click();
        pDlg->findChild<IpWidget *>(QStringLiteral("oBeginIPWidget"))->setText(QStringLiteral("10.0.0.1"));
        pDlg->findChild<QCheckBox *>(QStringLiteral("oMacAddrCheck"))->setChecked(false);
        pDlg->findChild<QCheckBox *>(QStringLiteral("oVersionCheck"))->setChecked(true);
        DialogHelper::clickButton(pDlg, QStringLiteral("oCancelBtn"));
    });
    form.on_oSetupBtn_clicked();
    QTRY_VERIFY(pSeen->done);
    QCOMPARE(pSeen->className, QStringLiteral("CSetupDlg"));
    QCOMPARE(pSeen->title, QStringLiteral("设置"));

    const CUISearchModeBean oMode = form.searchMode();
    QVERIFY(oMode.bMulticast);
    QVERIFY(!oMode.bSegmentSearch);
    QCOMPARE(oMode.strBeginIP, QStringLiteral("192.168.0.1"));
    QCOMPARE(oMode.strEndIP, QStringLiteral("192.168.0.255"));
    const CUICustomMadeBean oCols = form.customMade();
    QVERIFY(oCols.bMac && oCols.bStatus);
    QVERIFY(!oCols.bVersion && !oCols.bSerial && !oCols.bGateway && !oCols.bNetMask);
    QVERIFY(viewOf(form)->isColumnHidden(EncodeDevModelEx::ColVersion));
    QVERIFY(!viewOf(form)->isColumnHidden(EncodeDevModelEx::ColMac));
}

void TestDevSetup::refusedRangeReopensWithInput()
{
    CDevManageForm form;
    bool bAgain = false;
    QString strBeginAgain;
    bool bSegmentAgain = false;
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    auto pFirst = DialogHelper::onNextModal([&](QWidget *pDlg) {
        pDlg->findChild<QCheckBox *>(QStringLiteral("oCondSearchCheck"))->click();
        pDlg->findChild<IpWidget *>(QStringLiteral("oBeginIPWidget"))->setText(QStringLiteral("127.0.0.1"));
        pDlg->findChild<IpWidget *>(QStringLiteral("oEndIPWidget"))->setText(QStringLiteral("127.0.4.0"));
        pDlg->findChild<QCheckBox *>(QStringLiteral("oVersionCheck"))->setChecked(true);
        // Runs inside the second exec() of the same dialog.
        QTimer::singleShot(0, pDlg, [&, pDlg] {
            bAgain = QApplication::activeModalWidget() == pDlg;
            strBeginAgain = pDlg->findChild<IpWidget *>(QStringLiteral("oBeginIPWidget"))->text();
            bSegmentAgain = pDlg->findChild<QCheckBox *>(QStringLiteral("oCondSearchCheck"))->isChecked();
            DialogHelper::clickButton(pDlg, QStringLiteral("oCancelBtn"));
        });
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    form.on_oSetupBtn_clicked();
    QTRY_VERIFY(pFirst->done);
    QTRY_VERIFY(bAgain);
    const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
    QCOMPARE(listAnswered.size(), 1);
    QCOMPARE(listAnswered.at(0).text, QStringLiteral("一次最多搜索769个地址。"));
    QCOMPARE(strBeginAgain, QStringLiteral("127.0.0.1"));
    QVERIFY(bSegmentAgain);
    // Cancelled in the end: the columns were not applied.
    QVERIFY(!form.customMade().bVersion);
    QVERIFY(!form.searchMode().bSegmentSearch);
    QTRY_VERIFY(DialogHelper::noModal());
}

void TestDevSetup::untickedSegmentKeepsAddresses()
{
    CDevManageForm form;
    CUISearchModeBean oMode;
    oMode.bSegmentSearch = true;
    oMode.strBeginIP = QStringLiteral("127.0.0.1");
    oMode.strEndIP = QStringLiteral("127.0.0.20");
    QCOMPARE(form.applySearchMode(oMode), 0ul);

    // The dialog opens with the stored range; untick segment search and accept.
    auto pSeen = DialogHelper::onNextModal([](QWidget *pDlg) {
        QCOMPARE(pDlg->findChild<IpWidget *>(QStringLiteral("oBeginIPWidget"))->text(), QStringLiteral("127.0.0.1"));
        pDlg->findChild<QCheckBox *>(QStringLiteral("oCondSearchCheck"))->click();
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    form.on_oSetupBtn_clicked();
    QTRY_VERIFY(pSeen->done);
    QVERIFY(!form.searchMode().bSegmentSearch);

    auto pSecond = DialogHelper::onNextModal([](QWidget *pDlg) {
        auto *pBegin = pDlg->findChild<IpWidget *>(QStringLiteral("oBeginIPWidget"));
        QCOMPARE(pBegin->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(pDlg->findChild<IpWidget *>(QStringLiteral("oEndIPWidget"))->text(), QStringLiteral("127.0.0.20"));
        QVERIFY(!pBegin->isEnabled());
        DialogHelper::clickButton(pDlg, QStringLiteral("oCancelBtn"));
    });
    form.on_oSetupBtn_clicked();
    QTRY_VERIFY(pSecond->done);
}

void TestDevSetup::columnChoice()
{
    CDevManageForm form;
    TableViewEx *pView = viewOf(form);
    // At start: version, serial, mask and gateway hidden; MAC, configuration and status shown.
    const QList<int> listHidden {3, 5, 6, 7, 10, 11};
    for (int iCol = 0; iCol < EncodeDevModelEx::ColumnCount; ++iCol)
        QCOMPARE(pView->isColumnHidden(iCol), listHidden.contains(iCol));
    QCOMPARE(pView->columnWidth(2), 160);
    QCOMPARE(pView->verticalHeader()->defaultSectionSize(), 33);

    auto pSeen = DialogHelper::onNextModal([](QWidget *pDlg) {
        for (const char *pszName : {"oVersionCheck", "oMacAddrCheck", "oSerialCheck", "oGateWayCheck",
                                    "oNetMaskCheck", "oStatusCheck"})
            pDlg->findChild<QCheckBox *>(QLatin1String(pszName))->setChecked(false);
        DialogHelper::clickButton(pDlg, QStringLiteral("oOkBtn"));
    });
    form.on_oSetupBtn_clicked();
    QTRY_VERIFY(pSeen->done);
    for (int iCol = 0; iCol < EncodeDevModelEx::ColumnCount; ++iCol)
        QCOMPARE(pView->isColumnHidden(iCol), !(iCol <= 2 || iCol == 8));

    CUICustomMadeBean oAll;
    oAll.bVersion = oAll.bMac = oAll.bSerial = oAll.bGateway = oAll.bNetMask = oAll.bStatus = true;
    form.oCustomMadeTable(oAll);
    for (int iCol = 0; iCol < EncodeDevModelEx::ColumnCount; ++iCol)
        QCOMPARE(pView->isColumnHidden(iCol), iCol >= 10);
    QCOMPARE(pView->columnWidth(3), 200);
    QCOMPARE(pView->columnWidth(7), 170);
}

void TestDevSetup::workFolders()
{
    QDir dir;
    dir.rmdir(QStringLiteral("DiagnoseInfo"));
    CDevManageForm form;
    QVERIFY(dir.exists(QStringLiteral("log")));
    QVERIFY(dir.exists(QStringLiteral("DiagnoseInfo")));
}

QTEST_MAIN(TestDevSetup)
#include "tst_devsetup.moc"
