// The settings of COnvifDevice the configuration pages read and write:
// network, clock and daylight saving, system information.
#include "onvifdevice.h"
#include "ipv4.h"

#include <QRegularExpression>

namespace {

const QString &tt()
{
    return OnvifNs::kSchema;
}

// The first address of a list of tt:IPAddress or tt:NetworkHost elements.
QString serverOf(const COnvifNode *pNode)
{
    if (!pNode)
        return QString();
    for (const char *pszName : {"IPv4Address", "DNSname", "IPv6Address"}) {
        const QString strText = pNode->childText(tt(), QLatin1String(pszName));
        if (!strText.isEmpty())
            return strText;
    }
    return QString();
}

QString addressElement(const QString &strName, const QString &strIp)
{
    return QStringLiteral("<tds:%1><tt:Type>IPv4</tt:Type><tt:IPv4Address>%2</tt:IPv4Address></tds:%1>")
        .arg(strName, OnvifXml::esc(strIp));
}

} // namespace

COnvifError COnvifDevice::setAddress(const QString &strIp, const QString &strMask, const QString &strGateway)
{
    stOnvifNetwork before;
    const COnvifError error = readNetwork(before);
    if (!error.ok())
        return error;
    stOnvifNetwork after = before;
    after.bDhcp = false;
    after.strIp = strIp;
    after.strMask = strMask;
    after.strGateway = strGateway;
    // An unchanged address is still sent: the request asks for a static one.
    before.strIp.clear();
    return writeNetwork(before, after);
}

COnvifError COnvifDevice::readNetwork(stOnvifNetwork &net)
{
    COnvifNode answer;
    COnvifError error = call(QStringLiteral("<tds:GetNetworkInterfaces/>"), answer);
    if (!error.ok())
        return error;
    const COnvifNode *pIf = answer.child(OnvifNs::kDevice, QStringLiteral("NetworkInterfaces"));
    net.strInterfaceToken = pIf ? pIf->m_hashAttrs.value(QStringLiteral("token")) : QString();
    if (net.strInterfaceToken.isEmpty())
        return COnvifError(COnvifError::Malformed);
    if (const COnvifNode *pInfo = pIf->child(tt(), QStringLiteral("Info")))
        net.iMtu = pInfo->childText(tt(), QStringLiteral("MTU")).toInt();
    if (const COnvifNode *pConfig = pIf->path(tt(), {QStringLiteral("IPv4"), QStringLiteral("Config")})) {
        net.bDhcp = pConfig->childText(tt(), QStringLiteral("DHCP")) == QLatin1String("true");
        const COnvifNode *pAddr = pConfig->child(tt(), net.bDhcp ? QStringLiteral("FromDHCP") : QStringLiteral("Manual"));
        if (!pAddr)
            pAddr = pConfig->child(tt(), QStringLiteral("Manual"));
        if (pAddr) {
            net.strIp = pAddr->childText(tt(), QStringLiteral("Address"));
            net.strMask = Ipv4::maskOfPrefix(pAddr->childText(tt(), QStringLiteral("PrefixLength")).toInt());
        }
    }

    // The rest is optional on a device: what it does not offer stays empty.
    auto optional = [this, &answer](const QString &strBody) {
        const COnvifError e = call(strBody, answer);
        return e.kind() == COnvifError::Unsupported ? COnvifError() : e;
    };
    answer = COnvifNode();
    if (!(error = optional(QStringLiteral("<tds:GetNetworkDefaultGateway/>"))).ok())
        return error;
    if (const COnvifNode *pGw = answer.child(OnvifNs::kDevice, QStringLiteral("NetworkGateway")))
        net.strGateway = pGw->childText(tt(), QStringLiteral("IPv4Address"));

    answer = COnvifNode();
    if (!(error = optional(QStringLiteral("<tds:GetDNS/>"))).ok())
        return error;
    if (const COnvifNode *pDns = answer.child(OnvifNs::kDevice, QStringLiteral("DNSInformation"))) {
        for (const QString &strName : {QStringLiteral("DNSManual"), QStringLiteral("DNSFromDHCP")}) {
            for (const COnvifNode *pServer : pDns->children(tt(), strName))
                net.listDns.append(serverOf(pServer));
        }
    }

    answer = COnvifNode();
    if (!(error = optional(QStringLiteral("<tds:GetNTP/>"))).ok())
        return error;
    if (const COnvifNode *pNtp = answer.child(OnvifNs::kDevice, QStringLiteral("NTPInformation"))) {
        const COnvifNode *pServer = pNtp->child(tt(), QStringLiteral("NTPManual"));
        net.strNtpServer = serverOf(pServer ? pServer : pNtp->child(tt(), QStringLiteral("NTPFromDHCP")));
    }

    answer = COnvifNode();
    if (!(error = call(QStringLiteral("<tds:GetSystemDateAndTime/>"), answer)).ok())
        return error;
    const COnvifNode *pType = answer.find(tt(), QStringLiteral("DateTimeType"));
    net.bNtpSync = pType && pType->m_strText.trimmed() == QLatin1String("NTP");

    answer = COnvifNode();
    if (!(error = optional(QStringLiteral("<tds:GetNetworkProtocols/>"))).ok())
        return error;
    for (const COnvifNode *pProtocol : answer.children(OnvifNs::kDevice, QStringLiteral("NetworkProtocols"))) {
        const QString strName = pProtocol->childText(tt(), QStringLiteral("Name"));
        const bool bEnabled = pProtocol->childText(tt(), QStringLiteral("Enabled")) == QLatin1String("true");
        const int iPort = bEnabled ? pProtocol->childText(tt(), QStringLiteral("Port")).toInt() : 0;
        if (strName == QLatin1String("HTTP"))
            net.iHttpPort = iPort;
        else if (strName == QLatin1String("HTTPS"))
            net.iHttpsPort = iPort;
    }
    return COnvifError();
}

