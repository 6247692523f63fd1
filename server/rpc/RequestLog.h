#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace srv {

// Structured log lines, one per request: `time=... call=... operator=... ms=... outcome=...`.
// Lines are written whole under a lock so that concurrent requests never interleave.
class RequestLog {
public:
    explicit RequestLog(std::FILE* out = stderr) : m_out(out) {}

    void request(std::string_view call, std::string_view operatorCode, double milliseconds,
                 int status, std::string_view outcome);
    // A line about the server itself (start, stop, errors outside requests).
    void event(std::string_view what, std::string_view detail = {});

private:
    void write(const std::string& line);

    std::FILE* m_out;
    std::mutex m_mutex;
};

} // namespace srv
