#ifndef ZELT_MW_SDK_H
#define ZELT_MW_SDK_H

/* Configuration and media library serving IPC devices.
 * Every function returns 0 on success and one of the ZELT_MW_ERR_* codes
 * otherwise. A device session is named by its user-ID, the text that
 * ZELT_MW_Login writes into the caller's 48-byte buffer. */
#include "devtypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ZELT_MW_USERID_LEN 48
#define ZELT_MW_DEFAULT_PORT 7060

/* Configuration commands (ZELT_MW_GetConfig / ZELT_MW_SetConfig). Layouts: zelt_mw_cfg.h */
#define ZELT_MW_DST_CFG 2
#define ZELT_MW_NETWORK_INTERFACE_CFG 12
#define ZELT_MW_NTX_CFG 13
#define ZELT_MW_PORT_CFG 18
#define ZELT_MW_DNS_SERVER_CFG 19
#define ZELT_MW_EXPOSURE_CFG 20
#define ZELT_MW_WHITE_BALANCE_CFG 21
#define ZELT_MW_IMAGE_ENHANCE_CFG 22
#define ZELT_MW_IR_CTRL_CFG 28
#define ZELT_MW_VIDEO_INPUT_MODE_CFG 30 /* read only */
#define ZELT_MW_VIDEO_ENCODER_CFG 31     /* stream index in the first field */
#define ZELT_MW_AUDIO_IN_CFG 32

/* Device information queries (ZELT_MW_QueryDeviceInfo); buffer sizes in zelt_mw_cfg.h */
#define ZELT_MW_QUERY_DEVICE_BASE 52
#define ZELT_MW_QUERY_NETWORK 57
#define ZELT_MW_QUERY_REGISTER 58

/* Capability kinds (ZELT_MW_GetDeviceCapability) */
#define ZELT_MW_CAP_IMAGE 1
#define ZELT_MW_CAP_ENCODE 3
#define ZELT_MW_CAP_NETWORK 4
#define ZELT_MW_CAP_AUDIO 11
#define ZELT_MW_CAP_MAX_LEN 5120

/* Event types of the event callback */
#define ZELT_MW_EVENT_UPGRADE 1 /* value: 0 success, > 0 failure code */
/* While an upgrade runs: the percentage of the firmware sent (on the calling thread of ZELT_MW_Upgrade),
 * then the percentage the device reports while it installs. Each is sent only when it changes. */
#define ZELT_MW_EVENT_UPGRADE_UPLOAD 2
#define ZELT_MW_EVENT_UPGRADE_PROGRESS 3

/* Results. 0 is success; ZELT_MW_StartMediaStream also reports a running
 * stream with ZELT_MW_STREAM_SHARED or ZELT_MW_STREAM_NO_AUDIO. */
#define ZELT_MW_OK 0
#define ZELT_MW_ERR_NOT_INIT 1
#define ZELT_MW_ERR_PARAM 2
#define ZELT_MW_ERR_CONNECT 3
#define ZELT_MW_ERR_TIMEOUT 4
#define ZELT_MW_ERR_PASSWORD 5
#define ZELT_MW_ERR_LOCKED 6
#define ZELT_MW_ERR_USERID 7
#define ZELT_MW_ERR_LENGTH 8
#define ZELT_MW_ERR_RANGE 9
#define ZELT_MW_ERR_UNSUPPORTED 10
#define ZELT_MW_ERR_PROTOCOL 11
#define ZELT_MW_ERR_FILE 12
#define ZELT_MW_ERR_BUSY 13
#define ZELT_MW_ERR_FIRMWARE 14
#define ZELT_MW_ERR_CONFIG_FILE 15
#define ZELT_MW_ERR_READ_ONLY 16
#define ZELT_MW_ERR_NO_WINDOW 17
#define ZELT_MW_ERR_STREAM 18
#define ZELT_MW_ERR_REFUSED 19 /* blocked destination (loopback-only mode) */
#define ZELT_MW_ERR_TOO_MANY 20
#define ZELT_MW_ERR_IDENTITY 21 /* the device's key differs from the one met before at its address */
#define ZELT_MW_STREAM_SHARED 259   /* stream already running; its handle is returned */
#define ZELT_MW_STREAM_NO_AUDIO 357 /* running, the device has no audio */

/* Called on a library thread. pulValue points to a 32-bit value valid during the call. */
typedef void(DEV_API *ZELT_MW_EVENT_CALLBACK)(const char *szUserID, DWORD ulEventType, DWORD *pulValue);

DEV_EXPORT DWORD DEV_API ZELT_MW_Init(void);
DEV_EXPORT DWORD DEV_API ZELT_MW_SetLog(DWORD ulLevel, const char *szFolder, DWORD ulMaxSize);
DEV_EXPORT DWORD DEV_API ZELT_MW_SetEventCallback(ZELT_MW_EVENT_CALLBACK pfnCallback);
/* ulPort 0 selects ZELT_MW_DEFAULT_PORT; szUserID receives ZELT_MW_USERID_LEN bytes. */
DEV_EXPORT DWORD DEV_API ZELT_MW_Login(const char *szUser, const char *szPassword, const char *szIp, DWORD ulPort,
                                       char *szUserID);
