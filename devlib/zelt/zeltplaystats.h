#ifndef ZELTPLAYSTATS_H
#define ZELTPLAYSTATS_H

/* Figures of the live player of one window, for measurements. Not part of
 * the device maker's interface; call it on the user-interface thread. */
#include "devtypes.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ZeltPlayStats
{
    uint64_t framesDecoded;  /* frames decoded for the window since play started */
    uint64_t framesShown;    /* paints that showed a new frame */
    uint64_t decodeNs;       /* decode and scaling time of the decoded frames, total */
    uint64_t paintNs;        /* paint time of the shown frames, total */
    uint64_t latencyNs;      /* device's send to end of paint of the shown frames, total */
    uint64_t latencyMaxNs;
} ZeltPlayStats;

/* ZELT_MW_ERR_NO_WINDOW when nothing plays in the window. */
DEV_EXPORT DWORD DEV_API ZELT_DBG_GetPlayStats(HWND hWnd, ZeltPlayStats *pStats);

#ifdef __cplusplus
}
#endif

#endif /* ZELTPLAYSTATS_H */
