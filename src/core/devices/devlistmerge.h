#ifndef DEVLISTMERGE_H
#define DEVLISTMERGE_H

#include "batcheditnetaddrbean.h"
#include "discoverybean.h"
#include "uidevicebean.h"

#include <QList>
#include <QSet>
#include <QString>

// How results reach the device list: discovery answers, worker results,
// address-change results and upgrade events. Works on the list its owner
// keeps and counts the refresh rounds, so that results of work a refresh
// abandoned are told apart. Every merge returns the rows it changed.
class CDevListMerge
{
public:
    explicit CDevListMerge(QList<CUIDeviceBean> &listDev);

    quint32 round() const { return m_ulRound; }
    // Starts a new round: results stamped with an earlier one are stale.
    void nextRound() { ++m_ulRound; }
    // 0 marks a record made outside the list, tied to no round.
    bool isCurrentRound(quint32 ulRound) const { return ulRound == 0 || ulRound == m_ulRound; }

    // Appends the answers not listed yet (native ones by address and MAC or
    // serial number, ONVIF ones by endpoint reference and address), numbered
    // on from the highest sequence number, with the default account; returns
    // how many were appended. An answer another host sent for an address
    // keeps that host on its row until the device answers for itself, and
    // never replaces a row the address answered. ONVIF rows in setDeparted
    // are marked offline; an answer from another address follows only a row
    // so marked (the camera moved), else it is a row of its own. Rows of one
    // protocol sharing an address, and ONVIF rows sharing an endpoint, are
    // marked as a conflict.
    int mergeDiscovered(const QList<stDiscoveryBean> &listFound, const QString &strUser,
                        const QString &strPassword, const QSet<DeviceDeparture> &setDeparted = {});
    // Marks the ONVIF row of the Bye's endpoint at the Bye's address offline; its rows.
    QList<int> markDeparted(const DeviceDeparture &departure);
    // A Hello: the offline row it belongs to is back (at the Hello's address); its rows.
    QList<int> markArrived(const stDiscoveryBean &found);
    // Copies a worker's result into every entry with its address. Only a
    // login result decides the session (login key and type).
    QList<int> mergeResult(const CUIDeviceBean &oResult);
    // Applies an address-change result to every entry with the old address;
    // only a success moves the entry to the new address (in its plain form).
    QList<int> mergeAddressResult(const CBatchEditNetAddrBean &oResult);
    // A device the configuration dialog moved: every entry with the old
    // address takes the new one (in its plain form).
    QList<int> mergeMove(const QString &strOldIp, const QString &strNewIp);
    // An IPC upgrade's end, reported by the library for a login key.
    QList<int> mergeUpgradeEvent(const QString &strUserId, qint64 lValue);
    // A running IPC upgrade's percentage of the upload (bUpload) or of the device's own work.
    QList<int> mergeUpgradeProgress(const QString &strUserId, bool bUpload, int iPercent);
    // The version read from a device after its upgrade or restart, for every
    // entry with its address; a device that answered is no longer offline.
    QList<int> mergeVersion(const CUIDeviceBean &oResult);

    int rowOfDevId(int iDevId) const;

private:
    // An address typed with leading zeros reaches the device as typed; the
    // device then answers at the plain form, which the list keeps.
    static QString plainAddress(const QString &strIp);
    static bool sameNativeDevice(const CUIDeviceBean &dev, const stDiscoveryBean &found);
    // The row of an ONVIF answer: the same endpoint at the same address, else
    // one whose camera said Bye from its address; -1 for none.
    int onvifRow(const stDiscoveryBean &found) const;
    static void followOnvif(CUIDeviceBean &dev, const stDiscoveryBean &found);
    void markConflicts();

    QList<CUIDeviceBean> &m_listDev;
    quint32 m_ulRound = 1;
};

#endif // DEVLISTMERGE_H