/* One device-information query that travels with a login (ZELT_MW_LoginQuery). */
typedef struct ZELT_MW_INFO_QUERY
{
    DWORD ulQuery;  /* in: ZELT_MW_QUERY_* */
    void *pBuf;     /* in: the query's buffer (ZELT_QUERY_*_SIZE in zelt_mw_cfg.h) */
    DWORD ulResult; /* out: as ZELT_MW_QueryDeviceInfo would return; the login's result when it failed */
} ZELT_MW_INFO_QUERY;
/* ZELT_MW_Login followed by ZELT_MW_QueryDeviceInfo for each query (at most ZELT_MW_MAX_LOGIN_QUERIES);
 * the queries go out behind the login request and cost no round trip of their own. A buffer is written
 * only when its query succeeds. */
#define ZELT_MW_MAX_LOGIN_QUERIES 8
DEV_EXPORT DWORD DEV_API ZELT_MW_LoginQuery(const char *szUser, const char *szPassword, const char *szIp,
                                            DWORD ulPort, char *szUserID, DWORD ulChannel,
                                            ZELT_MW_INFO_QUERY *pQueries, DWORD ulCount);
/* After a login on the calling thread failed with ZELT_MW_ERR_LOCKED: the seconds the device said the
 * account stays locked; 0 when it did not say or the last login failed otherwise. */
DEV_EXPORT DWORD DEV_API ZELT_MW_GetLockTime(void);
DEV_EXPORT DWORD DEV_API ZELT_MW_Logout(const char *szUserID);
/* *pulLen: buffer size in, structure size out; it must equal the command's structure size. */
DEV_EXPORT DWORD DEV_API ZELT_MW_GetConfig(const char *szUserID, DWORD ulCmd, DWORD ulChannel, DWORD *pulLen,
                                           void *pBuf);
DEV_EXPORT DWORD DEV_API ZELT_MW_SetConfig(const char *szUserID, DWORD ulCmd, DWORD ulChannel, DWORD ulLen,
                                           const void *pBuf);
/* ulStreamId 0 main, 1 sub, 2 third; ulTransMode 1 TCP; szRecvIp / ulRecvPort are the local receive
 * address (unused over TCP); ulPackMode 1 JPEG frames. */
DEV_EXPORT DWORD DEV_API ZELT_MW_StartMediaStream(const char *szUserID, DWORD ulChannel, DWORD ulStreamId,
                                                  DWORD ulTransMode, const char *szRecvIp, DWORD ulRecvPort,
                                                  DWORD ulPackMode, DWORD *pulStreamHandle);
DEV_EXPORT DWORD DEV_API ZELT_MW_StartPlay(HWND hWnd, DWORD ulStreamHandle);
DEV_EXPORT DWORD DEV_API ZELT_MW_StopPlay(HWND hWnd);
DEV_EXPORT DWORD DEV_API ZELT_MW_StopMediaStream(const char *szUserID, DWORD ulStreamHandle);
/* *pulEndResult: 0 while the stream still receives frames from the device, otherwise the code that ended
 * it (the device went away, the session closed). ZELT_MW_ERR_STREAM for a handle that is not running. */
DEV_EXPORT DWORD DEV_API ZELT_MW_GetStreamState(DWORD ulStreamHandle, DWORD *pulEndResult);
/* *pulLen: buffer size in (at most ZELT_MW_CAP_MAX_LEN used), text length out; the text is
 * NUL-terminated when it is shorter than the buffer. */
DEV_EXPORT DWORD DEV_API ZELT_MW_GetDeviceCapability(const char *szUserID, DWORD ulKind, DWORD *pulLen,
                                                     char *szBuf);
/* The buffer must hold the query's size (ZELT_QUERY_*_SIZE in zelt_mw_cfg.h). */
DEV_EXPORT DWORD DEV_API ZELT_MW_QueryDeviceInfo(const char *szUserID, DWORD ulChannel, DWORD ulQuery, void *pBuf);
DEV_EXPORT DWORD DEV_API ZELT_MW_Upgrade(const char *szUserID, const char *szFirmwarePath);
DEV_EXPORT DWORD DEV_API ZELT_MW_Reboot(const char *szUserID);
DEV_EXPORT DWORD DEV_API ZELT_MW_ExportConfig(const char *szUserID, const char *szFolder);
DEV_EXPORT DWORD DEV_API ZELT_MW_ImportConfig(const char *szUserID, const char *szFilePath);
DEV_EXPORT DWORD DEV_API ZELT_MW_RestoreImageDefault(const char *szUserID, DWORD ulChannel, DWORD ulReserved);
DEV_EXPORT DWORD DEV_API ZELT_MW_ExportDiagnosis(const char *szUserID, const char *szFolder);

#ifdef __cplusplus
}
#endif

#endif /* ZELT_MW_SDK_H */
