// The RVNA_* entry points of the discovery library.
#include "Discovery.h"
#include "DiscoverySender.h"

#include "auth.h"
#include "discovery_password.h"
#include "discovery_wire.h"
#include "discoveryengine.h"
#include "discoverylog.h"
#include "discoveryrequest.h"

#include <cstring>
#include <optional>
#include <memory>
#include <mutex>

using namespace corvane;
using namespace corvane::discovery;

namespace {

// Several holders initialise the library (the device tab and the address
// worker each own a discovery service); it lives until the last one leaves.
std::mutex g_engineMutex;
int g_initCount = 0;
std::unique_ptr<DiscoveryEngine> g_engine;

template <typename Send>
int withEngine(Send send)
{
    std::lock_guard<std::mutex> lock(g_engineMutex);
    if (!g_engine)
        return RVNA_ERR_NOT_INIT;
    send(*g_engine);
    return RVNA_OK;
}

std::string text(const char *slot)
{
    return wire::slotText(slot, RVNA_TEXT_LEN);
}

} // namespace

extern "C" {

int RVNA_InitDiscovery(void)
{
    std::lock_guard<std::mutex> lock(g_engineMutex);
    if (g_initCount++ == 0)
        g_engine = std::make_unique<DiscoveryEngine>();
    return RVNA_OK;
}

int RVNA_UninitDiscovery(void)
{
    std::unique_ptr<DiscoveryEngine> engine;
    {
        std::lock_guard<std::mutex> lock(g_engineMutex);
        if (g_initCount == 0)
            return RVNA_ERR_NOT_INIT;
        if (--g_initCount == 0)
            engine = std::move(g_engine);
    }
    // Joined outside the lock: the receive thread may be inside a callback.
    engine.reset();
    return RVNA_OK;
}

int RVNA_SetDiscoveryCallBack(RVNA_DISCOVERY_CALLBACK pfnCallBack, void *pContext)
{
    callbackSlot().set(pfnCallBack, pContext);
    return RVNA_OK;
}

int RVNA_SetDiscoverySenderCallBack(RVNA_DISCOVERY_SENDER_CALLBACK pfnCallBack, void *pContext)
{
    callbackSlot().setWithSender(pfnCallBack, pContext);
    return RVNA_OK;
}

int RVNA_SendProbe1(unsigned int)
{
    return withEngine([](DiscoveryEngine &engine) { engine.sendMulticastProbe(); });
}

int RVNA_SendProbe2(unsigned int uFirstIp, unsigned int uLastIp)
{
    return withEngine([=](DiscoveryEngine &engine) { engine.sendRangeProbe(uFirstIp, uLastIp); });
}

int RVNA_ResetDevPasswd(unsigned int uDevIp, const RVNA_DEV_IDENTITY *pIdentity, const char *pszSecurityCode)
{
    if (pIdentity == nullptr || pszSecurityCode == nullptr)
        return RVNA_ERR_PARAM;
    const std::string code(pszSecurityCode, strnlen(pszSecurityCode, wire::kMaxRequestText + 1));
    if (code.size() > wire::kMaxRequestText)
        return RVNA_ERR_PARAM;
    wire::DiscoveryMessage request;
    request.type = wire::DiscoveryType::ResetPwdRequest;
    request.texts = {text(pIdentity->szSerial), text(pIdentity->szMac)};
    return DiscoveryRequest::transact(uDevIp, request, code, wire::DiscoveryType::ResetPwdReply);
}

int RVNA_SetDevIpAddr(unsigned int uDevIp, const RVNA_DEV_ACCOUNT *pAccount,
                      const RVNA_DEV_IDENTITY *pIdentity, const RVNA_DEV_NETADDR *pNetAddr)
{
    if (pAccount == nullptr || pIdentity == nullptr || pNetAddr == nullptr)
        return RVNA_ERR_PARAM;
    // The slot holds the program's encoded form; only a proof made with the
    // password leaves the library.
    const std::optional<std::string> password = wire::decodeDiscoveryPassword(text(pAccount->szPassword));
    if (!password) {
        logLine("address change refused: the password slot holds no encoded password");
        return RVNA_ERR_PARAM;
    }
    const std::string problem = wire::passwordProblem(*password);
    if (!problem.empty()) {
        logLine("address change refused: " + problem);
        return RVNA_ERR_PARAM;
    }
    wire::DiscoveryMessage request;
    request.type = wire::DiscoveryType::SetAddrRequest;
    request.texts = {text(pIdentity->szSerial), text(pIdentity->szMac), text(pAccount->szUserName),
                     text(pNetAddr->szIp),      text(pNetAddr->szMask), text(pNetAddr->szGateway)};
    return DiscoveryRequest::transact(uDevIp, request, *password, wire::DiscoveryType::SetAddrReply);
}

} // extern "C"