COnvifError COnvifDevice::writeNetwork(const stOnvifNetwork &before, const stOnvifNetwork &after)
{
    COnvifError error;
    if (after.listDns != before.listDns) {
        QString strServers;
        for (const QString &strDns : after.listDns) {
            if (!strDns.isEmpty())
                strServers += addressElement(QStringLiteral("DNSManual"), strDns);
        }
        error = call(QStringLiteral("<tds:SetDNS><tds:FromDHCP>false</tds:FromDHCP>%1</tds:SetDNS>").arg(strServers));
        if (!error.ok())
            return error;
    }
    if (after.strNtpServer != before.strNtpServer) {
        const QString strServer = after.strNtpServer.isEmpty()
                                      ? QString()
                                      : addressElement(QStringLiteral("NTPManual"), after.strNtpServer);
        error = call(QStringLiteral("<tds:SetNTP><tds:FromDHCP>false</tds:FromDHCP>%1</tds:SetNTP>").arg(strServer));
        if (!error.ok())
            return error;
    }
    if (after.bNtpSync != before.bNtpSync) {
        COnvifNode answer;
        if (!(error = call(QStringLiteral("<tds:GetSystemDateAndTime/>"), answer)).ok())
            return error;
        const COnvifNode *pTz = answer.find(tt(), QStringLiteral("TZ"));
        const COnvifNode *pDst = answer.find(tt(), QStringLiteral("DaylightSavings"));
        error = call(QStringLiteral("<tds:SetSystemDateAndTime><tds:DateTimeType>%1</tds:DateTimeType>"
                                    "<tds:DaylightSavings>%2</tds:DaylightSavings>%3</tds:SetSystemDateAndTime>")
                         .arg(after.bNtpSync ? QStringLiteral("NTP") : QStringLiteral("Manual"),
                              pDst && pDst->m_strText.trimmed() == QLatin1String("true") ? QStringLiteral("true")
                                                                                          : QStringLiteral("false"),
                              pTz ? QStringLiteral("<tds:TimeZone><tt:TZ>%1</tt:TZ></tds:TimeZone>")
                                        .arg(OnvifXml::esc(pTz->m_strText.trimmed()))
                                  : QString()));
        if (!error.ok())
            return error;
    }
    if (after.iHttpPort != before.iHttpPort || after.iHttpsPort != before.iHttpsPort) {
        auto protocol = [](const char *pszName, int iPort) {
            return QStringLiteral("<tds:NetworkProtocols><tt:Name>%1</tt:Name><tt:Enabled>%2</tt:Enabled>%3"
                                  "</tds:NetworkProtocols>")
                .arg(QLatin1String(pszName), iPort > 0 ? QStringLiteral("true") : QStringLiteral("false"),
                     iPort > 0 ? QStringLiteral("<tt:Port>%1</tt:Port>").arg(iPort) : QString());
        };
        error = call(QStringLiteral("<tds:SetNetworkProtocols>%1%2</tds:SetNetworkProtocols>")
                         .arg(protocol("HTTP", after.iHttpPort), protocol("HTTPS", after.iHttpsPort)));
        if (!error.ok())
            return error;
    }
    // The gateway before the interface: once the address has changed the device is no longer at this one.
    if (!after.bDhcp && !after.strGateway.isEmpty() && after.strGateway != before.strGateway) {
        error = call(QStringLiteral("<tds:SetNetworkDefaultGateway><tds:IPv4Address>%1</tds:IPv4Address>"
                                    "</tds:SetNetworkDefaultGateway>")
                         .arg(OnvifXml::esc(after.strGateway)));
        if (!error.ok())
            return error;
    }
    if (after.bDhcp == before.bDhcp && after.strIp == before.strIp && after.strMask == before.strMask)
        return COnvifError();
    const QString strIpv4 = after.bDhcp
                                ? QStringLiteral("<tt:DHCP>true</tt:DHCP>")
                                : QStringLiteral("<tt:Manual><tt:Address>%1</tt:Address><tt:PrefixLength>%2"
                                                 "</tt:PrefixLength></tt:Manual><tt:DHCP>false</tt:DHCP>")
                                      .arg(OnvifXml::esc(after.strIp))
                                      .arg(Ipv4::prefixOfMask(after.strMask));
    return call(QStringLiteral("<tds:SetNetworkInterfaces><tds:InterfaceToken>%1</tds:InterfaceToken>"
                               "<tds:NetworkInterface><tt:Enabled>true</tt:Enabled><tt:IPv4>"
                               "<tt:Enabled>true</tt:Enabled>%2</tt:IPv4></tds:NetworkInterface>"
                               "</tds:SetNetworkInterfaces>")
                    .arg(OnvifXml::esc(after.strInterfaceToken), strIpv4));
}

