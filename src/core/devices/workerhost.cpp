#include "workerhost.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

CWorkerHost::CWorkerHost(QObject *pOwner, Factory factory)
    : m_pOwner(pOwner)
    , m_factory(std::move(factory))
{
    start();
}

CWorkerHost::~CWorkerHost()
{
    m_listRetired.append(m_pThread);
    for (const QPointer<QThread> &pThread : qAsConst(m_listRetired)) {
        if (!pThread)
            continue;
        // Workers that poll check for interruption and stop early.
        pThread->requestInterruption();
        pThread->quit();
        // A retired worker may still be inside a library call; those are bounded by timeouts.
        pThread->wait();
        delete pThread.data();
    }
}

void CWorkerHost::start()
{
    m_pWorker = m_factory();
    m_pThread = new QThread;
    m_pWorker->moveToThread(m_pThread);
    QObject::connect(m_pThread, &QThread::finished, m_pWorker, &QObject::deleteLater);
    m_pThread->start(QThread::InheritPriority);
}

void CWorkerHost::renew()
{
    // No further requests reach the old worker. What it still reports reaches
    // the owner, which recognises it as belonging to abandoned work.
    QObject::disconnect(m_pOwner, nullptr, m_pWorker, nullptr);
    // Requests already queued for it are dropped; only its current call runs on.
    QCoreApplication::removePostedEvents(m_pWorker, QEvent::MetaCall);
    QThread *pOld = m_pThread;
    QObject::connect(pOld, &QThread::finished, pOld, &QObject::deleteLater);
    pOld->requestInterruption();
    pOld->quit();
    for (int i = m_listRetired.size() - 1; i >= 0; --i) {
        if (!m_listRetired.at(i))
            m_listRetired.removeAt(i);
    }
    m_listRetired.append(pOld);
    start();
}
