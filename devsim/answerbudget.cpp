#include "answerbudget.h"

#include <algorithm>

bool AnswerBudget::take(const asio::ip::address &source)
{
    const auto now = std::chrono::steady_clock::now();
    const std::string key = source.to_string();
    if (m_entries.size() >= Sources && m_entries.find(key) == m_entries.end()) {
        const auto oldest = std::min_element(m_entries.begin(), m_entries.end(),
                                             [](const auto &a, const auto &b) { return a.second.last < b.second.last; });
        m_entries.erase(oldest);
    }
    Entry &entry = m_entries.emplace(key, Entry{Burst, now}).first->second;
    const double seconds = std::chrono::duration<double>(now - entry.last).count();
    entry.tokens = std::min(Burst, entry.tokens + seconds * PerSecond);
    entry.last = now;
    if (entry.tokens < 1)
        return false;
    entry.tokens -= 1;
    return true;
}
