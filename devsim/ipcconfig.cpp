#include "ipcconfig.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kFileMagic[4] = {'Z', 'C', 'F', 'G'};
constexpr uint32_t kFileFormat = 1;
constexpr std::size_t kNameField = 32;

bool inList(const std::vector<uint32_t> &list, uint32_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

bool fieldTerminated(const std::vector<uint8_t> &data, std::size_t off, std::size_t len)
{
    return std::memchr(data.data() + off, 0, len) != nullptr;
}

std::string gatewayFor(const std::string &strIp)
{
    const auto dot = strIp.rfind('.');
    return dot == std::string::npos ? strIp : strIp.substr(0, dot) + ".1";
}

void putU32(std::vector<uint8_t> &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

void putName(std::vector<uint8_t> &out, const std::string &text)
{
    std::vector<uint8_t> field(kNameField, 0);
    std::memcpy(field.data(), text.data(), std::min(text.size(), kNameField - 1));
    out.insert(out.end(), field.begin(), field.end());
}

uint32_t resolutionArea(const std::vector<uint8_t> &enc)
{
    return zelt_get_u32(enc.data(), ZELT_ENC_WIDTH) * zelt_get_u32(enc.data(), ZELT_ENC_HEIGHT);
}

} // namespace

bool isDottedIp(const char *text, std::size_t maxLen)
{
    const std::size_t len = strnlen(text, maxLen);
    if (len == 0 || len == maxLen)
        return false;
    int parts = 0;
    std::size_t i = 0;
    while (i < len) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (i < len && text[i] >= '0' && text[i] <= '9' && digits < 4) {
            value = value * 10 + unsigned(text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return false;
        ++parts;
        if (i < len) {
            if (text[i] != '.' || parts == 4)
                return false;
            ++i;
            if (i == len)
                return false;
        }
    }
    return parts == 4;
}

IpcConfig::IpcConfig(const IpcModel &model, const std::string &strIp)
    : m_model(&model)
{
    setDefaults(strIp);
}

void IpcConfig::setDefaults(const std::string &strIp)
{
    std::vector<uint8_t> dst(ZELT_DST_SIZE, 0);
    dst[ZELT_DST_START_MONTH] = 3;
    dst[ZELT_DST_START_WEEK] = 5;
    dst[ZELT_DST_START_WEEKDAY] = 0;
    dst[ZELT_DST_START_HOUR] = 2;
    dst[ZELT_DST_END_MONTH] = 10;
    dst[ZELT_DST_END_WEEK] = 5;
    dst[ZELT_DST_END_WEEKDAY] = 0;
    dst[ZELT_DST_END_HOUR] = 3;
    zelt_put_u16(dst.data(), ZELT_DST_OFFSET_MIN, 60);
    if (m_model->dstOutOfRange) {
        // As left behind by an older firmware: a week past the last and a 45 minute offset.
        dst[ZELT_DST_START_WEEK] = 6;
        zelt_put_u16(dst.data(), ZELT_DST_OFFSET_MIN, 45);
    }
    if (m_model->dst)
        m_structs[{ZELT_MW_DST_CFG, 0}] = dst;

    std::vector<uint8_t> netif(ZELT_NETIF_SIZE, 0);
    const std::vector<uint32_t> modes = parseCodes(m_model->ipModes);
    zelt_put_u32(netif.data(), ZELT_NETIF_MODE, modes.empty() ? 0 : modes.front());
    zelt_put_u32(netif.data(), ZELT_NETIF_MTU, 1500);
    zelt_put_text(netif.data(), ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN, strIp.c_str());
    zelt_put_text(netif.data(), ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN, "255.255.255.0");
    zelt_put_text(netif.data(), ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN, gatewayFor(strIp).c_str());
    m_structs[{ZELT_MW_NETWORK_INTERFACE_CFG, 0}] = netif;

    m_structs[{ZELT_MW_NTX_CFG, 0}] = std::vector<uint8_t>(ZELT_NTX_SIZE, 0);

    std::vector<uint8_t> port(ZELT_PORT_SIZE, 0);
    zelt_put_u16(port.data(), ZELT_PORT_HTTP, 80);
    zelt_put_u16(port.data(), ZELT_PORT_HTTPS, 443);
    m_structs[{ZELT_MW_PORT_CFG, 0}] = port;

    std::vector<uint8_t> dns(ZELT_DNS_SIZE, 0);
    zelt_put_text(dns.data(), ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN, gatewayFor(strIp).c_str());
    m_structs[{ZELT_MW_DNS_SERVER_CFG, 0}] = dns;

    std::vector<uint8_t> vin(ZELT_VIN_SIZE, 0);
    zelt_put_u32(vin.data(), ZELT_VIN_WIDTH, m_model->captureWidth);
    zelt_put_u32(vin.data(), ZELT_VIN_HEIGHT, m_model->captureHeight);
    zelt_put_u32(vin.data(), ZELT_VIN_MAX_FPS, m_model->maxFps);
    m_structs[{ZELT_MW_VIDEO_INPUT_MODE_CFG, 0}] = vin;

    const auto mainRes = parseResolutions(m_model->mainResolutions);
    const uint32_t fps = std::min<uint32_t>(m_model->maxFps, 25);
    struct StreamDefault { uint32_t width, height, bitRate, fps, enabled; };
    const StreamDefault streams[3] = {
        {mainRes.front().first, mainRes.front().second, 4096, fps, 1},
        {720, 576, 1024, fps, 1},
        {352, 288, 512, std::min<uint32_t>(fps, 15), 0},
    };
    // A model with a tight capacity starts with its lower streams slowed to what is left.
    const uint64_t capacity = encodeAlone(*m_model) * 256;
    uint64_t used = 0;
    for (uint32_t i = 0; i < m_model->streams() && i < 3; ++i) {
        uint32_t fps = streams[i].fps;
        uint32_t enabled = streams[i].enabled;
        const uint64_t perFrame = encodeCost(*m_model, ZELT_ENC_FORMAT_H264, streams[i].width, streams[i].height, 1);
        if (i > 0 && enabled) {
            fps = uint32_t(std::min<uint64_t>(fps, (capacity - std::min(used, capacity)) / perFrame));
            enabled = fps > 0 ? 1 : 0;
            fps = std::max<uint32_t>(fps, 1);
        }
        if (enabled)
            used += perFrame * fps;
        std::vector<uint8_t> enc(ZELT_ENC_SIZE, 0);
        zelt_put_u32(enc.data(), ZELT_ENC_STREAM, i);
        zelt_put_u32(enc.data(), ZELT_ENC_ENABLED, enabled);
        zelt_put_u32(enc.data(), ZELT_ENC_FORMAT, ZELT_ENC_FORMAT_H264);
        zelt_put_u32(enc.data(), ZELT_ENC_WIDTH, streams[i].width);
        zelt_put_u32(enc.data(), ZELT_ENC_HEIGHT, streams[i].height);
        zelt_put_u32(enc.data(), ZELT_ENC_BITRATE, streams[i].bitRate);
        zelt_put_u32(enc.data(), ZELT_ENC_FPS, fps);
        zelt_put_u32(enc.data(), ZELT_ENC_IFRAME, 50);
        zelt_put_u32(enc.data(), ZELT_ENC_MODE, 0);
        zelt_put_u32(enc.data(), ZELT_ENC_QUALITY, 5);
        m_structs[{ZELT_MW_VIDEO_ENCODER_CFG, i}] = enc;
    }

    if (m_model->audio) {
        std::vector<uint8_t> audio(ZELT_AUDIO_SIZE, 0);
        zelt_put_u32(audio.data(), ZELT_AUDIO_FORMAT, 1);
        zelt_put_u32(audio.data(), ZELT_AUDIO_SAMPLE_RATE, 8);
        zelt_put_u32(audio.data(), ZELT_AUDIO_GAIN, 128);
        m_structs[{ZELT_MW_AUDIO_IN_CFG, 0}] = audio;
    }
    setImageDefaults();
}

void IpcConfig::setImageDefaults()
{
    std::vector<uint8_t> exp(ZELT_EXP_SIZE, 0);
    zelt_put_u32(exp.data(), ZELT_EXP_IRIS, 50);
    zelt_put_u32(exp.data(), ZELT_EXP_SHUTTER, 50);
    zelt_put_u32(exp.data(), ZELT_EXP_GAIN, 50);
    // The slowest shutter of the range keeps up with the capture frame rate.
    uint32_t slowest = shutterValues().back();
    for (uint32_t den : shutterValues()) {
        if (den >= m_model->maxFps) {
            slowest = den;
            break;
        }
    }
    zelt_put_u32(exp.data(), ZELT_EXP_SLOW_SHUTTER, slowest);
    zelt_put_u32(exp.data(), ZELT_EXP_FAST_SHUTTER, 10000);
    zelt_put_u32(exp.data(), ZELT_EXP_MAX_GAIN, 80);
    zelt_put_u32(exp.data(), ZELT_EXP_MAX_SLOW_SHUTTER, 12);
    zelt_put_u32(exp.data(), ZELT_EXP_WDR_LEVEL, 5);
    zelt_put_u32(exp.data(), ZELT_EXP_DAYNIGHT, (10u << 16) | 5u);
    m_structs[{ZELT_MW_EXPOSURE_CFG, 0}] = exp;

    std::vector<uint8_t> wb(ZELT_WB_SIZE, 0);
    zelt_put_u32(wb.data(), ZELT_WB_BLUE_OFFSET, 64);
    zelt_put_u32(wb.data(), ZELT_WB_RED_OFFSET, 64);
    m_structs[{ZELT_MW_WHITE_BALANCE_CFG, 0}] = wb;

    std::vector<uint8_t> enh(ZELT_ENH_SIZE, 0);
    for (std::size_t off : {ZELT_ENH_BRIGHTNESS, ZELT_ENH_CONTRAST, ZELT_ENH_SATURATION, ZELT_ENH_SHARPNESS})
        zelt_put_u32(enh.data(), off, 128);
    zelt_put_u32(enh.data(), ZELT_ENH_DENOISE_2D, 64);
    zelt_put_u32(enh.data(), ZELT_ENH_DENOISE_3D, 64);
    m_structs[{ZELT_MW_IMAGE_ENHANCE_CFG, 0}] = enh;

    std::vector<uint8_t> ir(ZELT_IR_SIZE, 0);
    zelt_put_u32(ir.data(), ZELT_IR_NEAR_LEVEL, 300);
    zelt_put_u32(ir.data(), ZELT_IR_MIDDLE_LEVEL, 600);
    zelt_put_u32(ir.data(), ZELT_IR_FAR_LEVEL, 900);
    m_structs[{ZELT_MW_IR_CTRL_CFG, 0}] = ir;
}

void IpcConfig::restoreImageDefaults()
{
    setImageDefaults();
}

void IpcConfig::setAddress(const std::string &strIp, const std::string &strMask, const std::string &strGateway)
{
    std::vector<uint8_t> &netif = m_structs[{ZELT_MW_NETWORK_INTERFACE_CFG, 0}];
    zelt_put_text(netif.data(), ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN, strIp.c_str());
    zelt_put_text(netif.data(), ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN, strMask.c_str());
    zelt_put_text(netif.data(), ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN, strGateway.c_str());
}

uint32_t IpcConfig::get(uint32_t ulCmd, const std::vector<uint8_t> &request, std::vector<uint8_t> &out) const
{
    const std::size_t size = zelt_cfg_size(ulCmd);
    if (size == 0)
        return ZELT_MW_ERR_UNSUPPORTED;
    if (request.size() != size)
        return ZELT_MW_ERR_LENGTH;
    uint32_t index = 0;
    if (ulCmd == ZELT_MW_VIDEO_ENCODER_CFG)
        index = zelt_get_u32(request.data(), ZELT_ENC_STREAM);
    const auto it = m_structs.find({ulCmd, index});
    if (it == m_structs.end())
        return ulCmd == ZELT_MW_VIDEO_ENCODER_CFG ? ZELT_MW_ERR_PARAM : ZELT_MW_ERR_UNSUPPORTED;
    out = it->second;
    return ZELT_MW_OK;
}

uint32_t IpcConfig::set(uint32_t ulCmd, const std::vector<uint8_t> &data)
{
    const std::size_t size = zelt_cfg_size(ulCmd);
    if (size == 0)
        return ZELT_MW_ERR_UNSUPPORTED;
    if (data.size() != size)
        return ZELT_MW_ERR_LENGTH;
    if (ulCmd == ZELT_MW_VIDEO_INPUT_MODE_CFG)
        return ZELT_MW_ERR_READ_ONLY;
    const uint32_t index = ulCmd == ZELT_MW_VIDEO_ENCODER_CFG ? zelt_get_u32(data.data(), ZELT_ENC_STREAM) : 0;
    if (m_structs.find({ulCmd, index}) == m_structs.end())
        return ulCmd == ZELT_MW_VIDEO_ENCODER_CFG ? ZELT_MW_ERR_PARAM : ZELT_MW_ERR_UNSUPPORTED;
    const uint32_t result = validate(ulCmd, data);
    if (result == ZELT_MW_OK)
        m_structs[{ulCmd, index}] = data;
    return result;
}

uint32_t IpcConfig::validate(uint32_t ulCmd, const std::vector<uint8_t> &d) const
{
    const uint8_t *p = d.data();
    auto in = [](uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; };
    bool ok = true;
    switch (ulCmd) {
    case ZELT_MW_DST_CFG: {
        const uint32_t offset = zelt_get_u16(p, ZELT_DST_OFFSET_MIN);
        ok = in(zelt_get_u32(p, ZELT_DST_ENABLED), 0, 1) && in(p[ZELT_DST_START_MONTH], 1, 12)
             && in(p[ZELT_DST_START_WEEK], 1, 5) && in(p[ZELT_DST_START_WEEKDAY], 0, 6)
             && in(p[ZELT_DST_START_HOUR], 0, 23) && in(p[ZELT_DST_END_MONTH], 1, 12)
             && in(p[ZELT_DST_END_WEEK], 1, 5) && in(p[ZELT_DST_END_WEEKDAY], 0, 6)
             && in(p[ZELT_DST_END_HOUR], 0, 23)
             && (offset == 30 || offset == 60 || offset == 90 || offset == 120);
        break;
    }
    case ZELT_MW_NETWORK_INTERFACE_CFG:
        return validateNetwork(d);
    case ZELT_MW_NTX_CFG: {
        const bool enabled = zelt_get_u32(p, ZELT_NTX_ENABLED) == 1;
        ok = in(zelt_get_u32(p, ZELT_NTX_ENABLED), 0, 1) && in(zelt_get_u32(p, ZELT_NTX_AUTH), 0, 1)
             && fieldTerminated(d, ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN)
             && fieldTerminated(d, ZELT_NTX_USER, ZELT_NTX_USER_LEN)
             && fieldTerminated(d, ZELT_NTX_PASSWORD, ZELT_NTX_PASSWORD_LEN)
             && (!enabled || isDottedIp(reinterpret_cast<const char *>(p + ZELT_NTX_SERVER), ZELT_NTX_SERVER_LEN));
        break;
    }
    case ZELT_MW_PORT_CFG:
        ok = zelt_get_u16(p, ZELT_PORT_HTTP) != 0 && zelt_get_u16(p, ZELT_PORT_HTTPS) != 0;
        break;
    case ZELT_MW_DNS_SERVER_CFG:
        for (std::size_t off : {ZELT_DNS_PREFERRED, ZELT_DNS_ALTERNATE}) {
            const char *text = reinterpret_cast<const char *>(p + off);
            ok = ok && fieldTerminated(d, off, ZELT_DNS_ADDR_LEN) && (text[0] == 0 || isDottedIp(text, ZELT_DNS_ADDR_LEN));
        }
        break;
    case ZELT_MW_EXPOSURE_CFG:
        return validateExposure(d);
    case ZELT_MW_WHITE_BALANCE_CFG:
        ok = inList({0, 1, 5, 6}, zelt_get_u32(p, ZELT_WB_MODE)) && in(zelt_get_u32(p, ZELT_WB_BLUE_OFFSET), 0, 127)
             && in(zelt_get_u32(p, ZELT_WB_RED_OFFSET), 0, 127);
        break;
    case ZELT_MW_IMAGE_ENHANCE_CFG:
        for (std::size_t off : {ZELT_ENH_BRIGHTNESS, ZELT_ENH_CONTRAST, ZELT_ENH_SATURATION, ZELT_ENH_SHARPNESS,
                                ZELT_ENH_DENOISE_2D, ZELT_ENH_DENOISE_3D})
            ok = ok && in(zelt_get_u32(p, off), 0, 255);
        ok = ok && in(zelt_get_u32(p, ZELT_ENH_MIRROR), 0, 4);
        break;
    case ZELT_MW_IR_CTRL_CFG:
        ok = in(zelt_get_u32(p, ZELT_IR_MODE), 0, 4);
        for (std::size_t off : {ZELT_IR_NEAR_LEVEL, ZELT_IR_MIDDLE_LEVEL, ZELT_IR_FAR_LEVEL})
            ok = ok && in(zelt_get_u32(p, off), 0, 1000);
        break;
    case ZELT_MW_VIDEO_ENCODER_CFG:
        return validateEncoder(d);
    case ZELT_MW_AUDIO_IN_CFG: {
        const uint32_t format = zelt_get_u32(p, ZELT_AUDIO_FORMAT);
        const uint32_t rate = zelt_get_u32(p, ZELT_AUDIO_SAMPLE_RATE);
        // G.711 is defined for 8 kHz only.
        ok = inList({1, 2, 6}, format) && (rate == 8 || (rate == 16 && format == 6))
             && in(zelt_get_u32(p, ZELT_AUDIO_INPUT_OFF), 0, 1) && in(zelt_get_u32(p, ZELT_AUDIO_GAIN), 0, 255);
        break;
    }
    default:
        return ZELT_MW_ERR_UNSUPPORTED;
    }
    return ok ? ZELT_MW_OK : ZELT_MW_ERR_RANGE;
}

uint32_t IpcConfig::validateNetwork(const std::vector<uint8_t> &d) const
{
    const uint8_t *p = d.data();
    const uint32_t mode = zelt_get_u32(p, ZELT_NETIF_MODE);
    const uint32_t mtu = zelt_get_u32(p, ZELT_NETIF_MTU);
    if (!inList(parseCodes(m_model->ipModes), mode) || mtu < 576 || mtu > 1500
        || !inList(parseCodes(m_model->workModes), zelt_get_u32(p, ZELT_NETIF_WORK_MODE)))
        return ZELT_MW_ERR_RANGE;
    if (!fieldTerminated(d, ZELT_NETIF_PPPOE_USER, ZELT_NETIF_PPPOE_USER_LEN)
        || !fieldTerminated(d, ZELT_NETIF_PPPOE_PASSWORD, ZELT_NETIF_PPPOE_PASSWORD_LEN))
        return ZELT_MW_ERR_RANGE;
    for (std::size_t off : {ZELT_NETIF_IP, ZELT_NETIF_MASK, ZELT_NETIF_GATEWAY}) {
        if (!fieldTerminated(d, off, ZELT_NETIF_ADDR_LEN))
            return ZELT_MW_ERR_RANGE;
    }
    if (mode == 0) {
        for (std::size_t off : {ZELT_NETIF_IP, ZELT_NETIF_MASK, ZELT_NETIF_GATEWAY}) {
            if (!isDottedIp(reinterpret_cast<const char *>(p + off), ZELT_NETIF_ADDR_LEN))
                return ZELT_MW_ERR_RANGE;
        }
    }
    return ZELT_MW_OK;
}

uint32_t IpcConfig::validateExposure(const std::vector<uint8_t> &d) const
{
    const uint8_t *p = d.data();
    auto in = [](uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; };
    const std::vector<uint32_t> &shutters = shutterValues();
    const int32_t compensation = int32_t(zelt_get_u32(p, ZELT_EXP_COMPENSATION));
    const uint32_t dayNight = zelt_get_u32(p, ZELT_EXP_DAYNIGHT);
    const uint32_t minGain = zelt_get_u32(p, ZELT_EXP_MIN_GAIN);
    const uint32_t maxGain = zelt_get_u32(p, ZELT_EXP_MAX_GAIN);
    const uint32_t slow = zelt_get_u32(p, ZELT_EXP_SLOW_SHUTTER);
    const uint32_t fast = zelt_get_u32(p, ZELT_EXP_FAST_SHUTTER);
    const bool ok = in(zelt_get_u32(p, ZELT_EXP_MODE), 0, 7) && compensation >= -100 && compensation <= 100
                    && in(zelt_get_u32(p, ZELT_EXP_IRIS), 0, 100) && inList(shutters, zelt_get_u32(p, ZELT_EXP_SHUTTER))
                    && in(zelt_get_u32(p, ZELT_EXP_GAIN), 0, 100) && inList(shutters, slow) && inList(shutters, fast)
                    && fast >= slow && in(minGain, 0, 100) && in(maxGain, 0, 100) && minGain <= maxGain
                    && in(zelt_get_u32(p, ZELT_EXP_SLOW_SHUTTER_ON), 0, 1)
                    && inList(shutters, zelt_get_u32(p, ZELT_EXP_MAX_SLOW_SHUTTER))
                    && in(zelt_get_u32(p, ZELT_EXP_WDR_MODE), 0, 2) && in(zelt_get_u32(p, ZELT_EXP_WDR_LEVEL), 0, 9)
                    && in(zelt_get_u32(p, ZELT_EXP_METERING), 0, 3)
                    && in(zelt_get_u32(p, ZELT_EXP_DAYNIGHT_MODE), 0, 3)
                    && inList({0, 1, 5, 9}, dayNight & 0xFFFFu) && in(dayNight >> 16, 3, 120);
    return ok ? ZELT_MW_OK : ZELT_MW_ERR_RANGE;
}

uint32_t IpcConfig::validateEncoder(const std::vector<uint8_t> &d) const
{
    const uint8_t *p = d.data();
    const uint32_t index = zelt_get_u32(p, ZELT_ENC_STREAM);
    const uint32_t enabled = zelt_get_u32(p, ZELT_ENC_ENABLED);
    const uint32_t width = zelt_get_u32(p, ZELT_ENC_WIDTH);
    const uint32_t height = zelt_get_u32(p, ZELT_ENC_HEIGHT);
    const uint32_t fps = zelt_get_u32(p, ZELT_ENC_FPS);
    const uint32_t bitRate = zelt_get_u32(p, ZELT_ENC_BITRATE);
    const uint32_t iFrame = zelt_get_u32(p, ZELT_ENC_IFRAME);
    if (enabled > 1 || (index == 0 && enabled != 1) || !inList(parseCodes(m_model->formats), zelt_get_u32(p, ZELT_ENC_FORMAT))
        || bitRate < 128 || bitRate > 16384 || iFrame < 10 || iFrame > 250 || zelt_get_u32(p, ZELT_ENC_MODE) > 1
        || zelt_get_u32(p, ZELT_ENC_QUALITY) < 1 || zelt_get_u32(p, ZELT_ENC_QUALITY) > 9 || fps < 1
        || fps > (index == 2 ? std::min<uint32_t>(m_model->maxFps, 25) : m_model->maxFps))
        return ZELT_MW_ERR_RANGE;

    // Resolutions the stream may use: the main list; lower streams only up to
    // 1080P (the sub list when the model has one), the third only D1 and below.
    std::string list = m_model->mainResolutions;
    if (index > 0 && !m_model->subResolutions.empty())
        list = m_model->subResolutions;
    bool found = false;
    for (const auto &res : parseResolutions(list)) {
        const uint32_t limit = index == 0 ? UINT32_MAX : (index == 1 ? 1920u * 1080u : 720u * 576u);
        if (res.first == width && res.second == height && res.first * res.second <= limit)
            found = true;
    }
    if (!found)
        return ZELT_MW_ERR_RANGE;

    const std::vector<uint8_t> &current = m_structs.at({ZELT_MW_VIDEO_ENCODER_CFG, index});
    if (index == 0 && m_model->fixedMainResolution && resolutionArea(current) != width * height)
        return ZELT_MW_ERR_RANGE;
    // A later stream is never larger than an enabled earlier one.
    const uint32_t area = width * height;
    for (uint32_t other = 0; other < 3; ++other) {
        const auto it = m_structs.find({ZELT_MW_VIDEO_ENCODER_CFG, other});
        if (other == index || it == m_structs.end() || zelt_get_u32(it->second.data(), ZELT_ENC_ENABLED) == 0)
            continue;
        if (other < index && enabled && resolutionArea(it->second) < area)
            return ZELT_MW_ERR_RANGE;
        if (other > index && resolutionArea(it->second) > area)
            return ZELT_MW_ERR_RANGE;
    }
    return validateEncoderLoad(d);
}

uint32_t IpcConfig::validateEncoderLoad(const std::vector<uint8_t> &d) const
{
    const uint32_t index = zelt_get_u32(d.data(), ZELT_ENC_STREAM);
    const uint32_t fps = zelt_get_u32(d.data(), ZELT_ENC_FPS);
    if (zelt_get_u32(d.data(), ZELT_ENC_FORMAT) == ZELT_ENC_FORMAT_MJPEG && fps > 5)
        return ZELT_MW_ERR_RANGE;
    if (resolutionArea(d) <= 720u * 576u && fps > 25)
        return ZELT_MW_ERR_RANGE;
    // Every stream that stays on, this one as written, within the capacity.
    uint64_t total = 0;
    for (uint32_t stream = 0; stream < 3; ++stream) {
        const auto it = m_structs.find({ZELT_MW_VIDEO_ENCODER_CFG, stream});
        const uint8_t *p = stream == index ? d.data() : (it == m_structs.end() ? nullptr : it->second.data());
        if (p == nullptr || zelt_get_u32(p, ZELT_ENC_ENABLED) == 0)
            continue;
        total += encodeCost(*m_model, zelt_get_u32(p, ZELT_ENC_FORMAT), zelt_get_u32(p, ZELT_ENC_WIDTH),
                            zelt_get_u32(p, ZELT_ENC_HEIGHT), zelt_get_u32(p, ZELT_ENC_FPS));
    }
    return total <= encodeAlone(*m_model) * 256 ? ZELT_MW_OK : ZELT_MW_ERR_RANGE;
}

uint32_t IpcConfig::enhance(std::size_t offset) const
{
    return zelt_get_u32(m_structs.at({ZELT_MW_IMAGE_ENHANCE_CFG, 0}).data(), offset);
}

std::vector<uint8_t> IpcConfig::structure(uint32_t ulCmd, uint32_t ulIndex) const
{
    const auto it = m_structs.find({ulCmd, ulIndex});
    return it == m_structs.end() ? std::vector<uint8_t>() : it->second;
}

std::vector<uint8_t> IpcConfig::exportFile(const std::string &strVersion) const
{
    std::vector<uint8_t> out(kFileMagic, kFileMagic + 4);
    putU32(out, kFileFormat);
    putName(out, m_model->name);
    putName(out, strVersion);
    putU32(out, uint32_t(m_structs.size()));
    for (const auto &entry : m_structs) {
        putU32(out, entry.first.first);
        putU32(out, entry.first.second);
        putU32(out, uint32_t(entry.second.size()));
        out.insert(out.end(), entry.second.begin(), entry.second.end());
    }
    putU32(out, uint32_t(crc32(0L, out.data(), uInt(out.size()))));
    return out;
}

bool IpcConfig::parseFile(const std::vector<uint8_t> &file, std::map<Key, std::vector<uint8_t>> &entries,
                          std::string &strVersion) const
{
    const std::size_t head = 4 + 4 + 2 * kNameField + 4;
    if (file.size() < head + 4 || file.size() > 1024 * 1024 || std::memcmp(file.data(), kFileMagic, 4) != 0)
        return false;
    const std::size_t body = file.size() - 4;
    if (zelt_get_u32(file.data(), body) != uint32_t(crc32(0L, file.data(), uInt(body))))
        return false;
    if (zelt_get_u32(file.data(), 4) != kFileFormat)
        return false;
    const char *model = reinterpret_cast<const char *>(file.data() + 8);
    const char *version = reinterpret_cast<const char *>(file.data() + 8 + kNameField);
    if (strnlen(model, kNameField) == kNameField || strnlen(version, kNameField) == kNameField)
        return false;
    if (m_model->name != model)
        return false;
    strVersion = version;
    const uint32_t count = zelt_get_u32(file.data(), 8 + 2 * kNameField);
    std::size_t pos = head;
    for (uint32_t i = 0; i < count; ++i) {
        if (pos + 12 > body)
            return false;
        const uint32_t cmd = zelt_get_u32(file.data(), pos);
        const uint32_t index = zelt_get_u32(file.data(), pos + 4);
        const uint32_t len = zelt_get_u32(file.data(), pos + 8);
        pos += 12;
        if (len != zelt_cfg_size(cmd) || len > body - pos || m_structs.find({cmd, index}) == m_structs.end())
            return false;
        // The encoder names its stream inside the structure too; validation
        // goes by that field, so it must be the entry's own.
        if (cmd == ZELT_MW_VIDEO_ENCODER_CFG && zelt_get_u32(file.data(), pos + ZELT_ENC_STREAM) != index)
            return false;
        entries[{cmd, index}].assign(file.begin() + long(pos), file.begin() + long(pos + len));
        pos += len;
    }
    return pos == body && entries.size() == m_structs.size();
}

uint32_t IpcConfig::importFile(const std::vector<uint8_t> &file)
{
    std::map<Key, std::vector<uint8_t>> entries;
    std::string version;
    if (!parseFile(file, entries, version))
        return ZELT_MW_ERR_CONFIG_FILE;
    // Keep this device's own address.
    std::vector<uint8_t> &netif = entries[{ZELT_MW_NETWORK_INTERFACE_CFG, 0}];
    const std::vector<uint8_t> &own = m_structs.at({ZELT_MW_NETWORK_INTERFACE_CFG, 0});
    std::memcpy(netif.data() + ZELT_NETIF_IP, own.data() + ZELT_NETIF_IP, 3 * ZELT_NETIF_ADDR_LEN);

    // Validate everything against a copy so that a bad entry stores nothing.
    IpcConfig candidate(*this);
    for (const auto &entry : entries) {
        if (entry.first.first == ZELT_MW_VIDEO_INPUT_MODE_CFG) {
            if (entry.second != m_structs.at(entry.first))
                return ZELT_MW_ERR_CONFIG_FILE;
            continue;
        }
        candidate.m_structs[entry.first] = entry.second;
    }
    for (const auto &entry : candidate.m_structs) {
        if (entry.first.first != ZELT_MW_VIDEO_INPUT_MODE_CFG && candidate.validate(entry.first.first, entry.second) != ZELT_MW_OK)
            return ZELT_MW_ERR_CONFIG_FILE;
    }
    m_structs = candidate.m_structs;
    return ZELT_MW_OK;
}

bool IpcConfig::loadState(const std::vector<uint8_t> &file, std::string &strVersion)
{
    std::map<Key, std::vector<uint8_t>> entries;
    if (!parseFile(file, entries, strVersion))
        return false;
    m_structs = entries;
    return true;
}
