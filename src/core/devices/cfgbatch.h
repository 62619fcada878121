#ifndef CFGBATCH_H
#define CFGBATCH_H

#include "uidevicebean.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

class CCfgThread;
class QThread;

// One batch of configuration writes to several devices. Requests go, in the
// order given, to a configuration worker that the batch starts with its first
// request and stops once the last answer is in, so batches in a row leave no
// threads behind. A device's outcome is reported once all of its requests are
// answered: configured only when every one of them succeeded.
class CCfgBatch : public QObject
{
    Q_OBJECT

public:
    explicit CCfgBatch(QObject *parent = nullptr);
    ~CCfgBatch() override;

    // Queues one write; the structure travels as a copy of its own.
    void request(ulong ulCmdType, const QByteArray &cfgData, const CUIDeviceBean &oBean);
    int pendingCount() const { return m_iPending; }
    // Deletes pObject (later) at once when nothing is pending, else after the last answer.
    void deleteWhenDone(QObject *pObject);

signals:
    void sendCfgSignal(ulong ulCmdType, const QByteArray &cfgData, CUIDeviceBean &oBean);
    // A device whose writes are all answered; its status is final.
    void sendResultSignal(CUIDeviceBean &oBean);
    void finished();

public slots:
    void getResultSlot(CUIDeviceBean &oBean);

private:
    void startWorker();
    void stopWorker();

    struct stDevState
    {
        int iPending = 0;
        bool bFailed = false;
        QString strFailReason; // of the first request that failed
    };

    QThread *m_pThread = nullptr;
    CCfgThread *m_pWorker = nullptr;
    QHash<QString, stDevState> m_hashDev;
    int m_iPending = 0;
};

#endif // CFGBATCH_H
