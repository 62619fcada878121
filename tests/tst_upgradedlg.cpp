#include "upgradedlg.h"

#include "dialoghelper.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

// One emitted signal of the dialog, in emission order.
struct stEmitted
{
    QString strSignal;
    QString strPath;
    ULONG ulCmd = 0;
    QString strIp;
    long lStatus = 0;
};

class TestUpgradeDlg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void upgradeChecksFileName_data();
    void upgradeChecksFileName();
    void upgradeCancelledChangesNothing();
    void upgradeSendsEveryDeviceInOrder();
    void diagExportAlternatesSignals();
    void diagExportNeedsFolder();
    void importChecksFileName_data();
    void importChecksFileName();
    void cfgExportRefusesSeveralDevices();
    void cfgExportSendsFolder();
    void editsKeepTextsBetweenUses();
    void pathFieldsLineUp();
    void cancelledBrowsingKeepsTypedPath_data();
    void cancelledBrowsingKeepsTypedPath();
    void closeButtonClosesWithoutAction();

private:
    QList<CUIDeviceBean> devices(int iCount) const;
    void setDevices(int iCount);
    void setEdit(const char *pszName, const QString &strText);
    void click(const char *pszName);
    // Clicks a button that brings up a message and closes it with strButton.
    QString clickAnswering(const char *pszName, const QString &strButton);

    CUpgradeDlg *m_pDlg = nullptr;
    QList<stEmitted> m_listEmitted;
};

QList<CUIDeviceBean> TestUpgradeDlg::devices(int iCount) const
{
    QList<CUIDeviceBean> listDev;
    for (int i = 0; i < iCount; ++i) {
        CUIDeviceBean oBean;
        oBean.m_lDevId = i;
        oBean.m_strIp = QStringLiteral("127.0.0.%1").arg(i + 10);
        oBean.m_lStatus = DevStatusLogged;
        oBean.m_strLoginKey = QStringLiteral("key%1").arg(i);
        listDev.append(oBean);
    }
    return listDev;
}

void TestUpgradeDlg::init()
{
    m_listEmitted.clear();
    m_pDlg = new CUpgradeDlg;
    connect(m_pDlg, &CUpgradeDlg::sendResultSignal, this, [this](CUIDeviceBean &oBean) {
        m_listEmitted.append({QStringLiteral("result"), QString(), 0, oBean.m_strIp, oBean.m_lStatus});
    });
    connect(m_pDlg, &CUpgradeDlg::sendOperateSignal, this,
            [this](QString strPath, ULONG ulCmd, CUIDeviceBean &oBean) {
                m_listEmitted.append({QStringLiteral("operate"), strPath, ulCmd, oBean.m_strIp, oBean.m_lStatus});
            });
    m_pDlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pDlg));
}

void TestUpgradeDlg::cleanup()
{
    QTRY_VERIFY(DialogHelper::noModal());
    delete m_pDlg;
    m_pDlg = nullptr;
}

void TestUpgradeDlg::setDevices(int iCount)
{
    QList<CUIDeviceBean> listDev = devices(iCount);
    m_pDlg->getDevListInfoSlot(listDev);
}

void TestUpgradeDlg::setEdit(const char *pszName, const QString &strText)
{
    auto *pEdit = m_pDlg->findChild<QLineEdit *>(QLatin1String(pszName));
    QVERIFY(pEdit);
    pEdit->setText(strText);
}

void TestUpgradeDlg::click(const char *pszName)
{
    auto *pBtn = m_pDlg->findChild<QPushButton *>(QLatin1String(pszName));
    QVERIFY(pBtn);
    pBtn->click();
}

QString TestUpgradeDlg::clickAnswering(const char *pszName, const QString &strButton)
{
    auto seen = DialogHelper::clickOnModal(strButton);
    click(pszName);
    [&]() { QTRY_VERIFY(seen->done); }();
    return seen->text;
}

void TestUpgradeDlg::upgradeChecksFileName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QString() << QStringLiteral("请选择升级文件。");
    QTest::newRow("upper-case suffix") << QStringLiteral("/fw/image.ZIP") << QStringLiteral("升级文件格式不正确，请重新尝试。");
    QTest::newRow("no package") << QStringLiteral("/fw/image.tar") << QStringLiteral("升级文件格式不正确，请重新尝试。");
    QTest::newRow("zip inside the name") << QStringLiteral("D:/fw/image.zip.txt") << QStringLiteral("您确定要执行软件升级操作吗？");
    QTest::newRow("patch") << QStringLiteral("/fw/a.patch") << QStringLiteral("您确定要执行软件升级操作吗？");
    QTest::newRow("bin") << QStringLiteral("/fw/a.bin") << QStringLiteral("您确定要执行软件升级操作吗？");
}

void TestUpgradeDlg::upgradeChecksFileName()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    setDevices(1);
    setEdit("oUpdateEdit", file);
    // Every case is closed with Cancel: a refused file must never get as far as a question.
    // The question's later lines name the devices.
    QCOMPARE(clickAnswering("oUpdateBtn", QStringLiteral("oCancelBtn")).section(QLatin1Char('\n'), 0, 0), message);
    QVERIFY(m_listEmitted.isEmpty());
    QVERIFY(m_pDlg->isVisible());
}

