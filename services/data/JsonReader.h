#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised for malformed JSON; the message names what was expected and the byte offset.
class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A pull parser over a JSON text: the caller asks for the value it expects next.
// Never allocates except for strings that contain escapes.
class JsonReader {
public:
    enum class Token { Object, Array, String, Number, True, False, Null, End };

    explicit JsonReader(std::string_view text, std::size_t maxDepth = 64);

    // The kind of the next value, without consuming it.
    Token peek();

    void beginObject();
    // Moves to the next member; false at the closing brace (which it consumes).
    bool nextMember(std::string& key);
    void beginArray();
    // True when another element follows; false at the closing bracket (which it consumes).
    bool nextElement();

    std::string readString();
    // Reads a string into `out`, reusing its capacity.
    void readString(std::string& out);
    double readNumber();
    // True when the last number read had no fraction or exponent.
    bool lastNumberWasInteger() const noexcept { return m_lastInteger; }
    bool readBool();
    void readNull();
    // True and consumed when the next value is null.
    bool tryNull();
    // Skips any one value.
    void skip();
    // Requires that only white space remains.
    void finish();

    std::size_t offset() const noexcept { return m_pos; }
    // For fast paths that read a simple value themselves: the text not read yet, and how
    // many of its bytes they used (a complete value at the current nesting level).
    std::string_view remaining() const noexcept { return m_text.substr(m_pos); }
    void consume(std::size_t bytes) noexcept { m_pos += bytes; }
    [[noreturn]] void fail(const std::string& what) const;

private:
    void skipSpace() noexcept;
    void expect(char c, const char* what);
    void enter();

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_depth = 0;
    std::size_t m_maxDepth;
    bool m_lastInteger = false;
    // Per nesting level: whether the first element/member was already read.
    unsigned long long m_firstBits = 0;
};
