#include "services/data/JsonReader.h"

#include <charconv>
#include <cstdint>

JsonReader::JsonReader(std::string_view text, std::size_t maxDepth)
    // One bit per level in m_firstBits, level 0 unused: 63 levels at most.
    : m_text(text), m_maxDepth(maxDepth < 63 ? maxDepth : 63) {}

void JsonReader::fail(const std::string& what) const {
    throw JsonError("malformed JSON at byte " + std::to_string(m_pos) + ": " + what);
}

void JsonReader::skipSpace() noexcept {
    while (m_pos < m_text.size()) {
        const char c = m_text[m_pos];
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t') break;
        ++m_pos;
    }
}

JsonReader::Token JsonReader::peek() {
    skipSpace();
    if (m_pos >= m_text.size()) return Token::End;
    switch (m_text[m_pos]) {
    case '{':
        return Token::Object;
    case '[':
        return Token::Array;
    case '"':
        return Token::String;
    case 't':
        return Token::True;
    case 'f':
        return Token::False;
    case 'n':
        return Token::Null;
    default: {
        const char c = m_text[m_pos];
        if (c == '-' || (c >= '0' && c <= '9')) return Token::Number;
        fail(std::string("unexpected character '") + c + "'");
    }
    }
}

void JsonReader::expect(char c, const char* what) {
    skipSpace();
    if (m_pos >= m_text.size() || m_text[m_pos] != c) fail(std::string("expected ") + what);
    ++m_pos;
}

void JsonReader::enter() {
    if (m_depth + 1 > m_maxDepth) fail("nesting too deep");
    ++m_depth;
    m_firstBits &= ~(1ULL << m_depth);
}

void JsonReader::beginObject() {
    expect('{', "an object");
    enter();
}

bool JsonReader::nextMember(std::string& key) {
    skipSpace();
    const unsigned long long bit = 1ULL << m_depth;
    if (m_pos < m_text.size() && m_text[m_pos] == '}') {
        ++m_pos;
        --m_depth;
        return false;
    }
    if (m_firstBits & bit) expect(',', "',' or '}'");
    m_firstBits |= bit;
    readString(key);
    expect(':', "':'");
    return true;
}

void JsonReader::beginArray() {
    expect('[', "an array");
    enter();
}

bool JsonReader::nextElement() {
    skipSpace();
    const unsigned long long bit = 1ULL << m_depth;
    if (m_pos < m_text.size() && m_text[m_pos] == ']') {
        ++m_pos;
        --m_depth;
        return false;
    }
    if (m_firstBits & bit) expect(',', "',' or ']'");
    m_firstBits |= bit;
    return true;
}

std::string JsonReader::readString() {
    std::string s;
    readString(s);
    return s;
}

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Plain decimals of up to 15 digits: the digits and the power of ten are exact doubles, so one
// correctly rounded division gives the same value as a full conversion.
bool fastDecimal(std::string_view t, double& value) {
    static const double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const bool negative = !t.empty() && t[0] == '-';
    if (negative) ++i;
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool afterPoint = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        if (++digits > 15) return false;
        if (afterPoint) ++decimals;
    }
    value = static_cast<double>(mantissa) / kPow10[decimals];
    if (negative) value = -value;
    return true;
}

} // namespace

