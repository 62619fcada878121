#ifndef WORKERHOST_H
#define WORKERHOST_H

#include <QList>
#include <QPointer>

#include <functional>

class QObject;
class QThread;

// Runs one background worker on a thread of its own and can swap it for a
// fresh one without waiting: the abandoned worker gets no further requests,
// finishes its current call in the background and is deleted with its thread.
// Threads are never terminated, so no library is left holding a lock.
class CWorkerHost
{
public:
    // Builds a worker (no parent) and connects the owner's request signals to it.
    using Factory = std::function<QObject *()>;

    CWorkerHost(QObject *pOwner, Factory factory);
    ~CWorkerHost();
    CWorkerHost(const CWorkerHost &) = delete;
    CWorkerHost &operator=(const CWorkerHost &) = delete;

    QObject *worker() const { return m_pWorker; }
    // Abandons the running worker and its queued requests; a fresh worker
    // takes new requests at once.
    void renew();

private:
    void start();

    QObject *m_pOwner;
    Factory m_factory;
    QObject *m_pWorker = nullptr;
    QThread *m_pThread = nullptr;
    QList<QPointer<QThread>> m_listRetired;
};

#endif // WORKERHOST_H
