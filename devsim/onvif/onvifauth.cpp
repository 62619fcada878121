#include "onvifauth.h"

#include "auth.h"
#include "simdevice.h"
#include "soapxml.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstdio>
#include <cstring>

namespace {

const std::size_t MaxRememberedNonces = 4096;
const auto HttpNonceLifetime = std::chrono::minutes(5);

bool sameText(const std::string &a, const std::string &b)
{
    return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

// "2024-05-01T12:00:00Z", fractions allowed; false for other text.
bool parseUtc(const std::string &text, std::time_t &out)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &year, &month, &day, &hour, &minute, &second, &tail)
        < 7)
        return false;
    if (tail != 'Z' && tail != '.')
        return false;
    if (tail == '.' && text.back() != 'Z')
        return false;
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    out = timegm(&parts);
    return out != std::time_t(-1);
}

// Parameters of an "Authorization: Digest a=b, c="d"" header.
std::map<std::string, std::string> digestParameters(const std::string &header)
{
    std::map<std::string, std::string> params;
    if (header.compare(0, 7, "Digest ") != 0)
        return params;
    std::size_t i = 7;
    while (i < header.size()) {
        while (i < header.size() && (header[i] == ' ' || header[i] == ','))
            ++i;
        const std::size_t equals = header.find('=', i);
        if (equals == std::string::npos)
            break;
        std::string key = header.substr(i, equals - i);
        std::string value;
        i = equals + 1;
        if (i < header.size() && header[i] == '"') {
            for (++i; i < header.size() && header[i] != '"'; ++i) {
                if (header[i] == '\\' && i + 1 < header.size())
                    ++i;
                value += header[i];
            }
            ++i;
        } else {
            const std::size_t end = header.find(',', i);
            value = header.substr(i, end == std::string::npos ? std::string::npos : end - i);
            i = end == std::string::npos ? header.size() : end;
        }
        for (char &c : key)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        params[key] = value;
    }
    return params;
}

} // namespace

namespace onvifcrypto {

std::string base64Encode(const std::string &bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int size = EVP_EncodeBlock(reinterpret_cast<unsigned char *>(out.data()),
                                     reinterpret_cast<const unsigned char *>(bytes.data()), int(bytes.size()));
    out.resize(std::size_t(size));
    return out;
}

bool base64Decode(const std::string &text, std::string &bytes)
{
    std::string clean;
    for (const char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c)))
            clean += c;
    }
    if (clean.size() % 4 != 0)
        return false;
    bytes.assign(clean.size() / 4 * 3 + 1, '\0');
    const int size = EVP_DecodeBlock(reinterpret_cast<unsigned char *>(bytes.data()),
                                     reinterpret_cast<const unsigned char *>(clean.data()), int(clean.size()));
    if (size < 0)
        return false;
    std::size_t length = std::size_t(size);
    // The decoder counts padding as zero bytes.
    for (std::size_t i = clean.size(); i > 0 && clean[i - 1] == '=' && length > 0; --i)
        --length;
    bytes.resize(length);
    return true;
}

std::string rawDigest(const std::string &algorithm, const std::string &data)
{
    const EVP_MD *md = algorithm == "MD5" ? EVP_md5() : algorithm == "SHA-1" ? EVP_sha1() : EVP_sha256();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &size, md, nullptr) != 1)
        return {};
    return std::string(reinterpret_cast<const char *>(digest), size);
}

std::string hexDigest(const std::string &algorithm, const std::string &data)
{
    static const char Digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : rawDigest(algorithm, data)) {
        hex += Digits[(static_cast<unsigned char>(c) >> 4) & 0xF];
        hex += Digits[static_cast<unsigned char>(c) & 0xF];
    }
    return hex;
}

} // namespace onvifcrypto

OnvifAuth::OnvifAuth(Mode mode)
    : m_mode(mode)
{
}

OnvifAuth::Outcome OnvifAuth::check(SimDevice &device, const Request &request)
{
    std::string tokenUser, tokenReason, digestUser, digestReason;
    bool stale = false;
    const Result token = m_mode == Mode::DigestOnly
                             ? Result::Missing
                             : checkToken(device, request.soapHeader, request.deviceNow, tokenUser, tokenReason);
    const Result digest = checkDigest(device, request, digestUser, digestReason, stale);
    const std::string user = tokenUser.empty() ? digestUser : tokenUser;

    Outcome outcome;
    if (!user.empty() && device.lockout && device.lockout->remaining(user, request.source).count() > 0) {
        outcome.result = Result::Locked;
        outcome.reason = "too many failed logins; the account is locked for a while";
        return outcome;
    }
    const bool tokenRefused = token == Result::Wrong || token == Result::Replayed;
    if (tokenRefused || digest == Result::Wrong) {
        outcome.result = Result::Wrong;
        outcome.httpRejected = !tokenRefused;
        outcome.reason = tokenRefused ? tokenReason : digestReason;
        if (device.lockout && !stale && token != Result::Replayed)
            device.lockout->recordFailure(user, request.source);
        return outcome;
    }
    const bool ok = m_mode == Mode::Both ? token == Result::Ok && digest == Result::Ok
                                         : token == Result::Ok || digest == Result::Ok;
    if (ok) {
        outcome.result = Result::Ok;
        if (device.lockout)
            device.lockout->recordSuccess(user, request.source);
        return outcome;
    }
    outcome.result = Result::Missing;
    outcome.httpRejected = digest != Result::Ok;
    outcome.reason = stale ? "the HTTP Digest nonce expired" : "this operation needs a login";
    return outcome;
}

