#include "services/data/NumberFormat.h"

#include "services/data/DataSetError.h"
#include "services/data/DecimalRounding.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <chrono>
#include <cmath>
#include <ctime>

namespace {

// 1899-12-30 counted from 1970-01-01.
constexpr long kEpochOffset = 25569;

long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int& year, int& month, int& day) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Pattern {
    std::string prefix, suffix;
    bool grouping = false;
    int minInt = 0, minFrac = 0, maxFrac = 0;
};

Pattern parsePattern(std::string_view text) {
    if (auto semi = text.find(';'); semi != std::string_view::npos) text = text.substr(0, semi);
    Pattern p;
    const auto first = text.find_first_of("#0,.");
    const auto last = text.find_last_of("#0,.");
    if (first == std::string_view::npos) {
        p.prefix = std::string(text);
        return p;
    }
    p.prefix = std::string(text.substr(0, first));
    p.suffix = std::string(text.substr(last + 1));
    bool inFrac = false;
    for (char c : text.substr(first, last - first + 1)) {
        if (c == '.')
            inFrac = true;
        else if (c == ',' && !inFrac)
            p.grouping = true;
        else if (c == '0')
            (inFrac ? p.minFrac : p.minInt)++;
        else if (c == '#' && inFrac)
            p.maxFrac++;
    }
    p.maxFrac += p.minFrac;
    return p;
}

// Splits |value| into decimal digits rounded half away from zero at `decimals` places.
void roundedDigits(double value, int decimals, std::string& intPart, std::string& fracPart) {
    const DecimalDigits rounded = roundedDecimalDigits(value, decimals);
    const std::string& digits = rounded.digits;
    const int exp = rounded.exponent;
    // Place the digits around the decimal point.
    const int intCount = exp + 1;
    intPart.clear();
    fracPart.clear();
    for (int i = 0; i < intCount; ++i)
        intPart += i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
    for (int i = 0; i < decimals; ++i) {
        const int at = intCount + i;
        fracPart += at >= 0 && at < static_cast<int>(digits.size())
                        ? digits[static_cast<std::size_t>(at)]
                        : '0';
    }
    while (intPart.size() > 1 && intPart.front() == '0')
        intPart.erase(intPart.begin());
    if (intPart == "0") intPart.clear();
}

} // namespace

std::string FormatFloat(std::string_view pattern, double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (pattern.empty()) {
        char buf[40];
        const auto written =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
        assert(written.ec == std::errc());
        std::string out(buf, written.ptr);
        for (char& c : out)
            if (c == '.') c = ',';
        return out == "-0" ? "0" : out;
    }
    const Pattern p = parsePattern(pattern);
    std::string intPart, fracPart;
    roundedDigits(value, p.maxFrac, intPart, fracPart);
    while (static_cast<int>(fracPart.size()) > p.minFrac && fracPart.back() == '0')
        fracPart.pop_back();
    while (static_cast<int>(intPart.size()) < p.minInt)
        intPart.insert(intPart.begin(), '0');
    const bool zero = intPart.find_first_not_of('0') == std::string::npos &&
                      fracPart.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (value < 0 && !zero) out += '-';
    out += p.prefix;
    if (p.grouping) {
        for (std::size_t i = 0; i < intPart.size(); ++i) {
            if (i > 0 && (intPart.size() - i) % 3 == 0) out += '.';
            out += intPart[i];
        }
    } else {
        out += intPart;
    }
    if (!fracPart.empty()) {
        out += ',';
        out += fracPart;
    }
    out += p.suffix;
    return out;
}

double TextToFloat(std::string_view text, bool& ok) {
    ok = false;
    text = trim(text);
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') plain += '-';
        ++i;
    }
    // Integer digits, dots allowed only between groups of three.
    std::size_t group = 0, intDigits = 0;
    bool grouped = false;
    for (; i < text.size() && (isDigit(text[i]) || text[i] == '.'); ++i) {
        if (text[i] == '.') {
            if (group == 0 || (grouped && group != 3) || (!grouped && group > 3)) return 0;
            grouped = true;
            group = 0;
            continue;
        }
        plain += text[i];
        ++group;
        ++intDigits;
    }
    if (grouped && group != 3) return 0;
    std::size_t fracDigits = 0;
    if (i < text.size() && text[i] == ',') {
        plain += '.';
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++fracDigits)
            plain += text[i];
        if (fracDigits == 0) return 0;
    }
    if (i != text.size() || intDigits + fracDigits == 0) return 0;
    double value = 0;
    if (std::from_chars(plain.data(), plain.data() + plain.size(), value).ec != std::errc())
        return 0;
    ok = true;
    return value;
}

bool TryEncodeDate(int year, int month, int day, double& days) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month))
        return false;
    days = static_cast<double>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kEpochOffset);
    return true;
}

double EncodeDate(int year, int month, int day) {
    double days = 0;
    if (!TryEncodeDate(year, month, day, days))
        throw DataSetError("Data inválida: " + std::to_string(day) + "/" + std::to_string(month) +
                           "/" + std::to_string(year) + ".");
    return days;
}

void DecodeDate(double days, int& year, int& month, int& day) {
    civilFromDays(static_cast<long>(std::floor(days)) - kEpochOffset, year, month, day);
}

double Today() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string FormatDate(std::string_view pattern, double days) {
    int year = 0, month = 0, day = 0;
    DecodeDate(days, year, month, day);
    const long seconds = std::lround((days - std::floor(days)) * 86400.0);
    const int hour = static_cast<int>(seconds / 3600) % 24;
    const int minute = static_cast<int>(seconds / 60 % 60);
    const int second = static_cast<int>(seconds % 60);
    std::string out;
    auto put = [&](int v, int width) {
        if (v < 0) {
            out += '-';
            v = -v;
            --width;
        }
        char buf[16];
        const auto written = std::to_chars(buf, buf + sizeof buf, v);
        out.append(
            static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, width - (written.ptr - buf))),
            '0');
        out.append(buf, written.ptr);
    };
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = static_cast<char>(pattern[i] | 0x20);
        std::size_t run = 1;
        while (i + run < pattern.size() && static_cast<char>(pattern[i + run] | 0x20) == c)
            ++run;
        switch (c) {
        case 'y':
            if (run >= 4)
                put(year, 4);
            else
                put(year % 100, 2);
            break;
        case 'm':
            put(month, run >= 2 ? 2 : 1);
            break;
        case 'd':
            put(day, run >= 2 ? 2 : 1);
            break;
        case 'h':
            put(hour, run >= 2 ? 2 : 1);
            break;
        case 'n':
            put(minute, run >= 2 ? 2 : 1);
            break;
        case 's':
            put(second, run >= 2 ? 2 : 1);
            break;
        default:
            out.append(pattern.substr(i, run));
            break;
        }
        i += run;
    }
    return out;
}

bool TryParseDate(std::string_view text, double& days) {
    text = trim(text);
    int parts[3] = {0, 0, 0};
    std::size_t widths[3] = {0, 0, 0};
    int part = 0;
    for (char c : text) {
        if (c == '/') {
            if (++part > 2) return false;
        } else if (isDigit(c)) {
            if (++widths[part] > 4) return false;
            parts[part] = parts[part] * 10 + (c - '0');
        } else {
            return false;
        }
    }
    if (part != 2 || widths[0] == 0 || widths[0] > 2 || widths[1] == 0 || widths[1] > 2 ||
        (widths[2] != 2 && widths[2] != 4))
        return false;
    int year = parts[2];
    if (widths[2] == 2) year += year < 50 ? 2000 : 1900;
    return TryEncodeDate(year, parts[1], parts[0], days);
}
