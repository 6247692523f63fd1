#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends the binary wire form's primitives to a string: little-endian fixed-size numbers and
// unsigned variable-length integers (seven bits a byte, low bits first).
class BinaryWriter {
public:
    explicit BinaryWriter(std::string& out) : m_out(out) {}

    BinaryWriter& byte(std::uint8_t value) {
        m_out.push_back(static_cast<char>(value));
        return *this;
    }
    BinaryWriter& varint(std::uint64_t value) {
        // Most counts, lengths and cells fit one byte.
        if (value < 0x80) return byte(static_cast<std::uint8_t>(value));
        return longVarint(value);
    }
    BinaryWriter& int32(std::int32_t value);
    BinaryWriter& float64(double value);
    // A length as a varint, then the bytes.
    BinaryWriter& text(std::string_view value);
    BinaryWriter& raw(std::string_view bytes) {
        m_out.append(bytes);
        return *this;
    }

private:
    BinaryWriter& longVarint(std::uint64_t value);

    std::string& m_out;
};
