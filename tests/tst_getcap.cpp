// The capability worker against the simulator: documents by kind, a full
// 5120-byte document, a document that does not parse, a failing kind that
// ends its opening, and the live-stream start.
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_getcap.h"
#include "zelt_mw_sdk.h"

#include <QThread>
#include <QtTest>

namespace {

// This file's own loopback range.
const QString kFirst = QStringLiteral("127.20.0.10");

QByteArray login(const QString &ip)
{
    char userId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", ip.toLatin1().constData(), 0, userId) != 0)
        return QByteArray();
    return QByteArray(userId);
}

QString tagOf(const QList<stDevCapacityInfo> &list, const QString &tag)
{
    for (const stDevCapacityInfo &info : list) {
        if (info.strTagName == tag)
            return info.strText;
    }
    return QString();
}

// The worker on its own thread, as the device tab runs it.
struct WorkerRig
{
    QThread thread;
    CGetCapThread *pWorker = new CGetCapThread;
    QSignalSpy results{pWorker, &CGetCapThread::sendGetCapReslut_sig};
    QSignalSpy failures{pWorker, &CGetCapThread::sendGetCapFailed_sig};
    QSignalSpy lives{pWorker, &CGetCapThread::sendStartLiveResult};

    WorkerRig()
    {
        pWorker->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, pWorker, &QObject::deleteLater);
        thread.start();
    }
    ~WorkerRig()
    {
        thread.quit();
        thread.wait();
    }
    void fetch(const QByteArray &userId, ulong kind, quint32 opening)
    {
        QMetaObject::invokeMethod(pWorker, "getDevCap_slot", Qt::QueuedConnection,
                                  Q_ARG(QString, QString::fromLatin1(userId)), Q_ARG(ulong, kind),
                                  Q_ARG(quint32, opening));
    }
    void live(const QByteArray &userId, quint32 opening)
    {
        QMetaObject::invokeMethod(pWorker, "startLivePlay", Qt::QueuedConnection,
                                  Q_ARG(QString, QString::fromLatin1(userId)), Q_ARG(quint32, opening));
    }
};

} // namespace

class TestGetCap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void documentsByKind();
    void fullLengthAndGarbled();
    void failedKindEndsItsOpening();
    void failedLiveStartIsReported();
};

void TestGetCap::initTestCase()
{
    registerRecordTypes();
    qRegisterMetaType<ulong>("ulong");
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
}

void TestGetCap::documentsByKind()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFirst, "--ipc-models", "ZC-5330"});
    CORVANE_START_SIMULATOR(sim);
    const QByteArray userId = login(sim.devices().first().ip);
    QVERIFY(!userId.isEmpty());

    WorkerRig rig;
    rig.fetch(userId, 1, 1);
    rig.fetch(userId, 4, 1);
    rig.fetch(userId, 3, 1);
    rig.live(userId, 1);
    QTRY_COMPARE(rig.lives.size(), 1);
    QCOMPARE(rig.failures.size(), 0);
    QCOMPARE(rig.results.size(), 3);
    QList<ulong> kinds;
    for (const QList<QVariant> &args : qAsConst(rig.results))
        kinds << args.at(1).value<ulong>();
    QCOMPARE(kinds, (QList<ulong>{1, 4, 3}));
    const auto encode = rig.results.at(2).at(0).value<QList<stDevCapacityInfo>>();
    QVERIFY(!encode.isEmpty());
    QCOMPARE(encode.first().strParentName, QStringLiteral("#document"));
    QCOMPARE(tagOf(encode, "MaxStream"), QStringLiteral("3"));
    const auto network = rig.results.at(1).at(0).value<QList<stDevCapacityInfo>>();
    QCOMPARE(tagOf(network, "WorkMode"), QStringLiteral("0,1,2,3,4,5"));

    const ulong ulHandle = rig.lives.first().at(0).value<ulong>();
    QCOMPARE(rig.lives.first().at(1).value<ulong>(), 0ul);
    QVERIFY(ulHandle != 0);
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), DWORD(ulHandle)), DWORD(0));
    ZELT_MW_Logout(userId.constData());
}

