#ifndef THREAD_CONFIG_H
#define THREAD_CONFIG_H

#include "devtypes.h"
#include "uidevicebean.h"

#include <QByteArray>
#include <QObject>

// Applies one configuration structure to one logged-in IPC and reports the
// outcome in the record's status (configured / configuration failed). Lives on
// a thread of its own; requests are handled one at a time in the order sent.
//
// Each request carries its own copy of the structure, so an owner may edit,
// reuse or delete its buffer as soon as it has sent the request.
class CCfgThread : public QObject
{
    Q_OBJECT

public:
    // The receiver must offer getResultSlot(CUIDeviceBean&).
    explicit CCfgThread(QObject *pReceiver);

signals:
    void sendResultSignal(CUIDeviceBean &oBean);

public slots:
    DWORD devCfgSlot(ulong ulCmdType, const QByteArray &cfgData, CUIDeviceBean &oBean);
    // Reads the structure from the device, sets the bytes whose baMask byte
    // is not 0 to those of baValues, and writes it back: what the request
    // does not set stays as the device holds it.
    void devCfgMergeSlot(ulong ulCmdType, const QByteArray &baValues, const QByteArray &baMask,
                         CUIDeviceBean &oBean);

private:
    QObject *m_pReceiver;
};

#endif // THREAD_CONFIG_H
