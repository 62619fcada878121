#include "devlistmerge.h"

#include "devfailreason.h"
#include "devsession.h"
#include "ipv4.h"

#include <QDateTime>
#include <QHash>

#include <algorithm>

CDevListMerge::CDevListMerge(QList<CUIDeviceBean> &listDev)
    : m_listDev(listDev)
{
}

int CDevListMerge::mergeDiscovered(const QList<stDiscoveryBean> &listFound, const QString &strUser,
                                   const QString &strPassword, const QSet<DeviceDeparture> &setDeparted)
{
    for (const DeviceDeparture &departure : setDeparted)
        markDeparted(departure);

    // Numbers only grow; the list is sorted by address, so its last entry
    // need not hold the highest number.
    int iCounter = 0;
    for (const CUIDeviceBean &dev : qAsConst(m_listDev))
        iCounter = std::max(iCounter, dev.m_lDevId + 1);

    int iAdded = 0;
    for (const stDiscoveryBean &found : listFound) {
        if (!found.strEndpoint.isEmpty()) {
            const int iRow = onvifRow(found);
            if (iRow >= 0) {
                followOnvif(m_listDev[iRow], found);
                continue;
            }
        } else {
            const auto itKnown = std::find_if(m_listDev.begin(), m_listDev.end(), [&found](const CUIDeviceBean &dev) {
                return !dev.isOnvif() && sameNativeDevice(dev, found);
            });
            if (itKnown != m_listDev.end()) {
                // A device heard from itself outranks what another host said for it.
                if (found.strRelay.isEmpty())
                    itKnown->m_strRelay.clear();
                continue;
            }
        }
        ++iCounter;
        CUIDeviceBean dev;
        dev.m_lDevId = iCounter;
        dev.m_cFlagA = 0;
        dev.m_lStatus = DevStatusNotLogged;
        dev.m_strIp = found.strIp;
        dev.m_strModel = found.strModel;
        dev.m_strManufacturer = found.strManufacturer;
        dev.m_strSerial = found.strSerial;
        dev.m_strMac = found.strMac;
        dev.m_strVersion = found.strVersion;
        dev.m_strProtocol = found.strProtocol;
        dev.m_strEndpoint = found.strEndpoint;
        dev.m_strXAddr = found.strXAddr;
        dev.m_strRelay = found.strRelay;
        dev.m_strUserName = strUser;
        dev.m_strPassword = strPassword;
        dev.m_ulListRound = m_ulRound;
        m_listDev.append(dev);
        ++iAdded;
    }
    markConflicts();
    return iAdded;
}

QList<int> CDevListMerge::markDeparted(const DeviceDeparture &departure)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        // A camera this program moves says Bye at its old address on its way, before or after its
        // row has left that address.
        if (!dev.isOnvif() || departure.first.isEmpty() || dev.m_strEndpoint != departure.first
            || dev.m_strIp != departure.second || dev.m_lStatus == DevStatusModifying)
            continue;
        dev.m_lStatus = DevStatusNotLogged;
        dev.m_strLoginKey.clear();
        dev.m_strFailReason = CDevFailReason::offline();
        listRows.append(i);
    }
    return listRows;
}

QList<int> CDevListMerge::markArrived(const stDiscoveryBean &found)
{
    const int iRow = onvifRow(found);
    if (iRow < 0 || m_listDev.at(iRow).m_strFailReason != CDevFailReason::offline())
        return {};
    followOnvif(m_listDev[iRow], found);
    markConflicts();
    return {iRow};
}

int CDevListMerge::onvifRow(const stDiscoveryBean &found) const
{
    int iDeparted = -1;
    for (int i = 0; i < m_listDev.size(); ++i) {
        const CUIDeviceBean &dev = m_listDev.at(i);
        if (!dev.isOnvif() || dev.m_strEndpoint != found.strEndpoint)
            continue;
        if (dev.m_strIp == found.strIp)
            return i;
        if (dev.m_strFailReason == CDevFailReason::offline())
            iDeparted = i;
    }
    return iDeparted;
}

bool CDevListMerge::sameNativeDevice(const CUIDeviceBean &dev, const stDiscoveryBean &found)
{
    if (found.strIp.isEmpty() || dev.m_strIp != found.strIp)
        return false;
    // A row without identity (typed in, imported) is the device at its address.
    if (dev.m_strMac.isEmpty() && dev.m_strSerial.isEmpty())
        return true;
    return (!found.strMac.isEmpty() && dev.m_strMac.compare(found.strMac, Qt::CaseInsensitive) == 0)
        || (!found.strSerial.isEmpty() && dev.m_strSerial == found.strSerial);
}

void CDevListMerge::followOnvif(CUIDeviceBean &dev, const stDiscoveryBean &found)
{
    if (dev.m_strFailReason == CDevFailReason::offline())
        dev.m_strFailReason.clear();
    if (dev.m_strManufacturer.isEmpty())
        dev.m_strManufacturer = found.strManufacturer;
    if (found.strIp.isEmpty() || found.strIp == dev.m_strIp)
        return;
    dev.m_strIp = found.strIp;
    dev.m_strXAddr = found.strXAddr;
    // The session was signed for the old address; the device is logged in again there.
    dev.m_strLoginKey.clear();
    dev.m_lStatus = DevStatusNotLogged;
}

