#ifndef CLIRUNNER_H
#define CLIRUNNER_H

#include "clijob.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class CCliLane;
class CCliProgress;
class CDevLibraries;

// Runs one command over its devices, up to iJobs at once, and returns the
// outcomes in the order of the tasks. Sessions opened on the way are closed
// before it returns.
class CCliRunner : public QObject
{
    Q_OBJECT

public:
    CCliRunner(const stCliJob &oJob, int iJobs, CDevLibraries *pLibraries, CCliProgress *pProgress);
    ~CCliRunner() override;

    QList<stCliResult> run(const QList<stCliTask> &listTasks);

signals:
    void sendFinishedSignal();

private slots:
    void onLaneDone(CCliLane *pLane, const stCliResult &oResult);
    void onProgress(QString strIp, int iPercent);

private:
    void startNext(CCliLane *pLane);
    void reportProgress();

    stCliJob m_oJob;
    int m_iJobs;
    CDevLibraries *m_pLibraries;
    CCliProgress *m_pProgress;
    QList<stCliTask> m_listTasks;
    QList<stCliResult> m_listResults;
    QHash<CCliLane *, int> m_hashRunning; // lane -> task index
    QHash<QString, int> m_hashPercent;    // upgrade progress by address
    int m_iNext = 0;
    int m_iDone = 0;
};

#endif // CLIRUNNER_H
