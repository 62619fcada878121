#ifndef THREAD_GETCAP_H
#define THREAD_GETCAP_H

#include "devcapacityinfo.h"
#include "devtypes.h"

#include <QList>
#include <QObject>
#include <QString>

// Gathers what the configuration dialog needs before its pages exist: the
// capability documents of a logged-in IPC, flattened, and the live stream of
// the image page. Lives on a thread of its own and answers requests one at a
// time in the order sent.
//
// Requests carry the number of the opening they belong to. Once a capability
// request of an opening fails, the worker reports that failure once and skips
// the opening's remaining requests, so nothing of it arrives later and no
// live stream is started for it.
class CGetCapThread : public QObject
{
    Q_OBJECT

public:
    CGetCapThread();

signals:
    // A document that does not parse arrives as an empty list.
    void sendGetCapReslut_sig(QList<stDevCapacityInfo> &devCapInfoList, ulong capType, quint32 ulOpening);
    void sendGetCapFailed_sig(ulong ulResult, quint32 ulOpening);
    // Results 0, 259 and 357 mean the stream runs; any other result is the
    // failure the image page reports. The stream belongs to strUserId's session.
    void sendStartLiveResult(ulong streamHd, ulong ulResult, quint32 ulOpening, QString strUserId);

public slots:
    void getDevCap_slot(QString userId, ulong capType, quint32 ulOpening);
    void startLivePlay(QString userId, quint32 ulOpening);
    // Stops a stream nobody will show.
    void stopLivePlay(QString userId, ulong streamHd);

private:
    quint32 m_ulFailedOpening = 0;
};

#endif // THREAD_GETCAP_H