void TestUpgradeDlg::upgradeCancelledChangesNothing()
{
    setDevices(2);
    setEdit("oUpdateEdit", QStringLiteral("/fw/image.zip"));
    clickAnswering("oUpdateBtn", QStringLiteral("oCancelBtn"));
    QVERIFY(m_listEmitted.isEmpty());
    QVERIFY(m_pDlg->isVisible());
}

void TestUpgradeDlg::upgradeSendsEveryDeviceInOrder()
{
    setDevices(2);
    setEdit("oUpdateEdit", QStringLiteral("D:/fw/image.zip.txt"));
    QCOMPARE(clickAnswering("oUpdateBtn", QStringLiteral("oOkBtn")).section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("您确定要执行软件升级操作吗？"));
    QCOMPARE(m_listEmitted.size(), 4);
    const QString strSent = QDir::toNativeSeparators(QStringLiteral("D:/fw/image.zip.txt"));
    for (int i = 0; i < 2; ++i) {
        const stEmitted &oResult = m_listEmitted.at(2 * i);
        const stEmitted &oOperate = m_listEmitted.at(2 * i + 1);
        QCOMPARE(oResult.strSignal, QStringLiteral("result"));
        QCOMPARE(oResult.lStatus, long(DevStatusUpgrading));
        QCOMPARE(oOperate.strSignal, QStringLiteral("operate"));
        QCOMPARE(oOperate.strPath, strSent);
        QCOMPARE(oOperate.ulCmd, ULONG(CUpgradeDlg::CmdUpgrade));
        QCOMPARE(oOperate.strIp, QStringLiteral("127.0.0.%1").arg(10 + i));
        QCOMPARE(oOperate.lStatus, long(DevStatusUpgrading));
    }
    QVERIFY(!m_pDlg->isVisible());
}

void TestUpgradeDlg::diagExportAlternatesSignals()
{
    setDevices(3);
    setEdit("oExportPathEdit", QStringLiteral("/tmp/diag"));
    click("oExportDiagInfoBtn"); // no question
    QCOMPARE(m_listEmitted.size(), 6);
    for (int i = 0; i < 6; ++i) {
        const stEmitted &oSeen = m_listEmitted.at(i);
        QCOMPARE(oSeen.strSignal, i % 2 ? QStringLiteral("operate") : QStringLiteral("result"));
        QCOMPARE(oSeen.strIp, QStringLiteral("127.0.0.%1").arg(10 + i / 2));
        QCOMPARE(oSeen.lStatus, long(DevStatusExporting));
        if (i % 2) {
            QCOMPARE(oSeen.ulCmd, ULONG(CUpgradeDlg::CmdExportDiag));
            QCOMPARE(oSeen.strPath, QDir::toNativeSeparators(QStringLiteral("/tmp/diag")));
        }
    }
    QVERIFY(!m_pDlg->isVisible());
}

void TestUpgradeDlg::diagExportNeedsFolder()
{
    setDevices(1);
    // The default folder is offered; an emptied field is refused.
    QVERIFY(!m_pDlg->findChild<QLineEdit *>(QStringLiteral("oExportPathEdit"))->text().isEmpty());
    setEdit("oExportPathEdit", QString());
    QCOMPARE(clickAnswering("oExportDiagInfoBtn", QStringLiteral("oCancelBtn")), QStringLiteral("请选择导出的目录。"));
    QVERIFY(m_listEmitted.isEmpty());
}

void TestUpgradeDlg::importChecksFileName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("confirm");
    QTest::newRow("empty") << QString() << QStringLiteral("请选择参数文件。") << false;
    QTest::newRow("txt") << QStringLiteral("/cfg/settings.txt") << QStringLiteral("文件格式(tgz)不正确，请重新尝试。") << false;
    QTest::newRow("upper-case CFG") << QStringLiteral("/cfg/Config.CFG") << QStringLiteral("文件格式(tgz)不正确，请重新尝试。") << false;
    QTest::newRow("cfg declined") << QStringLiteral("/cfg/Config.cfg") << QStringLiteral("导入本地配置文件后设备会自动重启,确定导入配置?") << false;
    QTest::newRow("tgz confirmed") << QStringLiteral("/cfg/all.tgz") << QStringLiteral("导入本地配置文件后设备会自动重启,确定导入配置?") << true;
}

void TestUpgradeDlg::importChecksFileName()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(bool, confirm);
    setDevices(1);
    setEdit("oImportCfgEdit", file);
    QCOMPARE(clickAnswering("oImportCfgBtn", confirm ? QStringLiteral("oOkBtn") : QStringLiteral("oCancelBtn")), message);
    if (!confirm) {
        QVERIFY(m_listEmitted.isEmpty());
        QVERIFY(m_pDlg->isVisible());
        return;
    }
    QCOMPARE(m_listEmitted.size(), 2);
    QCOMPARE(m_listEmitted.at(0).lStatus, long(DevStatusImporting));
    QCOMPARE(m_listEmitted.at(1).ulCmd, ULONG(CUpgradeDlg::CmdImportCfg));
    QCOMPARE(m_listEmitted.at(1).strPath, QDir::toNativeSeparators(file));
    QVERIFY(!m_pDlg->isVisible());
}

