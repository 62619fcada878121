#include "cfgbatch.h"

#include "thread_config.h"

#include <QThread>

CCfgBatch::CCfgBatch(QObject *parent)
    : QObject(parent)
{
}

CCfgBatch::~CCfgBatch()
{
    stopWorker();
}

void CCfgBatch::request(ulong ulCmdType, const QByteArray &cfgData, const CUIDeviceBean &oBean)
{
    if (!m_pThread)
        startWorker();
    stDevState &state = m_hashDev[oBean.m_strIp];
    ++state.iPending;
    ++m_iPending;
    CUIDeviceBean oCopy = oBean;
    emit sendCfgSignal(ulCmdType, cfgData, oCopy);
}

void CCfgBatch::deleteWhenDone(QObject *pObject)
{
    if (m_iPending == 0)
        pObject->deleteLater();
    else
        connect(this, &CCfgBatch::finished, pObject, &QObject::deleteLater);
}

void CCfgBatch::getResultSlot(CUIDeviceBean &oBean)
{
    const auto it = m_hashDev.find(oBean.m_strIp);
    if (it == m_hashDev.end() || it->iPending == 0)
        return;
    if (!it->bFailed && oBean.m_lStatus != DevStatusCfgOk) {
        it->bFailed = true;
        it->strFailReason = oBean.m_strFailReason;
    }
    --it->iPending;
    --m_iPending;
    if (it->iPending == 0) {
        CUIDeviceBean oResult = oBean;
        oResult.m_lStatus = it->bFailed ? DevStatusCfgFailed : DevStatusCfgOk;
        oResult.m_strFailReason = it->strFailReason;
        m_hashDev.erase(it);
        emit sendResultSignal(oResult);
    }
    if (m_iPending == 0) {
        stopWorker();
        emit finished();
    }
}

void CCfgBatch::startWorker()
{
    m_pThread = new QThread;
    m_pWorker = new CCfgThread(this);
    m_pWorker->moveToThread(m_pThread);
    connect(this, &CCfgBatch::sendCfgSignal, m_pWorker, &CCfgThread::devCfgSlot);
    m_pThread->start(QThread::InheritPriority);
}

void CCfgBatch::stopWorker()
{
    if (!m_pThread)
        return;
    // Only reached with nothing pending, or when the owner goes away: the
    // worker is then idle or finishes its current write before the thread ends.
    m_pThread->quit();
    m_pThread->wait();
    delete m_pWorker;
    delete m_pThread;
    m_pWorker = nullptr;
    m_pThread = nullptr;
}
