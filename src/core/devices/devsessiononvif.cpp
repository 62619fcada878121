// The ONVIF side of DevSession, and the address change of both protocols.
#include "devdiscovery.h"
#include "devfailreason.h"
#include "devsession.h"
#include "ipv4.h"
#include "onvifdevice.h"

#include "Discovery.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcSessionOnvif, "corvane.session.onvif")

namespace DevSession {

namespace {

// The login key of an ONVIF device: it holds no session, every call signs itself.
const QString kOnvifKey = QStringLiteral("onvif");

COnvifError openDevice(COnvifDevice &device)
{
    const COnvifError error = device.open();
    if (!error.ok())
        qCDebug(lcSessionOnvif) << "device clock unread:" << error.reason();
    return error;
}

} // namespace

COnvifError onvifReboot(const CUIDeviceBean &oDev)
{
    COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
    COnvifError error = openDevice(device);
    return error.ok() ? device.reboot() : error;
}

void startOnvifLogin(const CUIDeviceBean &oDev, std::function<void(const CUIDeviceBean &)> done)
{
    const COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
    device.readInfoAsync([oRecord = oDev, done = std::move(done)](const COnvifError &error,
                                                        const stOnvifDeviceInfo &info) mutable {
        if (!error.ok()) {
            oRecord.m_lStatus = DevStatusLoginFailed;
            oRecord.m_strFailReason = error.reason();
            qCDebug(lcSessionOnvif) << "login to" << oRecord.m_strIp << "failed:" << error.reason();
            done(oRecord);
            return;
        }
        oRecord.m_lStatus = DevStatusLogged;
        oRecord.m_strFailReason.clear();
        oRecord.m_strDevType = kTypeIpc;
        oRecord.m_strLoginKey = kOnvifKey;
        oRecord.m_strManufacturer = info.strManufacturer;
        oRecord.m_strModel = info.strModel;
        oRecord.m_strVersion = info.strFirmware;
        oRecord.m_strSerial = info.strSerial;
        oRecord.m_strMac = info.strMac;
        oRecord.m_strMask = info.strMask;
        oRecord.m_strGateway = info.strGateway;
        done(oRecord);
    });
}

void loginOnvif(CUIDeviceBean &oDev)
{
    CUIDeviceBean oFailed = oDev;
    oFailed.m_lStatus = DevStatusLoginFailed;
    oFailed.m_strFailReason = COnvifError(COnvifError::Timeout).reason();
    oDev = COnvifSoap::await<CUIDeviceBean>(
        [&oDev](std::function<void(CUIDeviceBean)> done) {
            startOnvifLogin(oDev, [done = std::move(done)](const CUIDeviceBean &oResult) { done(oResult); });
        },
        oFailed);
}

DWORD changePassword(const CUIDeviceBean &oDev, const QString &strNewPassword, QString &strReason)
{
    if (!offers(oDev, FeaturePasswordChange)) {
        strReason = CDevFailReason::ofIpc(ZELT_MW_ERR_UNSUPPORTED);
        return ZELT_MW_ERR_UNSUPPORTED;
    }
    COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
    COnvifError error = openDevice(device);
    if (error.ok())
        error = device.setPassword(oDev.m_strUserName, strNewPassword);
    strReason = error.reason();
    return error.ok() ? 0 : 1;
}

void describeForAddressChange(const CUIDeviceBean &oDev, CBatchEditNetAddrBean &oRequest)
{
    oRequest.m_strXAddr = oDev.isOnvif() ? oDev.m_strXAddr : QString();
}

QString xaddrAt(const CUIDeviceBean &oDev, const QString &strIp)
{
    return COnvifDevice::xaddrAt(oDev.m_strXAddr, strIp);
}

void changeAddress(CBatchEditNetAddrBean &oRequest)
{
    if (!Ipv4::isUsableHost(oRequest.m_strNewIp)) {
        oRequest.m_lResult = DevStatusModifyInvalid;
        oRequest.m_strFailReason.clear();
        return;
    }
    if (!oRequest.m_strXAddr.isEmpty()) {
        COnvifDevice device(oRequest.m_strXAddr, oRequest.m_strUserName, oRequest.m_strInputPassword);
        COnvifError error = openDevice(device);
        if (error.ok())
            error = device.setAddress(Ipv4::normalized(oRequest.m_strNewIp), oRequest.m_strMask,
                                      oRequest.m_strGateway);
        oRequest.m_lResult = error.ok() ? DevStatusModifyOk : DevStatusModifyFailed;
        oRequest.m_strFailReason = error.reason();
        return;
    }
    const DWORD ulRet = CDevDiscovery::setDevIpAddr(
        oRequest.m_strOldIp, oRequest.m_strInputPassword, oRequest.m_strUserName, oRequest.m_strSerial,
        oRequest.m_strMac, oRequest.m_strNewIp, oRequest.m_strMask, oRequest.m_strGateway);
    if (ulRet == RVNA_OK)
        oRequest.m_lResult = DevStatusModifyOk;
    else if (ulRet == RVNA_ERR_ADDR_CONFLICT)
        oRequest.m_lResult = DevStatusModifyConflict;
    else
        oRequest.m_lResult = DevStatusModifyFailed;
    oRequest.m_strFailReason = CDevFailReason::ofDiscovery(ulRet);
}

QString webPage(const CUIDeviceBean &oDev)
{
    if (!oDev.isOnvif())
        return QStringLiteral("http://") + oDev.m_strIp;
    // The service's host and port; its path is the service, not a page.
    const QUrl url(oDev.m_strXAddr);
    return url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
        .toString() + QLatin1Char('/');
}

QString resetRefusal(const CUIDeviceBean &oDev)
{
    return oDev.isOnvif() ? COnvifError::resetByDevice() : QString();
}

COnvifError onvifFileOp(EFileOp eOp, const QString &strPath, const CUIDeviceBean &oDev,
                        const std::function<void(int)> &progress)
{
    COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
    const COnvifError error = openDevice(device);
    if (!error.ok())
        return error;
    const QString strStamp = oDev.m_strIp;
    switch (eOp) {
    case FileUpgrade: return device.upgrade(strPath, progress);
    case FileImportCfg: return device.importConfig(strPath);
    case FileExportCfg: return device.exportConfig(strPath + QStringLiteral("/") + strStamp + QStringLiteral("_config.bin"));
    case FileExportDiag: return device.exportDiagnostics(strPath + QStringLiteral("/") + strStamp + QStringLiteral("_log.txt"));
    }
    return COnvifError();
}

} // namespace DevSession
