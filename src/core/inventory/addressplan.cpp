#include "addressplan.h"

#include "csvtable.h"
#include "ipv4.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <functional>

namespace {

// Plans are a few hundred lines; anything far larger is not one.
constexpr qint64 kMaxPlanBytes = 4 * 1024 * 1024;

} // namespace

bool CAddressPlan::load(const QString &strPath, stProblem &oProblem)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        oProblem = {0, tr("无法打开 %1：%2").arg(strPath, file.errorString())};
        return false;
    }
    if (file.size() > kMaxPlanBytes) {
        oProblem = {0, tr("%1 过大，不是地址计划").arg(strPath)};
        return false;
    }
    return parse(QString::fromUtf8(file.readAll()), oProblem);
}

bool CAddressPlan::parse(const QString &strText, stProblem &oProblem)
{
    m_listEntries.clear();
    QList<CsvTable::stRecord> listRecords;
    int iErrorLine = 0;
    if (!CsvTable::parse(strText, listRecords, iErrorLine)) {
        oProblem = {iErrorLine, tr("引号未闭合")};
        return false;
    }
    if (listRecords.isEmpty()) {
        oProblem = {1, tr("计划为空")};
        return false;
    }
    QHash<QString, int> hashColumn;
    const QStringList &listHeader = listRecords.first().listFields;
    for (int i = 0; i < listHeader.size(); ++i)
        hashColumn.insert(listHeader.at(i).trimmed().toLower(), i);
    const int iHeaderLine = listRecords.first().iLine;
    if (!hashColumn.contains(QStringLiteral("mac")) && !hashColumn.contains(QStringLiteral("serial"))
        && !hashColumn.contains(QStringLiteral("endpoint")) && !hashColumn.contains(QStringLiteral("xaddr"))) {
        oProblem = {iHeaderLine, tr("表头缺少 mac、serial、endpoint 或 xaddr 列")};
        return false;
    }
    for (const char *pszColumn : {"ip", "mask", "gateway"}) {
        if (!hashColumn.contains(QLatin1String(pszColumn))) {
            oProblem = {iHeaderLine, tr("表头缺少 %1 列").arg(QLatin1String(pszColumn))};
            return false;
        }
    }
    for (int r = 1; r < listRecords.size(); ++r) {
        const CsvTable::stRecord &oRecord = listRecords.at(r);
        auto field = [&](const char *pszColumn) {
            const int iColumn = hashColumn.value(QLatin1String(pszColumn), -1);
            return iColumn >= 0 && iColumn < oRecord.listFields.size() ? oRecord.listFields.at(iColumn).trimmed()
                                                                        : QString();
        };
        stEntry oEntry;
        oEntry.iLine = oRecord.iLine;
        oEntry.strMac = field("mac");
        oEntry.strSerial = field("serial");
        oEntry.strEndpoint = field("endpoint");
        oEntry.strXAddr = field("xaddr");
        oEntry.strIp = field("ip");
        oEntry.strMask = field("mask");
        oEntry.strGateway = field("gateway");
        oEntry.strUser = field("user");
        m_listEntries << oEntry;
    }
    return true;
}

QString CAddressPlan::macKey(const QString &strMac)
{
    static const QRegularExpression reSeparators(QStringLiteral("[:\\-.]"));
    return QString(strMac).remove(reSeparators).toLower();
}

QString CAddressPlan::deviceKey(const stEntry &oEntry)
{
    return !oEntry.strEndpoint.isEmpty() ? QStringLiteral("e:") + oEntry.strEndpoint
        : !oEntry.strMac.isEmpty()       ? QStringLiteral("m:") + macKey(oEntry.strMac)
        : !oEntry.strSerial.isEmpty()    ? QStringLiteral("s:") + oEntry.strSerial
                                         : QStringLiteral("x:") + oEntry.strXAddr;
}

int CAddressPlan::findDevice(const stEntry &oEntry, const QList<CUIDeviceBean> &listDev)
{
    // An edited inventory names an ONVIF device by all it knew; a list that
    // has not logged in yet knows only the endpoint and the service address.
    const QString strMac = macKey(oEntry.strMac);
    const std::function<bool(const CUIDeviceBean &)> listMatches[] = {
        [&](const CUIDeviceBean &oDev) { return oDev.m_strEndpoint == oEntry.strEndpoint; },
        [&](const CUIDeviceBean &oDev) { return macKey(oDev.m_strMac) == strMac; },
        [&](const CUIDeviceBean &oDev) { return oDev.m_strSerial == oEntry.strSerial; },
        [&](const CUIDeviceBean &oDev) { return oDev.m_strXAddr == oEntry.strXAddr; },
    };
    const bool abGiven[] = {!oEntry.strEndpoint.isEmpty(), !strMac.isEmpty(), !oEntry.strSerial.isEmpty(),
                            !oEntry.strXAddr.isEmpty()};
    for (int k = 0; k < 4; ++k) {
        if (!abGiven[k])
            continue;
        const auto it = std::find_if(listDev.cbegin(), listDev.cend(), listMatches[k]);
        if (it != listDev.cend())
            return int(it - listDev.cbegin());
    }
    return -1;
}

