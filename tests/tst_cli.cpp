// corvane-cli against a simulated fleet: the inventory in its three formats,
// the password rules, address plans that are refused whole, and a plan that
// moves twenty devices; ONVIF cameras listed with their maker, reached by
// name and moved by a plan, and the pin of an HTTPS camera kept between runs;
// answers from another host or in conflict noted as the device table notes them.
// Loopback range 127.120.0.0/16, discovery port 37920; ONVIF cameras in
// 127.142.0.0/16, 127.174.0.0/16 and 127.175.0.0/16; forging hosts in
// 127.181.0.0/24, answering for addresses in 198.18.181.0/24 (never sent to).
#include "csvtable.h"
#include "inventory.h"
#include "simfleetprocess.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString kFirstIp = QStringLiteral("127.120.0.90"); // the fleet crosses .99 -> .100
const QString kPort = QStringLiteral("37920");
const QString kNewFirst = QStringLiteral("127.120.5.10");
constexpr int kIpc = 18;
constexpr int kNvr = 4;
constexpr int kTimeoutMs = 60000;

struct stRun
{
    int iExit = -1;
    QByteArray baOut;
    QByteArray baErr;
};

QString colonMac(const QString &strMac)
{
    QStringList listParts;
    for (int i = 0; i < strMac.size(); i += 2)
        listParts << strMac.mid(i, 2).toLower();
    return listParts.join(QLatin1Char(':'));
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void discoverListsTheFleetInThreeFormats();
    void discoverNotesRelayedAndConflictingAnswers();
    void passwordsNeverComeFromTheCommandLine();
    void planWithABadRowSendsNothing_data();
    void planWithABadRowSendsNothing();
    void planMovesTwentyDevices();
    void onvifCameraIsListedAndReachedByName();
    void planMovesAnOnvifCameraByEndpoint();
    void onvifCertificatePinOutlivesTheProgram();

private:
    stRun cli(const QStringList &listArgs, const QByteArray &baPassword = QByteArray("vorpe")) const;
    // Addresses by MAC as a discovery finds them now.
    QHash<QString, QString> addressesByMac() const;
    QString writePlan(const QString &strName, const QStringList &listRows) const;

    std::unique_ptr<SimFleetProcess> m_pSim;
    QTemporaryDir m_oDir;
};

void TestCli::initTestCase()
{
    QVERIFY(m_oDir.isValid());
    m_pSim.reset(new SimFleetProcess({QStringLiteral("--ipc"), QString::number(kIpc), QStringLiteral("--nvr"),
                                      QString::number(kNvr), QStringLiteral("--first"), kFirstIp,
                                      QStringLiteral("--port"), kPort}));
    // A fleet that cannot start fails the test; it is never skipped.
    QVERIFY2(m_pSim->start(), qPrintable(m_pSim->errorString()));
}

