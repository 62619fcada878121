#ifndef ZELT_MW_CFG_H
#define ZELT_MW_CFG_H

/* Byte layouts of the configuration structures and information buffers of
 * the configuration library. All integers are little-endian; texts are
 * NUL-terminated 8-bit strings filling the given size. Shared by the
 * program and the simulated devices. */
#include <stddef.h>
#include <stdint.h>
#include <string.h>

/* ZELT_MW_DST_CFG (2) */
#define ZELT_DST_SIZE 24
#define ZELT_DST_ENABLED 0 /* u32, 0 or 1 */
#define ZELT_DST_START_MONTH 4 /* u8, 1..12 */
#define ZELT_DST_START_WEEK 5 /* u8, 1..5 (5 = last) */
#define ZELT_DST_START_WEEKDAY 6 /* u8, 0 Sunday..6 */
#define ZELT_DST_START_HOUR 7 /* u8, 0..23 */
#define ZELT_DST_RESERVED1 8 /* u32 */
#define ZELT_DST_END_MONTH 12
#define ZELT_DST_END_WEEK 13
#define ZELT_DST_END_WEEKDAY 14
#define ZELT_DST_END_HOUR 15
#define ZELT_DST_RESERVED2 16 /* u32 */
#define ZELT_DST_OFFSET_MIN 20 /* u16, 30/60/90/120 */
#define ZELT_DST_RESERVED3 22 /* u16 */

/* ZELT_MW_NETWORK_INTERFACE_CFG (12) */
#define ZELT_NETIF_SIZE 276
#define ZELT_NETIF_MODE 0 /* u32, 0 static, 1 PPPoE, 2 DHCP */
#define ZELT_NETIF_PPPOE_USER 4
#define ZELT_NETIF_PPPOE_USER_LEN 36
#define ZELT_NETIF_PPPOE_PASSWORD 40
#define ZELT_NETIF_PPPOE_PASSWORD_LEN 36
#define ZELT_NETIF_MTU 76 /* u32, 576..1500 */
#define ZELT_NETIF_IP 80
#define ZELT_NETIF_MASK 144
#define ZELT_NETIF_GATEWAY 208
#define ZELT_NETIF_ADDR_LEN 64
#define ZELT_NETIF_WORK_MODE 272 /* u32, 0..8 */

/* ZELT_MW_NTX_CFG (13) */
#define ZELT_NTX_SIZE 144
#define ZELT_NTX_ENABLED 0 /* u32, 0 or 1 */
#define ZELT_NTX_SERVER 4
#define ZELT_NTX_SERVER_LEN 64
#define ZELT_NTX_AUTH 68 /* u32, 0 or 1 */
#define ZELT_NTX_USER 72
#define ZELT_NTX_USER_LEN 36
#define ZELT_NTX_PASSWORD 108
#define ZELT_NTX_PASSWORD_LEN 36

/* ZELT_MW_PORT_CFG (18) */
#define ZELT_PORT_SIZE 8
#define ZELT_PORT_HTTP 0 /* u16 */
#define ZELT_PORT_HTTPS 2 /* u16 */
#define ZELT_PORT_RESERVED 4 /* u32 */

/* ZELT_MW_DNS_SERVER_CFG (19) */
#define ZELT_DNS_SIZE 128
#define ZELT_DNS_PREFERRED 0
#define ZELT_DNS_ALTERNATE 64
#define ZELT_DNS_ADDR_LEN 64

