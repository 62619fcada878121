#ifndef CORVANE_DISCOVERY_ANSWER_H
#define CORVANE_DISCOVERY_ANSWER_H

// What the discovery library accepts as a device's answer: texts that are
// what they claim to be, sent from the address the answer names, or sent
// through a relay that the answer names when the device's own address lies
// off the host's networks (a device just moved to another subnet).

#include "discovery_wire.h"

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::wire {

struct LocalNetwork
{
    uint32_t address = 0; // host order
    uint32_t mask = 0;
};

enum class AnswerVerdict {
    Accepted,
    Relayed,       // accepted: sent from the relay the answer names
    Malformed,     // a text is not what its field holds
    ForeignSender  // sent from another address than the answer's, without a valid reason
};

// Strict dotted IPv4: four decimal numbers 0-255 of one to three digits.
bool parseIpv4(const std::string &text, uint32_t &address);
// Twelve hexadecimal digits.
bool isMacText(const std::string &text);
// UTF-8 without control characters.
bool isPrintableText(const std::string &text);

// The IPv4 networks of the host's interfaces that are up.
std::vector<LocalNetwork> localNetworks();

// sender: the datagram's source address (host order). why receives a short
// reason for a refusal.
AnswerVerdict checkAnswer(const DiscoveryMessage &answer, uint32_t sender,
                          const std::vector<LocalNetwork> &networks, std::string *why = nullptr);

} // namespace corvane::wire

#endif // CORVANE_DISCOVERY_ANSWER_H
