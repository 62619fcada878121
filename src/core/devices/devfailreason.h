#ifndef DEVFAILREASON_H
#define DEVFAILREASON_H

#include "devtypes.h"
#include "uidevicebean.h"

#include <QCoreApplication>
#include <QString>

// Short, translated texts for the failure codes of the device libraries, so
// that the user learns why an operation failed. The three libraries number
// their codes independently; each has its own entry. 0 gives an empty text.
class CDevFailReason
{
    Q_DECLARE_TR_FUNCTIONS(CDevFailReason)

public:
    static QString ofDiscovery(DWORD ulResult);
    // Configuration library ("IPC" devices).
    static QString ofIpc(DWORD ulResult);
    // Maintenance library ("NVR" devices).
    static QString ofNvr(DWORD ulResult);
    // The library that serves oDev after its login.
    static QString ofDevice(const CUIDeviceBean &oDev, DWORD ulResult);
    // The failure value of the configuration library's upgrade event.
    static QString ofIpcUpgradeEvent(DWORD ulValue);
    // A locked account and, when the device said, for about how many minutes.
    static QString lockedFor(DWORD ulSeconds);
    // An ONVIF device that said goodbye on the network.
    static QString offline();
    // Another device answers at the same address.
    static QString addressConflict();
    // A row whose search answer came from another host than its address.
    static QString relayed(const QString &strRelay, const QString &strIp);
    // The marks a refresh gives a row (offline, address conflict): shown
    // whatever the row's status, unlike the reason of a failure.
    static bool isListMark(const QString &strReason);
    // strText and, on a line of its own, the reason; strText alone without one.
    static QString withReason(const QString &strText, const QString &strReason);

private:
    enum EReason {
        ReasonTimeout,
        ReasonUnreachable,
        ReasonAccount,
        ReasonLocked,
        ReasonRefused,
        ReasonSession,
        ReasonParam,
        ReasonProtocol,
        ReasonFile,
        ReasonFirmware,
        ReasonConfigFile,
        ReasonBusy,
        ReasonUnsupported,
        ReasonNotInit,
        ReasonIdentity,
    };
    // The reasons the libraries share, worded once.
    static QString text(EReason eReason);
    static QString unknown(DWORD ulResult);
};

#endif // DEVFAILREASON_H