stOnvifDstRule COnvifDevice::ruleOfTz(const QString &strTz)
{
    // std offset dst [offset],Mm.w.d[/h],Mm.w.d[/h]
    static const QRegularExpression kTz(QStringLiteral(
        "^(?:<[^>]+>|[A-Za-z]{3,})([+-]?\\d{1,2}(?::\\d{2})?)(?::\\d{2})?(?:<[^>]+>|[A-Za-z]{3,})([+-]?\\d{1,2}(?::\\d{2})?)?"
        "(?::\\d{2})?,M(\\d{1,2})\\.(\\d)\\.(\\d)(?:/(\\d{1,2}))?[^,]*,M(\\d{1,2})\\.(\\d)\\.(\\d)(?:/(\\d{1,2}))?"));
    auto minutes = [](const QString &strOffset) {
        const QStringList parts = strOffset.split(QLatin1Char(':'));
        const int iHours = parts.value(0).toInt();
        const int iMinutes = parts.value(1).toInt();
        return iHours < 0 || strOffset.startsWith(QLatin1Char('-')) ? iHours * 60 - iMinutes : iHours * 60 + iMinutes;
    };
    stOnvifDstRule rule;
    const QRegularExpressionMatch match = kTz.match(strTz.trimmed());
    if (!match.hasMatch())
        return rule;
    rule.bEnabled = true;
    const int iStd = minutes(match.captured(1));
    // Without its own offset the summer time is an hour ahead.
    rule.iBiasMinutes = match.captured(2).isEmpty() ? 60 : iStd - minutes(match.captured(2));
    rule.iStartMonth = match.captured(3).toInt();
    rule.iStartWeek = match.captured(4).toInt();
    rule.iStartWeekday = match.captured(5).toInt();
    rule.iStartHour = match.captured(6).isEmpty() ? 2 : match.captured(6).toInt();
    rule.iEndMonth = match.captured(7).toInt();
    rule.iEndWeek = match.captured(8).toInt();
    rule.iEndWeekday = match.captured(9).toInt();
    rule.iEndHour = match.captured(10).isEmpty() ? 2 : match.captured(10).toInt();
    // A device's zone is no rule the dialog can show when a field is out of range.
    const auto within = [](int iValue, int iLow, int iHigh) { return iValue >= iLow && iValue <= iHigh; };
    if (!within(rule.iStartMonth, 1, 12) || !within(rule.iEndMonth, 1, 12) || !within(rule.iStartWeek, 1, 5)
        || !within(rule.iEndWeek, 1, 5) || !within(rule.iStartWeekday, 0, 6) || !within(rule.iEndWeekday, 0, 6)
        || !within(rule.iStartHour, 0, 23) || !within(rule.iEndHour, 0, 23))
        return stOnvifDstRule();
    return rule;
}

