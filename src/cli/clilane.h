#ifndef CLILANE_H
#define CLILANE_H

#include "clijob.h"
#include "workerregistry.h"

#include <QList>
#include <QObject>
#include <QString>

class QTimer;

// Takes one device at a time through a command on workers of its own: the
// login (when the command needs one), the operation, and the outcome. Lives
// on the main thread; its workers each run on a thread of their own, as the
// device tab's do, so several lanes work on several devices at once.
class CCliLane : public QObject
{
    Q_OBJECT

public:
    CCliLane(const stCliJob &oJob, QObject *parent = nullptr);
    ~CCliLane() override;

    void start(const stCliTask &oTask);

signals:
    void sendDoneSignal(CCliLane *pLane, const stCliResult &oResult);
    void sendProgressSignal(QString strIp, int iPercent);

    void sendLoginSignal(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void sendModifySignal(CBatchEditNetAddrBean &oNetAddrBean);
    void sendRestartSignal(CUIDeviceBean &oBean);
    void sendResetPwdSignal(CUIDeviceBean &oBean, QString strSecurityCode);
    void sendUpgradeSignal(QString strPath, CUIDeviceBean &oBean);
    void sendExportCfgSignal(QString strPath, CUIDeviceBean &oBean);
    void sendImportCfgSignal(QString strPath, CUIDeviceBean &oBean);
    void sendExportDiagSignal(QString strPath, CUIDeviceBean &oBean);
    void sendCfgMergeSignal(ulong ulCmdType, const QByteArray &baValues, const QByteArray &baMask,
                            CUIDeviceBean &oBean);

public slots:
    void getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void getResultSlot(CUIDeviceBean &oBean);
    void getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean);
    void getUpgradeProgressSlot(QString strIp, int iPercent);
    void onCmdResult(CUIDeviceBean &oBean, ulong ulResult);
    void onUpgradeEvent(QString strUserId, qint64 lValue);

private slots:
    void onUpgradeTimeout();

private:
    enum EStage { Idle, LoggingIn, Working };

    void createWorkers();
    void runOperation();
    void saveSnapshot();
    void finish(bool bOk, const QString &strError);

    stCliJob m_oJob;
    stCliTask m_oTask;
    EStage m_eStage = Idle;
    QVector<stStreamEncoding> m_vecStreams;
    CWorkerRegistry m_oWorkers{this};
    QTimer *m_pUpgradeTimer;
};

#endif // CLILANE_H