/* ZELT_MW_EXPOSURE_CFG (20), every field u32 */
#define ZELT_EXP_SIZE 92
#define ZELT_EXP_KEPT0 0
#define ZELT_EXP_MODE 4 /* 0..7 */
#define ZELT_EXP_COMPENSATION 8 /* signed, -100..100 */
#define ZELT_EXP_IRIS 12
#define ZELT_EXP_SHUTTER 16 /* denominator n of 1/n s */
#define ZELT_EXP_GAIN 20 /* dB */
#define ZELT_EXP_KEPT24 24
#define ZELT_EXP_KEPT28 28
#define ZELT_EXP_SLOW_SHUTTER 32
#define ZELT_EXP_FAST_SHUTTER 36
#define ZELT_EXP_MAX_GAIN 40
#define ZELT_EXP_MIN_GAIN 44
#define ZELT_EXP_SLOW_SHUTTER_ON 48 /* 0 or 1 */
#define ZELT_EXP_MAX_SLOW_SHUTTER 52
#define ZELT_EXP_WDR_MODE 56 /* 0 off, 1 on, 2 auto */
#define ZELT_EXP_WDR_LEVEL 60 /* 0..9 */
#define ZELT_EXP_METERING 64 /* 0..3 */
#define ZELT_EXP_KEPT68 68 /* 68..80 kept */
#define ZELT_EXP_DAYNIGHT_MODE 84 /* 0..3 */
#define ZELT_EXP_DAYNIGHT 88 /* low 16 bits sensitivity, high 16 bits switch time (s) */

/* ZELT_MW_WHITE_BALANCE_CFG (21), u32 fields */
#define ZELT_WB_SIZE 16
#define ZELT_WB_KEPT0 0
#define ZELT_WB_MODE 4 /* 0, 1, 5, 6 */
#define ZELT_WB_BLUE_OFFSET 8 /* 0..127 */
#define ZELT_WB_RED_OFFSET 12 /* 0..127 */

/* ZELT_MW_IMAGE_ENHANCE_CFG (22), u32 fields */
#define ZELT_ENH_SIZE 40
#define ZELT_ENH_KEPT0 0
#define ZELT_ENH_BRIGHTNESS 4 /* 0..255 */
#define ZELT_ENH_CONTRAST 8
#define ZELT_ENH_SATURATION 12
#define ZELT_ENH_KEPT16 16
#define ZELT_ENH_KEPT20 20
#define ZELT_ENH_SHARPNESS 24
#define ZELT_ENH_DENOISE_2D 28
#define ZELT_ENH_DENOISE_3D 32
#define ZELT_ENH_MIRROR 36 /* 0 normal, 1 vertical, 2 horizontal, 3 both, 4 rotate right 90 */

/* ZELT_MW_IR_CTRL_CFG (28), u32 fields */
#define ZELT_IR_SIZE 24
#define ZELT_IR_KEPT0 0
#define ZELT_IR_MODE 4 /* 0..4 */
#define ZELT_IR_NEAR_LEVEL 8
#define ZELT_IR_MIDDLE_LEVEL 12
#define ZELT_IR_FAR_LEVEL 16
#define ZELT_IR_KEPT20 20

/* ZELT_MW_VIDEO_INPUT_MODE_CFG (30), read only, u32 fields */
#define ZELT_VIN_SIZE 12
#define ZELT_VIN_WIDTH 0
#define ZELT_VIN_HEIGHT 4
#define ZELT_VIN_MAX_FPS 8

/* ZELT_MW_VIDEO_ENCODER_CFG (31), u32 fields */
#define ZELT_ENC_SIZE 48
#define ZELT_ENC_STREAM 0 /* 0 main, 1 sub, 2 third */
#define ZELT_ENC_ENABLED 4
#define ZELT_ENC_FORMAT 8 /* 3 MJPEG, 6 H.264, 12 JPEG */
#define ZELT_ENC_WIDTH 12
#define ZELT_ENC_HEIGHT 16
#define ZELT_ENC_BITRATE 20 /* kbit/s, 128..16384 */
#define ZELT_ENC_FPS 24
#define ZELT_ENC_RESERVED28 28
#define ZELT_ENC_IFRAME 32 /* 10..250 */
#define ZELT_ENC_MODE 36 /* 0 CBR, 1 VBR */
#define ZELT_ENC_QUALITY 40 /* 1..9 */
#define ZELT_ENC_RESERVED44 44
#define ZELT_ENC_FORMAT_MJPEG 3
#define ZELT_ENC_FORMAT_H264 6
#define ZELT_ENC_FORMAT_JPEG 12

