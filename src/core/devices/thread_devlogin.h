#ifndef THREAD_DEVLOGIN_H
#define THREAD_DEVLOGIN_H

#include "devtypes.h"
#include "uidevicebean.h"

#include <QList>
#include <QObject>
#include <QPair>

// Logs devices in and out in the background. The configuration library is
// tried first and the maintenance library second; whichever accepts the
// login fixes the device type ("IPC" or "NVR"). Owners create one instance
// for logins and one for logouts, each moved to a thread of its own.
class CDevThread : public QObject
{
    Q_OBJECT

public:
    // The receiver must offer the slots getLoginResultSlot(QList<CUIDeviceBean>&, ulong)
    // and getResultSlot(CUIDeviceBean&).
    explicit CDevThread(QObject *pReceiver);

    // Logs one record in: the configuration library first, then the
    // maintenance library. The record then holds the device's information and
    // session, or status 3 and the reason of the failure.
    static void loginDevice(CUIDeviceBean *pBean);

signals:
    void sendLoginResult(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void sendResultSingle(CUIDeviceBean &oBean);

public slots:
    // Logs every record in, many at a time, and reports them in list order;
    // the event code comes back unchanged. A list that arrives meanwhile is
    // logged in after the current one.
    void devLoginSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventTpye);
    void devLogoutSlot(CUIDeviceBean &oBean);

private:
    // Each returns the library's result, 0 when logged in.
    static DWORD loginIpc(CUIDeviceBean &oBean);
    static DWORD loginNvr(CUIDeviceBean &oBean);

    // Logs the list in and reports each record; false when the thread was
    // told to stop first (the rest stays unreported).
    bool loginList(QList<CUIDeviceBean> &oDevList);

    QObject *m_pReceiver;
    QList<QPair<QList<CUIDeviceBean>, ulong>> m_listQueued;
    bool m_bBusy = false;
};

#endif // THREAD_DEVLOGIN_H
