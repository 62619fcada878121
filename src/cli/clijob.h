#ifndef CLIJOB_H
#define CLIJOB_H

#include "batcheditnetaddrbean.h"
#include "mediaaccess.h"
#include "uidevicebean.h"

#include <QByteArray>
#include <QString>

// What one command does to each of its devices.
struct stCliJob
{
    enum EOp { Info, SetAddress, ResetPassword, Reboot, Upgrade, ExportConfig, ImportConfig, Diagnostics, Dst, Encoding,
               Snapshot };

    EOp eOp = Info;
    QString strPath;        // firmware, configuration file, output folder or picture file
    QString strCode;        // security code of a password reset
    ulong ulCfgCmd = 0;     // configuration structure of a partial write (Dst)
    QByteArray baCfgValues; // its bytes to set ...
    QByteArray baCfgMask;   // ... where the mask byte is not 0
};

// One device of a command: its record (address, account, identity) and, for
// an address change, the change.
struct stCliTask
{
    CUIDeviceBean oDev;
    CBatchEditNetAddrBean oAddr;
};

struct stCliResult
{
    bool bOk = false;
    QString strError;
    CUIDeviceBean oDev;     // as the device left it: read fields, login key
    QVector<stStreamEncoding> vecStreams; // what an encoding command read
};

#endif // CLIJOB_H
