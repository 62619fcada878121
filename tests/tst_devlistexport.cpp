// The device tab's inventory export against simulated devices: every row to
// CSV and the ticked rows to JSON, each read back as the devices they list;
// rows another host answered for say so in a last column of their own.
// Loopback range 127.123.0.0/16, a forging host in 127.181.2.0/24 answering
// for addresses in 198.18.181.0/24 (never sent to), discovery port 37923.
#include "csvtable.h"
#include "dev_manageform.h"
#include "devfailreason.h"
#include "devlistexport.h"
#include "devtabhelper.h"
#include "dialoghelper.h"
#include "encodedevmodelex.h"
#include "inventory.h"
#include "recordtypes.h"
#include "simfleetprocess.h"

#include <QAction>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kFirstIp = QStringLiteral("127.123.0.97");
const QString kPort = QStringLiteral("37923");
constexpr int kIpc = 3;
constexpr int kNvr = 2;

QString colonMac(const QString &strMac)
{
    QStringList listParts;
    for (int i = 0; i < strMac.size(); i += 2)
        listParts << strMac.mid(i, 2).toLower();
    return listParts.join(QLatin1Char(':'));
}

} // namespace

class TestDevListExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void exportsReadBackAsTheListedDevices();
    void relayedRowsSayWhoAnswered();

private:
    // Triggers the export action and saves to strPath in the file dialog.
    bool exportTo(const char *pszAction, const QString &strPath);
    // The fields a device of the simulator must show in its row.
    void compareRow(const QStringList &listRow, const QString &strIp);
    // The records of an exported CSV file, header first.
    static QList<CsvTable::stRecord> readCsv(const QString &strPath);

    std::unique_ptr<SimFleetProcess> m_pSim;
    std::unique_ptr<CDevManageForm> m_pForm;
    QTemporaryDir m_oDir;
};

void TestDevListExport::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_oDir.isValid());
    qputenv("CORVANE_DISCOVERY_PORT", kPort.toLatin1());
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpc), QStringLiteral("--nvr"),
                                      QString::number(kNvr), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--port"), kPort}));
    QVERIFY2(m_pSim->start(), qPrintable(m_pSim->errorString()));
    m_pForm.reset(new CDevManageForm);
    // Logged in, the rows also hold type, mask and gateway.
    DevTabHelper::logInEveryListed(m_pForm.get(), kIpc + kNvr);
    QVERIFY(!QTest::currentTestFailed());
}

void TestDevListExport::cleanupTestCase()
{
    m_pForm.reset();
    m_pSim.reset();
}

bool TestDevListExport::exportTo(const char *pszAction, const QString &strPath)
{
    auto *pAction = m_pForm->findChild<QAction *>(QLatin1String(pszAction));
    if (!pAction)
        return false;
    auto pSeen = DialogHelper::onNextModal([strPath](QWidget *pDlg) {
        auto *pFileDlg = qobject_cast<QFileDialog *>(pDlg);
        if (!pFileDlg)
            return;
        // selectFile() leaves the name field alone once it has focus, which
        // depends on when the window was activated: type the name instead.
        auto *pName = pFileDlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!pName)
            return;
        pFileDlg->setDirectory(QFileInfo(strPath).absolutePath());
        pName->setText(QFileInfo(strPath).fileName());
        QMetaObject::invokeMethod(pFileDlg, "accept");
    });
    pAction->trigger();
    return QTest::qWaitFor([&pSeen] { return pSeen->done; }) && QTest::qWaitFor(DialogHelper::noModal)
        && pSeen->className == QLatin1String("QFileDialog");
}

void TestDevListExport::compareRow(const QStringList &listRow, const QString &strIp)
{
    const SimFleetProcess::Device *pDev = m_pSim->findByIp(strIp);
    QVERIFY2(pDev, qPrintable(strIp));
    QCOMPARE(listRow.size(), Inventory::fieldKeys().size());
    QCOMPARE(listRow.at(0), QStringLiteral("native"));
    QCOMPARE(listRow.at(1), pDev->type);
    QCOMPARE(listRow.at(2), strIp);
    QVERIFY(!listRow.at(3).isEmpty()); // mask, read at login
    QCOMPARE(listRow.at(5), colonMac(pDev->mac));
    QCOMPARE(listRow.at(7), pDev->model);
    QCOMPARE(listRow.at(8), pDev->serial);
}

