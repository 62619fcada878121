#ifndef DEVLIBRARIES_H
#define DEVLIBRARIES_H

#include "devtypes.h"

#include <QObject>
#include <QString>

// Start-up of the configuration and maintenance libraries and the receiver
// of the configuration library's events. The library's callback carries no
// context, so one instance at a time receives events: the latest created.
class CDevLibraries : public QObject
{
    Q_OBJECT

public:
    // Initialises both libraries, points the configuration library's log at
    // strLogFolder and registers the event callback.
    explicit CDevLibraries(const QString &strLogFolder, QObject *parent = nullptr);
    ~CDevLibraries() override;

    // The callback the configuration library calls on a thread of its own.
    static void DEV_API eventCallback(const char *szUserID, DWORD ulEventType, DWORD *pulValue);

signals:
    // An IPC upgrade ended: lValue 0 success, above 0 a failure code. Emitted
    // on the library's thread; receivers in other threads get it queued.
    void sendUpgradeEventSignal(QString strUserId, qint64 lValue);
    // A running IPC upgrade's percentage: of the upload when bUpload, else the device's own.
    void sendUpgradeProgressSignal(QString strUserId, bool bUpload, int iPercent);
};

#endif // DEVLIBRARIES_H
