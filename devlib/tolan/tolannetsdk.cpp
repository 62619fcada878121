// C interface of the maintenance library (TolanNetSDK.h).

#include "TolanNetSDK.h"
#include "tolan_cfg.h"

#include "auth.h"
#include "filebytes.h"
#include "frame.h"
#include "requestproof.h"
#include "tolanproto.h"
#include "tolansession.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace corvane;
using corvane::tolan::HandleTable;
using corvane::tolan::Session;

namespace {

std::atomic<bool> g_initialised {false};
constexpr std::chrono::milliseconds kGoodbyeLimit {1000};

bool validText(const char *text, std::size_t maxSize)
{
    return text && std::strlen(text) <= maxSize;
}

DWORD sessionFor(DWORD handle, Session &session)
{
    if (!g_initialised)
        return TLSDK_ERR_NOT_INIT;
    return HandleTable::instance().session(handle, session) ? TLSDK_OK : TLSDK_ERR_HANDLE;
}

DWORD upgradeFor(DWORD handle, tolan::Upgrade &upgrade)
{
    if (!g_initialised)
        return TLSDK_ERR_NOT_INIT;
    return HandleTable::instance().upgrade(handle, upgrade) ? TLSDK_OK : TLSDK_ERR_HANDLE;
}

DWORD upgradeStatus(DWORD handle, uint32_t &state, uint32_t &progress)
{
    tolan::Upgrade upgrade;
    DWORD result = upgradeFor(handle, upgrade);
    if (result != TLSDK_OK)
        return result;
    std::vector<uint8_t> rest;
    result = tolan::sessionCall(upgrade.session, tolan::OpUpgradeStatus,
                                wire::WireWriter().u32(upgrade.id).take(), rest);
    if (result != TLSDK_OK)
        return result;
    wire::WireReader reader(rest);
    if (!reader.u32(state) || !reader.u32(progress) || progress > 100)
        return TLSDK_ERR_PROTOCOL;
    return TLSDK_OK;
}

// Fetches a file-sized blob (configuration, archive) and writes it to path.
DWORD exportToFile(DWORD handle, uint16_t op, const char *path, uint32_t maxSize)
{
    Session session;
    DWORD result = sessionFor(handle, session);
    if (result != TLSDK_OK)
        return result;
    if (!path || !*path)
        return TLSDK_ERR_PARAM;
    std::vector<uint8_t> rest;
    result = tolan::sessionCall(session, op, {}, rest);
    if (result != TLSDK_OK)
        return result;
    wire::WireReader reader(rest);
    std::vector<uint8_t> content;
    if (!reader.bytes(content, maxSize) || content.empty())
        return TLSDK_ERR_PROTOCOL;
    return wire::writeFileBytes(path, content) ? TLSDK_OK : TLSDK_ERR_FILE;
}

} // namespace

DWORD DEV_API TLSDK_Init(void)
{
    if (const char *value = std::getenv("CORVANE_TLSDK_TIMEOUT_MS"))
        tolan::setTimeout(std::chrono::milliseconds(std::atoll(value)));
    g_initialised = true;
    return TLSDK_OK;
}

