#ifndef DEVSESSION_H
#define DEVSESSION_H

#include "TolanNetSDK.h"
#include "batcheditnetaddrbean.h"
#include "devcapacityinfo.h"
#include "onviferror.h"
#include "tolan_cfg.h"
#include "uidevicebean.h"
#include "zelt_mw_sdk.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>

class CMediaDevice;

// A device's session in the library that serves it. The protocol a device
// was found with (native or ONVIF) and, for native devices, the type a login
// fixed ("IPC": configuration library, "NVR": maintenance library) decide
// where a device's calls go; these are the only places that ask.
namespace DevSession {

extern const QString kTypeIpc;
extern const QString kTypeNvr;

// Room for the information block the maintenance library fills at login.
constexpr std::size_t kNvrLoginInfoSize = 48;
static_assert(kNvrLoginInfoSize >= TLSDK_LOGIN_INFO_SIZE, "the library fills its whole information block");

// Native devices by the library that serves them; an ONVIF device is neither.
bool isIpc(const CUIDeviceBean &oDev);
bool isNvr(const CUIDeviceBean &oDev);
bool isOnvif(const CUIDeviceBean &oDev);

// Logs in to the configuration library; 0 and the user-ID, or its code.
// Information queries given here travel with the login request.
DWORD loginIpc(const CUIDeviceBean &oDev, QString &strUserId, ZELT_MW_INFO_QUERY *pQueries = nullptr,
               DWORD ulQueries = 0);
// Opens a maintenance-library session with the device's address and
// account; 0 and the handle, or the library's code. pfnLogin lets tests
// stand in for the library.
DWORD loginNvr(const CUIDeviceBean &oDev, DWORD &ulHandle, decltype(&TLSDK_Login) pfnLogin = &TLSDK_Login);

// Closes the session the login key names in the library the type names; a
// device of any other type (never logged in) is left alone.
void logout(const CUIDeviceBean &oDev);
// Closes every session at once; returns within ulTimeoutMs even when
// devices no longer answer (their logouts then end in the background).
// True when every logout returned in time.
bool logoutAll(const QList<CUIDeviceBean> &listDev, unsigned long ulTimeoutMs);
// Logouts of logoutAll still inside the library.
int logoutsRunning();

// Starts the live stream of the configuration dialog (main stream over TCP)
// for an IPC session; 0 and the shared and audioless answers mean it runs.
DWORD startLiveStream(const QByteArray &userId, DWORD &ulStreamHd);
bool isStreamRunning(DWORD ulResult);
// A result that says the device can no longer be reached through the session.
bool isDeviceGone(DWORD ulIpcResult);

// Restarts a logged-in device: an IPC through its session, an NVR through a
// session of its own, an ONVIF device by SystemReboot. 0 when the device
// accepted, else a code and strReason says why.
DWORD restart(const CUIDeviceBean &oDev, QString &strReason);

// ONVIF login: reads the device's clock, then its information and network
// settings into oDev. The record then holds status, type and reason as a
// native login leaves them.
void loginOnvif(CUIDeviceBean &oDev);
// The same without blocking, on the calling thread's client; done gets the
// record as loginOnvif leaves it, on the calling thread.
void startOnvifLogin(const CUIDeviceBean &oDev, std::function<void(const CUIDeviceBean &)> done);
COnvifError onvifReboot(const CUIDeviceBean &oDev);

// Changes a device's address as the request says and sets its result and
// reason: native devices through the discovery library by identity, ONVIF
// devices through their XAddr.
void changeAddress(CBatchEditNetAddrBean &oRequest);
// The request for oDev with what its protocol needs.
void describeForAddressChange(const CUIDeviceBean &oDev, CBatchEditNetAddrBean &oRequest);
// The XAddr of an ONVIF device once it has moved to strIp.
QString xaddrAt(const CUIDeviceBean &oDev, const QString &strIp);

// The address of the device's own web page.
QString webPage(const CUIDeviceBean &oDev);

// Changes the password of the account a logged-in device was logged in
// with; 0 when the device took it, else a code and strReason.
DWORD changePassword(const CUIDeviceBean &oDev, const QString &strNewPassword, QString &strReason);

// Why a password reset by security code is not offered for oDev; empty when it is.
QString resetRefusal(const CUIDeviceBean &oDev);

// The file operations of an ONVIF device; progress gets the upload percent.
enum EFileOp { FileUpgrade, FileExportDiag, FileImportCfg, FileExportCfg };
COnvifError onvifFileOp(EFileOp eOp, const QString &strPath, const CUIDeviceBean &oDev,
                        const std::function<void(int)> &progress);
// What a device offers beyond login, restart and maintenance.
enum EFeature { FeatureBatchConfig, FeatureDaylightSaving, FeaturePasswordChange };
bool offers(const CUIDeviceBean &oDev, EFeature eFeature);

// Capability documents of the configuration dialog that a device's protocol
// implies, by kind; empty for a device whose documents are fetched from it
// (an IPC) or that has no configuration pages.
QMap<ulong, QList<stDevCapacityInfo>> impliedCapabilities(const CUIDeviceBean &oDev);

// Reads one configuration structure (native command code and layout) from a
// logged-in device; 0 when it was read, else a code and strReason, which
// stays empty when the device does not offer the setting. ONVIF devices
// answer the daylight-saving, interface, time-server, DNS and port structures.
DWORD readConfig(const CUIDeviceBean &oDev, ulong ulCmdType, QByteArray &cfgData, QString &strReason);
// Writes one configuration structure as readConfig reads it; 0 when it was
// taken, else a code and strReason.
DWORD writeConfig(const CUIDeviceBean &oDev, ulong ulCmdType, const QByteArray &cfgData, QString &strReason);

// Caption and value of what the system information page shows beyond the
// record; empty for devices whose record says it all.
QList<QPair<QString, QString>> extraSystemInfo(const CUIDeviceBean &oDev, QString &strReason);
// The streams, picture settings and live source of a logged-in device for
// the pages that show them; nullptr when its protocol has pages of its own.
std::unique_ptr<CMediaDevice> mediaDevice(const CUIDeviceBean &oDev);

} // namespace DevSession

#endif // DEVSESSION_H
