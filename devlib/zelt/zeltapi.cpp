// The C interface of the configuration and media library.
#include "zelt_mw_sdk.h"

#include "filebytes.h"
#include "zelt_mw_cfg.h"
#include "zeltlog.h"
#include "zeltplayer.h"
#include "zeltproto.h"
#include "zeltsession.h"
#include "zeltstream.h"
#include "zeltupgrade.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <filesystem>

using namespace corvane;
using namespace corvane::zelt;

namespace {

constexpr std::chrono::milliseconds kLogoutLimit {1000};

std::atomic<bool> g_initialised {false};

// Looks the session up; result is set when the call cannot go on.
std::shared_ptr<Session> sessionFor(const char *szUserID, DWORD &result)
{
    if (!g_initialised) {
        result = ZELT_MW_ERR_NOT_INIT;
        return nullptr;
    }
    std::shared_ptr<Session> session = findSession(szUserID);
    result = session ? ZELT_MW_OK : ZELT_MW_ERR_USERID;
    return session;
}

DWORD simpleCall(const char *szUserID, uint16_t op, const std::vector<uint8_t> &payload, const char *what)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    std::vector<uint8_t> body;
    result = session->call(op, payload, body);
    logLine(result == ZELT_MW_OK ? LogInfo : LogError,
            std::string(what) + " on " + session->userId() + ": code " + std::to_string(result));
    return result;
}

// Fetches a file from the device and writes it to target.
DWORD downloadTo(const char *szUserID, uint16_t op, uint32_t maxSize, const std::filesystem::path &target,
                 const char *what)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    std::vector<uint8_t> body;
    result = session->call(op, {}, body);
    std::vector<uint8_t> content;
    wire::WireReader reader(body);
    if (result == ZELT_MW_OK && !reader.bytes(content, maxSize))
        result = ZELT_MW_ERR_PROTOCOL;
    if (result == ZELT_MW_OK) {
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (!wire::writeFileBytes(target.string(), content))
            result = ZELT_MW_ERR_FILE;
    }
    logLine(result == ZELT_MW_OK ? LogInfo : LogError, std::string(what) + " of " + session->userId() + " to "
                                                           + target.string() + ": code " + std::to_string(result));
    return result;
}

std::string localStamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    char text[20];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
    return text;
}

// The buffer of a query's reply; pBuf is written only on success.
DWORD readInfo(DWORD result, const std::vector<uint8_t> &body, std::size_t size, void *pBuf)
{
    std::vector<uint8_t> info;
    wire::WireReader reader(body);
    if (result == ZELT_MW_OK && (!reader.bytes(info, size) || info.size() != size))
        result = ZELT_MW_ERR_PROTOCOL;
    if (result == ZELT_MW_OK)
        std::memcpy(pBuf, info.data(), size);
    return result;
}

std::vector<uint8_t> queryPayload(DWORD ulQuery, DWORD ulChannel)
{
    return wire::WireWriter().u32(ulQuery).u32(ulChannel).take();
}