stRun TestCli::cli(const QStringList &listArgs, const QByteArray &baPassword) const
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_LOOPBACK_ONLY"), QStringLiteral("1"));
    env.insert(QStringLiteral("CORVANE_DISCOVERY_PORT"), kPort);
    // As installed: the keys of devices met before are kept between runs.
    env.insert(QStringLiteral("CORVANE_DEVICE_PINS"), m_oDir.filePath(QStringLiteral("device-pins")));
    env.remove(QStringLiteral("CORVANE_LANG"));
    env.remove(QStringLiteral("CORVANE_PASSWORD"));
    if (!baPassword.isNull())
        env.insert(QStringLiteral("CORVANE_PASSWORD"), QString::fromUtf8(baPassword));
    process.setProcessEnvironment(env);
    // No terminal: a missing password must fail rather than prompt.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(CORVANE_CLI), listArgs);
    stRun run;
    if (!process.waitForFinished(kTimeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.iExit = process.exitCode();
    run.baOut = process.readAllStandardOutput();
    run.baErr = process.readAllStandardError();
    return run;
}

QHash<QString, QString> TestCli::addressesByMac() const
{
    const stRun run = cli({QStringLiteral("discover"), QStringLiteral("--format"), QStringLiteral("json")});
    QHash<QString, QString> hashIp;
    for (const QJsonValue &value : QJsonDocument::fromJson(run.baOut).array())
        hashIp.insert(value[QStringLiteral("mac")].toString(), value[QStringLiteral("ip")].toString());
    return hashIp;
}

QString TestCli::writePlan(const QString &strName, const QStringList &listRows) const
{
    const QString strPath = m_oDir.filePath(strName);
    QFile file(strPath);
    if (file.open(QIODevice::WriteOnly))
        file.write((listRows.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return strPath;
}

void TestCli::discoverListsTheFleetInThreeFormats()
{
    QStringList listSorted;
    for (int i = 0; i < kIpc + kNvr; ++i)
        listSorted << SimFleetProcess::addressAt(kFirstIp, i);

    const stRun json = cli({QStringLiteral("discover"), QStringLiteral("--format"), QStringLiteral("json")});
    QCOMPARE(json.iExit, 0);
    const QJsonArray array = QJsonDocument::fromJson(json.baOut).array();
    QCOMPARE(array.size(), kIpc + kNvr);
    for (int i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QStringList listKeys = object.keys();
        QCOMPARE(QSet<QString>(listKeys.cbegin(), listKeys.cend()),
                 QSet<QString>(Inventory::fieldKeys().cbegin(), Inventory::fieldKeys().cend()));
        QCOMPARE(object[QStringLiteral("ip")].toString(), listSorted.at(i));
        QCOMPARE(object[QStringLiteral("protocol")].toString(), QStringLiteral("native"));
        const SimFleetProcess::Device *pDev = m_pSim->findByIp(listSorted.at(i));
        QVERIFY(pDev);
        QCOMPARE(object[QStringLiteral("serial")].toString(), pDev->serial);
        QCOMPARE(object[QStringLiteral("mac")].toString(), colonMac(pDev->mac));
        QCOMPARE(object[QStringLiteral("model")].toString(), pDev->model);
    }

    const stRun csv = cli({QStringLiteral("discover"), QStringLiteral("--format"), QStringLiteral("csv")});
    QCOMPARE(csv.iExit, 0);
    QList<CsvTable::stRecord> listRecords;
    int iErrorLine = 0;
    QVERIFY(CsvTable::parse(QString::fromUtf8(csv.baOut), listRecords, iErrorLine));
    QCOMPARE(listRecords.size(), kIpc + kNvr + 1);
    QCOMPARE(listRecords.first().listFields, Inventory::fieldKeys());
    for (int i = 1; i < listRecords.size(); ++i)
        QCOMPARE(listRecords.at(i).listFields.at(2), listSorted.at(i - 1));

    const stRun table = cli({QStringLiteral("discover")});
    QCOMPARE(table.iExit, 0);
    const QList<QByteArray> listLines = table.baOut.trimmed().split('\n');
    QCOMPARE(listLines.size(), kIpc + kNvr);
    for (int i = 0; i < listLines.size(); ++i)
        QCOMPARE(QString::fromUtf8(listLines.at(i).simplified().split(' ').at(2)), listSorted.at(i));
}

void TestCli::discoverNotesRelayedAndConflictingAnswers()
{
    // Another device answering from a camera's own address, and a host answering for two
    // addresses off the host's networks (the only ones the library takes from another sender).
    const QString strReal = QStringLiteral("127.181.0.10");
    const QString strRelay = QStringLiteral("127.181.0.11");
    SimFleetProcess forged({QStringLiteral("--ipc"), QStringLiteral("1"), QStringLiteral("--first"), strReal,
                            QStringLiteral("--port"), kPort, QStringLiteral("--forge-answers"),
                            strReal + QLatin1Char('=') + strReal, QStringLiteral("--forge-answers"),
                            strRelay + QStringLiteral("=198.18.181.20-198.18.181.21")});
    QVERIFY2(forged.start(), qPrintable(forged.errorString()));

    const stRun json = cli({QStringLiteral("discover"), QStringLiteral("--format"), QStringLiteral("json")});
    QCOMPARE(json.iExit, 0);
    QStringList listNoted;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.baOut).array()) {
        const QString strIp = value[QStringLiteral("ip")].toString();
        const QString strNote = value[QStringLiteral("note")].toString();
        if (strIp == strReal)
            QCOMPARE(strNote, QStringLiteral("Address conflict: another device uses the same address"));
        else if (strIp.startsWith(QLatin1String("198.18.181.")))
            QCOMPARE(strNote, QStringLiteral("answers from %1 for %2").arg(strRelay, strIp));
        else
            QVERIFY2(strNote.isEmpty(), qPrintable(strIp + QLatin1Char(' ') + strNote));
        if (!strNote.isEmpty())
            listNoted << strIp;
    }
    QCOMPARE(listNoted,
             (QStringList{strReal, strReal, QStringLiteral("198.18.181.20"), QStringLiteral("198.18.181.21")}));

    // The table keeps its columns; the note is the rest of the line.
    const stRun table = cli({QStringLiteral("discover")});
    QCOMPARE(table.iExit, 0);
    QByteArray baNote;
    for (const QByteArray &baLine : table.baOut.split('\n')) {
        const QList<QByteArray> listWords = baLine.simplified().split(' ');
        if (listWords.size() > 2 && listWords.at(2) == "198.18.181.20")
            baNote = listWords.mid(Inventory::fieldKeys().size() - 1).join(' ');
    }
    QCOMPARE(baNote, QByteArray("answers from 127.181.0.11 for 198.18.181.20"));
}

void TestCli::passwordsNeverComeFromTheCommandLine()
{
    const QString strIp = kFirstIp;
    const stRun onLine = cli({QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"),
                              QStringLiteral("--password"), QStringLiteral("vorpe"), strIp});
    QCOMPARE(onLine.iExit, 2);
    QVERIFY(onLine.baOut.isEmpty());
    QVERIFY2(onLine.baErr.contains("CORVANE_PASSWORD"), onLine.baErr.constData());

    const stRun none = cli({QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"), strIp},
                           QByteArray());
    QCOMPARE(none.iExit, 2);

    const stRun wrong = cli({QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"), strIp},
                            QByteArray("not-the-password"));
    QCOMPARE(wrong.iExit, 1);
    QVERIFY(wrong.baOut.isEmpty());
    QCOMPARE(wrong.baErr.trimmed(), QByteArray(strIp.toLatin1() + " failed: Wrong user name or password"));

    const QString strFile = writePlan(QStringLiteral("password"), {QStringLiteral("vorpe")});
    const stRun right = cli({QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"),
                             QStringLiteral("--password-file"), strFile, QStringLiteral("--format"),
                             QStringLiteral("csv"), strIp},
                            QByteArray());
    QCOMPARE(right.iExit, 0);
    const QList<QByteArray> listLines = right.baOut.trimmed().split('\n');
    QCOMPARE(listLines.size(), 2);
    QVERIFY2(listLines.at(1).startsWith("native,IPC," + strIp.toLatin1() + ","), listLines.at(1).constData());
}

void TestCli::planWithABadRowSendsNothing_data()
{
    QTest::addColumn<QString>("badRow");
    QTest::addColumn<QString>("reason");
    const SimFleetProcess::Device &oSecond = m_pSim->devices().at(1);
    QTest::newRow("bad mask") << QStringLiteral("%1,127.120.6.2,255.0.255.0,127.120.0.1").arg(oSecond.mac)
                              << QStringLiteral("line 3: subnet mask 255.0.255.0 is not valid");
    QTest::newRow("duplicate address") << QStringLiteral("%1,127.120.6.1,255.255.0.0,127.120.0.1").arg(oSecond.mac)
                                       << QStringLiteral("line 3: IP address 127.120.6.1 repeats line 2");
    QTest::newRow("unknown MAC") << QStringLiteral("02c3a7ffffff,127.120.6.2,255.255.0.0,127.120.0.1")
                                 << QStringLiteral("line 3: no device with MAC 02c3a7ffffff was found");
}

void TestCli::planWithABadRowSendsNothing()
{
    QFETCH(QString, badRow);
    QFETCH(QString, reason);
    const SimFleetProcess::Device &oFirst = m_pSim->devices().at(0);
    const QString strPlan = writePlan(QStringLiteral("bad.csv"),
                                      {QStringLiteral("mac,ip,mask,gateway,user"),
                                       QStringLiteral("%1,127.120.6.1,255.255.0.0,127.120.0.1,admin").arg(oFirst.mac),
                                       badRow + QStringLiteral(",admin")});
    const stRun run = cli({QStringLiteral("set-address"), QStringLiteral("--plan"), strPlan});
    QCOMPARE(run.iExit, 2);
    QVERIFY(run.baOut.isEmpty());
    QVERIFY2(run.baErr.contains((strPlan + QStringLiteral(": ") + reason).toUtf8()), run.baErr.constData());
    // The good row was not sent either.
    QCOMPARE(addressesByMac().value(colonMac(oFirst.mac)), oFirst.ip);
}

void TestCli::planMovesTwentyDevices()
{
    QStringList listRows{QStringLiteral("serial,mac,ip,mask,gateway")};
    QHash<QString, QString> hashWanted;
    for (int i = 0; i < 20; ++i) {
        // Cameras by MAC, recorders by serial number.
        const SimFleetProcess::Device &oDev = m_pSim->devices().at(i < 18 ? i : kIpc + i - 18);
        const QString strNew = SimFleetProcess::addressAt(kNewFirst, i);
        listRows << (oDev.type == QLatin1String("IPC") ? QStringLiteral(",%1").arg(colonMac(oDev.mac))
                                                       : QStringLiteral("%1,").arg(oDev.serial))
                        + QStringLiteral(",%1,255.255.0.0,127.120.0.1").arg(strNew);
        hashWanted.insert(colonMac(oDev.mac), strNew);
    }
    const stRun run = cli({QStringLiteral("set-address"), QStringLiteral("--user"), QStringLiteral("admin"),
                           QStringLiteral("--plan"), writePlan(QStringLiteral("move.csv"), listRows)});
    QCOMPARE(run.iExit, 0);
    QCOMPARE(run.baOut.count(" ok\n"), 20);

    const QHash<QString, QString> hashFound = addressesByMac();
    for (auto it = hashWanted.cbegin(); it != hashWanted.cend(); ++it)
        QCOMPARE(hashFound.value(it.key()), it.value());
}

void TestCli::onvifCameraIsListedAndReachedByName()
{
    // Its discovery port is the fleet's, so the program's search finds both.
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("2"), QStringLiteral("--first"),
                           QStringLiteral("127.142.0.10"), QStringLiteral("--port"), QStringLiteral("37942"),
                           QStringLiteral("--onvif-discovery-port"), kPort});
    QVERIFY2(onvif.start(), qPrintable(onvif.errorString()));
    const SimFleetProcess::Device &oFirst = onvif.devices().at(0);
    const SimFleetProcess::Device &oSecond = onvif.devices().at(1);

    const stRun listed = cli({QStringLiteral("discover"), QStringLiteral("--format"), QStringLiteral("json")});
    QCOMPARE(listed.iExit, 0);
    QJsonObject found;
    for (const QJsonValue &value : QJsonDocument::fromJson(listed.baOut).array()) {
        if (value[QStringLiteral("ip")].toString() == oFirst.ip)
            found = value.toObject();
    }
    QCOMPARE(found[QStringLiteral("protocol")].toString(), QStringLiteral("onvif"));
    QCOMPARE(found[QStringLiteral("model")].toString(), oFirst.model);
    QCOMPARE(found[QStringLiteral("manufacturer")].toString(), QStringLiteral("Corvane Sim"));
    QCOMPARE(found[QStringLiteral("xaddr")].toString(),
             QStringLiteral("http://%1:%2/onvif/device_service").arg(oFirst.ip).arg(oFirst.httpPort));

    const stRun info = cli({QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"),
                            QStringLiteral("--format"), QStringLiteral("json"),
                            QStringLiteral("onvif://%1:%2").arg(oSecond.ip).arg(oSecond.httpPort)});
    QVERIFY2(info.iExit == 0, info.baErr.constData());
    const QJsonArray array = QJsonDocument::fromJson(info.baOut).array();
    QCOMPARE(array.size(), 1);
    const QJsonObject read = array.first().toObject();
    QCOMPARE(read[QStringLiteral("protocol")].toString(), QStringLiteral("onvif"));
    QCOMPARE(read[QStringLiteral("ip")].toString(), oSecond.ip);
    QCOMPARE(read[QStringLiteral("manufacturer")].toString(), QStringLiteral("Corvane Sim"));
    QCOMPARE(read[QStringLiteral("serial")].toString(), oSecond.serial);
    QCOMPARE(read[QStringLiteral("mac")].toString(), colonMac(oSecond.mac));
}

void TestCli::planMovesAnOnvifCameraByEndpoint()
{
    SimFleetProcess onvif({QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--first"),
                           QStringLiteral("127.174.0.10"), QStringLiteral("--port"), QStringLiteral("37974"),
                           QStringLiteral("--onvif-discovery-port"), kPort});
    QVERIFY2(onvif.start(), qPrintable(onvif.errorString()));
    const SimFleetProcess::Device &oCam = onvif.devices().at(0);
    const QString strPlan = writePlan(QStringLiteral("onvif.csv"),
                                      {QStringLiteral("endpoint,ip,mask,gateway"),
                                       oCam.endpoint + QStringLiteral(",127.174.5.10,255.255.0.0,127.174.0.1")});

    // Before a login the camera tells no MAC: a plan asking for its address names it by its endpoint.
    const SimFleetProcess::Device &oNative = m_pSim->devices().at(2);
    const QString strTaken = writePlan(QStringLiteral("taken.csv"),
                                       {QStringLiteral("mac,ip,mask,gateway"),
                                        oNative.mac + QStringLiteral(",127.174.0.10,255.255.0.0,127.174.0.1")});
    const stRun taken = cli({QStringLiteral("set-address"), QStringLiteral("--plan"), strTaken,
                             QStringLiteral("--user"), QStringLiteral("admin")});
    QCOMPARE(taken.iExit, 2);
    const QString strHeld = QStringLiteral("line 2: IP address 127.174.0.10 is used by another device (%1)");
    QVERIFY2(taken.baErr.contains(strHeld.arg(oCam.endpoint).toUtf8()), taken.baErr.constData());

    const stRun run = cli({QStringLiteral("set-address"), QStringLiteral("--plan"), strPlan, QStringLiteral("--user"),
                           QStringLiteral("admin")});
    QVERIFY2(run.iExit == 0, run.baErr.constData());
    QCOMPARE(run.baOut, QByteArray("127.174.0.10 ok\n"));
    const stRun info = cli({QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"),
                            QStringLiteral("--format"), QStringLiteral("json"),
                            QStringLiteral("onvif://127.174.5.10:%1").arg(oCam.httpPort)});
    QVERIFY2(info.iExit == 0, info.baErr.constData());
    QCOMPARE(QJsonDocument::fromJson(info.baOut).array().first()[QStringLiteral("serial")].toString(), oCam.serial);
}

void TestCli::onvifCertificatePinOutlivesTheProgram()
{
    const QString strIp = QStringLiteral("127.175.0.10");
    const QStringList listArgs{QStringLiteral("--onvif"), QStringLiteral("1"), QStringLiteral("--onvif-https"),
                               QStringLiteral("--first"), strIp, QStringLiteral("--port"), QStringLiteral("37975"),
                               QStringLiteral("--onvif-discovery-port"), kPort};
    const QStringList listInfo{QStringLiteral("info"), QStringLiteral("--user"), QStringLiteral("admin"), strIp};
    {
        SimFleetProcess onvif(listArgs);
        QVERIFY2(onvif.start(), qPrintable(onvif.errorString()));
        const stRun first = cli(listInfo);
        QVERIFY2(first.iExit == 0, first.baErr.constData());
        QVERIFY2(cli(listInfo).iExit == 0, "a second run refused the key it pinned");
    }
    // The same address with a key of its own: a camera put in its place.
    QTemporaryDir oState;
    SimFleetProcess impostor(listArgs + QStringList{QStringLiteral("--state"), oState.path()});
    QVERIFY2(impostor.start(), qPrintable(impostor.errorString()));
    const stRun refused = cli(listInfo);
    QCOMPARE(refused.iExit, 1);
    QVERIFY2(refused.baErr.contains(strIp.toLatin1() + " failed: The device's certificate differs"),
             refused.baErr.constData());
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
