#ifndef DEVDISCOVERY_H
#define DEVDISCOVERY_H

#include "Discovery.h"
#include "DiscoverySender.h"
#include "devtypes.h"
#include "discoverybean.h"
#include "subject.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>

class COnvifDiscovery;

// Discovery service over the discovery library: probes, the deduplicated
// results list, and the identity-based set-address and reset-password calls.
//
// Answers arrive on the library's thread. The device tab reads the results
// with takeResults()/results(), which take the list's own lock, so reading
// is safe even while delivery is attached.
class CDevDiscovery : public CSubject<QList<stDiscoveryBean>>
{
public:
    // Failure codes of encodePassword (also returned by setDevIpAddr when the
    // password cannot be carried).
    enum EEncodeError : DWORD {
        EncodeNullPointer = 2,
        EncodeNoRoom = 5
    };
    // The encoded form of an empty password.
    static const char *const EmptyPasswordMarker;

    CDevDiscovery();
    ~CDevDiscovery() override;

    // Make this instance the receiver of answers / stop delivery to it.
    void attach();
    void detach();

    // Multicast probe; the library picks the interfaces. ONVIF devices are
    // probed alongside, and those that said Hello since the last probe join
    // the results.
    void sendProbe1();
    // Unicast probe to every address from strFirstIp to strLastIp (dotted).
    void sendProbe2(const QString &strFirstIp, const QString &strLastIp);
    // ONVIF Byes not followed by an answer from the address that said them.
    QSet<DeviceDeparture> departedEndpoints() const;
    // departed receives each ONVIF Bye as it arrives, arrived each Hello
    // (on the thread that probes).
    void onDeparted(std::function<void(const DeviceDeparture &)> departed);
    void onArrived(std::function<void(const stDiscoveryBean &)> arrived);

    // Swaps the results list for an empty one and returns what it held.
    QList<stDiscoveryBean> takeResults();
    // Copy of the results list as it stands.
    QList<stDiscoveryBean> results() const;
    int resultCount() const;

    // One raw answer from uSender (host order): appended unless the same
    // device answered for the same address through the same sender already,
    // and within the bounds one search allows a sender and an address. One
    // without an address (which the library never delivers) is appended.
    void addAnswer(const RVNA_DEVICE_INFO &info, quint32 uSender);

    // A relaying host answers for devices on other subnets, but one search
    // takes at most this many of its answers: a whole /24 moved away still
    // shows, while a host inventing answers adds no more than that.
    static const int MaxRelayedPerSender = 256;
    // Devices one sender may name for one address in one search: enough to
    // show a conflict of several devices, not a sender that names a new one
    // per answer. Counted per sender, so that no host can crowd out the
    // address's own answer.
    static const int MaxDevicesPerAddress = 4;
    // One ONVIF answer: appended unless its endpoint reference answered from
    // its address already (one copying another's reference shows apart), and
    // at most MaxDevicesPerAddress endpoints from one address.
    void addOnvifAnswer(const stDiscoveryBean &bean);

    // 0 on success, otherwise the library's code (RVNA_ERR_*).
    static DWORD resetPassword(const QString &strIp, const QString &strSerial, const QString &strMac,
                               const QString &strSecurityCode);
    // 0, 11005 (address conflict) or another failure code. A password whose
    // encoded form does not fit its slot (over 31 bytes) is refused with
    // EncodeNoRoom before anything is sent.
    static DWORD setDevIpAddr(const QString &strIp, const QString &strPassword, const QString &strUserName,
                              const QString &strSerial, const QString &strMac, const QString &strNewIp,
                              const QString &strNewMask, const QString &strNewGateway);

    // Encodes into a 256-byte buffer; 0 and the encoded text, or an EEncodeError.
    static DWORD encodePassword(const QString &strPassword, QByteArray &encoded);
    // Encodes pInput (NUL-terminated) into pOutput of nOutputSize bytes.
    static DWORD encodePassword(const char *pInput, char *pOutput, std::size_t nOutputSize);

    // The blocks handed to the library.
    static stDiscoveryBean toBean(const RVNA_DEVICE_INFO &info);
    static RVNA_DEV_IDENTITY makeIdentity(const QString &strSerial, const QString &strMac);
    static RVNA_DEV_NETADDR makeNetAddr(const QString &strIp, const QString &strMask, const QString &strGateway);
    // Fails with EncodeNoRoom when the encoded password does not fit.
    static DWORD makeAccount(const QString &strUserName, const QString &strPassword, RVNA_DEV_ACCOUNT &account);
    // Copies at most nSlotSize bytes; a text of nSlotSize bytes or more fills the slot without NUL.
    static void copyToSlot(char *pSlot, std::size_t nSlotSize, const QByteArray &text);

private:
    static void discoveryCallBack(const RVNA_DEVICE_INFO *pDevInfo, unsigned int uSender, void *pContext);
    // Counts one more device under strAtAddress (a sender and the address it
    // names), and one more relayed answer of strSender when bRelayed; false
    // past either bound, logged at the first refusal. Needs m_resultMutex.
    bool admitLocked(const QString &strAtAddress, const QString &strSender, bool bRelayed);
    // Made by the first probe, on the thread that probes.
    COnvifDiscovery &onvif();

    std::unique_ptr<COnvifDiscovery> m_pOnvif;
    std::function<void(const DeviceDeparture &)> m_departed;
    std::function<void(const stDiscoveryBean &)> m_arrived;
    QSet<QString> m_resultEndpoints; // endpoint and address of each ONVIF answer taken

    mutable std::mutex m_resultMutex;
    QList<stDiscoveryBean> m_results;
    QSet<QString> m_resultKeys;
    QHash<QString, int> m_hashRelayed; // answers taken per relaying sender
    QHash<QString, int> m_hashAtAddress; // devices taken per sender and answered address, ONVIF apart
};

#endif // DEVDISCOVERY_H