void TestGetCap::fullLengthAndGarbled()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFirst, "--ipc-models", "ZC-2320", "--cap-full", "1",
                         "--cap-garbled", "4"});
    CORVANE_START_SIMULATOR(sim);
    const QByteArray userId = login(sim.devices().first().ip);
    QVERIFY(!userId.isEmpty());

    // The image document fills the whole buffer and still parses.
    QByteArray raw(ZELT_MW_CAP_MAX_LEN + 1, '\0');
    DWORD ulLen = ZELT_MW_CAP_MAX_LEN;
    QCOMPARE(ZELT_MW_GetDeviceCapability(userId.constData(), 1, &ulLen, raw.data()), DWORD(0));
    QCOMPARE(ulLen, DWORD(ZELT_MW_CAP_MAX_LEN));

    WorkerRig rig;
    rig.fetch(userId, 1, 7);
    rig.fetch(userId, 4, 7);
    rig.fetch(userId, 3, 7);
    QTRY_COMPARE(rig.results.size(), 3);
    QCOMPARE(rig.failures.size(), 0);
    const auto image = rig.results.at(0).at(0).value<QList<stDevCapacityInfo>>();
    QCOMPARE(image.first().strTagName, QStringLiteral("ImageCap"));
    QVERIFY(!tagOf(image, "Brightness").isEmpty());
    // A document that does not parse arrives empty, so its page stays hidden.
    QVERIFY(rig.results.at(1).at(0).value<QList<stDevCapacityInfo>>().isEmpty());
    QCOMPARE(rig.results.at(1).at(1).value<ulong>(), 4ul);
    QVERIFY(!rig.results.at(2).at(0).value<QList<stDevCapacityInfo>>().isEmpty());
    ZELT_MW_Logout(userId.constData());
}

void TestGetCap::failedKindEndsItsOpening()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFirst, "--ipc-models", "ZC-2320", "--cap-fail", "1"});
    CORVANE_START_SIMULATOR(sim);
    const QByteArray userId = login(sim.devices().first().ip);
    QVERIFY(!userId.isEmpty());

    WorkerRig rig;
    rig.fetch(userId, 1, 3);
    rig.fetch(userId, 4, 3);
    rig.fetch(userId, 3, 3);
    rig.live(userId, 3);
    // The next opening's requests still run; the failed one's never do.
    rig.fetch(userId, 4, 4);
    QTRY_COMPARE(rig.results.size(), 1);
    QCOMPARE(rig.failures.size(), 1);
    QCOMPARE(rig.failures.first().at(0).value<ulong>(), ulong(ZELT_MW_ERR_BUSY));
    QCOMPARE(rig.failures.first().at(1).value<quint32>(), 3u);
    QCOMPARE(rig.results.first().at(2).value<quint32>(), 4u);
    QCOMPARE(rig.lives.size(), 0);
    ZELT_MW_Logout(userId.constData());
}

void TestGetCap::failedLiveStartIsReported()
{
    SimFleetProcess sim({"--ipc", "1", "--first", kFirst, "--ipc-models", "ZC-2320", "--stream-fail"});
    CORVANE_START_SIMULATOR(sim);
    const QByteArray userId = login(sim.devices().first().ip);
    QVERIFY(!userId.isEmpty());

    WorkerRig rig;
    rig.live(userId, 9);
    QTRY_COMPARE(rig.lives.size(), 1);
    QCOMPARE(rig.failures.size(), 0);
    QCOMPARE(rig.lives.first().at(0).value<ulong>(), 0ul);
    QVERIFY(rig.lives.first().at(1).value<ulong>() != 0);
    ZELT_MW_Logout(userId.constData());
}

QTEST_GUILESS_MAIN(TestGetCap)
#include "tst_getcap.moc"
