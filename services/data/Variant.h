#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class DataPacket;

// The kinds a value can take on the wire and in a dataset cell.
enum class VarType : std::uint8_t { Null, Boolean, Integer, Double, Text, DateTime, Packet, Array };

// Raised when a value is read as a kind it cannot be converted to.
class VariantError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value of one of the kinds above, 16 bytes: short texts are stored inline, long texts,
// packets and arrays are shared immutable heap objects (copies are cheap, thread-safe reads).
// Dates are days since 30/12/1899 as a double; that day itself (0) is the "zero date".
class Variant {
public:
    // The constructors, copies and destruction of scalars are inline: datasets and packets make
    // millions of them, and only texts, packets and arrays on the heap need more.
    Variant() noexcept { clearRaw(); }
    Variant(bool value) noexcept {
        clearRaw();
        m_raw[0] = static_cast<unsigned char>(VarType::Boolean);
        m_raw[8] = value ? 1 : 0;
    }
    Variant(int value) noexcept {
        clearRaw();
        m_raw[0] = static_cast<unsigned char>(VarType::Integer);
        const std::int32_t v = value;
        std::memcpy(m_raw + 8, &v, sizeof v);
    }
    Variant(double value) noexcept {
        clearRaw();
        m_raw[0] = static_cast<unsigned char>(VarType::Double);
        std::memcpy(m_raw + 8, &value, sizeof value);
    }
    Variant(const char* text);
    Variant(std::string_view text);
    Variant(const std::string& text) : Variant(std::string_view(text)) {}
    Variant(DataPacket packet);
    Variant(std::vector<Variant> items);

    static Variant fromDate(double days) noexcept {
        Variant v(days);
        v.m_raw[0] = static_cast<unsigned char>(VarType::DateTime);
        return v;
    }

    Variant(const Variant& other) noexcept {
        std::memcpy(m_raw, other.m_raw, sizeof m_raw);
        retain();
    }
    Variant(Variant&& other) noexcept {
        std::memcpy(m_raw, other.m_raw, sizeof m_raw);
        other.clearRaw();
    }
    Variant& operator=(const Variant& other) noexcept {
        if (this != &other) {
            other.retain();
            release();
            std::memcpy(m_raw, other.m_raw, sizeof m_raw);
        }
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            release();
            std::memcpy(m_raw, other.m_raw, sizeof m_raw);
            other.clearRaw();
        }
        return *this;
    }
    ~Variant() {
        if (hasHeap()) dropHeap();
    }

    VarType type() const noexcept { return static_cast<VarType>(m_raw[0]); }
    bool isNull() const noexcept { return type() == VarType::Null; }
    bool isNumeric() const noexcept;

    // Conversions; each throws VariantError when the value cannot be read as that kind.
    // Null reads as false, 0, 0.0 and "" (the dataset's own rule for empty fields).
    bool toBool() const;
    std::int32_t toInt() const;
    double toDouble() const;
    std::string toText() const;
    double toDate() const;

    // Direct access to a text without copying; only valid while the variant lives.
    std::string_view textView() const;
    const DataPacket& packet() const;
    const std::vector<Variant>& array() const;
    // The packet or items themselves, moved out when this variant is their only holder (copied
    // otherwise); the variant is null afterwards. Throws VariantError for another kind.
    DataPacket takePacket() &&;
    std::vector<Variant> takeArray() &&;

    // Equality of kind and value; integer and double compare by value.
    bool operator==(const Variant& other) const noexcept;

    // Orders values for indexes: null first, numbers by value, texts bytewise.
    static int compare(const Variant& a, const Variant& b) noexcept;
    // Same as compare, but texts without regard to letter case (ASCII and Latin-1 UTF-8).
    static int compareNoCase(const Variant& a, const Variant& b) noexcept;

    static const char* typeName(VarType type) noexcept;

    // Shared immutable storage of long texts, packets and arrays (an implementation detail).
    struct Heap;

private:
    static constexpr unsigned char kOnHeap = 0xFF;
    void clearRaw() noexcept { std::memset(m_raw, 0, sizeof m_raw); }
    Heap* heap() const noexcept;
    bool hasHeap() const noexcept { return m_raw[1] == kOnHeap; }
    void release() noexcept {
        if (hasHeap()) dropHeap();
        clearRaw();
    }
    void retain() const noexcept {
        if (hasHeap()) keepHeap();
    }
    // One reference less (the last one frees the heap object), one more.
    void dropHeap() noexcept;
    void keepHeap() const noexcept;

    // byte 0: type; byte 1: inline text length, or 0xFF when the payload is on the heap;
    // bytes 2..15: inline text; bytes 8..15: number or heap pointer otherwise.
    alignas(8) unsigned char m_raw[16];
};

static_assert(sizeof(Variant) == 16);

// Reads a text with a decimal point ("-1234.5", "1e3", "+.5"), whatever the process locale;
// blanks around it are allowed. False, value untouched, when the text is not such a number.
bool tryParseCDouble(std::string_view text, double& value);
// As tryParseCDouble, throwing VariantError for a text that is not a number.
double parseCDouble(std::string_view text);
// Writes the shortest text that reads back as the same double.
std::string formatCDouble(double value);
