#ifndef THREAD_DEVCMD_H
#define THREAD_DEVCMD_H

#include "uidevicebean.h"

#include <QObject>
#include <QString>

// One-off device commands that wait on the network: restart, password
// reset and password change. Lives on a thread of its own so that the user-interface thread
// never waits for a device; each request is answered with its record and
// the library's result (0 success).
class CDevCmdThread : public QObject
{
    Q_OBJECT

signals:
    void sendRestartResult(CUIDeviceBean &oBean, ulong ulResult);
    void sendResetPwdResult(CUIDeviceBean &oBean, ulong ulResult);
    void sendChangePwdResult(CUIDeviceBean &oBean, ulong ulResult);

public slots:
    void restartSlot(CUIDeviceBean &oBean);
    // Resets the password of the device with the record's identity.
    void resetPwdSlot(CUIDeviceBean &oBean, QString strSecurityCode);
    // Changes the logged-in account's password; on success the record carries the new one.
    void changePwdSlot(CUIDeviceBean &oBean, QString strNewPassword);
};

#endif // THREAD_DEVCMD_H