bool endsWith(const std::string &text, const std::string &suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

DWORD ZELT_MW_Init(void)
{
    g_initialised = true;
    return ZELT_MW_OK;
}

DWORD ZELT_MW_SetLog(DWORD ulLevel, const char *szFolder, DWORD ulMaxSize)
{
    return configureLog(ulLevel, szFolder ? szFolder : "", ulMaxSize) ? ZELT_MW_OK : ZELT_MW_ERR_FILE;
}

DWORD ZELT_MW_SetEventCallback(ZELT_MW_EVENT_CALLBACK pfnCallback)
{
    setEventCallback(pfnCallback);
    return ZELT_MW_OK;
}

DWORD ZELT_MW_Login(const char *szUser, const char *szPassword, const char *szIp, DWORD ulPort, char *szUserID)
{
    return ZELT_MW_LoginQuery(szUser, szPassword, szIp, ulPort, szUserID, 0, nullptr, 0);
}

DWORD ZELT_MW_LoginQuery(const char *szUser, const char *szPassword, const char *szIp, DWORD ulPort,
                         char *szUserID, DWORD ulChannel, ZELT_MW_INFO_QUERY *pQueries, DWORD ulCount)
{
    if (!g_initialised)
        return ZELT_MW_ERR_NOT_INIT;
    if (!szUser || !szPassword || !szIp || !szUserID || ulPort > 65535 || ulCount > ZELT_MW_MAX_LOGIN_QUERIES
        || (ulCount > 0 && !pQueries))
        return ZELT_MW_ERR_PARAM;
    std::vector<wire::FrameClient::Request> requests;
    for (DWORD i = 0; i < ulCount; ++i) {
        if (!pQueries[i].pBuf)
            return ZELT_MW_ERR_PARAM;
        pQueries[i].ulResult = zelt_query_size(pQueries[i].ulQuery) ? ZELT_MW_OK : ZELT_MW_ERR_UNSUPPORTED;
        if (pQueries[i].ulResult == ZELT_MW_OK)
            requests.push_back({OpQueryInfo, queryPayload(pQueries[i].ulQuery, ulChannel)});
    }
    std::string userId;
    std::vector<CallResult> replies;
    const DWORD result = login(szUser, szPassword, szIp, uint16_t(ulPort ? ulPort : ZELT_MW_DEFAULT_PORT), userId,
                               requests, &replies);
    std::size_t next = 0;
    for (DWORD i = 0; i < ulCount; ++i) {
        ZELT_MW_INFO_QUERY &query = pQueries[i];
        if (query.ulResult != ZELT_MW_OK)
            continue;
        if (result != ZELT_MW_OK || next >= replies.size()) {
            query.ulResult = result != ZELT_MW_OK ? result : DWORD(ZELT_MW_ERR_PROTOCOL);
            continue;
        }
        const CallResult &reply = replies[next++];
        query.ulResult = readInfo(reply.result, reply.body, zelt_query_size(query.ulQuery), query.pBuf);
    }
    if (result != ZELT_MW_OK)
        return result;
    std::memset(szUserID, 0, ZELT_MW_USERID_LEN);
    std::memcpy(szUserID, userId.data(), std::min<std::size_t>(userId.size(), ZELT_MW_USERID_LEN - 1));
    return ZELT_MW_OK;
}

DWORD ZELT_MW_GetLockTime(void)
{
    return lastLockSeconds();
}

DWORD ZELT_MW_Logout(const char *szUserID)
{
    if (!g_initialised)
        return ZELT_MW_ERR_NOT_INIT;
    const std::shared_ptr<Session> session = takeSession(szUserID);
    if (!session)
        return ZELT_MW_ERR_USERID;
    stopSessionStreams(session->userId());
    // The program logs every device out on exit: a frozen one may not hold that up.
    const DWORD result = session->goodbye(OpLogout, kLogoutLimit);
    session->close(result == ZELT_MW_OK);
    logLine(LogInfo, "logout of " + session->userId() + ": code " + std::to_string(result));
    // The session is gone locally whatever the device answered.
    return ZELT_MW_OK;
}

DWORD ZELT_MW_GetConfig(const char *szUserID, DWORD ulCmd, DWORD ulChannel, DWORD *pulLen, void *pBuf)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    const std::size_t size = zelt_cfg_size(ulCmd);
    if (!pulLen || !pBuf)
        return ZELT_MW_ERR_PARAM;
    if (size == 0)
        return ZELT_MW_ERR_UNSUPPORTED;
    if (*pulLen < size)
        return ZELT_MW_ERR_LENGTH;
    const auto *in = static_cast<const uint8_t *>(pBuf);
    std::vector<uint8_t> body;
    result = session->call(OpGetConfig,
                           wire::WireWriter().u32(ulCmd).u32(ulChannel).bytes(std::vector<uint8_t>(in, in + size)).take(),
                           body);
    std::vector<uint8_t> structure;
    wire::WireReader reader(body);
    if (result == ZELT_MW_OK && (!reader.bytes(structure, size) || structure.size() != size))
        result = ZELT_MW_ERR_PROTOCOL;
    if (result == ZELT_MW_OK) {
        std::memcpy(pBuf, structure.data(), size);
        *pulLen = DWORD(size);
    }
    logLine(result == ZELT_MW_OK ? LogDebug : LogError, "get config " + std::to_string(ulCmd) + " on "
                                                             + session->userId() + ": code " + std::to_string(result));
    return result;
}

