#include "services/data/BinaryWriter.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

BinaryWriter& BinaryWriter::longVarint(std::uint64_t value) {
    char buf[10];
    std::size_t n = 0;
    while (value >= 0x80) {
        buf[n++] = static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    buf[n++] = static_cast<char>(value);
    m_out.append(buf, n);
    return *this;
}

BinaryWriter& BinaryWriter::int32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const char buf[4] = {static_cast<char>(u), static_cast<char>(u >> 8),
                         static_cast<char>(u >> 16), static_cast<char>(u >> 24)};
    m_out.append(buf, 4);
    return *this;
}

BinaryWriter& BinaryWriter::float64(double value) {
    // As in the text form: NaN or infinity is a fault upstream, not data to send.
    if (!std::isfinite(value))
        throw std::invalid_argument("a number that is not finite cannot be sent");
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char buf[8];
    for (int i = 0; i < 8; ++i)
        buf[i] = static_cast<char>(bits >> (8 * i));
    m_out.append(buf, 8);
    return *this;
}

BinaryWriter& BinaryWriter::text(std::string_view value) {
    varint(value.size());
    m_out.append(value);
    return *this;
}