void TestUpgradeDlg::cfgExportRefusesSeveralDevices()
{
    setDevices(2);
    // The device count is checked before the folder.
    QCOMPARE(clickAnswering("oExportCfgBtn", QStringLiteral("oCancelBtn")),
             QStringLiteral("不能同时导出多台设备的系统配置。"));
    setEdit("oExportCfgEdit", QStringLiteral("/tmp/cfg"));
    QCOMPARE(clickAnswering("oExportCfgBtn", QStringLiteral("oCancelBtn")),
             QStringLiteral("不能同时导出多台设备的系统配置。"));
    QVERIFY(m_listEmitted.isEmpty());
}

void TestUpgradeDlg::cfgExportSendsFolder()
{
    setDevices(1);
    QCOMPARE(clickAnswering("oExportCfgBtn", QStringLiteral("oCancelBtn")), QStringLiteral("请选择导出的目录。"));
    QVERIFY(m_listEmitted.isEmpty());
    setEdit("oExportCfgEdit", QStringLiteral("/tmp/cfg"));
    click("oExportCfgBtn");
    QCOMPARE(m_listEmitted.size(), 2);
    QCOMPARE(m_listEmitted.at(0).lStatus, long(DevStatusExporting));
    QCOMPARE(m_listEmitted.at(1).ulCmd, ULONG(CUpgradeDlg::CmdExportCfg));
    QCOMPARE(m_listEmitted.at(1).strPath, QDir::toNativeSeparators(QStringLiteral("/tmp/cfg")));
}

void TestUpgradeDlg::editsKeepTextsBetweenUses()
{
    setDevices(1);
    setEdit("oExportPathEdit", QStringLiteral("/tmp/diag"));
    click("oExportDiagInfoBtn");
    QVERIFY(!m_pDlg->isVisible());
    m_pDlg->show();
    setDevices(2);
    m_listEmitted.clear();
    click("oExportDiagInfoBtn");
    QCOMPARE(m_listEmitted.size(), 4);
    QCOMPARE(m_listEmitted.at(3).strIp, QStringLiteral("127.0.0.11"));
}

void TestUpgradeDlg::pathFieldsLineUp()
{
    // Labels of different lengths in separate boxes: the fields still start and end together.
    QList<QRect> listRects;
    for (const char *pszName : {"oUpdateEdit", "oExportPathEdit", "oImportCfgEdit", "oExportCfgEdit"}) {
        auto *pEdit = m_pDlg->findChild<QLineEdit *>(QLatin1String(pszName));
        QVERIFY(pEdit);
        listRects << QRect(pEdit->mapTo(m_pDlg, QPoint(0, 0)), pEdit->size());
    }
    for (const QRect &rc : listRects) {
        QCOMPARE(rc.left(), listRects.first().left());
        QCOMPARE(rc.right(), listRects.first().right());
    }
}

void TestUpgradeDlg::closeButtonClosesWithoutAction()
{
    // Frameless: the button is the visible way out besides Escape.
    setDevices(1);
    click("oCancelBtn");
    QVERIFY(!m_pDlg->isVisible());
    QCOMPARE(m_pDlg->result(), int(QDialog::Rejected));
    QVERIFY(m_listEmitted.isEmpty());
}

void TestUpgradeDlg::cancelledBrowsingKeepsTypedPath_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("edit");
    QTest::newRow("upgrade") << "oUpdateFileDlgBtn" << "oUpdateEdit";
    QTest::newRow("diagnosis") << "oDiagnoseInfoDlgBtn" << "oExportPathEdit";
    QTest::newRow("import") << "oImportCfgFileDlgBtn" << "oImportCfgEdit";
    QTest::newRow("export") << "oExportCfgFileDlgBtn" << "oExportCfgEdit";
}

void TestUpgradeDlg::cancelledBrowsingKeepsTypedPath()
{
    QFETCH(QString, button);
    QFETCH(QString, edit);
    const QString strTyped = QStringLiteral("/typed/by/hand.zip");
    setEdit(qPrintable(edit), strTyped);
    // Qt's own file dialog here (no platform dialog offscreen); closing it cancels.
    auto seen = DialogHelper::onNextModal([](QWidget *pDlg) { QMetaObject::invokeMethod(pDlg, "reject"); });
    click(qPrintable(button));
    QTRY_VERIFY(seen->done);
    QCOMPARE(seen->className, QStringLiteral("QFileDialog"));
    QCOMPARE(m_pDlg->findChild<QLineEdit *>(edit)->text(), strTyped);
}

QTEST_MAIN(TestUpgradeDlg)
#include "tst_upgradedlg.moc"
