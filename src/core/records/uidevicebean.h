#ifndef UIDEVICEBEAN_H
#define UIDEVICEBEAN_H

#include <QList>
#include <QMetaType>
#include <QString>

// Status codes of a device as the device table shows them.
enum EDevStatus {
    DevStatusNone = -1,
    DevStatusNotLogged = 0,
    DevStatusConnecting = 1,
    DevStatusLogged = 2,
    DevStatusLoginFailed = 3,
    DevStatusCfgOk = 4,
    DevStatusCfgFailed = 5,
    DevStatusConfiguring = 6,
    DevStatusUpgradeOk = 7,
    DevStatusUpgradeFailed = 8,
    DevStatusUpgrading = 9,
    DevStatusExportOk = 10,
    DevStatusExportFailed = 11,
    DevStatusExporting = 12,
    DevStatusImportOk = 13,
    DevStatusImportFailed = 14,
    DevStatusImporting = 15,
    DevStatusImportExists = 16,
    DevStatusImportNotLogged = 17,
    DevStatusModifying = 18,
    DevStatusModifyOk = 19,
    DevStatusModifyFailed = 20,
    DevStatusModifyConflict = 21,
    DevStatusModifyInvalid = 22,
    DevStatusRestarting = 23,
    // A login refused because the device locked the account.
    DevStatusLoginLocked = 24
};

// One device as the program knows it. A value: every holder keeps a copy.
class CUIDeviceBean
{
public:
    CUIDeviceBean() = default;
    CUIDeviceBean(const CUIDeviceBean &) = default;
    CUIDeviceBean &operator=(const CUIDeviceBean &) = default;
    virtual ~CUIDeviceBean() = default;

    // Text of a status code for the device table; empty for unknown codes.
    static QString statusText(long lStatus);
    // True for the codes that mark an operation still running.
    static bool isBusyStatus(long lStatus);
    // True for a failed login, whatever the cause; such rows are drawn in grey.
    static bool isLoginRefused(long lStatus) { return lStatus == DevStatusLoginFailed || lStatus == DevStatusLoginLocked; }
    // True for the codes that report a failed operation.
    static bool isFailureStatus(long lStatus);
    // "001122aabbcc" -> "00:11:22:aa:bb:cc"; text that is not twelve
    // hexadecimal digits stays as it is.
    static QString formatMac(const QString &strMac);

    bool isOnvif() const { return m_strProtocol == QLatin1String("onvif"); }
    // The model column: an ONVIF device shows its protocol and maker too,
    // so the filter finds it by either.
    QString modelText() const;

    qint8 m_cFlagA = 0;
    qint8 m_cFlagB = 0;
    qint32 m_lDevId = -1;
    qint32 m_lReserved1 = -1;
    qint32 m_lStatus = -1;
    qint32 m_lReserved2 = 0;
    QString m_strDevType;
    QString m_strReserved1;
    QString m_strIp = QStringLiteral("0.0.0.0");
    QString m_strModel;
    QString m_strSerial;
    QString m_strVersion;
    QString m_strReserved2;
    QString m_strMac;
    QString m_strUserName;
    QString m_strPassword;
    QString m_strReserved3;
    QString m_strReserved4;
    QString m_strMask;
    QString m_strGateway;
    QString m_strReserved5;
    QString m_strLoginKey;
    QString m_strExtSerial;
    // Refresh round of the device list the record was taken from; the device
    // tab drops results that belong to a round a refresh abandoned.
    quint32 m_ulListRound = 0;
    // Progress of a running firmware upgrade in percent; -1 when unknown.
    qint32 m_lProgress = -1;
    // Percent of the firmware sent to the device; -1 when no upload runs.
    qint32 m_lUploadProgress = -1;
    // When the running upgrade began, in milliseconds since the epoch; 0 when none runs.
    qint64 m_llBusySinceMs = 0;
    // "onvif" for a device reached through ONVIF, empty for the native protocol.
    QString m_strProtocol;
    // ONVIF: endpoint reference (the device's identity), device service address, maker.
    QString m_strEndpoint;
    QString m_strXAddr;
    QString m_strManufacturer;
    // The host that answered the search for this device's address, when the
    // device did not answer for itself.
    QString m_strRelay;
    // Why the last operation on the device failed, as a short translated
    // text made from the library's result; empty after a success.
    QString m_strFailReason;
};

Q_DECLARE_METATYPE(CUIDeviceBean)
Q_DECLARE_METATYPE(QList<CUIDeviceBean>)

#endif // UIDEVICEBEAN_H