void CDevListMerge::markConflicts()
{
    // One device may speak both protocols: only rows of one protocol conflict.
    // An endpoint reference answering from two addresses is one copied.
    auto key = [](const CUIDeviceBean &dev) { return dev.m_strProtocol + QLatin1Char('/') + dev.m_strIp; };
    auto endpointKey = [](const CUIDeviceBean &dev) {
        return dev.isOnvif() ? QStringLiteral("endpoint/") + dev.m_strEndpoint : QString();
    };
    QHash<QString, int> hashUses;
    for (const CUIDeviceBean &dev : qAsConst(m_listDev)) {
        ++hashUses[key(dev)];
        ++hashUses[endpointKey(dev)];
    }
    const QString strConflict = CDevFailReason::addressConflict();
    for (CUIDeviceBean &dev : m_listDev) {
        if (hashUses.value(key(dev)) > 1 || (dev.isOnvif() && hashUses.value(endpointKey(dev)) > 1))
            dev.m_strFailReason = strConflict;
        else if (dev.m_strFailReason == strConflict)
            dev.m_strFailReason.clear();
    }
}

QList<int> CDevListMerge::mergeResult(const CUIDeviceBean &oResult)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        // Two devices may claim one address; an ONVIF result names its device.
        if (dev.m_strIp != oResult.m_strIp || dev.m_strEndpoint != oResult.m_strEndpoint)
            continue;
        // A device that reports no progress still shows how long it has been at it.
        if (oResult.m_lStatus != DevStatusUpgrading)
            dev.m_llBusySinceMs = 0;
        else if (dev.m_lStatus != DevStatusUpgrading)
            dev.m_llBusySinceMs = QDateTime::currentMSecsSinceEpoch();
        dev.m_lStatus = oResult.m_lStatus;
        dev.m_lProgress = -1;
        dev.m_lUploadProgress = -1;
        // Any other result carries the key of when its request was sent,
        // which a login since may have closed and replaced; taking it back
        // would lose the open session.
        if (oResult.m_lStatus == DevStatusLogged || oResult.m_lStatus == DevStatusLoginFailed
            || oResult.m_lStatus == DevStatusLoginLocked) {
            dev.m_strLoginKey = oResult.m_strLoginKey;
            dev.m_strDevType = oResult.m_strDevType;
        }
        dev.m_strModel = oResult.m_strModel;
        dev.m_strManufacturer = oResult.m_strManufacturer;
        dev.m_strVersion = oResult.m_strVersion;
        dev.m_strSerial = oResult.m_strSerial;
        dev.m_strMac = oResult.m_strMac;
        dev.m_strMask = oResult.m_strMask;
        dev.m_strGateway = oResult.m_strGateway;
        dev.m_strExtSerial = oResult.m_strExtSerial;
        dev.m_strFailReason = oResult.m_strFailReason;
        listRows.append(i);
    }
    return listRows;
}

QList<int> CDevListMerge::mergeAddressResult(const CBatchEditNetAddrBean &oResult)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp != oResult.m_strOldIp)
            continue;
        if (oResult.m_lResult == DevStatusModifyOk) {
            dev.m_strIp = plainAddress(oResult.m_strNewIp);
            if (dev.isOnvif())
                dev.m_strXAddr = DevSession::xaddrAt(dev, dev.m_strIp);
            dev.m_strGateway = oResult.m_strGateway;
            dev.m_strMask = oResult.m_strMask;
        }
        dev.m_lStatus = oResult.m_lResult;
        dev.m_strFailReason = oResult.m_strFailReason;
        listRows.append(i);
    }
    return listRows;
}

QList<int> CDevListMerge::mergeMove(const QString &strOldIp, const QString &strNewIp)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        if (m_listDev.at(i).m_strIp != strOldIp)
            continue;
        CUIDeviceBean &dev = m_listDev[i];
        dev.m_strIp = plainAddress(strNewIp);
        if (dev.isOnvif())
            dev.m_strXAddr = DevSession::xaddrAt(dev, dev.m_strIp);
        listRows.append(i);
    }
    return listRows;
}

QString CDevListMerge::plainAddress(const QString &strIp)
{
    quint32 uIp = 0;
    return Ipv4::parse(strIp, uIp) ? Ipv4::format(uIp) : strIp;
}

QList<int> CDevListMerge::mergeUpgradeEvent(const QString &strUserId, qint64 lValue)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strLoginKey != strUserId || dev.m_lStatus != DevStatusUpgrading)
            continue;
        dev.m_lStatus = lValue > 0 ? DevStatusUpgradeFailed : DevStatusUpgradeOk;
        dev.m_strFailReason = lValue > 0 ? CDevFailReason::ofIpcUpgradeEvent(DWORD(lValue)) : QString();
        listRows.append(i);
    }
    return listRows;
}

QList<int> CDevListMerge::mergeUpgradeProgress(const QString &strUserId, bool bUpload, int iPercent)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strLoginKey != strUserId || dev.m_lStatus != DevStatusUpgrading)
            continue;
        (bUpload ? dev.m_lUploadProgress : dev.m_lProgress) = iPercent;
        listRows.append(i);
    }
    return listRows;
}

QList<int> CDevListMerge::mergeVersion(const CUIDeviceBean &oResult)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        if (m_listDev.at(i).m_strIp != oResult.m_strIp)
            continue;
        CUIDeviceBean &dev = m_listDev[i];
        dev.m_strVersion = oResult.m_strVersion;
        // Its Bye came with the restart; its Hello may not have reached us.
        if (dev.m_strFailReason == CDevFailReason::offline())
            dev.m_strFailReason.clear();
        listRows.append(i);
    }
    return listRows;
}

int CDevListMerge::rowOfDevId(int iDevId) const
{
    for (int i = 0; i < m_listDev.size(); ++i) {
        if (m_listDev.at(i).m_lDevId == iDevId)
            return i;
    }
    return -1;
}
