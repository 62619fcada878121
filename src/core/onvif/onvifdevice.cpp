#include "onvifdevice.h"
#include "ipv4.h"

#include <QRegularExpression>
#include <QStringList>

#include <memory>

namespace {

QString devText(const COnvifNode &node, const char *pszName)
{
    return node.childText(OnvifNs::kDevice, QLatin1String(pszName));
}

void readInterface(const COnvifNode &answer, stOnvifDeviceInfo &info)
{
    const COnvifNode *pIf = answer.child(OnvifNs::kDevice, QStringLiteral("NetworkInterfaces"));
    if (!pIf)
        return;
    info.strInterfaceToken = pIf->m_hashAttrs.value(QStringLiteral("token"));
    if (const COnvifNode *pInfo = pIf->child(OnvifNs::kSchema, QStringLiteral("Info")))
        info.strMac = pInfo->childText(OnvifNs::kSchema, QStringLiteral("HwAddress")).remove(QLatin1Char(':'))
                          .remove(QLatin1Char('-'));
    const COnvifNode *pConfig = pIf->path(OnvifNs::kSchema, {QStringLiteral("IPv4"), QStringLiteral("Config")});
    const COnvifNode *pAddr = pConfig ? pConfig->child(OnvifNs::kSchema, QStringLiteral("Manual")) : nullptr;
    if (pConfig && !pAddr)
        pAddr = pConfig->child(OnvifNs::kSchema, QStringLiteral("FromDHCP"));
    if (pAddr) {
        info.strIp = pAddr->childText(OnvifNs::kSchema, QStringLiteral("Address"));
        info.strMask = Ipv4::maskOfPrefix(pAddr->childText(OnvifNs::kSchema, QStringLiteral("PrefixLength")).toInt());
    }
}

} // namespace

COnvifDevice::COnvifDevice(const QString &strXAddr, const QString &strUser, const QString &strPassword)
    : m_target{QUrl(strXAddr), strUser, strPassword}
{
}

COnvifError COnvifDevice::call(const QString &strBody, COnvifNode &answer)
{
    return COnvifSoap::ofThread().call(m_target, strBody, answer);
}

COnvifError COnvifDevice::call(const QString &strBody)
{
    COnvifNode answer;
    return call(strBody, answer);
}

COnvifError COnvifDevice::open()
{
    return COnvifSoap::ofThread().syncClock(m_target);
}

void COnvifDevice::readInfoAsync(InfoDone done) const
{
    // One call after the other: parallel calls would share a Digest nonce,
    // and a device may take a nonce count arriving out of order as a replay.
    struct stRead
    {
        stOnvifTarget target;
        stOnvifDeviceInfo info;
        InfoDone done;
    };
    auto pRead = std::make_shared<stRead>();
    pRead->target = m_target;
    pRead->done = std::move(done);
    COnvifSoap &soap = COnvifSoap::ofThread();
    auto readGateway = [&soap, pRead] {
        soap.callAsync(pRead->target, QStringLiteral("<tds:GetNetworkDefaultGateway/>"),
                       [pRead](const COnvifError &error, const COnvifNode &answer) {
                           if (const COnvifNode *pGw = answer.child(OnvifNs::kDevice,
                                                                    QStringLiteral("NetworkGateway")))
                               pRead->info.strGateway = pGw->childText(OnvifNs::kSchema,
                                                                       QStringLiteral("IPv4Address"));
                           pRead->done(error.kind() == COnvifError::Unsupported ? COnvifError() : error, pRead->info);
                       });
    };
    auto readInterfaces = [&soap, pRead, readGateway] {
        soap.callAsync(pRead->target, QStringLiteral("<tds:GetNetworkInterfaces/>"),
                       [pRead, readGateway](const COnvifError &error, const COnvifNode &answer) {
                           if (!error.ok())
                               return pRead->done(error, pRead->info);
                           readInterface(answer, pRead->info);
                           readGateway();
                       });
    };
    auto readDevice = [&soap, pRead, readInterfaces] {
        soap.callAsync(pRead->target, QStringLiteral("<tds:GetDeviceInformation/>"),
                       [pRead, readInterfaces](const COnvifError &error, const COnvifNode &answer) {
                           if (!error.ok())
                               return pRead->done(error, pRead->info);
                           stOnvifDeviceInfo &info = pRead->info;
                           info.strManufacturer = devText(answer, "Manufacturer");
                           info.strModel = devText(answer, "Model");
                           info.strFirmware = devText(answer, "FirmwareVersion");
                           info.strSerial = devText(answer, "SerialNumber");
                           readInterfaces();
                       });
    };
    soap.clockAsync(pRead->target, [pRead, readDevice](const COnvifError &error) {
        if (!error.ok())
            return pRead->done(error, pRead->info);
        readDevice();
    });
}

