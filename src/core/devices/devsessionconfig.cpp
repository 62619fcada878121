// Configuration reads and writes of DevSession: native structures go to the
// configuration library as they are; for ONVIF devices they are translated
// to and from the device service here, so the pages never learn the protocol.
#include "devcapability.h"
#include "devfailreason.h"
#include "devsession.h"
#include "devtext.h"
#include "onvifdevice.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QCoreApplication>

#include <array>

namespace DevSession {

namespace {

bool isNetworkCmd(ulong ulCmdType)
{
    return ulCmdType == ZELT_MW_NETWORK_INTERFACE_CFG || ulCmdType == ZELT_MW_NTX_CFG
           || ulCmdType == ZELT_MW_DNS_SERVER_CFG || ulCmdType == ZELT_MW_PORT_CFG;
}

QString textAt(const QByteArray &cfg, int iOffset, int iLen)
{
    return DevText::fromBuffer(cfg.constData() + iOffset, std::size_t(iLen));
}

void putText(QByteArray &cfg, int iOffset, int iLen, const QString &strText)
{
    DevText::toBuffer(strText, cfg.data() + iOffset, std::size_t(iLen));
}

QByteArray dstOf(const stOnvifDstRule &rule)
{
    QByteArray cfg(ZELT_DST_SIZE, '\0');
    auto *p = reinterpret_cast<uint8_t *>(cfg.data());
    zelt_put_u32(p, ZELT_DST_ENABLED, rule.bEnabled ? 1 : 0);
    p[ZELT_DST_START_MONTH] = uint8_t(rule.iStartMonth);
    p[ZELT_DST_START_WEEK] = uint8_t(rule.iStartWeek);
    p[ZELT_DST_START_WEEKDAY] = uint8_t(rule.iStartWeekday);
    p[ZELT_DST_START_HOUR] = uint8_t(rule.iStartHour);
    p[ZELT_DST_END_MONTH] = uint8_t(rule.iEndMonth);
    p[ZELT_DST_END_WEEK] = uint8_t(rule.iEndWeek);
    p[ZELT_DST_END_WEEKDAY] = uint8_t(rule.iEndWeekday);
    p[ZELT_DST_END_HOUR] = uint8_t(rule.iEndHour);
    zelt_put_u16(p, ZELT_DST_OFFSET_MIN, uint16_t(rule.iBiasMinutes));
    return cfg;
}

stOnvifDstRule ruleOf(const QByteArray &cfg)
{
    const auto *p = reinterpret_cast<const uint8_t *>(cfg.constData());
    stOnvifDstRule rule;
    rule.bEnabled = zelt_get_u32(p, ZELT_DST_ENABLED) != 0;
    rule.iStartMonth = p[ZELT_DST_START_MONTH];
    rule.iStartWeek = p[ZELT_DST_START_WEEK];
    rule.iStartWeekday = p[ZELT_DST_START_WEEKDAY];
    rule.iStartHour = p[ZELT_DST_START_HOUR];
    rule.iEndMonth = p[ZELT_DST_END_MONTH];
    rule.iEndWeek = p[ZELT_DST_END_WEEK];
    rule.iEndWeekday = p[ZELT_DST_END_WEEKDAY];
    rule.iEndHour = p[ZELT_DST_END_HOUR];
    rule.iBiasMinutes = zelt_get_u16(p, ZELT_DST_OFFSET_MIN);
    return rule;
}

// The native structure of one part of the network settings.
QByteArray networkPart(ulong ulCmdType, const stOnvifNetwork &net)
{
    QByteArray cfg;
    switch (ulCmdType) {
    case ZELT_MW_NETWORK_INTERFACE_CFG:
        cfg.fill('\0', ZELT_NETIF_SIZE);
        zelt_put_u32(cfg.data(), ZELT_NETIF_MODE, net.bDhcp ? 2 : 0);
        zelt_put_u32(cfg.data(), ZELT_NETIF_MTU, uint32_t(net.iMtu));
        putText(cfg, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN, net.strIp);
        putText(cfg, ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN, net.strMask);
        putText(cfg, ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN, net.strGateway);
        break;
    case ZELT_MW_NTX_CFG:
        cfg.fill('\0', ZELT_NTX_SIZE);
        zelt_put_u32(cfg.data(), ZELT_NTX_ENABLED, net.bNtpSync ? 1 : 0);
        putText(cfg, ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN, net.strNtpServer);
        break;
    case ZELT_MW_DNS_SERVER_CFG:
        cfg.fill('\0', ZELT_DNS_SIZE);
        putText(cfg, ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN, net.listDns.value(0));
        putText(cfg, ZELT_DNS_ALTERNATE, ZELT_DNS_ADDR_LEN, net.listDns.value(1));
        break;
    case ZELT_MW_PORT_CFG:
        cfg.fill('\0', ZELT_PORT_SIZE);
        zelt_put_u16(cfg.data(), ZELT_PORT_HTTP, uint16_t(net.iHttpPort));
        zelt_put_u16(cfg.data(), ZELT_PORT_HTTPS, uint16_t(net.iHttpsPort));
        break;
    default: break;
    }
    return cfg;
}

// The network settings with one part taken from its native structure.
stOnvifNetwork withPart(stOnvifNetwork net, ulong ulCmdType, const QByteArray &cfg)
{
    switch (ulCmdType) {
    case ZELT_MW_NETWORK_INTERFACE_CFG:
        net.bDhcp = zelt_get_u32(cfg.constData(), ZELT_NETIF_MODE) == 2;
        net.strIp = textAt(cfg, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN);
        net.strMask = textAt(cfg, ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN);
        net.strGateway = textAt(cfg, ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN);
        break;
    case ZELT_MW_NTX_CFG:
        net.bNtpSync = zelt_get_u32(cfg.constData(), ZELT_NTX_ENABLED) != 0;
        net.strNtpServer = textAt(cfg, ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN);
        break;
    case ZELT_MW_DNS_SERVER_CFG:
        net.listDns = QStringList{textAt(cfg, ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN),
                                  textAt(cfg, ZELT_DNS_ALTERNATE, ZELT_DNS_ADDR_LEN)};
        net.listDns.removeAll(QString());
        break;
    case ZELT_MW_PORT_CFG:
        net.iHttpPort = zelt_get_u16(cfg.constData(), ZELT_PORT_HTTP);
        net.iHttpsPort = zelt_get_u16(cfg.constData(), ZELT_PORT_HTTPS);
        break;
    default: break;
    }
    return net;
}

int expectedSize(ulong ulCmdType)
{
    return int(zelt_cfg_size(uint32_t(ulCmdType)));
}

DWORD onvifResult(const COnvifError &error, QString &strReason)
{
    strReason = error.kind() == COnvifError::Unsupported ? QString() : error.reason();
    return DWORD(error.kind());
}

} // namespace

bool offers(const CUIDeviceBean &oDev, EFeature eFeature)
{
    switch (eFeature) {
    case FeatureBatchConfig: return isIpc(oDev);
    case FeatureDaylightSaving: return isIpc(oDev) || (isOnvif(oDev) && !oDev.m_strLoginKey.isEmpty());
    case FeaturePasswordChange: return isOnvif(oDev);
    }
    return false;
}

QMap<ulong, QList<stDevCapacityInfo>> impliedCapabilities(const CUIDeviceBean &oDev)
{
    QMap<ulong, QList<stDevCapacityInfo>> mapCaps;
    if (!isOnvif(oDev))
        return mapCaps;
    // Static address or DHCP; no PPPoE, port type or link mode over ONVIF.
    QList<stDevCapacityInfo> listNetwork;
    DevCapability::flatten(QByteArrayLiteral("<Network><IPType><Mode>0,2</Mode></IPType></Network>"), listNetwork);
    mapCaps.insert(DevCapability::KindNetwork, listNetwork);
    return mapCaps;
}

DWORD readConfig(const CUIDeviceBean &oDev, ulong ulCmdType, QByteArray &cfgData, QString &strReason)
{
    if (!isOnvif(oDev)) {
        QByteArray cfg(expectedSize(ulCmdType), '\0');
        DWORD ulLen = DWORD(cfg.size());
        const DWORD ulRet =
            ZELT_MW_GetConfig(oDev.m_strLoginKey.toLatin1().constData(), DWORD(ulCmdType), 0, &ulLen, cfg.data());
        strReason = ulRet == ZELT_MW_ERR_UNSUPPORTED ? QString() : CDevFailReason::ofIpc(ulRet);
        if (ulRet == 0)
            cfgData = cfg;
        return ulRet;
    }
    COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
    COnvifError error = device.open();
    if (error.ok() && ulCmdType == ZELT_MW_DST_CFG) {
        stOnvifDstRule rule;
        if ((error = device.readDaylightSaving(rule)).ok())
            cfgData = dstOf(rule);
    } else if (error.ok() && isNetworkCmd(ulCmdType)) {
        stOnvifNetwork net;
        if ((error = device.readNetwork(net)).ok())
            cfgData = networkPart(ulCmdType, net);
    } else if (error.ok()) {
        error = COnvifError(COnvifError::Unsupported);
    }
    return onvifResult(error, strReason);
}

DWORD writeConfig(const CUIDeviceBean &oDev, ulong ulCmdType, const QByteArray &cfgData, QString &strReason)
{
    if (!isOnvif(oDev)) {
        const DWORD ulRet = ZELT_MW_SetConfig(oDev.m_strLoginKey.toLatin1().constData(), DWORD(ulCmdType), 0,
                                              DWORD(cfgData.size()), cfgData.constData());
        strReason = CDevFailReason::ofIpc(ulRet);
        return ulRet;
    }
    COnvifError error(COnvifError::Unsupported);
    if (cfgData.size() >= expectedSize(ulCmdType) && (ulCmdType == ZELT_MW_DST_CFG || isNetworkCmd(ulCmdType))) {
        COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
        error = device.open();
        stOnvifNetwork before;
        if (error.ok() && ulCmdType == ZELT_MW_DST_CFG)
            error = device.setDaylightSaving(ruleOf(cfgData));
        else if (error.ok() && (error = device.readNetwork(before)).ok())
            error = device.writeNetwork(before, withPart(before, ulCmdType, cfgData));
    }
    strReason = error.reason();
    return DWORD(error.kind());
}

QList<QPair<QString, QString>> extraSystemInfo(const CUIDeviceBean &oDev, QString &strReason)
{
    QList<QPair<QString, QString>> listRows;
    if (!isOnvif(oDev))
        return listRows;
    listRows.append({QCoreApplication::translate("DevSession", "制造商"), oDev.m_strManufacturer});
    listRows.append({QCoreApplication::translate("DevSession", "IP地址"), oDev.m_strIp});
    listRows.append({QCoreApplication::translate("DevSession", "子网掩码"), oDev.m_strMask});
    listRows.append({QCoreApplication::translate("DevSession", "默认网关"), oDev.m_strGateway});
    COnvifDevice device(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
    stOnvifSystemInfo info;
    COnvifError error = device.open();
    if (error.ok())
        error = device.readSystemInfo(info);
    strReason = error.reason();
    if (!error.ok())
        return listRows;
    listRows.append({QCoreApplication::translate("DevSession", "硬件标识"), info.strHardware});
    listRows.append({QCoreApplication::translate("DevSession", "主机名"), info.strHostname});
    listRows.append({QCoreApplication::translate("DevSession", "设备时间"), info.strClockUtc});
    listRows.append({QCoreApplication::translate("DevSession", "时区"), info.strTimeZone});
    listRows.append({QCoreApplication::translate("DevSession", "范围"), info.listScopes.join(QLatin1Char('\n'))});
    return listRows;
}

} // namespace DevSession
