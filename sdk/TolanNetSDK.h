#ifndef TOLANNETSDK_H
#define TOLANNETSDK_H

/* Maintenance library serving NVR devices (TCP port TLSDK_DEFAULT_PORT).
 * Every function returns TLSDK_OK (0) on success and one of the TLSDK_ERR_*
 * codes otherwise. All functions may be called from several threads at once;
 * each device exchange is bounded by a timeout (5 s per message by default,
 * CORVANE_TLSDK_TIMEOUT_MS in the environment when TLSDK_Init runs).
 *
 * Handles: a login handle names one session with one device, an upgrade
 * handle one upgrade started through a login. Both are 32-bit numbers that
 * are never 0 and never reused within a process; a handle that was closed
 * (TLSDK_Logout, TLSDK_CloseUpgrade) is refused with TLSDK_ERR_HANDLE. A
 * session also ends on the device when the device restarts; its handle then
 * gets TLSDK_ERR_SESSION. Texts are 8-bit and NUL-terminated. */
#include "devtypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define TLSDK_DEFAULT_PORT 6060

/* TLSDK_GetDevCfg commands; layouts and sizes in tolan_cfg.h */
#define TLSDK_CFG_DEVICE_INFO 0  /* TLSDK_DEVICE_INFO_SIZE bytes */
#define TLSDK_CFG_NETWORK 18     /* TLSDK_NETWORK_INFO_SIZE bytes */

/* TLSDK_GetUpgradeState */
#define TLSDK_UPGRADE_FINISHED 1
#define TLSDK_UPGRADE_RUNNING 2
#define TLSDK_UPGRADE_FAILED 3

#define TLSDK_OK 0
#define TLSDK_ERR_NOT_INIT 1
#define TLSDK_ERR_PARAM 2
#define TLSDK_ERR_CONNECT 3      /* device unreachable, offline or restarting */
#define TLSDK_ERR_TIMEOUT 4
#define TLSDK_ERR_PASSWORD 5     /* wrong user name or password */
#define TLSDK_ERR_LOCKED 6       /* account locked after repeated wrong passwords */
#define TLSDK_ERR_HANDLE 7       /* unknown or closed handle */
#define TLSDK_ERR_SESSION 8      /* the device no longer knows the session */
#define TLSDK_ERR_PROTOCOL 9
#define TLSDK_ERR_FILE 10        /* local file missing, unreadable or not writable */
#define TLSDK_ERR_FIRMWARE 11    /* firmware refused: damaged or for another model */
#define TLSDK_ERR_CONFIG_FILE 12 /* configuration file refused: damaged or foreign */
#define TLSDK_ERR_BUSY 13        /* an upgrade is already running on the device */
#define TLSDK_ERR_UNSUPPORTED 14
#define TLSDK_ERR_REFUSED 15     /* destination blocked (loopback-only mode) */
#define TLSDK_ERR_IDENTITY 16    /* the device's key differs from the one met before at its address */

DEV_EXPORT DWORD DEV_API TLSDK_Init(void);
/* wPort 0 selects TLSDK_DEFAULT_PORT. pInfo receives TLSDK_LOGIN_INFO_SIZE
 * bytes (tolan_cfg.h); it may be NULL. */
DEV_EXPORT DWORD DEV_API TLSDK_Login(const char *szIp, WORD wPort, const char *szUser, const char *szPassword,
                                     DWORD *pulLoginHandle, void *pInfo);
/* Forgets the handle at once; telling the device takes at most 1 s. */
DEV_EXPORT DWORD DEV_API TLSDK_Logout(DWORD ulLoginHandle);
DEV_EXPORT DWORD DEV_API TLSDK_Restart(DWORD ulLoginHandle);
/* pBuf receives the command's whole structure (see TLSDK_CFG_*). */
DEV_EXPORT DWORD DEV_API TLSDK_GetDevCfg(DWORD ulLoginHandle, DWORD ulCommand, void *pBuf);
/* Uploads the firmware file; 0 once the device accepted it and started. */
DEV_EXPORT DWORD DEV_API TLSDK_Upgrade(DWORD ulLoginHandle, const char *szFirmwarePath, DWORD *pulUpgradeHandle);
DEV_EXPORT DWORD DEV_API TLSDK_GetUpgradeState(DWORD ulUpgradeHandle, DWORD *pulState);
/* Percent, 0..100. */
DEV_EXPORT DWORD DEV_API TLSDK_GetUpgradeProgress(DWORD ulUpgradeHandle, DWORD *pulProgress);
/* Like TLSDK_Logout for an upgrade handle; abandons an upgrade still being applied. */
DEV_EXPORT DWORD DEV_API TLSDK_CloseUpgrade(DWORD ulUpgradeHandle);
/* Writes the device's diagnostic archive (.tgz) to the file; its folder must exist. */
DEV_EXPORT DWORD DEV_API TLSDK_ExportMtInfo(DWORD ulLoginHandle, const char *szFilePath);
DEV_EXPORT DWORD DEV_API TLSDK_ImportCfg(DWORD ulLoginHandle, const char *szFilePath);
/* Writes the device's configuration file; its folder must exist. */
DEV_EXPORT DWORD DEV_API TLSDK_ExportCfg(DWORD ulLoginHandle, const char *szFilePath);

#ifdef __cplusplus
}
#endif

#endif /* TOLANNETSDK_H */