/* ZELT_MW_AUDIO_IN_CFG (32), u32 fields */
#define ZELT_AUDIO_SIZE 20
#define ZELT_AUDIO_FORMAT 0 /* 1 G.711A, 2 G.711U, 6 AAC-LC */
#define ZELT_AUDIO_SAMPLE_RATE 4 /* kHz: 8 or 16 */
#define ZELT_AUDIO_RESERVED 8 /* 0 */
#define ZELT_AUDIO_INPUT_OFF 12 /* 0 on, 1 off */
#define ZELT_AUDIO_GAIN 16 /* 0..255 */

/* ZELT_MW_QueryDeviceInfo buffers */
#define ZELT_QUERY_BASE_SIZE 2048 /* query 52 */
#define ZELT_QUERY_BASE_MODEL 256
#define ZELT_QUERY_BASE_VERSION 1024
#define ZELT_QUERY_BASE_TEXT_LEN 256
#define ZELT_QUERY_NET_SIZE 200 /* query 57 */
#define ZELT_QUERY_NET_IP 0
#define ZELT_QUERY_NET_MASK 64
#define ZELT_QUERY_NET_GATEWAY 128
#define ZELT_QUERY_NET_TEXT_LEN 64
#define ZELT_QUERY_REG_SIZE 84 /* query 58 */
#define ZELT_QUERY_REG_TEXT 64
#define ZELT_QUERY_REG_TEXT_LEN 20

/* Size of the structure of a configuration command, 0 for an unknown command. */
static inline size_t zelt_cfg_size(uint32_t cmd)
{
    switch (cmd) {
    case 2: return ZELT_DST_SIZE;
    case 12: return ZELT_NETIF_SIZE;
    case 13: return ZELT_NTX_SIZE;
    case 18: return ZELT_PORT_SIZE;
    case 19: return ZELT_DNS_SIZE;
    case 20: return ZELT_EXP_SIZE;
    case 21: return ZELT_WB_SIZE;
    case 22: return ZELT_ENH_SIZE;
    case 28: return ZELT_IR_SIZE;
    case 30: return ZELT_VIN_SIZE;
    case 31: return ZELT_ENC_SIZE;
    case 32: return ZELT_AUDIO_SIZE;
    default: return 0;
    }
}

/* Size of the buffer of a device information query, 0 for an unknown query. */
static inline size_t zelt_query_size(uint32_t query)
{
    switch (query) {
    case 52: return ZELT_QUERY_BASE_SIZE;
    case 57: return ZELT_QUERY_NET_SIZE;
    case 58: return ZELT_QUERY_REG_SIZE;
    default: return 0;
    }
}

static inline uint32_t zelt_get_u32(const void *buf, size_t off)
{
    const uint8_t *p = (const uint8_t *)buf + off;
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

static inline void zelt_put_u32(void *buf, size_t off, uint32_t v)
{
    uint8_t *p = (uint8_t *)buf + off;
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

static inline uint16_t zelt_get_u16(const void *buf, size_t off)
{
    const uint8_t *p = (const uint8_t *)buf + off;
    return (uint16_t)(p[0] | (p[1] << 8));
}

static inline void zelt_put_u16(void *buf, size_t off, uint16_t v)
{
    uint8_t *p = (uint8_t *)buf + off;
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
}

/* Copies a text into a fixed field, truncated so that a terminating NUL always fits. */
static inline void zelt_put_text(void *buf, size_t off, size_t len, const char *text)
{
    char *p = (char *)buf + off;
    size_t n = strlen(text);
    if (n >= len)
        n = len - 1;
    memset(p, 0, len);
    memcpy(p, text, n);
}

#endif /* ZELT_MW_CFG_H */