void JsonReader::readString(std::string& out) {
    expect('"', "a string");
    out.clear();
    std::size_t runStart = m_pos;
    const char* const text = m_text.data();
    const std::size_t size = m_text.size();
    while (true) {
        // Runs of plain characters are the common case: skip them in one tight loop.
        while (m_pos < size) {
            const auto u = static_cast<unsigned char>(text[m_pos]);
            if (u == '"' || u == '\\' || u < 0x20) break;
            ++m_pos;
        }
        if (m_pos >= m_text.size()) fail("unterminated string");
        const char c = m_text[m_pos];
        if (c == '"') {
            out.append(m_text.data() + runStart, m_pos - runStart);
            ++m_pos;
            return;
        }
        if (static_cast<unsigned char>(c) < 0x20) fail("control character in string");
        if (c != '\\') {
            ++m_pos;
            continue;
        }
        out.append(m_text.data() + runStart, m_pos - runStart);
        if (++m_pos >= m_text.size()) fail("unterminated escape");
        const char e = m_text[m_pos++];
        switch (e) {
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        case '/':
            out += '/';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'u': {
            auto read4 = [this]() {
                if (m_pos + 4 > m_text.size()) fail("short \\u escape");
                std::uint32_t v = 0;
                for (int i = 0; i < 4; ++i) {
                    const int h = hexValue(m_text[m_pos++]);
                    if (h < 0) fail("bad \\u escape");
                    v = v * 16 + static_cast<std::uint32_t>(h);
                }
                return v;
            };
            std::uint32_t cp = read4();
            if (cp >= 0xD800 && cp <= 0xDBFF) {
                if (m_pos + 2 > m_text.size() || m_text[m_pos] != '\\' || m_text[m_pos + 1] != 'u')
                    fail("lone surrogate");
                m_pos += 2;
                const std::uint32_t lo = read4();
                if (lo < 0xDC00 || lo > 0xDFFF) fail("bad surrogate pair");
                cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
            } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                fail("lone surrogate");
            }
            appendUtf8(out, cp);
            break;
        }
        default:
            fail(std::string("bad escape '\\") + e + "'");
        }
        runStart = m_pos;
    }
}

double JsonReader::readNumber() {
    skipSpace();
    const std::size_t start = m_pos;
    std::size_t p = m_pos;
    const std::size_t n = m_text.size();
    if (p < n && m_text[p] == '-') ++p;
    if (p >= n || m_text[p] < '0' || m_text[p] > '9') fail("expected a number");
    if (m_text[p] == '0') {
        ++p;
    } else {
        while (p < n && m_text[p] >= '0' && m_text[p] <= '9')
            ++p;
    }
    bool integer = true;
    if (p < n && m_text[p] == '.') {
        integer = false;
        ++p;
        if (p >= n || m_text[p] < '0' || m_text[p] > '9') fail("digit expected after '.'");
        while (p < n && m_text[p] >= '0' && m_text[p] <= '9')
            ++p;
    }
    if (p < n && (m_text[p] == 'e' || m_text[p] == 'E')) {
        integer = false;
        ++p;
        if (p < n && (m_text[p] == '+' || m_text[p] == '-')) ++p;
        if (p >= n || m_text[p] < '0' || m_text[p] > '9') fail("digit expected in exponent");
        while (p < n && m_text[p] >= '0' && m_text[p] <= '9')
            ++p;
    }
    double value = 0.0;
    if (fastDecimal(m_text.substr(start, p - start), value)) {
        m_pos = p;
        m_lastInteger = integer;
        return value;
    }
    auto [ptr, ec] = std::from_chars(m_text.data() + start, m_text.data() + p, value);
    if (ec == std::errc::result_out_of_range) fail("number out of range");
    if (ec != std::errc() || ptr != m_text.data() + p) fail("bad number");
    m_pos = p;
    m_lastInteger = integer;
    return value;
}

bool JsonReader::readBool() {
    skipSpace();
    if (m_text.compare(m_pos, 4, "true") == 0) {
        m_pos += 4;
        return true;
    }
    if (m_text.compare(m_pos, 5, "false") == 0) {
        m_pos += 5;
        return false;
    }
    fail("expected true or false");
}

void JsonReader::readNull() {
    if (!tryNull()) fail("expected null");
}

bool JsonReader::tryNull() {
    skipSpace();
    if (m_pos < m_text.size() && m_text[m_pos] == 'n' && m_text.compare(m_pos, 4, "null") == 0) {
        m_pos += 4;
        return true;
    }
    return false;
}

void JsonReader::skip() {
    std::string scratch;
    switch (peek()) {
    case Token::Object:
        beginObject();
        while (nextMember(scratch))
            skip();
        break;
    case Token::Array:
        beginArray();
        while (nextElement())
            skip();
        break;
    case Token::String:
        readString(scratch);
        break;
    case Token::Number:
        readNumber();
        break;
    case Token::True:
    case Token::False:
        readBool();
        break;
    case Token::Null:
        readNull();
        break;
    case Token::End:
        fail("unexpected end of text");
    }
}

void JsonReader::finish() {
    skipSpace();
    if (m_pos != m_text.size()) fail("unexpected text after the value");
}
