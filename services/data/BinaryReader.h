#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised for binary input that is cut short or does not have the documented shape; the message
// names what was expected and the byte offset.
class BinaryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads what BinaryWriter writes, checking every length against the bytes that remain.
class BinaryReader {
public:
    explicit BinaryReader(std::string_view bytes) : m_bytes(bytes) {}

    std::uint8_t byte(const char* what) {
        if (m_at >= m_bytes.size()) endsInside(what);
        return static_cast<std::uint8_t>(m_bytes[m_at++]);
    }
    // A varint of at most `max`.
    std::uint64_t varint(const char* what, std::uint64_t max = UINT32_MAX) {
        // Most counts, lengths and cells fit one byte: read those without the loop.
        if (m_at < m_bytes.size()) {
            const auto first = static_cast<std::uint8_t>(m_bytes[m_at]);
            if (!(first & 0x80) && first <= max) {
                ++m_at;
                return first;
            }
        }
        return longVarint(what, max);
    }
    std::int32_t int32(const char* what);
    double float64(const char* what);
    // A text written by BinaryWriter::text; the view points into the input.
    std::string_view text(const char* what);
    // The next `n` bytes as they are.
    std::string_view raw(std::size_t n, const char* what);

    std::size_t offset() const noexcept { return m_at; }
    std::size_t remaining() const noexcept { return m_bytes.size() - m_at; }
    // Throws unless the whole input was read.
    void finish() const;
    [[noreturn]] void fail(const std::string& message) const;

private:
    void need(std::size_t n, const char* what) const;
    [[noreturn]] void endsInside(const char* what) const;
    std::uint64_t longVarint(const char* what, std::uint64_t max);

    std::string_view m_bytes;
    std::size_t m_at = 0;
};
