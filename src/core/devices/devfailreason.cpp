#include "devfailreason.h"
#include "devsession.h"

#include "Discovery.h"
#include "TolanNetSDK.h"
#include "zelt_mw_sdk.h"

QString CDevFailReason::text(EReason eReason)
{
    switch (eReason) {
    case ReasonTimeout: return tr("超时");
    case ReasonUnreachable: return tr("无法连接设备");
    case ReasonAccount: return tr("用户名或密码错误");
    case ReasonLocked: return tr("账户已锁定");
    case ReasonRefused: return tr("连接被拒绝");
    case ReasonSession: return tr("登录已失效");
    case ReasonParam: return tr("参数无效");
    case ReasonProtocol: return tr("设备应答无效");
    case ReasonFile: return tr("文件无法读写或过大");
    case ReasonFirmware: return tr("固件损坏或型号不符");
    case ReasonConfigFile: return tr("配置文件损坏、过大或不属于该设备");
    case ReasonBusy: return tr("设备正忙");
    case ReasonUnsupported: return tr("设备不支持");
    case ReasonNotInit: return tr("设备库未初始化");
    case ReasonIdentity: return tr("设备身份已改变（密钥与上次不同），已拒绝连接");
    }
    return QString();
}

bool CDevFailReason::isListMark(const QString &strReason)
{
    return !strReason.isEmpty() && (strReason == offline() || strReason == addressConflict());
}

QString CDevFailReason::offline()
{
    return tr("设备已离线");
}

QString CDevFailReason::addressConflict()
{
    return tr("地址冲突：另一台设备使用相同地址");
}

QString CDevFailReason::relayed(const QString &strRelay, const QString &strIp)
{
    return tr("由 %1 代答 %2").arg(strRelay, strIp);
}

QString CDevFailReason::unknown(DWORD ulResult)
{
    return tr("错误码 %1").arg(ulResult);
}

QString CDevFailReason::ofDiscovery(DWORD ulResult)
{
    switch (ulResult) {
    case RVNA_OK: return QString();
    case RVNA_ERR_PARAM: return text(ReasonParam);
    case RVNA_ERR_TIMEOUT: return text(ReasonTimeout);
    case RVNA_ERR_ACCOUNT: return text(ReasonAccount);
    case RVNA_ERR_IDENTITY: return tr("序列号或MAC与设备不符");
    case RVNA_ERR_ADDR_CONFLICT: return tr("IP地址已被占用");
    case RVNA_ERR_SECURITY_CODE: return tr("安全码错误");
    case RVNA_ERR_REFUSED: return text(ReasonRefused);
    case RVNA_ERR_NETWORK: return tr("网络错误");
    case RVNA_ERR_NOT_INIT: return text(ReasonNotInit);
    case RVNA_ERR_BAD_ADDRESS: return tr("设备拒绝了该地址、掩码或网关");
    default: return unknown(ulResult);
    }
}

QString CDevFailReason::ofIpc(DWORD ulResult)
{
    switch (ulResult) {
    case ZELT_MW_OK: return QString();
    case ZELT_MW_ERR_NOT_INIT: return text(ReasonNotInit);
    case ZELT_MW_ERR_PARAM:
    case ZELT_MW_ERR_LENGTH:
    case ZELT_MW_ERR_RANGE: return text(ReasonParam);
    case ZELT_MW_ERR_CONNECT: return text(ReasonUnreachable);
    case ZELT_MW_ERR_TIMEOUT: return text(ReasonTimeout);
    case ZELT_MW_ERR_PASSWORD: return text(ReasonAccount);
    case ZELT_MW_ERR_LOCKED: return text(ReasonLocked);
    case ZELT_MW_ERR_USERID: return text(ReasonSession);
    case ZELT_MW_ERR_UNSUPPORTED: return text(ReasonUnsupported);
    case ZELT_MW_ERR_PROTOCOL: return text(ReasonProtocol);
    case ZELT_MW_ERR_FILE: return text(ReasonFile);
    case ZELT_MW_ERR_BUSY: return text(ReasonBusy);
    case ZELT_MW_ERR_FIRMWARE: return text(ReasonFirmware);
    case ZELT_MW_ERR_CONFIG_FILE: return text(ReasonConfigFile);
    case ZELT_MW_ERR_READ_ONLY: return tr("参数只读");
    case ZELT_MW_ERR_REFUSED: return text(ReasonRefused);
    case ZELT_MW_ERR_TOO_MANY: return tr("连接数已满");
    case ZELT_MW_ERR_IDENTITY: return text(ReasonIdentity);
    default: return unknown(ulResult);
    }
}

QString CDevFailReason::ofNvr(DWORD ulResult)
{
    switch (ulResult) {
    case TLSDK_OK: return QString();
    case TLSDK_ERR_NOT_INIT: return text(ReasonNotInit);
    case TLSDK_ERR_PARAM: return text(ReasonParam);
    case TLSDK_ERR_CONNECT: return text(ReasonUnreachable);
    case TLSDK_ERR_TIMEOUT: return text(ReasonTimeout);
    case TLSDK_ERR_PASSWORD: return text(ReasonAccount);
    case TLSDK_ERR_LOCKED: return text(ReasonLocked);
    case TLSDK_ERR_HANDLE:
    case TLSDK_ERR_SESSION: return text(ReasonSession);
    case TLSDK_ERR_PROTOCOL: return text(ReasonProtocol);
    case TLSDK_ERR_FILE: return text(ReasonFile);
    case TLSDK_ERR_FIRMWARE: return text(ReasonFirmware);
    case TLSDK_ERR_CONFIG_FILE: return text(ReasonConfigFile);
    case TLSDK_ERR_BUSY: return tr("设备正在升级");
    case TLSDK_ERR_UNSUPPORTED: return text(ReasonUnsupported);
    case TLSDK_ERR_REFUSED: return text(ReasonRefused);
    case TLSDK_ERR_IDENTITY: return text(ReasonIdentity);
    default: return unknown(ulResult);
    }
}

QString CDevFailReason::ofDevice(const CUIDeviceBean &oDev, DWORD ulResult)
{
    return DevSession::isIpc(oDev) ? ofIpc(ulResult) : ofNvr(ulResult);
}

QString CDevFailReason::ofIpcUpgradeEvent(DWORD ulValue)
{
    // The event's own failure values, as the configuration library documents them.
    switch (ulValue) {
    case 0: return QString();
    case 1: return tr("固件损坏");
    case 2: return tr("固件与设备型号不符");
    case 3: return tr("升级中断或无结果");
    default: return unknown(ulValue);
    }
}

QString CDevFailReason::lockedFor(DWORD ulSeconds)
{
    if (ulSeconds == 0)
        return text(ReasonLocked);
    return tr("账户已锁定，约%1分钟后再试").arg((ulSeconds + 59) / 60);
}

QString CDevFailReason::withReason(const QString &strText, const QString &strReason)
{
    if (strReason.isEmpty())
        return strText;
    return strText + QLatin1Char('\n') + tr("原因：%1").arg(strReason);
}
