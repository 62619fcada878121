#ifndef BATCHEDITNETADDRBEAN_H
#define BATCHEDITNETADDRBEAN_H

#include <QList>
#include <QMetaType>
#include <QString>

// One requested change of a device's network address. A value: it travels
// by copy from the dialogs through the device tab to the address worker and back.
class CBatchEditNetAddrBean
{
public:
    CBatchEditNetAddrBean() = default;
    CBatchEditNetAddrBean(const CBatchEditNetAddrBean &) = default;
    CBatchEditNetAddrBean &operator=(const CBatchEditNetAddrBean &) = default;
    virtual ~CBatchEditNetAddrBean() = default;

    qint32 m_lRowId = -1;   // row in the batch dialog; keys its check marks
    qint32 m_lResult = -1;  // -1 none yet, 18 sent, 19..22 outcome
    QString m_strName;      // model "_" address
    QString m_strOldIp;     // current address: the key results are matched by
    QString m_strNewIp;
    QString m_strMask;
    QString m_strGateway;
    QString m_strUserName;
    QString m_strPassword;       // password held in the device record
    QString m_strInputPassword;  // password that authorises the change
    QString m_strMac;
    QString m_strSerial;
    // An ONVIF device's service address; empty for a native device.
    QString m_strXAddr;
    // Refresh round of the device list the request was made in.
    quint32 m_ulListRound = 0;
    // Why the change failed, from the library's result; empty otherwise.
    QString m_strFailReason;
};

Q_DECLARE_METATYPE(CBatchEditNetAddrBean)
Q_DECLARE_METATYPE(QList<CBatchEditNetAddrBean>)

#endif // BATCHEDITNETADDRBEAN_H
