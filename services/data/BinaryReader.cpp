#include "services/data/BinaryReader.h"

#include <cmath>
#include <cstring>

void BinaryReader::fail(const std::string& message) const {
    throw BinaryError(message + " at byte " + std::to_string(m_at));
}

void BinaryReader::need(std::size_t n, const char* what) const {
    if (remaining() < n) endsInside(what);
}

void BinaryReader::endsInside(const char* what) const {
    fail(std::string("input ends inside ") + what);
}

std::uint64_t BinaryReader::longVarint(const char* what, std::uint64_t max) {
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        if (shift > 63) fail(std::string("overlong number in ") + what);
        const std::uint8_t b = byte(what);
        value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) break;
    }
    if (value > max) fail(std::string(what) + " out of range");
    return value;
}

std::int32_t BinaryReader::int32(const char* what) {
    need(4, what);
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(m_bytes[m_at + i])) << (8 * i);
    m_at += 4;
    return static_cast<std::int32_t>(u);
}

double BinaryReader::float64(const char* what) {
    need(8, what);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(static_cast<std::uint8_t>(m_bytes[m_at + i])) << (8 * i);
    m_at += 8;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    // The text form has no NaN or infinity; both forms must carry the same values.
    if (!std::isfinite(value)) fail(std::string("a number that is not finite in ") + what);
    return value;
}

std::string_view BinaryReader::raw(std::size_t n, const char* what) {
    need(n, what);
    const std::string_view out = m_bytes.substr(m_at, n);
    m_at += n;
    return out;
}

std::string_view BinaryReader::text(const char* what) {
    const std::uint64_t n = varint(what);
    if (n > remaining()) fail(std::string("input ends inside ") + what);
    return raw(static_cast<std::size_t>(n), what);
}

void BinaryReader::finish() const {
    if (remaining() != 0) fail("unexpected bytes after the end");
}