COnvifError COnvifDevice::reboot()
{
    return call(QStringLiteral("<tds:SystemReboot/>"));
}

QString COnvifDevice::posixTz(const QString &strCurrentTz, const stOnvifDstRule &rule)
{
    // std name, then its offset (hours west of UTC, optionally :mm[:ss]).
    static const QRegularExpression kStd(
        QStringLiteral("^(<[^>]+>|[A-Za-z]{3,})([+-]?)(\\d{1,2})(?::(\\d{2}))?(?::\\d{2})?"));
    const QRegularExpressionMatch match = kStd.match(strCurrentTz.trimmed());
    QString strStd = QStringLiteral("UTC0");
    int iStdMinutes = 0;
    if (match.hasMatch()) {
        strStd = match.captured(0);
        iStdMinutes = match.captured(3).toInt() * 60 + match.captured(4).toInt();
        if (match.captured(2) == QLatin1String("-"))
            iStdMinutes = -iStdMinutes;
    }
    if (!rule.bEnabled)
        return strStd;
    const int iDst = iStdMinutes - rule.iBiasMinutes;
    const QString strDstOffset = QStringLiteral("%1%2:%3")
                                     .arg(iDst < 0 ? QStringLiteral("-") : QString())
                                     .arg(qAbs(iDst) / 60)
                                     .arg(qAbs(iDst) % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1DST%2,M%3.%4.%5/%6,M%7.%8.%9/%10")
        .arg(strStd, strDstOffset)
        .arg(rule.iStartMonth)
        .arg(rule.iStartWeek)
        .arg(rule.iStartWeekday)
        .arg(rule.iStartHour)
        .arg(rule.iEndMonth)
        .arg(rule.iEndWeek)
        .arg(rule.iEndWeekday)
        .arg(rule.iEndHour);
}

COnvifError COnvifDevice::setDaylightSaving(const stOnvifDstRule &rule)
{
    // The clock keeps its setting (manual or NTP) and its standard zone as read.
    COnvifNode answer;
    COnvifError error = call(QStringLiteral("<tds:GetSystemDateAndTime/>"), answer);
    if (!error.ok())
        return error;
    const COnvifNode *pSet = answer.child(OnvifNs::kDevice, QStringLiteral("SystemDateAndTime"));
    const QString strType = pSet ? pSet->childText(OnvifNs::kSchema, QStringLiteral("DateTimeType")) : QString();
    const COnvifNode *pZone = pSet ? pSet->child(OnvifNs::kSchema, QStringLiteral("TimeZone")) : nullptr;
    const QString strPosixTz = posixTz(pZone ? pZone->childText(OnvifNs::kSchema, QStringLiteral("TZ")) : QString(), rule);
    const bool bDst = rule.bEnabled;
    return call(QStringLiteral("<tds:SetSystemDateAndTime><tds:DateTimeType>%1</tds:DateTimeType>"
                               "<tds:DaylightSavings>%2</tds:DaylightSavings>"
                               "<tds:TimeZone><tt:TZ>%3</tt:TZ></tds:TimeZone></tds:SetSystemDateAndTime>")
                    .arg(strType == QLatin1String("NTP") ? QStringLiteral("NTP") : QStringLiteral("Manual"),
                         bDst ? QStringLiteral("true") : QStringLiteral("false"), OnvifXml::esc(strPosixTz)));
}

COnvifError COnvifDevice::setPassword(const QString &strUser, const QString &strNewPassword)
{
    COnvifNode answer;
    COnvifError error = call(QStringLiteral("<tds:GetUsers/>"), answer);
    if (!error.ok())
        return error;
    QString strLevel = QStringLiteral("Administrator");
    for (const COnvifNode *pUser : answer.children(OnvifNs::kDevice, QStringLiteral("User"))) {
        if (pUser->childText(OnvifNs::kSchema, QStringLiteral("Username")) == strUser)
            strLevel = pUser->childText(OnvifNs::kSchema, QStringLiteral("UserLevel"));
    }
    return call(QStringLiteral("<tds:SetUser><tds:User><tt:Username>%1</tt:Username><tt:Password>%2</tt:Password>"
                               "<tt:UserLevel>%3</tt:UserLevel></tds:User></tds:SetUser>")
                    .arg(OnvifXml::esc(strUser), OnvifXml::esc(strNewPassword), OnvifXml::esc(strLevel)));
}

QString COnvifDevice::xaddrAt(const QString &strXAddr, const QString &strIp)
{
    QUrl url(strXAddr);
    url.setHost(strIp);
    return url.toString();
}

QString COnvifDevice::deviceServiceAt(const QString &strHost, quint16 uPort)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(strHost);
    url.setPort(uPort);
    url.setPath(QStringLiteral("/onvif/device_service"));
    return url.toString();
}

QString COnvifDevice::hostOf(const QString &strXAddr)
{
    return QUrl(strXAddr).host();
}
