#include "services/data/Variant.h"

#include "services/data/DataPacket.h"
#include "services/data/Int32Range.h"

#include <atomic>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kInlineMax = 14;

unsigned char foldCase(unsigned char c) noexcept {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

int compareText(std::string_view a, std::string_view b, bool noCase) noexcept {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (noCase) {
            ca = foldCase(ca);
            cb = foldCase(cb);
            // Latin-1 letters in UTF-8 (second byte of C3 xx): lower case is upper + 0x20.
            if (i > 0 && static_cast<unsigned char>(a[i - 1]) == 0xC3 && ca >= 0xA0 && ca <= 0xBE &&
                ca != 0xB7)
                ca = static_cast<unsigned char>(ca - 0x20);
            if (i > 0 && static_cast<unsigned char>(b[i - 1]) == 0xC3 && cb >= 0xA0 && cb <= 0xBE &&
                cb != 0xB7)
                cb = static_cast<unsigned char>(cb - 0x20);
        }
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

struct Variant::Heap {
    virtual ~Heap() = default;
    std::atomic<int> refs{1};
};

namespace {
struct HeapText : Variant::Heap {
    std::string text;
};
struct HeapPacket : Variant::Heap {
    DataPacket packet;
};
struct HeapArray : Variant::Heap {
    std::vector<Variant> items;
};
} // namespace

Variant::Heap* Variant::heap() const noexcept {
    Heap* h;
    std::memcpy(&h, m_raw + 8, sizeof h);
    return h;
}

void Variant::keepHeap() const noexcept {
    heap()->refs.fetch_add(1, std::memory_order_relaxed);
}

void Variant::dropHeap() noexcept {
    Heap* h = heap();
    if (h->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete h;
}

Variant::Variant(const char* text) : Variant(std::string_view(text ? text : "")) {}

Variant::Variant(std::string_view text) {
    clearRaw();
    m_raw[0] = static_cast<unsigned char>(VarType::Text);
    if (text.size() <= kInlineMax) {
        m_raw[1] = static_cast<unsigned char>(text.size());
        if (!text.empty()) std::memcpy(m_raw + 2, text.data(), text.size());
    } else {
        Heap* h = new HeapText;
        static_cast<HeapText*>(h)->text.assign(text);
        m_raw[1] = kOnHeap;
        std::memcpy(m_raw + 8, &h, sizeof h);
    }
}

Variant::Variant(DataPacket packet) {
    clearRaw();
    m_raw[0] = static_cast<unsigned char>(VarType::Packet);
    Heap* h = new HeapPacket;
    static_cast<HeapPacket*>(h)->packet = std::move(packet);
    m_raw[1] = kOnHeap;
    std::memcpy(m_raw + 8, &h, sizeof h);
}

Variant::Variant(std::vector<Variant> items) {
    clearRaw();
    m_raw[0] = static_cast<unsigned char>(VarType::Array);
    Heap* h = new HeapArray;
    static_cast<HeapArray*>(h)->items = std::move(items);
    m_raw[1] = kOnHeap;
    std::memcpy(m_raw + 8, &h, sizeof h);
}

bool Variant::isNumeric() const noexcept {
    const VarType t = type();
    return t == VarType::Integer || t == VarType::Double || t == VarType::DateTime;
}

const char* Variant::typeName(VarType type) noexcept {
    switch (type) {
    case VarType::Null:
        return "null";
    case VarType::Boolean:
        return "boolean";
    case VarType::Integer:
        return "integer";
    case VarType::Double:
        return "double";
    case VarType::Text:
        return "text";
    case VarType::DateTime:
        return "datetime";
    case VarType::Packet:
        return "packet";
    case VarType::Array:
        return "array";
    }
    return "?";
}

std::string_view Variant::textView() const {
    if (type() != VarType::Text)
        throw VariantError(std::string("a ") + typeName(type()) + " value is not a text");
    if (hasHeap()) return static_cast<const HeapText*>(heap())->text;
    return {reinterpret_cast<const char*>(m_raw + 2), m_raw[1]};
}

const DataPacket& Variant::packet() const {
    if (type() != VarType::Packet)
        throw VariantError(std::string("a ") + typeName(type()) + " value is not a data packet");
    return static_cast<const HeapPacket*>(heap())->packet;
}

const std::vector<Variant>& Variant::array() const {
    if (type() != VarType::Array)
        throw VariantError(std::string("a ") + typeName(type()) + " value is not an array");
    return static_cast<const HeapArray*>(heap())->items;
}

DataPacket Variant::takePacket() && {
    const DataPacket& held = packet();
    // The sole holder may hand the rows over; a shared packet stays whole for the others.
    DataPacket out = heap()->refs.load(std::memory_order_acquire) == 1
                         ? std::move(const_cast<DataPacket&>(held))
                         : held;
    *this = Variant();
    return out;
}

std::vector<Variant> Variant::takeArray() && {
    const std::vector<Variant>& held = array();
    std::vector<Variant> out = heap()->refs.load(std::memory_order_acquire) == 1
                                   ? std::move(const_cast<std::vector<Variant>&>(held))
                                   : held;
    *this = Variant();
    return out;
}

double Variant::toDouble() const {
    switch (type()) {
    case VarType::Null:
        return 0.0;
    case VarType::Boolean:
        return m_raw[8] ? -1.0 : 0.0;
    case VarType::Integer: {
        std::int32_t v;
        std::memcpy(&v, m_raw + 8, sizeof v);
        return v;
    }
    case VarType::Double:
    case VarType::DateTime: {
        double d;
        std::memcpy(&d, m_raw + 8, sizeof d);
        return d;
    }
    case VarType::Text:
        return parseCDouble(textView());
    default:
        throw VariantError(std::string("a ") + typeName(type()) + " value is not a number");
    }
}

std::int32_t Variant::toInt() const {
    if (type() == VarType::Integer) {
        std::int32_t v;
        std::memcpy(&v, m_raw + 8, sizeof v);
        return v;
    }
    const double d = toDouble();
    if (!inInt32Range(d))
        throw VariantError("the value " + formatCDouble(d) + " does not fit an integer");
    return static_cast<std::int32_t>(std::llround(d));
}

bool Variant::toBool() const {
    switch (type()) {
    case VarType::Null:
        return false;
    case VarType::Boolean:
        return m_raw[8] != 0;
    case VarType::Text: {
        const std::string_view t = textView();
        if (t == "true" || t == "True" || t == "S" || t == "-1" || t == "1") return true;
        if (t == "false" || t == "False" || t == "N" || t == "0" || t.empty()) return false;
        throw VariantError("the text '" + std::string(t) + "' is not a boolean");
    }
    default:
        return toDouble() != 0.0;
    }
}

double Variant::toDate() const {
    if (type() == VarType::Text)
        throw VariantError("the text '" + std::string(textView()) + "' is not a date");
    return toDouble();
}

std::string Variant::toText() const {
    switch (type()) {
    case VarType::Null:
        return {};
    case VarType::Boolean:
        return m_raw[8] ? "True" : "False";
    case VarType::Integer:
        return std::to_string(toInt());
    case VarType::Double:
    case VarType::DateTime:
        return formatCDouble(toDouble());
    case VarType::Text:
        return std::string(textView());
    default:
        throw VariantError(std::string("a ") + typeName(type()) + " value is not a text");
    }
}

bool Variant::operator==(const Variant& other) const noexcept {
    const VarType a = type(), b = other.type();
    if (a == VarType::Null || b == VarType::Null) return a == b;
    if (isNumeric() && other.isNumeric()) return toDouble() == other.toDouble();
    if (a != b) return false;
    switch (a) {
    case VarType::Boolean:
        return m_raw[8] == other.m_raw[8];
    case VarType::Text:
        return textView() == other.textView();
    case VarType::Packet:
        return heap() == other.heap() || packet() == other.packet();
    case VarType::Array:
        return heap() == other.heap() || array() == other.array();
    default:
        return false;
    }
}

namespace {

int compareImpl(const Variant& a, const Variant& b, bool noCase) noexcept {
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    if (a.isNumeric() && b.isNumeric()) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.type() == VarType::Text && b.type() == VarType::Text)
        return compareText(a.textView(), b.textView(), noCase);
    if (a.type() == VarType::Boolean && b.type() == VarType::Boolean) {
        const bool x = a.toBool(), y = b.toBool();
        return x == y ? 0 : (x ? 1 : -1);
    }
    // Mixed kinds order by kind so that sorting stays a strict weak order.
    return static_cast<int>(a.type()) < static_cast<int>(b.type()) ? -1 : 1;
}

} // namespace

int Variant::compare(const Variant& a, const Variant& b) noexcept {
    return compareImpl(a, b, false);
}

int Variant::compareNoCase(const Variant& a, const Variant& b) noexcept {
    return compareImpl(a, b, true);
}

bool tryParseCDouble(std::string_view text, double& value) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    // from_chars takes no "+", so "+-1" must not slip through as -1.
    if (b < e && text[b] == '+') {
        ++b;
        if (b < e && text[b] == '-') return false;
    }
    if (b == e) return false;
    double read = 0.0;
    const char* first = text.data() + b;
    const char* last = text.data() + e;
    auto [ptr, ec] = std::from_chars(first, last, read);
    if (ec != std::errc() || ptr != last) return false;
    value = read;
    return true;
}

double parseCDouble(std::string_view text) {
    double value = 0.0;
    if (!tryParseCDouble(text, value))
        throw VariantError("the text '" + std::string(text) + "' is not a number");
    return value;
}

std::string formatCDouble(double value) {
    char buf[32];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    assert(ec == std::errc());
    return std::string(buf, ptr);
}