DWORD DEV_API TLSDK_Login(const char *szIp, WORD wPort, const char *szUser, const char *szPassword,
                          DWORD *pulLoginHandle, void *pInfo)
{
    if (!g_initialised)
        return TLSDK_ERR_NOT_INIT;
    if (!szIp || !pulLoginHandle || !validText(szUser, wire::kMaxUserNameSize) || !*szUser || !szPassword)
        return TLSDK_ERR_PARAM;
    // Passwords are UTF-8 of a bounded length; anything else is refused, never cut or re-encoded.
    const std::string password(szPassword, strnlen(szPassword, wire::kMaxPasswordSize + 1));
    if (!wire::passwordProblem(password).empty())
        return TLSDK_ERR_PARAM;
    *pulLoginHandle = 0;
    const uint16_t port = wPort ? wPort : TLSDK_DEFAULT_PORT;
    const std::string user(szUser);

    wire::FrameClient client(tolan::timeout());
    DWORD result = tolan::connectTo(client, szIp, port);
    if (result != TLSDK_OK)
        return result;

    std::vector<uint8_t> rest;
    result = tolan::exchange(client, tolan::OpChallenge, wire::WireWriter().str(user).take(), rest);
    if (result != TLSDK_OK)
        return result;
    std::vector<uint8_t> nonce;
    {
        wire::WireReader reader(rest);
        if (!reader.bytes(nonce, 1024) || nonce.size() < wire::kNonceSize)
            return TLSDK_ERR_PROTOCOL;
    }
    const std::vector<uint8_t> proof = wire::loginProof(password, nonce, user);
    const std::vector<uint8_t> clientNonce = wire::makeNonce();
    if (proof.empty() || clientNonce.empty())
        return TLSDK_ERR_PROTOCOL;
    result = tolan::exchange(client, tolan::OpLogin,
                             wire::WireWriter().str(user).bytes(proof).bytes(clientNonce).take(), rest);
    if (result != TLSDK_OK)
        return result;

    Session session;
    session.ip = szIp;
    session.port = port;
    session.key = wire::sessionKey(password, nonce, clientNonce, user);
    std::vector<uint8_t> info;
    wire::WireReader reader(rest);
    if (!reader.bytes(session.token, tolan::kTokenSize) || session.token.size() != tolan::kTokenSize
        || !reader.bytes(info, TLSDK_LOGIN_INFO_SIZE))
        return TLSDK_ERR_PROTOCOL;

    const DWORD handle = HandleTable::instance().addSession(session);
    if (!handle)
        return TLSDK_ERR_HANDLE;
    if (pInfo) {
        std::memset(pInfo, 0, TLSDK_LOGIN_INFO_SIZE);
        // A device may send no login information at all.
        if (!info.empty())
            std::memcpy(pInfo, info.data(), info.size());
    }
    *pulLoginHandle = handle;
    return TLSDK_OK;
}

DWORD DEV_API TLSDK_Logout(DWORD ulLoginHandle)
{
    if (!g_initialised)
        return TLSDK_ERR_NOT_INIT;
    Session session;
    if (!HandleTable::instance().removeSession(ulLoginHandle, &session))
        return TLSDK_ERR_HANDLE;
    // The handle is gone either way; the device forgets the session on its
    // own when it restarts. The program logs every device out on exit, so a
    // vanished device must not hold that up for long.
    std::vector<uint8_t> rest;
    tolan::sessionCall(session, tolan::OpLogout, {}, rest, kGoodbyeLimit);
    return TLSDK_OK;
}

DWORD DEV_API TLSDK_Restart(DWORD ulLoginHandle)
{
    Session session;
    DWORD result = sessionFor(ulLoginHandle, session);
    if (result != TLSDK_OK)
        return result;
    std::vector<uint8_t> rest;
    return tolan::sessionCall(session, tolan::OpRestart, {}, rest);
}

DWORD DEV_API TLSDK_GetDevCfg(DWORD ulLoginHandle, DWORD ulCommand, void *pBuf)
{
    Session session;
    DWORD result = sessionFor(ulLoginHandle, session);
    if (result != TLSDK_OK)
        return result;
    std::size_t size = 0;
    if (ulCommand == TLSDK_CFG_DEVICE_INFO)
        size = TLSDK_DEVICE_INFO_SIZE;
    else if (ulCommand == TLSDK_CFG_NETWORK)
        size = TLSDK_NETWORK_INFO_SIZE;
    else
        return TLSDK_ERR_UNSUPPORTED;
    if (!pBuf)
        return TLSDK_ERR_PARAM;
    std::vector<uint8_t> rest;
    result = tolan::sessionCall(session, tolan::OpGetDevCfg, wire::WireWriter().u32(ulCommand).take(), rest);
    if (result != TLSDK_OK)
        return result;
    wire::WireReader reader(rest);
    std::vector<uint8_t> structure;
    if (!reader.bytes(structure, size) || structure.size() != size)
        return TLSDK_ERR_PROTOCOL;
    std::memcpy(pBuf, structure.data(), size);
    return TLSDK_OK;
}