COnvifError COnvifDevice::readDaylightSaving(stOnvifDstRule &rule)
{
    COnvifNode answer;
    const COnvifError error = call(QStringLiteral("<tds:GetSystemDateAndTime/>"), answer);
    if (!error.ok())
        return error;
    const COnvifNode *pTz = answer.find(tt(), QStringLiteral("TZ"));
    rule = ruleOfTz(pTz ? pTz->m_strText : QString());
    return COnvifError();
}

COnvifError COnvifDevice::readSystemInfo(stOnvifSystemInfo &info)
{
    COnvifNode answer;
    COnvifError error = call(QStringLiteral("<tds:GetDeviceInformation/>"), answer);
    if (!error.ok())
        return error;
    info.strHardware = answer.childText(OnvifNs::kDevice, QStringLiteral("HardwareId"));

    if (!(error = call(QStringLiteral("<tds:GetSystemDateAndTime/>"), answer)).ok())
        return error;
    if (const COnvifNode *pTz = answer.find(tt(), QStringLiteral("TZ")))
        info.strTimeZone = pTz->m_strText.trimmed();
    if (const COnvifNode *pUtc = answer.find(tt(), QStringLiteral("UTCDateTime"))) {
        const COnvifNode *pDate = pUtc->child(tt(), QStringLiteral("Date"));
        const COnvifNode *pTime = pUtc->child(tt(), QStringLiteral("Time"));
        if (pDate && pTime) {
            auto part = [](const COnvifNode *p, const char *pszName) {
                return p->childText(OnvifNs::kSchema, QLatin1String(pszName)).toInt();
            };
            info.strClockUtc = QStringLiteral("%1-%2-%3 %4:%5:%6 UTC")
                                   .arg(part(pDate, "Year"))
                                   .arg(part(pDate, "Month"), 2, 10, QLatin1Char('0'))
                                   .arg(part(pDate, "Day"), 2, 10, QLatin1Char('0'))
                                   .arg(part(pTime, "Hour"), 2, 10, QLatin1Char('0'))
                                   .arg(part(pTime, "Minute"), 2, 10, QLatin1Char('0'))
                                   .arg(part(pTime, "Second"), 2, 10, QLatin1Char('0'));
        }
    }

    error = call(QStringLiteral("<tds:GetHostname/>"), answer);
    if (const COnvifNode *pName = error.ok() ? answer.find(tt(), QStringLiteral("Name")) : nullptr)
        info.strHostname = pName->m_strText.trimmed();
    else if (!error.ok() && error.kind() != COnvifError::Unsupported)
        return error;

    error = call(QStringLiteral("<tds:GetScopes/>"), answer);
    if (error.kind() == COnvifError::Unsupported)
        return COnvifError();
    if (!error.ok())
        return error;
    for (const COnvifNode *pScope : answer.children(OnvifNs::kDevice, QStringLiteral("Scopes")))
        info.listScopes.append(pScope->childText(tt(), QStringLiteral("ScopeItem")));
    return COnvifError();
}
