#include "server/rpc/RequestLog.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace srv {

namespace {

std::string timestamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, int(ms));
    return buf;
}

// Values with blanks or quotes are quoted so that a line stays one record of key=value pairs.
void appendValue(std::string& line, std::string_view value) {
    bool plain = !value.empty();
    for (char c : value)
        if (c == ' ' || c == '"' || c == '=' || static_cast<unsigned char>(c) < 0x20) plain = false;
    if (plain) {
        line += value;
        return;
    }
    line += '"';
    for (char c : value) {
        if (c == '"' || c == '\\') line += '\\';
        line += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    line += '"';
}

} // namespace

void RequestLog::request(std::string_view call, std::string_view operatorCode, double milliseconds,
                         int status, std::string_view outcome) {
    std::string line = "time=" + timestamp() + " call=";
    appendValue(line, call);
    line += " operator=";
    appendValue(line, operatorCode.empty() ? "-" : operatorCode);
    char ms[32];
    const auto written =
        std::to_chars(ms, ms + sizeof ms, milliseconds, std::chars_format::fixed, 1);
    line += " ms=";
    if (written.ec == std::errc())
        line.append(ms, written.ptr);
    else
        line += '?';
    line += " status=" + std::to_string(status) + " outcome=";
    appendValue(line, outcome);
    write(line);
}

void RequestLog::event(std::string_view what, std::string_view detail) {
    std::string line = "time=" + timestamp() + " event=";
    appendValue(line, what);
    if (!detail.empty()) {
        line += " detail=";
        appendValue(line, detail);
    }
    write(line);
}

void RequestLog::write(const std::string& line) {
    std::lock_guard lock(m_mutex);
    std::fprintf(m_out, "%s\n", line.c_str());
    std::fflush(m_out);
}

} // namespace srv
