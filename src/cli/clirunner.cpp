#include "clirunner.h"

#include "clilane.h"
#include "cliprogress.h"
#include "devlibraries.h"
#include "devsession.h"

#include <QEventLoop>

#include <algorithm>

namespace {

// Longest wait for the closing logouts; devices that no longer answer are left to the library.
constexpr unsigned long kLogoutTimeoutMs = 2000;

} // namespace

CCliRunner::CCliRunner(const stCliJob &oJob, int iJobs, CDevLibraries *pLibraries, CCliProgress *pProgress)
    : m_oJob(oJob)
    , m_iJobs(std::max(1, iJobs))
    , m_pLibraries(pLibraries)
    , m_pProgress(pProgress)
{
}

CCliRunner::~CCliRunner() = default;

QList<stCliResult> CCliRunner::run(const QList<stCliTask> &listTasks)
{
    m_listTasks = listTasks;
    m_listResults = QVector<stCliResult>(listTasks.size()).toList();
    m_iNext = 0;
    m_iDone = 0;
    if (listTasks.isEmpty())
        return m_listResults;

    QList<CCliLane *> listLanes;
    for (int i = 0; i < std::min(m_iJobs, listTasks.size()); ++i) {
        auto *pLane = new CCliLane(m_oJob, this);
        connect(pLane, &CCliLane::sendDoneSignal, this, &CCliRunner::onLaneDone);
        connect(pLane, &CCliLane::sendProgressSignal, this, &CCliRunner::onProgress);
        if (m_pLibraries)
            connect(m_pLibraries, &CDevLibraries::sendUpgradeEventSignal, pLane, &CCliLane::onUpgradeEvent);
        listLanes << pLane;
    }
    QEventLoop loop;
    connect(this, &CCliRunner::sendFinishedSignal, &loop, &QEventLoop::quit);
    reportProgress();
    for (CCliLane *pLane : listLanes)
        startNext(pLane);
    if (m_iDone < m_listTasks.size())
        loop.exec();
    qDeleteAll(listLanes);
    if (m_pProgress)
        m_pProgress->finish();

    QList<CUIDeviceBean> listOpen;
    for (const stCliResult &oResult : qAsConst(m_listResults)) {
        if (DevSession::isIpc(oResult.oDev) || DevSession::isNvr(oResult.oDev))
            listOpen << oResult.oDev;
    }
    DevSession::logoutAll(listOpen, kLogoutTimeoutMs);
    return m_listResults;
}

void CCliRunner::startNext(CCliLane *pLane)
{
    if (m_iNext >= m_listTasks.size())
        return;
    const int iTask = m_iNext++;
    m_hashRunning.insert(pLane, iTask);
    pLane->start(m_listTasks.at(iTask));
}

void CCliRunner::onLaneDone(CCliLane *pLane, const stCliResult &oResult)
{
    const int iTask = m_hashRunning.take(pLane);
    m_listResults[iTask] = oResult;
    m_hashPercent.remove(m_listTasks.at(iTask).oDev.m_strIp);
    ++m_iDone;
    reportProgress();
    if (m_iDone == m_listTasks.size())
        emit sendFinishedSignal();
    else
        startNext(pLane);
}

void CCliRunner::onProgress(QString strIp, int iPercent)
{
    m_hashPercent.insert(strIp, iPercent);
    reportProgress();
}

void CCliRunner::reportProgress()
{
    if (!m_pProgress)
        return;
    int iPartial = 0;
    for (int iPercent : qAsConst(m_hashPercent))
        iPartial += iPercent;
    const int iTotal = m_listTasks.size();
    m_pProgress->show((m_iDone * 100 + iPartial) / std::max(1, iTotal), m_iDone, iTotal);
}