OnvifAuth::Result OnvifAuth::checkToken(const SimDevice &device, pugi::xml_node header, std::time_t deviceNow,
                                        std::string &user, std::string &reason)
{
    const pugi::xml_node token =
        soap::child(soap::child(header, onvifns::Security, "Security"), onvifns::Security, "UsernameToken");
    if (!token)
        return Result::Missing;
    user = soap::child(token, onvifns::Security, "Username").text().as_string();
    const pugi::xml_node password = soap::child(token, onvifns::Security, "Password");
    const std::string type = password.attribute("Type").as_string();
    if (type.size() < 15 || type.compare(type.size() - 15, 15, "#PasswordDigest") != 0) {
        reason = "only PasswordDigest is accepted";
        return Result::Wrong;
    }
    std::string nonce;
    const std::string created = soap::child(token, onvifns::Utility, "Created").text().as_string();
    std::time_t createdTime = 0;
    if (!onvifcrypto::base64Decode(soap::child(token, onvifns::Security, "Nonce").text().as_string(), nonce)
        || nonce.empty() || !parseUtc(created, createdTime)) {
        reason = "the UsernameToken lacks a nonce or a creation time";
        return Result::Wrong;
    }
    if (createdTime < deviceNow - CreatedWindowSeconds || createdTime > deviceNow + CreatedWindowSeconds) {
        reason = "the UsernameToken's creation time is off the device's clock";
        return Result::Wrong;
    }
    const SimDevice::Account account = device.account();
    const std::string expected =
        onvifcrypto::base64Encode(onvifcrypto::rawDigest("SHA-1", nonce + created + account.password));
    if (user != account.user || !sameText(expected, password.text().as_string())) {
        reason = "wrong user name or password";
        return Result::Wrong;
    }
    if (!rememberToken(nonce, created, deviceNow)) {
        reason = "the UsernameToken was used before";
        return Result::Replayed;
    }
    return Result::Ok;
}

// A token is its nonce with its creation time: clients that keep one nonce for a session still send a
// fresh digest with each new time, which only the password's holder can compute, while a captured
// token sent again is refused.
bool OnvifAuth::rememberToken(const std::string &nonce, const std::string &created, std::time_t deviceNow)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_tokens.begin(); it != m_tokens.end();)
        it = it->second < deviceNow ? m_tokens.erase(it) : std::next(it);
    const std::string key = nonce + '\n' + created;
    if (m_tokens.count(key) || m_tokens.size() >= MaxRememberedNonces)
        return false;
    m_tokens[key] = deviceNow + 2 * CreatedWindowSeconds;
    return true;
}

OnvifAuth::Result OnvifAuth::checkDigest(const SimDevice &device, const Request &request, std::string &user,
                                         std::string &reason, bool &stale)
{
    std::map<std::string, std::string> p = digestParameters(request.authorization);
    if (p.empty())
        return Result::Missing;
    user = p["username"];
    const std::string algorithm = p.count("algorithm") ? p["algorithm"] : "MD5";
    if ((algorithm != "MD5" && algorithm != "SHA-256") || p["qop"] != "auth" || p["realm"] != Realm
        || p["uri"] != request.target) {
        reason = "unsupported HTTP Digest parameters";
        return Result::Wrong;
    }
    const unsigned long count = std::strtoul(p["nc"].c_str(), nullptr, 16);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto nonce = m_httpNonces.find(p["nonce"]);
        if (nonce == m_httpNonces.end()
            || std::chrono::steady_clock::now() - nonce->second.issued > HttpNonceLifetime) {
            stale = true;
            return Result::Missing;
        }
        if (count <= nonce->second.lastCount) {
            reason = "a replayed HTTP Digest answer";
            return Result::Wrong;
        }
        nonce->second.lastCount = count;
    }
    const SimDevice::Account account = device.account();
    const std::string ha1 = onvifcrypto::hexDigest(algorithm, user + ':' + Realm + ':' + account.password);
    const std::string ha2 = onvifcrypto::hexDigest(algorithm, request.method + ':' + p["uri"]);
    const std::string expected =
        onvifcrypto::hexDigest(algorithm, ha1 + ':' + p["nonce"] + ':' + p["nc"] + ':' + p["cnonce"] + ":auth:" + ha2);
    if (user != account.user || !sameText(expected, p["response"])) {
        reason = "wrong user name or password";
        return Result::Wrong;
    }
    return Result::Ok;
}

std::vector<std::string> OnvifAuth::challenges(bool stale)
{
    std::vector<uint8_t> random = corvane::wire::randomBytes(16);
    const std::string nonce = onvifcrypto::hexDigest("SHA-256", std::string(random.begin(), random.end())).substr(0, 32);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto now = std::chrono::steady_clock::now();
        for (auto it = m_httpNonces.begin(); it != m_httpNonces.end();)
            it = now - it->second.issued > HttpNonceLifetime ? m_httpNonces.erase(it) : std::next(it);
        if (m_httpNonces.size() >= MaxRememberedNonces)
            m_httpNonces.erase(m_httpNonces.begin());
        m_httpNonces[nonce] = HttpNonce{now, 0};
    }
    std::vector<std::string> values;
    for (const char *algorithm : {"SHA-256", "MD5"}) {
        values.push_back(std::string("Digest realm=\"") + Realm + "\", qop=\"auth\", algorithm=" + algorithm
                         + ", nonce=\"" + nonce + "\"" + (stale ? ", stale=true" : ""));
    }
    return values;
}
