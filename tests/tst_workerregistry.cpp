#include "workerregistry.h"

#include <QPointer>
#include <QThread>
#include <QtTest>

// Answers each request with the thread it ran on; built with its receiver,
// as the device workers are.
class CEchoWorker : public QObject
{
    Q_OBJECT

public:
    explicit CEchoWorker(QObject *pReceiver)
        : m_pReceiver(pReceiver)
    {
        s_listCreated << this;
    }
    ~CEchoWorker() override { s_listDestroyed << m_iTag; }

    static QList<QPointer<CEchoWorker>> s_listCreated;
    static QList<int> s_listDestroyed;

signals:
    void sendEcho(int iValue, QThread *pThread);

public slots:
    void echoSlot(int iValue)
    {
        m_iTag = iValue;
        QMetaObject::invokeMethod(m_pReceiver, "echoed", Qt::QueuedConnection, Q_ARG(int, iValue));
    }

private:
    QObject *m_pReceiver;
    int m_iTag = -1;
};

QList<QPointer<CEchoWorker>> CEchoWorker::s_listCreated;
QList<int> CEchoWorker::s_listDestroyed;

class TestWorkerRegistry : public QObject
{
    Q_OBJECT

signals:
    void sendFirst(int iValue);
    void sendSecond(int iValue);

public slots:
    void echoed(int iValue) { m_listEchoed << iValue; }

private:
    QList<int> m_listEchoed;

private slots:
    void init()
    {
        m_listEchoed.clear();
        CEchoWorker::s_listCreated.clear();
        CEchoWorker::s_listDestroyed.clear();
    }

    void typedAddWiresTheOwnersSignalToTheWorker()
    {
        CWorkerRegistry registry(this);
        CWorkerHost *pHost = registry.add<CEchoWorker>(this, &TestWorkerRegistry::sendFirst, &CEchoWorker::echoSlot,
                                                       CWorkerRegistry::KeptOnRefresh);
        QCOMPARE(registry.count(), 1);
        QVERIFY(pHost->worker()->thread() != QThread::currentThread());
        emit sendFirst(7);
        emit sendSecond(8); // feeds no worker
        QTRY_COMPARE(m_listEchoed, QList<int>{7});
    }

    void refreshRenewsOnlyTheAbandonableWorkers()
    {
        CWorkerRegistry registry(this);
        CWorkerHost *pKept = registry.add<CEchoWorker>(this, &TestWorkerRegistry::sendFirst, &CEchoWorker::echoSlot,
                                                       CWorkerRegistry::KeptOnRefresh);
        CWorkerHost *pRenewed = registry.add<CEchoWorker>(this, &TestWorkerRegistry::sendSecond,
                                                          &CEchoWorker::echoSlot, CWorkerRegistry::AbandonedOnRefresh);
        QObject *pKeptWorker = pKept->worker();
        QObject *pOldWorker = pRenewed->worker();
        registry.renewAbandonable();
        QCOMPARE(pKept->worker(), pKeptWorker);
        QVERIFY(pRenewed->worker() != pOldWorker);
        QCOMPARE(CEchoWorker::s_listCreated.size(), 3);
        QTRY_VERIFY(CEchoWorker::s_listCreated.at(1).isNull());

        // Each signal still reaches exactly one worker.
        emit sendFirst(1);
        emit sendSecond(2);
        QTRY_COMPARE(m_listEchoed.size(), 2);
        std::sort(m_listEchoed.begin(), m_listEchoed.end());
        QCOMPARE(m_listEchoed, (QList<int>{1, 2}));
    }

    void clearEndsWorkersNewestFirst()
    {
        CWorkerRegistry registry(this);
        registry.add<CEchoWorker>(this, &TestWorkerRegistry::sendFirst, &CEchoWorker::echoSlot,
                                  CWorkerRegistry::KeptOnRefresh);
        registry.add<CEchoWorker>(this, &TestWorkerRegistry::sendSecond, &CEchoWorker::echoSlot,
                                  CWorkerRegistry::KeptOnRefresh);
        emit sendFirst(1);
        emit sendSecond(2);
        QTRY_COMPARE(m_listEchoed.size(), 2);
        registry.clear();
        QCOMPARE(registry.count(), 0);
        // Gone at once, not later from the event loop.
        QCOMPARE(CEchoWorker::s_listDestroyed, (QList<int>{2, 1}));
    }
};

QTEST_MAIN(TestWorkerRegistry)
#include "tst_workerregistry.moc"
