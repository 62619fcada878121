#ifndef ADDRESSPLAN_H
#define ADDRESSPLAN_H

#include "uidevicebean.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// An address plan: which device gets which address, mask and gateway. Read
// from CSV whose header names the columns: at least one naming the device
// ("mac", "serial", or for ONVIF devices, which tell no MAC before a login,
// "endpoint" for the endpoint reference or "xaddr" for the device service at
// its current address), "ip", "mask", "gateway", optional "user"; other
// columns are ignored, so an edited inventory is a plan. Every entry is
// checked before any address is sent.
class CAddressPlan
{
    Q_DECLARE_TR_FUNCTIONS(CAddressPlan)

public:
    struct stEntry
    {
        int iLine = 0;
        QString strMac;     // as written; compared without separators or case
        QString strSerial;
        QString strEndpoint; // an ONVIF device's endpoint reference (urn:uuid:...)
        QString strXAddr;    // an ONVIF device, by its device service
        QString strIp;
        QString strMask;
        QString strGateway;
        QString strUser;    // empty: the caller's default account
    };
    struct stProblem
    {
        int iLine = 0;
        QString strReason;
    };
    enum EUnmatched { UnmatchedIsProblem, UnmatchedIsAllowed };

    // False with the problem when the text is no plan.
    bool parse(const QString &strText, stProblem &oProblem);
    bool load(const QString &strPath, stProblem &oProblem);
    const QList<stEntry> &entries() const { return m_listEntries; }

    // The index of the listed device the entry names, by the first of
    // endpoint, MAC, serial and device service that finds one; -1 when none.
    static int findDevice(const stEntry &oEntry, const QList<CUIDeviceBean> &listDev);
    // Address, mask and gateway rules, entries naming the same device or
    // address, and addresses held by other listed devices; in line order.
    static QList<stProblem> check(const QList<stEntry> &listEntries, const QList<CUIDeviceBean> &listDev,
                                  EUnmatched eUnmatched);
    // "line N: reason", one per line.
    static QString describe(const QList<stProblem> &listProblems);

private:
    static QString macKey(const QString &strMac);
    static QString deviceKey(const stEntry &oEntry);
    static QString addressProblem(const stEntry &oEntry);
    static QString unmatchedReason(const stEntry &oEntry);
    // strIp is held by oHolder, named by its MAC, else its endpoint reference or service address.
    static QString heldReason(const QString &strIp, const CUIDeviceBean &oHolder);

    QList<stEntry> m_listEntries;
};

#endif // ADDRESSPLAN_H
