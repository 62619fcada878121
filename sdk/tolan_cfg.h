#ifndef TOLAN_CFG_H
#define TOLAN_CFG_H

/* Layouts of the buffers of the maintenance library (TolanNetSDK.h), shared
 * by the program and the simulated NVR. Little-endian 32-bit fields and
 * NUL-terminated 8-bit texts at fixed byte offsets. */

/* TLSDK_Login information buffer */
#define TLSDK_LOGIN_INFO_SIZE 44
#define TLSDK_LOGIN_INFO_CHANNELS 0    /* u32 video channels */
#define TLSDK_LOGIN_INFO_DISKS 4       /* u32 disk slots */
#define TLSDK_LOGIN_INFO_SERIAL 8      /* char[32] */
#define TLSDK_LOGIN_INFO_SERIAL_LEN 32
#define TLSDK_LOGIN_INFO_DEVTYPE 40    /* u32, 2 = NVR */

/* TLSDK_GetDevCfg command 0: device information */
#define TLSDK_DEVICE_INFO_SIZE 216
#define TLSDK_DEVINFO_NAME 0           /* char[24] device name */
#define TLSDK_DEVINFO_NAME_LEN 24
#define TLSDK_DEVINFO_MODEL 24         /* char[64] */
#define TLSDK_DEVINFO_MODEL_LEN 64
#define TLSDK_DEVINFO_SERIAL 88        /* char[64] */
#define TLSDK_DEVINFO_SERIAL_LEN 64
#define TLSDK_DEVINFO_VERSION 152      /* char[32] firmware version */
#define TLSDK_DEVINFO_VERSION_LEN 32
#define TLSDK_DEVINFO_CHANNELS 184     /* u32 */
#define TLSDK_DEVINFO_DISKS 188        /* u32 */
#define TLSDK_DEVINFO_ALARM_IN 192     /* u32 */
#define TLSDK_DEVINFO_ALARM_OUT 196    /* u32 */
#define TLSDK_DEVINFO_BUILD_DATE 200   /* char[16] "YYYY-MM-DD" */
#define TLSDK_DEVINFO_BUILD_DATE_LEN 16

/* TLSDK_GetDevCfg command 18: network information */
#define TLSDK_NETWORK_INFO_SIZE 1888
#define TLSDK_NETINFO_DHCP 0           /* u32 0/1 */
#define TLSDK_NETINFO_MTU 4            /* u32 */
#define TLSDK_NETINFO_HTTP_PORT 8      /* u32 */
#define TLSDK_NETINFO_SERVER_PORT 12   /* u32 */
#define TLSDK_NETINFO_RTSP_PORT 16     /* u32 */
#define TLSDK_NETINFO_HTTPS_PORT 20    /* u32 */
#define TLSDK_NETINFO_HOSTNAME 28      /* char[128] */
#define TLSDK_NETINFO_HOSTNAME_LEN 128
#define TLSDK_NETINFO_DNS1 156         /* char[64] */
#define TLSDK_NETINFO_DNS2 220         /* char[64] */
#define TLSDK_NETINFO_DNS_LEN 64
#define TLSDK_NETINFO_IP 284           /* char[128] */
#define TLSDK_NETINFO_MASK 412         /* char[128] */
#define TLSDK_NETINFO_GATEWAY 540      /* char[128] */
#define TLSDK_NETINFO_ADDR_LEN 128
#define TLSDK_NETINFO_MAC 668          /* 6 bytes */
#define TLSDK_NETINFO_MAC_LEN 6

#endif /* TOLAN_CFG_H */
