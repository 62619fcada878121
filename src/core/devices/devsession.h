#ifndef DEVSESSION_H
#define DEVSESSION_H

#include "TolanNetSDK.h"
#include "tolan_cfg.h"
#include "uidevicebean.h"
#include "zelt_mw_sdk.h"

#include <QList>
#include <QString>

#include <cstddef>

// A device's session in the library that serves it. The type a login fixed
// ("IPC": configuration library, "NVR": maintenance library) decides which
// library a device's later calls go to; these are the only places that ask.
namespace DevSession {

extern const QString kTypeIpc;
extern const QString kTypeNvr;

// Room for the information block the maintenance library fills at login.
constexpr std::size_t kNvrLoginInfoSize = 48;
static_assert(kNvrLoginInfoSize >= TLSDK_LOGIN_INFO_SIZE, "the library fills its whole information block");

bool isIpc(const CUIDeviceBean &oDev);
bool isNvr(const CUIDeviceBean &oDev);

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
// session of its own. 0 when the device accepted.
DWORD restart(const CUIDeviceBean &oDev);

} // namespace DevSession

#endif // DEVSESSION_H