DWORD ZELT_MW_SetConfig(const char *szUserID, DWORD ulCmd, DWORD ulChannel, DWORD ulLen, const void *pBuf)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    const std::size_t size = zelt_cfg_size(ulCmd);
    if (!pBuf)
        return ZELT_MW_ERR_PARAM;
    if (size == 0)
        return ZELT_MW_ERR_UNSUPPORTED;
    if (ulLen != size)
        return ZELT_MW_ERR_LENGTH;
    const auto *in = static_cast<const uint8_t *>(pBuf);
    std::vector<uint8_t> body;
    result = session->call(OpSetConfig,
                           wire::WireWriter().u32(ulCmd).u32(ulChannel).bytes(std::vector<uint8_t>(in, in + size)).take(),
                           body);
    logLine(result == ZELT_MW_OK ? LogInfo : LogError, "set config " + std::to_string(ulCmd) + " on "
                                                            + session->userId() + ": code " + std::to_string(result));
    return result;
}

DWORD ZELT_MW_StartMediaStream(const char *szUserID, DWORD ulChannel, DWORD ulStreamId, DWORD ulTransMode,
                               const char *szRecvIp, DWORD ulRecvPort, DWORD ulPackMode, DWORD *pulStreamHandle)
{
    (void)ulChannel;
    (void)szRecvIp;
    (void)ulRecvPort;
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    // Only TCP transport of JPEG frames exists.
    if (!pulStreamHandle || ulTransMode != 1 || ulPackMode != 1)
        return ZELT_MW_ERR_PARAM;
    return startStream(session, ulStreamId, *pulStreamHandle);
}

DWORD ZELT_MW_StartPlay(HWND hWnd, DWORD ulStreamHandle)
{
    if (!g_initialised)
        return ZELT_MW_ERR_NOT_INIT;
    return startPlay(hWnd, ulStreamHandle);
}

DWORD ZELT_MW_StopPlay(HWND hWnd)
{
    if (!g_initialised)
        return ZELT_MW_ERR_NOT_INIT;
    return stopPlay(hWnd);
}

DWORD ZELT_MW_StopMediaStream(const char *szUserID, DWORD ulStreamHandle)
{
    if (!g_initialised)
        return ZELT_MW_ERR_NOT_INIT;
    return stopStream(szUserID, ulStreamHandle);
}

DWORD ZELT_MW_GetStreamState(DWORD ulStreamHandle, DWORD *pulEndResult)
{
    if (!g_initialised)
        return ZELT_MW_ERR_NOT_INIT;
    if (!pulEndResult)
        return ZELT_MW_ERR_PARAM;
    return streamState(ulStreamHandle, *pulEndResult);
}

DWORD ZELT_MW_GetDeviceCapability(const char *szUserID, DWORD ulKind, DWORD *pulLen, char *szBuf)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    if (!pulLen || !szBuf || *pulLen == 0)
        return ZELT_MW_ERR_PARAM;
    std::vector<uint8_t> body;
    result = session->call(OpCapability, wire::WireWriter().u32(ulKind).take(), body);
    std::string text;
    wire::WireReader reader(body);
    if (result == ZELT_MW_OK && !reader.str(text, ZELT_MW_CAP_MAX_LEN))
        result = ZELT_MW_ERR_PROTOCOL;
    if (result == ZELT_MW_OK && text.size() > *pulLen)
        result = ZELT_MW_ERR_LENGTH;
    if (result == ZELT_MW_OK) {
        std::memcpy(szBuf, text.data(), text.size());
        if (text.size() < *pulLen)
            szBuf[text.size()] = '\0';
        *pulLen = DWORD(text.size());
    }
    logLine(result == ZELT_MW_OK ? LogDebug : LogError, "capability " + std::to_string(ulKind) + " of "
                                                             + session->userId() + ": code " + std::to_string(result));
    return result;
}

