/*
 * Discovery library: finds devices on the local network without logging in
 * and changes a device's address or resets its password by its identity
 * (serial number and MAC address).
 *
 * Addresses are IPv4 numbers in host byte order. Every text slot is 64 bytes;
 * a text shorter than its slot ends with a NUL, a text of 64 bytes fills the
 * slot without one.
 */
#ifndef CORVANE_DISCOVERY_H
#define CORVANE_DISCOVERY_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#  ifdef RVNA_BUILDING_LIBRARY
#    define RVNA_API __declspec(dllexport)
#  else
#    define RVNA_API __declspec(dllimport)
#  endif
#else
#  define RVNA_API __attribute__((visibility("default")))
#endif

#define RVNA_TEXT_LEN 64

/* One discovery answer as handed to the callback: six NUL-terminated UTF-8 texts (384 bytes). */
typedef struct RVNA_DEVICE_INFO {
    char szIp[RVNA_TEXT_LEN];       /* IPv4 address, dotted */
    char szModel[RVNA_TEXT_LEN];
    char szSerial[RVNA_TEXT_LEN];
    char szMac[RVNA_TEXT_LEN];      /* 12 hexadecimal digits, no separators */
    char szReserved[RVNA_TEXT_LEN]; /* further identity text */
    char szVersion[RVNA_TEXT_LEN];
} RVNA_DEVICE_INFO;

/* Identity block (128 bytes). */
typedef struct RVNA_DEV_IDENTITY {
    char szSerial[RVNA_TEXT_LEN];
    char szMac[RVNA_TEXT_LEN];
} RVNA_DEV_IDENTITY;

/* Credential block (132 bytes); the password slot holds the encoded password. */
typedef struct RVNA_DEV_ACCOUNT {
    char szUserName[RVNA_TEXT_LEN];
    char szPassword[RVNA_TEXT_LEN];
    unsigned int uReserved;         /* zero */
} RVNA_DEV_ACCOUNT;

/* New-address block (192 bytes). */
typedef struct RVNA_DEV_NETADDR {
    char szIp[RVNA_TEXT_LEN];
    char szMask[RVNA_TEXT_LEN];
    char szGateway[RVNA_TEXT_LEN];
} RVNA_DEV_NETADDR;

/* Result codes of RVNA_SetDevIpAddr and RVNA_ResetDevPasswd. */
#define RVNA_OK                   0
#define RVNA_ERR_PARAM            11001 /* null pointer or malformed block */
#define RVNA_ERR_TIMEOUT          11002 /* the device did not answer in time */
#define RVNA_ERR_ACCOUNT          11003 /* wrong user name or password */
#define RVNA_ERR_IDENTITY         11004 /* serial number or MAC does not match the device */
#define RVNA_ERR_ADDR_CONFLICT    11005 /* the new address is already in use */
#define RVNA_ERR_SECURITY_CODE    11006 /* wrong security code */
#define RVNA_ERR_REFUSED          11007 /* destination refused by the loopback guard */
#define RVNA_ERR_NETWORK          11008 /* socket failure */
#define RVNA_ERR_NOT_INIT         11009 /* RVNA_InitDiscovery was not called */
#define RVNA_ERR_BAD_ADDRESS      11010 /* the device rejected the new address, mask or gateway */

/* Called once per answer, on the library's receive thread. It must not call
 * RVNA_SetDiscoveryCallBack or RVNA_UninitDiscovery itself. */
typedef void (*RVNA_DISCOVERY_CALLBACK)(const RVNA_DEVICE_INFO *pDevInfo, void *pContext);

/* Counted: the library runs from the first init to the last uninit. */
RVNA_API int RVNA_InitDiscovery(void);
RVNA_API int RVNA_UninitDiscovery(void);
/* A null callback stops delivery; once the call returns no callback is running.
 * A null callback whose context is not the registered one changes nothing. */
RVNA_API int RVNA_SetDiscoveryCallBack(RVNA_DISCOVERY_CALLBACK pfnCallBack, void *pContext);
/* Multicast probe on every usable IPv4 interface; the argument is reserved (0). */
RVNA_API int RVNA_SendProbe1(unsigned int uReserved);
/* Unicast probe to every address from uFirstIp to uLastIp inclusive (host order). */
RVNA_API int RVNA_SendProbe2(unsigned int uFirstIp, unsigned int uLastIp);
/* Blocking, bounded by the request timeout. */
RVNA_API int RVNA_ResetDevPasswd(unsigned int uDevIp, const RVNA_DEV_IDENTITY *pIdentity,
                                 const char *pszSecurityCode);
RVNA_API int RVNA_SetDevIpAddr(unsigned int uDevIp, const RVNA_DEV_ACCOUNT *pAccount,
                               const RVNA_DEV_IDENTITY *pIdentity, const RVNA_DEV_NETADDR *pNetAddr);

#ifdef __cplusplus
}
#endif

#endif /* CORVANE_DISCOVERY_H */