DWORD DEV_API TLSDK_Upgrade(DWORD ulLoginHandle, const char *szFirmwarePath, DWORD *pulUpgradeHandle)
{
    Session session;
    DWORD result = sessionFor(ulLoginHandle, session);
    if (result != TLSDK_OK)
        return result;
    if (!szFirmwarePath || !pulUpgradeHandle)
        return TLSDK_ERR_PARAM;
    *pulUpgradeHandle = 0;
    std::vector<uint8_t> image;
    if (wire::readFileBytes(szFirmwarePath, image, tolan::kMaxFirmwareSize) != wire::FileReadResult::Ok
        || image.empty())
        return TLSDK_ERR_FILE;

    wire::FrameClient client(tolan::timeout());
    result = tolan::connectTo(client, session.ip, session.port);
    if (result != TLSDK_OK)
        return result;
    const auto send = [&client, &session](uint16_t op, const std::vector<uint8_t> &fields,
                                          std::vector<uint8_t> &rest) {
        return tolan::exchange(client, op, tolan::sessionPayload(session, op, fields), rest);
    };
    std::vector<uint8_t> rest;
    result = send(tolan::OpUpgradeBegin, wire::WireWriter().u64(image.size()).take(), rest);
    if (result != TLSDK_OK)
        return result;
    uint32_t id = 0;
    wire::WireReader reader(rest);
    if (!reader.u32(id))
        return TLSDK_ERR_PROTOCOL;

    for (std::size_t offset = 0; offset < image.size(); offset += tolan::kUpgradeChunk) {
        const std::size_t size = std::min<std::size_t>(tolan::kUpgradeChunk, image.size() - offset);
        wire::WireWriter writer;
        writer.u32(id).u64(offset).u32(uint32_t(size)).raw(image.data() + offset, size);
        result = send(tolan::OpUpgradeData, writer.take(), rest);
        if (result != TLSDK_OK)
            return result;
    }
    result = send(tolan::OpUpgradeEnd, wire::WireWriter().u32(id).take(), rest);
    if (result != TLSDK_OK)
        return result;

    const DWORD handle = HandleTable::instance().addUpgrade({session, id});
    if (!handle)
        return TLSDK_ERR_HANDLE;
    *pulUpgradeHandle = handle;
    return TLSDK_OK;
}

DWORD DEV_API TLSDK_GetUpgradeState(DWORD ulUpgradeHandle, DWORD *pulState)
{
    if (!pulState)
        return TLSDK_ERR_PARAM;
    uint32_t state = 0, progress = 0;
    const DWORD result = upgradeStatus(ulUpgradeHandle, state, progress);
    if (result == TLSDK_OK)
        *pulState = state;
    return result;
}

DWORD DEV_API TLSDK_GetUpgradeProgress(DWORD ulUpgradeHandle, DWORD *pulProgress)
{
    if (!pulProgress)
        return TLSDK_ERR_PARAM;
    uint32_t state = 0, progress = 0;
    const DWORD result = upgradeStatus(ulUpgradeHandle, state, progress);
    if (result == TLSDK_OK)
        *pulProgress = progress;
    return result;
}

DWORD DEV_API TLSDK_CloseUpgrade(DWORD ulUpgradeHandle)
{
    if (!g_initialised)
        return TLSDK_ERR_NOT_INIT;
    tolan::Upgrade upgrade;
    if (!HandleTable::instance().removeUpgrade(ulUpgradeHandle, &upgrade))
        return TLSDK_ERR_HANDLE;
    std::vector<uint8_t> rest;
    tolan::sessionCall(upgrade.session, tolan::OpUpgradeClose, wire::WireWriter().u32(upgrade.id).take(), rest,
                       kGoodbyeLimit);
    return TLSDK_OK;
}

DWORD DEV_API TLSDK_ExportMtInfo(DWORD ulLoginHandle, const char *szFilePath)
{
    return exportToFile(ulLoginHandle, tolan::OpExportMtInfo, szFilePath, tolan::kMaxArchiveSize);
}

DWORD DEV_API TLSDK_ExportCfg(DWORD ulLoginHandle, const char *szFilePath)
{
    return exportToFile(ulLoginHandle, tolan::OpExportCfg, szFilePath, tolan::kMaxConfigFileSize);
}

DWORD DEV_API TLSDK_ImportCfg(DWORD ulLoginHandle, const char *szFilePath)
{
    Session session;
    DWORD result = sessionFor(ulLoginHandle, session);
    if (result != TLSDK_OK)
        return result;
    if (!szFilePath)
        return TLSDK_ERR_PARAM;
    std::vector<uint8_t> content;
    const wire::FileReadResult read = wire::readFileBytes(szFilePath, content, tolan::kMaxConfigFileSize);
    if (read == wire::FileReadResult::TooLarge)
        return TLSDK_ERR_CONFIG_FILE;
    if (read != wire::FileReadResult::Ok)
        return TLSDK_ERR_FILE;
    std::vector<uint8_t> rest;
    return tolan::sessionCall(session, tolan::OpImportCfg, wire::WireWriter().bytes(content).take(), rest);
}
