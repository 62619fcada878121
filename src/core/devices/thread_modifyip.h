#ifndef THREAD_MODIFYIP_H
#define THREAD_MODIFYIP_H

#include "batcheditnetaddrbean.h"

#include <QObject>
#include <QString>

#include <memory>

class CDevDiscovery;

// Changes the network address of one device at a time through the discovery
// protocol; needs no login. Lives on a thread of its own.
class CModifyIPThread : public QObject
{
    Q_OBJECT

public:
    // The receiver must offer getModifyRltSlot(CBatchEditNetAddrBean&).
    explicit CModifyIPThread(QObject *pReceiver);
    ~CModifyIPThread() override;

    // True when the text is a dotted address whose host part is not 0.
    static bool isUsableAddress(const QString &strIp);

signals:
    void sendModifyRltSignal(CBatchEditNetAddrBean &oNetAddrBean);

public slots:
    void modifyAddrSlot(CBatchEditNetAddrBean &oNetAddrBean);

private:
    QObject *m_pReceiver;
    std::unique_ptr<CDevDiscovery> m_pDiscovery;
};

#endif // THREAD_MODIFYIP_H