DWORD ZELT_MW_QueryDeviceInfo(const char *szUserID, DWORD ulChannel, DWORD ulQuery, void *pBuf)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    const std::size_t size = zelt_query_size(ulQuery);
    if (!pBuf)
        return ZELT_MW_ERR_PARAM;
    if (size == 0)
        return ZELT_MW_ERR_UNSUPPORTED;
    std::vector<uint8_t> body;
    result = session->call(OpQueryInfo, queryPayload(ulQuery, ulChannel), body);
    return readInfo(result, body, size, pBuf);
}

DWORD ZELT_MW_Upgrade(const char *szUserID, const char *szFirmwarePath)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    if (!szFirmwarePath)
        return ZELT_MW_ERR_PARAM;
    return startUpgrade(session, szFirmwarePath);
}

DWORD ZELT_MW_Reboot(const char *szUserID)
{
    return simpleCall(szUserID, OpReboot, {}, "reboot");
}

DWORD ZELT_MW_ExportConfig(const char *szUserID, const char *szFolder)
{
    if (!szFolder || !*szFolder)
        return g_initialised ? ZELT_MW_ERR_PARAM : ZELT_MW_ERR_NOT_INIT;
    // A path naming a .cfg file is used as it is; otherwise it is the folder.
    std::filesystem::path target(szFolder);
    if (!endsWith(szFolder, ".cfg")) {
        const std::shared_ptr<Session> session = findSession(szUserID);
        target /= (session ? session->ip() : std::string("device")) + "_config.cfg";
    }
    return downloadTo(szUserID, OpExportConfig, kMaxConfigFileSize, target, "configuration export");
}

DWORD ZELT_MW_ImportConfig(const char *szUserID, const char *szFilePath)
{
    DWORD result = ZELT_MW_OK;
    const std::shared_ptr<Session> session = sessionFor(szUserID, result);
    if (!session)
        return result;
    if (!szFilePath)
        return ZELT_MW_ERR_PARAM;
    std::vector<uint8_t> file;
    const wire::FileReadResult read = wire::readFileBytes(szFilePath, file, kMaxConfigFileSize);
    if (read != wire::FileReadResult::Ok) {
        logLine(LogError, std::string("configuration import: cannot read ") + szFilePath);
        return read == wire::FileReadResult::TooLarge ? ZELT_MW_ERR_CONFIG_FILE : ZELT_MW_ERR_FILE;
    }
    std::vector<uint8_t> body;
    result = session->call(OpImportConfig, wire::WireWriter().bytes(file).take(), body);
    logLine(result == ZELT_MW_OK ? LogInfo : LogError,
            "configuration import on " + session->userId() + ": code " + std::to_string(result));
    return result;
}

DWORD ZELT_MW_RestoreImageDefault(const char *szUserID, DWORD ulChannel, DWORD ulReserved)
{
    (void)ulReserved;
    return simpleCall(szUserID, OpRestoreImage, wire::WireWriter().u32(ulChannel).take(), "image defaults");
}

DWORD ZELT_MW_ExportDiagnosis(const char *szUserID, const char *szFolder)
{
    if (!szFolder || !*szFolder)
        return g_initialised ? ZELT_MW_ERR_PARAM : ZELT_MW_ERR_NOT_INIT;
    const std::filesystem::path target = std::filesystem::path(szFolder) / ("IPC" + localStamp() + ".tgz");
    return downloadTo(szUserID, OpExportDiag, kMaxArchiveSize, target, "diagnosis export");
}
