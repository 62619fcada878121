/*
 * Extension of the discovery library, not part of the maker's interface:
 * the same answers with the address each datagram came from, so that the
 * program can tell a device answering for itself from a host answering for
 * another address.
 */
#ifndef CORVANE_DISCOVERYSENDER_H
#define CORVANE_DISCOVERYSENDER_H

#include "Discovery.h"

#ifdef __cplusplus
extern "C" {
#endif

/* uSender: the datagram's source address (host order). Same thread and rules
 * as RVNA_DISCOVERY_CALLBACK. */
typedef void (*RVNA_DISCOVERY_SENDER_CALLBACK)(const RVNA_DEVICE_INFO *pDevInfo, unsigned int uSender,
                                               void *pContext);

/* Takes the place of the callback of RVNA_SetDiscoveryCallBack (one receiver at
 * a time); a null callback behaves as there. */
RVNA_API int RVNA_SetDiscoverySenderCallBack(RVNA_DISCOVERY_SENDER_CALLBACK pfnCallBack, void *pContext);

#ifdef __cplusplus
}
#endif

#endif /* CORVANE_DISCOVERYSENDER_H */
