#ifndef ONVIFAUTH_H
#define ONVIFAUTH_H

// Login checks of one simulated ONVIF device: WS-Security UsernameToken with
// PasswordDigest and HTTP Digest (MD5 and SHA-256, qop=auth), with replayed
// nonces refused and failures counted by the device's lockout.
#include <pugixml.hpp>

#include <chrono>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct SimDevice;

namespace onvifcrypto {
std::string base64Encode(const std::string &bytes);
// False for text that is no base64.
bool base64Decode(const std::string &text, std::string &bytes);
// Hex digest; algorithm "MD5", "SHA-256" or "SHA-1".
std::string hexDigest(const std::string &algorithm, const std::string &data);
std::string rawDigest(const std::string &algorithm, const std::string &data);
} // namespace onvifcrypto

class OnvifAuth
{
public:
    enum class Mode { Either, DigestOnly, Both };
    // Replayed: a UsernameToken seen before; refused, but no password guess for the lockout.
    enum class Result { Ok, Missing, Wrong, Replayed, Locked };

    struct Request
    {
        pugi::xml_node soapHeader;
        std::string method;        // HTTP method and request target, for HTTP Digest
        std::string target;
        std::string authorization; // the Authorization header
        std::string source;        // client address, for the lockout
        std::time_t deviceNow = 0; // the device's clock
    };
    struct Outcome
    {
        Result result = Result::Missing;
        bool httpRejected = false; // HTTP Digest was the failing part: answer 401
        std::string reason;
    };

    static constexpr int CreatedWindowSeconds = 300;
    static constexpr const char *Realm = "corvane-onvif";

    explicit OnvifAuth(Mode mode);
    Outcome check(SimDevice &device, const Request &request);
    // WWW-Authenticate values for a 401 answer, each with a fresh nonce.
    std::vector<std::string> challenges(bool stale = false);

private:
    struct HttpNonce
    {
        std::chrono::steady_clock::time_point issued;
        unsigned long lastCount = 0;
    };

    Result checkToken(const SimDevice &device, pugi::xml_node header, std::time_t deviceNow, std::string &user,
                      std::string &reason);
    Result checkDigest(const SimDevice &device, const Request &request, std::string &user, std::string &reason,
                       bool &stale);
    bool rememberToken(const std::string &nonce, const std::string &created, std::time_t deviceNow);

    Mode m_mode;
    std::mutex m_mutex;
    std::map<std::string, std::time_t> m_tokens;   // seen nonce and creation time -> when it may be forgotten
    std::map<std::string, HttpNonce> m_httpNonces;
};

#endif // ONVIFAUTH_H
