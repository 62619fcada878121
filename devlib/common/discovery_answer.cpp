#include "discovery_answer.h"

#include "auth.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cctype>

namespace corvane::wire {

bool parseIpv4(const std::string &text, uint32_t &address)
{
    uint32_t value = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return false;
            ++pos;
        }
        uint32_t number = 0;
        std::size_t digits = 0;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && digits < 4) {
            number = number * 10 + uint32_t(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || number > 255)
            return false;
        value = (value << 8) | number;
    }
    if (pos != text.size())
        return false;
    address = value;
    return true;
}

bool isMacText(const std::string &text)
{
    if (text.size() != 12)
        return false;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

bool isPrintableText(const std::string &text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return false;
    }
    return isUtf8(text);
}

std::vector<LocalNetwork> localNetworks()
{
    std::vector<LocalNetwork> result;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return result;
    for (ifaddrs *it = list; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_netmask == nullptr || it->ifa_addr->sa_family != AF_INET
            || !(it->ifa_flags & IFF_UP))
            continue;
        LocalNetwork network;
        network.address = ntohl(reinterpret_cast<const sockaddr_in *>(it->ifa_addr)->sin_addr.s_addr);
        network.mask = ntohl(reinterpret_cast<const sockaddr_in *>(it->ifa_netmask)->sin_addr.s_addr);
        result.push_back(network);
    }
    freeifaddrs(list);
    return result;
}

AnswerVerdict checkAnswer(const DiscoveryMessage &answer, uint32_t sender, const std::vector<LocalNetwork> &networks,
                          std::string *why)
{
    auto refuse = [why](AnswerVerdict verdict, const char *reason) {
        if (why)
            *why = reason;
        return verdict;
    };
    if (answer.type != DiscoveryType::Answer || answer.texts.size() < AnswerTextCount)
        return refuse(AnswerVerdict::Malformed, "not an answer");
    for (const std::string &text : answer.texts) {
        if (!isPrintableText(text))
            return refuse(AnswerVerdict::Malformed, "text with control characters or not UTF-8");
    }
    uint32_t claimed = 0;
    if (!parseIpv4(answer.texts[AnswerIp], claimed))
        return refuse(AnswerVerdict::Malformed, "address is not a dotted IPv4 address");
    if (!isMacText(answer.texts[AnswerMac]))
        return refuse(AnswerVerdict::Malformed, "MAC is not 12 hexadecimal digits");
    if (claimed == sender)
        return AnswerVerdict::Accepted;

    const std::string sentFrom = answer.texts.size() > AnswerSentFrom ? answer.texts[AnswerSentFrom] : std::string();
    uint32_t relay = 0;
    if (sentFrom.empty() || !parseIpv4(sentFrom, relay) || relay != sender)
        return refuse(AnswerVerdict::ForeignSender, "sent from another address than its own");
    // A device on one of our networks is reached directly and answers for itself;
    // only one beyond them may answer through a relay.
    for (const LocalNetwork &network : networks) {
        if ((claimed & network.mask) == (network.address & network.mask))
            return refuse(AnswerVerdict::ForeignSender, "relayed answer for an address on the host's networks");
    }
    return AnswerVerdict::Relayed;
}

} // namespace corvane::wire
