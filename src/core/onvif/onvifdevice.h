#ifndef ONVIFDEVICE_H
#define ONVIFDEVICE_H

#include "onviferror.h"
#include "onvifsoap.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

// What a login reads from a device.
struct stOnvifDeviceInfo
{
    QString strManufacturer;
    QString strModel;
    QString strFirmware;
    QString strSerial;
    QString strMac;
    QString strIp;
    QString strMask;
    QString strGateway;
    QString strInterfaceToken;
};

// A daylight-saving rule: from the week-th weekday (0 Sunday; week 5 is the
// last) of a month at an hour, clocks go forward by iBiasMinutes.
struct stOnvifDstRule
{
    bool bEnabled = false;
    int iStartMonth = 3, iStartWeek = 2, iStartWeekday = 0, iStartHour = 2;
    int iEndMonth = 11, iEndWeek = 1, iEndWeekday = 0, iEndHour = 2;
    int iBiasMinutes = 60;
};

// The network settings the configuration page edits.
struct stOnvifNetwork
{
    QString strInterfaceToken;
    bool bDhcp = false;
    QString strIp;
    QString strMask;
    QString strGateway;
    int iMtu = 0;
    QStringList listDns;
    bool bNtpSync = false;       // the clock follows NTP
    QString strNtpServer;
    int iHttpPort = 0;
    int iHttpsPort = 0;          // 0 when HTTPS is off
};

// What the system information page shows beyond the login's record.
struct stOnvifSystemInfo
{
    QString strHardware;
    QString strHostname;
    QString strClockUtc;         // ISO 8601
    QString strTimeZone;         // POSIX TZ
    QStringList listScopes;
};

// The device management calls on one device through the calling thread's
// client (each call blocks the thread, see COnvifSoap). open() makes sure the
// device's clock is known, so every later call is signed in its time.
class COnvifDevice
{
public:
    COnvifDevice(const QString &strXAddr, const QString &strUser, const QString &strPassword);
    virtual ~COnvifDevice() = default;

    COnvifError open();
    // What a login reads, without blocking: the clock when not known yet,
    // then the information and network settings; done runs on the calling
    // thread.
    using InfoDone = std::function<void(const COnvifError &error, const stOnvifDeviceInfo &info)>;
    void readInfoAsync(InfoDone done) const;
    // Static address, mask and gateway on the device's first interface.
    COnvifError setAddress(const QString &strIp, const QString &strMask, const QString &strGateway);
    COnvifError reboot();
    // Keeps the device's standard zone and sets its daylight saving.
    COnvifError setDaylightSaving(const stOnvifDstRule &rule);
    // The POSIX TZ text of a zone (its standard part is kept) with the rule.
    static QString posixTz(const QString &strCurrentTz, const stOnvifDstRule &rule);
    // The rule the device's time zone holds; a zone without one gives a disabled rule.
    COnvifError readDaylightSaving(stOnvifDstRule &rule);
    static stOnvifDstRule ruleOfTz(const QString &strTz);
    COnvifError readNetwork(stOnvifNetwork &net);
    // Sends what differs between before and after, the interface last (the
    // device may move with it).
    COnvifError writeNetwork(const stOnvifNetwork &before, const stOnvifNetwork &after);
    COnvifError readSystemInfo(stOnvifSystemInfo &info);
    COnvifError setPassword(const QString &strUser, const QString &strNewPassword);

    // File operations; progress gets the percent of an upload.
    COnvifError upgrade(const QString &strFile, const std::function<void(int)> &progress);
    COnvifError exportConfig(const QString &strFile);
    COnvifError importConfig(const QString &strFile);
    COnvifError exportDiagnostics(const QString &strFile);

    // The XAddr with its host replaced, for a device that moved.
    static QString xaddrAt(const QString &strXAddr, const QString &strIp);
    // The device service every ONVIF device offers at a fixed path.
    static QString deviceServiceAt(const QString &strHost, quint16 uPort);
    // An XAddr's host, for the web page.
    static QString hostOf(const QString &strXAddr);

protected:
    // One signed call through the thread's client; answer is the Body's first element.
    virtual COnvifError call(const QString &strBody, COnvifNode &answer);

private:
    COnvifError call(const QString &strBody);
    // An uploaded or downloaded attachment: inline base64 only.
    static QByteArray attachmentData(const COnvifNode *pNode);

    stOnvifTarget m_target;
};

#endif // ONVIFDEVICE_H
