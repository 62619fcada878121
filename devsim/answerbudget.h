#ifndef ANSWERBUDGET_H
#define ANSWERBUDGET_H

// The probe answers one device still grants each source address: a burst,
// then a steady rate. A search asks a device a couple of times, so searches
// back to back are all answered, while probes forged with a victim's source
// address draw a few answers per device instead of one per probe.
#include <asio/ip/address.hpp>

#include <chrono>
#include <cstddef>
#include <string>
#include <unordered_map>

class AnswerBudget
{
public:
    static constexpr double Burst = 8;
    static constexpr double PerSecond = 4;
    // Sources a device keeps a budget for; the least recently seen goes first.
    static constexpr std::size_t Sources = 256;

    // True, and one answer spent, when source may have another answer now.
    bool take(const asio::ip::address &source);

private:
    struct Entry
    {
        double tokens = Burst;
        std::chrono::steady_clock::time_point last;
    };
    std::unordered_map<std::string, Entry> m_entries;
};

#endif // ANSWERBUDGET_H