QString CAddressPlan::unmatchedReason(const stEntry &oEntry)
{
    if (!oEntry.strMac.isEmpty())
        return tr("未找到 MAC 为 %1 的设备").arg(oEntry.strMac);
    if (!oEntry.strSerial.isEmpty())
        return tr("未找到序列号为 %1 的设备").arg(oEntry.strSerial);
    return tr("未找到 %1 的设备").arg(oEntry.strEndpoint.isEmpty() ? oEntry.strXAddr : oEntry.strEndpoint);
}

QString CAddressPlan::heldReason(const QString &strIp, const CUIDeviceBean &oHolder)
{
    // An ONVIF camera tells no MAC before a login: it is named as a plan names it.
    if (!oHolder.m_strMac.isEmpty())
        return tr("IP地址 %1 已被另一台设备（MAC %2）使用")
            .arg(strIp, CUIDeviceBean::formatMac(oHolder.m_strMac));
    return tr("IP地址 %1 已被另一台设备（%2）使用")
        .arg(strIp, oHolder.m_strEndpoint.isEmpty() ? oHolder.m_strXAddr : oHolder.m_strEndpoint);
}

QString CAddressPlan::addressProblem(const stEntry &oEntry)
{
    static const QRegularExpression reMac(QStringLiteral("^[0-9a-f]{12}$"));
    if (oEntry.strMac.isEmpty() && oEntry.strSerial.isEmpty() && oEntry.strEndpoint.isEmpty()
        && oEntry.strXAddr.isEmpty())
        return tr("没有 MAC、序列号、端点或服务地址");
    if (!oEntry.strMac.isEmpty() && !reMac.match(macKey(oEntry.strMac)).hasMatch())
        return tr("MAC %1 无效").arg(oEntry.strMac);
    if (!Ipv4::isUsableHost(oEntry.strIp))
        return tr("IP地址 %1 无效").arg(oEntry.strIp);
    if (!Ipv4::isValidMask(oEntry.strMask))
        return tr("子网掩码 %1 无效").arg(oEntry.strMask);
    if (!Ipv4::isHostInSubnet(oEntry.strIp, oEntry.strMask))
        return tr("IP地址 %1 是子网 %2 的网络地址或广播地址").arg(oEntry.strIp, oEntry.strMask);
    if (!Ipv4::isValidGateway(oEntry.strGateway, oEntry.strIp, oEntry.strMask))
        return tr("网关 %1 不在 %2/%3 的子网内或与地址相同").arg(oEntry.strGateway, oEntry.strIp, oEntry.strMask);
    return QString();
}

QList<CAddressPlan::stProblem> CAddressPlan::check(const QList<stEntry> &listEntries,
                                                   const QList<CUIDeviceBean> &listDev, EUnmatched eUnmatched)
{
    QList<stProblem> listProblems;
    QHash<quint32, int> hashAddressLine;
    QHash<QString, int> hashDeviceLine;
    for (const stEntry &oEntry : listEntries) {
        const QString strAddress = addressProblem(oEntry);
        if (!strAddress.isEmpty()) {
            listProblems << stProblem{oEntry.iLine, strAddress};
            continue;
        }
        const QString strDevKey = deviceKey(oEntry);
        const quint32 uIp = Ipv4::sortKey(oEntry.strIp);
        if (hashDeviceLine.contains(strDevKey)) {
            listProblems << stProblem{oEntry.iLine, tr("与第 %1 行是同一台设备").arg(hashDeviceLine.value(strDevKey))};
            continue;
        }
        hashDeviceLine.insert(strDevKey, oEntry.iLine);
        if (hashAddressLine.contains(uIp)) {
            listProblems << stProblem{oEntry.iLine,
                                      tr("IP地址 %1 与第 %2 行重复").arg(oEntry.strIp).arg(hashAddressLine.value(uIp))};
            continue;
        }
        hashAddressLine.insert(uIp, oEntry.iLine);
        const int iDev = findDevice(oEntry, listDev);
        if (iDev < 0) {
            if (eUnmatched == UnmatchedIsProblem) {
                listProblems << stProblem{oEntry.iLine, unmatchedReason(oEntry)};
            }
            continue;
        }
        for (int i = 0; i < listDev.size(); ++i) {
            if (i != iDev && Ipv4::sortKey(listDev.at(i).m_strIp) == uIp) {
                listProblems << stProblem{oEntry.iLine, heldReason(oEntry.strIp, listDev.at(i))};
                break;
            }
        }
    }
    std::stable_sort(listProblems.begin(), listProblems.end(),
                     [](const stProblem &a, const stProblem &b) { return a.iLine < b.iLine; });
    return listProblems;
}

QString CAddressPlan::describe(const QList<stProblem> &listProblems)
{
    QStringList listLines;
    for (const stProblem &oProblem : listProblems)
        listLines << (oProblem.iLine > 0 ? tr("第 %1 行：%2").arg(oProblem.iLine).arg(oProblem.strReason)
                                         : oProblem.strReason);
    return listLines.join(QLatin1Char('\n'));
}
