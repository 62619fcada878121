#include "devlistmerge.h"

#include "devfailreason.h"
#include "ipv4.h"

#include <QDateTime>

#include <algorithm>

CDevListMerge::CDevListMerge(QList<CUIDeviceBean> &listDev)
    : m_listDev(listDev)
{
}

int CDevListMerge::mergeDiscovered(const QList<stDiscoveryBean> &listFound, const QString &strUser,
                                   const QString &strPassword)
{
    // Numbers only grow; the list is sorted by address, so its last entry
    // need not hold the highest number.
    int iCounter = 0;
    for (const CUIDeviceBean &dev : qAsConst(m_listDev))
        iCounter = std::max(iCounter, dev.m_lDevId + 1);

    int iAdded = 0;
    for (const stDiscoveryBean &found : listFound) {
        const bool bKnown = !found.strIp.isEmpty()
            && std::any_of(m_listDev.cbegin(), m_listDev.cend(),
                           [&found](const CUIDeviceBean &dev) { return dev.m_strIp == found.strIp; });
        if (bKnown)
            continue;
        ++iCounter;
        CUIDeviceBean dev;
        dev.m_lDevId = iCounter;
        dev.m_cFlagA = 0;
        dev.m_lStatus = DevStatusNotLogged;
        dev.m_strIp = found.strIp;
        dev.m_strModel = found.strModel;
        dev.m_strSerial = found.strSerial;
        dev.m_strMac = found.strMac;
        dev.m_strVersion = found.strVersion;
        dev.m_strUserName = strUser;
        dev.m_strPassword = strPassword;
        dev.m_ulListRound = m_ulRound;
        m_listDev.append(dev);
        ++iAdded;
    }
    return iAdded;
}

QList<int> CDevListMerge::mergeResult(const CUIDeviceBean &oResult)
{
    QList<int> listRows;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp != oResult.m_strIp)
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
        m_listDev[i].m_strIp = plainAddress(strNewIp);
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
        m_listDev[i].m_strVersion = oResult.m_strVersion;
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
