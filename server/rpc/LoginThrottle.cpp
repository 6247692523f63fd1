#include "server/rpc/LoginThrottle.h"

#include <algorithm>

namespace srv {

LoginThrottle::LoginThrottle(int freeFailures, std::chrono::seconds maxWait,
                             std::chrono::seconds forgetAfter, std::size_t maxKeys)
    : m_freeFailures(freeFailures), m_maxWait(maxWait), m_forgetAfter(forgetAfter),
      m_maxKeys(maxKeys) {}

long LoginThrottle::waitSeconds(const std::string& key, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    auto it = m_records.find(key);
    if (it == m_records.end()) return 0;
    if (now - it->second.last > m_forgetAfter) {
        m_records.erase(it);
        return 0;
    }
    if (it->second.blockedUntil <= now) return 0;
    const auto left = it->second.blockedUntil - now;
    // Rounded up: "wait 0 seconds" would invite an attempt that is still refused.
    return static_cast<long>(std::chrono::ceil<std::chrono::seconds>(left).count());
}

void LoginThrottle::failed(const std::string& key, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    if (m_records.size() >= m_maxKeys && !m_records.contains(key)) forgetOld(now);
    if (m_records.size() >= m_maxKeys && !m_records.contains(key)) return;
    Record& r = m_records[key];
    if (r.failures > 0 && now - r.last > m_forgetAfter) r = Record{};
    ++r.failures;
    r.last = now;
    const int over = r.failures - m_freeFailures;
    if (over < 0) return;
    const auto wait =
        std::min<std::chrono::seconds>(m_maxWait, std::chrono::seconds(1LL << std::min(over, 20)));
    r.blockedUntil = now + wait;
}

void LoginThrottle::succeeded(const std::string& key) {
    std::lock_guard lock(m_mutex);
    m_records.erase(key);
}

void LoginThrottle::forgetOld(Clock::time_point now) {
    std::erase_if(m_records, [&](const auto& entry) {
        return now - entry.second.last > m_forgetAfter && entry.second.blockedUntil <= now;
    });
}

} // namespace srv