QList<CsvTable::stRecord> TestDevListExport::readCsv(const QString &strPath)
{
    QList<CsvTable::stRecord> listRecords;
    QFile csv(strPath);
    int iErrorLine = 0;
    if (!csv.open(QIODevice::ReadOnly) || !CsvTable::parse(QString::fromUtf8(csv.readAll()), listRecords, iErrorLine))
        listRecords.clear();
    return listRecords;
}

void TestDevListExport::exportsReadBackAsTheListedDevices()
{
    QStringList listSorted;
    for (int i = 0; i < kIpc + kNvr; ++i)
        listSorted << SimFleetProcess::addressAt(kFirstIp, i);

    const QString strCsv = m_oDir.filePath(QStringLiteral("all.csv"));
    QVERIFY(exportTo("oExportAllAction", strCsv));
    const QList<CsvTable::stRecord> listRecords = readCsv(strCsv);
    QCOMPARE(listRecords.size(), kIpc + kNvr + 1);
    // The keys, but the note's header is for people.
    QStringList listHeader = Inventory::fieldKeys();
    listHeader.last() = CDevListExport::tr("备注");
    QCOMPARE(listRecords.first().listFields, listHeader);
    for (int i = 1; i < listRecords.size(); ++i)
        compareRow(listRecords.at(i).listFields, listSorted.at(i - 1));

    // Ticked: the last camera and the first recorder.
    QStringList listTicked{listSorted.at(kIpc - 1), listSorted.at(kIpc)};
    // The login left every row ticked.
    for (int i = 0; i < m_pForm->deviceList().size(); ++i)
        m_pForm->devModel()->setRowChecked(i, listTicked.contains(m_pForm->deviceList().at(i).m_strIp));
    const QString strJson = m_oDir.filePath(QStringLiteral("ticked.json"));
    QVERIFY(exportTo("oExportCheckedAction", strJson));
    QFile json(strJson);
    QVERIFY(json.open(QIODevice::ReadOnly));
    const QJsonArray array = QJsonDocument::fromJson(json.readAll()).array();
    QCOMPARE(array.size(), listTicked.size());
    for (int i = 0; i < array.size(); ++i) {
        QStringList listRow;
        for (const QString &strKey : Inventory::fieldKeys())
            listRow << array.at(i).toObject().value(strKey).toString();
        compareRow(listRow, listTicked.at(i));
    }
}

void TestDevListExport::relayedRowsSayWhoAnswered()
{
    const QString strRelay = QStringLiteral("127.181.2.11");
    SimFleetProcess forged({QStringLiteral("--ipc"), QStringLiteral("1"), QStringLiteral("--first"),
                            QStringLiteral("127.181.2.10"), QStringLiteral("--port"), kPort,
                            QStringLiteral("--forge-answers"),
                            strRelay + QStringLiteral("=198.18.181.30-198.18.181.31")});
    QVERIFY2(forged.start(), qPrintable(forged.errorString()));
    QCOMPARE(m_pForm->on_oRefreshBtn_clicked(), 0ul);
    QTRY_COMPARE_WITH_TIMEOUT(m_pForm->deviceList().size(), kIpc + kNvr + 3, 10000);

    const QString strCsv = m_oDir.filePath(QStringLiteral("relayed.csv"));
    QVERIFY(exportTo("oExportAllAction", strCsv));
    const QList<CsvTable::stRecord> listRecords = readCsv(strCsv);
    QCOMPARE(listRecords.size(), kIpc + kNvr + 4);
    const int iIp = Inventory::fieldKeys().indexOf(QStringLiteral("ip"));
    QStringList listRelayed;
    for (const CsvTable::stRecord &oRecord : listRecords.mid(1)) {
        const QString strIp = oRecord.listFields.at(iIp);
        const QString strNote = oRecord.listFields.last();
        if (!strNote.isEmpty()) {
            QCOMPARE(strNote, CDevFailReason::relayed(strRelay, strIp));
            listRelayed << strIp;
        }
    }
    QCOMPARE(listRelayed, (QStringList{QStringLiteral("198.18.181.30"), QStringLiteral("198.18.181.31")}));
}

QTEST_MAIN(TestDevListExport)
#include "tst_devlistexport.moc"
