#include "workerhost.h"

#include <QPointer>
#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

// A worker whose "blocking" requests wait until the test releases them, like
// a library call that hangs until its timeout.
class CFakeWorker : public QObject
{
    Q_OBJECT

public:
    explicit CFakeWorker(QSemaphore *pGate)
        : m_pGate(pGate)
    {
    }

signals:
    void sendStarted(int iRequest);
    void sendDone(int iRequest, QThread *pThread);

public slots:
    void workSlot(int iRequest, bool bBlock)
    {
        emit sendStarted(iRequest);
        if (bBlock)
            m_pGate->acquire();
        emit sendDone(iRequest, QThread::currentThread());
    }

private:
    QSemaphore *m_pGate;
};

class TestWorkerHost : public QObject
{
    Q_OBJECT

signals:
    void sendWork(int iRequest, bool bBlock);

private:
    QSemaphore m_gate;
    QList<int> m_listDone;
    QList<int> m_listStarted;
    QList<QPointer<CFakeWorker>> m_listWorkers;

    CWorkerHost::Factory factory()
    {
        return [this] {
            auto *pWorker = new CFakeWorker(&m_gate);
            connect(this, &TestWorkerHost::sendWork, pWorker, &CFakeWorker::workSlot);
            connect(pWorker, &CFakeWorker::sendStarted, this, [this](int iRequest) { m_listStarted << iRequest; });
            connect(pWorker, &CFakeWorker::sendDone, this, [this](int iRequest) { m_listDone << iRequest; });
            m_listWorkers << pWorker;
            return pWorker;
        };
    }

private slots:
    void init()
    {
        m_listDone.clear();
        m_listStarted.clear();
        m_listWorkers.clear();
        m_gate.tryAcquire(m_gate.available());
    }

    void runsOnItsOwnThread()
    {
        CWorkerHost host(this, factory());
        QVERIFY(host.worker());
        QVERIFY(host.worker()->thread() != QThread::currentThread());
        QVERIFY(host.worker()->thread()->isRunning());
        emit sendWork(1, false);
        emit sendWork(2, false);
        QTRY_COMPARE(m_listDone, (QList<int>{1, 2}));
    }

    void renewDoesNotWaitForABlockedWorker()
    {
        CWorkerHost host(this, factory());
        emit sendWork(1, true);   // blocks the first worker
        emit sendWork(2, false);  // queued behind it: abandoned by the renewal
        QTRY_COMPARE(m_listStarted, QList<int>{1});
        QObject *pOld = host.worker();
        host.renew();
        QVERIFY(host.worker() != pOld);

        // The fresh worker answers while the old one still hangs.
        emit sendWork(3, false);
        QTRY_COMPARE(m_listDone, QList<int>{3});

        // The old call ends and still reports; the request queued behind it is dropped
        // and the old worker goes away with its thread.
        m_gate.release();
        QTRY_COMPARE(m_listDone, (QList<int>{3, 1}));
        QTRY_VERIFY(m_listWorkers.at(0).isNull());
        QCOMPARE(m_listDone, (QList<int>{3, 1}));
        QVERIFY(!m_listWorkers.at(1).isNull());
    }

    void destructionWaitsForRetiredWorkers()
    {
        QThread *pReleaser = nullptr;
        {
            CWorkerHost host(this, factory());
            emit sendWork(1, true);
            QTRY_COMPARE(m_listStarted, QList<int>{1});
            host.renew();
            host.renew();
            QCOMPARE(m_listWorkers.size(), 3);
            // Let the hanging call end soon after destruction has begun.
            pReleaser = QThread::create([this] {
                QThread::msleep(50);
                m_gate.release();
            });
            pReleaser->start();
            // The destructor's wait returns once the call ended; nothing keeps running.
        }
        for (const QPointer<CFakeWorker> &pWorker : qAsConst(m_listWorkers))
            QVERIFY(pWorker.isNull());
        pReleaser->wait();
        delete pReleaser;
    }
};

QTEST_MAIN(TestWorkerHost)
#include "tst_workerhost.moc"
