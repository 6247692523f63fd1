#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace srv {

// Slows password guessing down: once one key (an operator code, a client address) has failed
// `freeFailures` times, each further attempt must first wait 1 second, the wait doubling with
// every failure up to `maxWait`. A success clears the key; failures older than `forgetAfter` are
// forgotten. Thread-safe; keeps at most `maxKeys` keys, so a flood of made-up codes cannot grow it.
class LoginThrottle {
public:
    using Clock = std::chrono::steady_clock;

    LoginThrottle(int freeFailures, std::chrono::seconds maxWait,
                  std::chrono::seconds forgetAfter = std::chrono::minutes(15),
                  std::size_t maxKeys = 20000);

    // Seconds the key must still wait before an attempt is heard (0: it may try now).
    long waitSeconds(const std::string& key, Clock::time_point now = Clock::now());
    void failed(const std::string& key, Clock::time_point now = Clock::now());
    void succeeded(const std::string& key);

private:
    struct Record {
        int failures = 0;
        Clock::time_point last;
        Clock::time_point blockedUntil;
    };

    void forgetOld(Clock::time_point now);

    const int m_freeFailures;
    const std::chrono::seconds m_maxWait;
    const std::chrono::seconds m_forgetAfter;
    const std::size_t m_maxKeys;
    std::mutex m_mutex;
    std::unordered_map<std::string, Record> m_records;
};

} // namespace srv
