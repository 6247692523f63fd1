// The binary wire form of packets and variants. Rows are written row by row, each cell in the
// form its field's type gives it, so a reader never looks at a cell to learn its kind; a cell
// equal to the one above it is a one-byte repeat, which is most of a budget's texts.
#include "services/data/BinaryReader.h"
#include "services/data/BinaryWriter.h"
#include "services/data/DataPacket.h"
#include "services/data/TextCache.h"
#include "services/data/TextCase.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <thread>

namespace {

constexpr int kMaxDepth = 64;
// Rows of a packet without fields take no bytes: their number is bounded apart.
constexpr std::uint64_t kMaxRowsWithoutFields = 65536;
// From this many cells a packet's second half of rows is written on a thread of its own: a
// whole budget takes a few hundred milliseconds on one.
constexpr std::size_t kCellsForTwoWriters = 200000;

std::uint64_t zigzag(std::int64_t v) {
    return (static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63);
}

std::int64_t unzigzag(std::uint64_t v) {
    return static_cast<std::int64_t>(v >> 1) ^ -static_cast<std::int64_t>(v & 1);
}

// Cell tags of numbers and dates: hundredths cover money and whole days in a few bytes.
enum : std::uint8_t { kNull = 0, kFloat64 = 1, kHundredths = 2, kRepeat = 3 };

// Whether `v` is exactly n / 100 for a whole n that a varint holds, reading back bit for bit.
bool asHundredths(double v, std::int64_t& n) {
    if (!(std::fabs(v) < 9.0e13) || (v == 0 && std::signbit(v))) return false;
    n = std::llround(v * 100.0);
    return static_cast<double>(n) / 100.0 == v;
}

bool sameNumber(const Variant* previous, double v) {
    if (!previous || previous->isNull()) return false;
    const double p = previous->toDouble();
    return std::memcmp(&p, &v, sizeof v) == 0;
}

// `previous` is the cell of the same field in the row before (null for the first row and for
// original values): a cell equal to it is written as a repeat.
void writeCell(BinaryWriter& out, const FieldDef& field, const Variant& v,
               const Variant* previous) {
    try {
        switch (field.type) {
        case FieldType::String: {
            // 0 null, 1 the previous row's text, n + 2 a text of n bytes.
            if (v.isNull()) {
                out.byte(0);
                break;
            }
            const std::string converted = v.type() == VarType::Text ? std::string() : v.toText();
            const std::string_view text =
                v.type() == VarType::Text ? v.textView() : std::string_view(converted);
            if (previous && previous->type() == VarType::Text && previous->textView() == text)
                out.byte(1);
            else
                out.varint(text.size() + 2).raw(text);
            break;
        }
        case FieldType::Integer:
            if (v.isNull())
                out.byte(kNull);
            else
                out.byte(1).varint(zigzag(v.toInt()));
            break;
        case FieldType::Float:
        case FieldType::DateTime: {
            if (v.isNull()) {
                out.byte(kNull);
                break;
            }
            const double d = v.toDouble();
            std::int64_t n = 0;
            if (sameNumber(previous, d))
                out.byte(kRepeat);
            else if (asHundredths(d, n))
                out.byte(kHundredths).varint(zigzag(n));
            else
                out.byte(kFloat64).float64(d);
            break;
        }
        case FieldType::Boolean:
            out.byte(v.isNull() ? 0 : (v.toBool() ? 2 : 1));
            break;
        }
    } catch (const VariantError& e) {
        throw PacketError("field " + field.name + ": " + e.what());
    }
}

void writeRow(BinaryWriter& out, const std::vector<FieldDef>& fields,
              const std::vector<Variant>& row, const std::vector<Variant>* previous) {
    if (row.size() != fields.size())
        throw PacketError("a row has " + std::to_string(row.size()) + " values for " +
                          std::to_string(fields.size()) + " fields");
    for (std::size_t i = 0; i < row.size(); ++i)
        writeCell(out, fields[i], row[i], previous ? &(*previous)[i] : nullptr);
}

// Rows [first, last), the first compared with the row before it as in the whole packet, so that
// rows written apart and joined are the bytes the packet would have written at once.
void writeRows(BinaryWriter& out, const DataPacket& p, std::size_t first, std::size_t last) {
    for (std::size_t r = first; r < last; ++r)
        writeRow(out, p.fields, p.rows[r], r > 0 ? &p.rows[r - 1] : nullptr);
}

// Every row of `p`; a large packet's second half is written beside the first and appended.
void writeAllRows(BinaryWriter& out, const DataPacket& p) {
    const std::size_t n = p.rows.size();
    if (n * p.fields.size() < kCellsForTwoWriters || std::thread::hardware_concurrency() < 2) {
        writeRows(out, p, 0, n);
        return;
    }
    const std::size_t half = n / 2;
    std::string second;
    std::exception_ptr secondError;
    std::thread writer([&] {
        try {
            second.reserve((n - half) * p.fields.size() * 4);
            BinaryWriter w(second);
            writeRows(w, p, half, n);
        } catch (...) {
            secondError = std::current_exception();
        }
    });
    try {
        writeRows(out, p, 0, half);
    } catch (...) {
        // The first faulty row is the one to name.
        writer.join();
        throw;
    }
    writer.join();
    if (secondError) std::rethrow_exception(secondError);
    out.raw(second);
}

Variant repeatText(BinaryReader& in, const Variant* previous) {
    if (!previous || previous->type() != VarType::Text)
        in.fail("a cell repeats a text that is not there");
    return *previous;
}

double number(BinaryReader& in, std::uint8_t tag, const Variant* previous, const char* what) {
    switch (tag) {
    case kFloat64:
        return in.float64(what);
    case kHundredths:
        return static_cast<double>(unzigzag(in.varint(what, UINT64_MAX))) / 100.0;
    case kRepeat:
        if (!previous || previous->isNull()) in.fail("a cell repeats a row that is not there");
        return previous->toDouble();
    default:
        in.fail(std::string("unknown tag in ") + what);
    }
}

Variant readCell(BinaryReader& in, const FieldDef& field, TextCache* cache,
                 const Variant* previous) {
    switch (field.type) {
    case FieldType::String: {
        const std::uint64_t n = in.varint("a text cell");
        if (n == 0) return {};
        if (n == 1) return repeatText(in, previous);
        const std::string_view text = in.raw(static_cast<std::size_t>(n - 2), "a text cell");
        return cache ? cache->get(text) : Variant(text);
    }
    case FieldType::Integer: {
        const std::uint8_t tag = in.byte("an integer cell");
        if (tag == kNull) return {};
        if (tag != 1) in.fail("unknown tag in an integer cell");
        const std::int64_t v = unzigzag(in.varint("an integer cell", UINT64_MAX));
        if (v < INT32_MIN || v > INT32_MAX) in.fail("an integer cell out of range");
        return Variant(static_cast<int>(v));
    }
    case FieldType::Float: {
        const std::uint8_t tag = in.byte("a number cell");
        if (tag == kNull) return {};
        return Variant(number(in, tag, previous, "a number cell"));
    }
    case FieldType::DateTime: {
        const std::uint8_t tag = in.byte("a date cell");
        if (tag == kNull) return {};
        return Variant::fromDate(number(in, tag, previous, "a date cell"));
    }
    case FieldType::Boolean:
        switch (in.byte("a boolean cell")) {
        case 0:
            return {};
        case 1:
            return Variant(false);
        case 2:
            return Variant(true);
        default:
            in.fail("a boolean cell must be 0, 1 or 2");
        }
    }
    in.fail("a field of unknown type");
}

std::vector<Variant> readRow(BinaryReader& in, const std::vector<FieldDef>& fields,
                             std::vector<TextCache>* caches, const std::vector<Variant>* previous) {
    std::vector<Variant> row;
    row.reserve(fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f)
        row.push_back(readCell(in, fields[f], caches ? &(*caches)[f] : nullptr,
                               previous ? &(*previous)[f] : nullptr));
    return row;
}

// A count that cannot exceed what the remaining bytes could hold, `least` bytes apiece, so that
// a forged count never reserves more than the input could fill.
std::size_t count(BinaryReader& in, const char* what, std::size_t least) {
    const std::uint64_t n = in.varint(what);
    if (least > 0 && n > in.remaining() / least) in.fail(std::string("too many ") + what);
    return static_cast<std::size_t>(n);
}

} // namespace

void DataPacket::writeBinary(BinaryWriter& out) const {
    out.varint(fields.size());
    for (const FieldDef& f : fields) {
        out.text(f.name).byte(static_cast<std::uint8_t>(f.type));
        out.varint(static_cast<std::uint64_t>(f.size < 0 ? 0 : f.size));
    }
    if (fields.empty() && rows.size() > kMaxRowsWithoutFields)
        throw PacketError("a packet without fields cannot carry " + std::to_string(rows.size()) +
                          " rows");
    out.varint(rows.size());
    writeAllRows(out, *this);
    out.varint(changes.size());
    for (const RowChange& c : changes) {
        if (c.row < -1 || c.row >= static_cast<std::int32_t>(rows.size()))
            throw PacketError("a change names row " + std::to_string(c.row) + " of " +
                              std::to_string(rows.size()));
        out.byte(static_cast<std::uint8_t>(c.kind));
        out.varint(static_cast<std::uint64_t>(c.row + 1));
        out.byte(c.original.empty() ? 0 : 1);
        if (!c.original.empty()) writeRow(out, fields, c.original, nullptr);
    }
}

DataPacket DataPacket::readBinary(BinaryReader& in) {
    DataPacket p;
    const std::size_t fieldCount = count(in, "fields", 3);
    p.fields.reserve(fieldCount);
    for (std::size_t i = 0; i < fieldCount; ++i) {
        FieldDef f;
        f.name = std::string(in.text("a field name"));
        if (f.name.empty()) throw PacketError("a field has no name");
        const std::uint8_t type = in.byte("a field type");
        if (type > static_cast<std::uint8_t>(FieldType::DateTime))
            throw PacketError("field " + f.name + " has an unknown type " + std::to_string(type));
        f.type = static_cast<FieldType>(type);
        f.size = static_cast<int>(in.varint("a field size", 1000000000));
        if (p.fieldIndex(f.name) >= 0) throw PacketError("field " + f.name + " appears twice");
        p.fields.push_back(std::move(f));
    }
    const std::size_t rowCount = count(in, "rows", p.fields.size());
    if (p.fields.empty() && rowCount > kMaxRowsWithoutFields)
        throw PacketError("too many rows for a packet without fields");
    p.rows.reserve(rowCount);
    std::vector<TextCache> caches(p.fields.size());
    for (std::size_t r = 0; r < rowCount; ++r)
        p.rows.push_back(readRow(in, p.fields, &caches, r > 0 ? &p.rows[r - 1] : nullptr));
    const std::size_t changeCount = count(in, "changes", 3);
    p.changes.reserve(changeCount);
    for (std::size_t i = 0; i < changeCount; ++i) {
        RowChange c;
        const std::uint8_t kind = in.byte("a change kind");
        if (kind > static_cast<std::uint8_t>(UpdateKind::Deleted))
            throw PacketError("unknown change kind " + std::to_string(kind));
        c.kind = static_cast<UpdateKind>(kind);
        const std::uint64_t row = in.varint("a change's row");
        if (row > p.rows.size())
            throw PacketError("a change names a row that is not in the packet");
        c.row = static_cast<std::int32_t>(row) - 1;
        const std::uint8_t hasOriginal = in.byte("a change's original values");
        if (hasOriginal > 1) throw PacketError("a change's original values must be marked 0 or 1");
        if (hasOriginal) c.original = readRow(in, p.fields, nullptr, nullptr);
        if ((c.kind == UpdateKind::Deleted) != (c.row == -1))
            throw PacketError("only deleted rows are outside the packet's rows");
        if (c.kind != UpdateKind::Inserted && c.original.empty())
            throw PacketError("a modified or deleted row needs its original values");
        p.changes.push_back(std::move(c));
    }
    return p;
}

std::string DataPacket::toBinary() const {
    std::string out;
    out.reserve(16 + rows.size() * fields.size() * 6);
    BinaryWriter w(out);
    writeBinary(w);
    return out;
}

DataPacket DataPacket::fromBinary(std::string_view bytes) {
    try {
        BinaryReader in(bytes);
        DataPacket p = readBinary(in);
        in.finish();
        return p;
    } catch (const BinaryError& e) {
        throw PacketError(std::string("malformed binary data packet: ") + e.what());
    }
}

void writeVariantBinary(BinaryWriter& out, const Variant& value) {
    out.byte(static_cast<std::uint8_t>(value.type()));
    switch (value.type()) {
    case VarType::Null:
        break;
    case VarType::Boolean:
        out.byte(value.toBool() ? 1 : 0);
        break;
    case VarType::Integer:
        out.int32(value.toInt());
        break;
    case VarType::Double:
    case VarType::DateTime:
        out.float64(value.toDouble());
        break;
    case VarType::Text:
        out.text(value.textView());
        break;
    case VarType::Packet:
        value.packet().writeBinary(out);
        break;
    case VarType::Array:
        out.varint(value.array().size());
        for (const Variant& item : value.array())
            writeVariantBinary(out, item);
        break;
    }
}

Variant readVariantBinary(BinaryReader& in, int depth) {
    if (depth > kMaxDepth) in.fail("arrays nested too deep");
    const std::uint8_t type = in.byte("a variant");
    switch (static_cast<VarType>(type)) {
    case VarType::Null:
        return {};
    case VarType::Boolean: {
        const std::uint8_t b = in.byte("a boolean");
        if (b > 1) in.fail("a boolean must be 0 or 1");
        return Variant(b == 1);
    }
    case VarType::Integer:
        return Variant(static_cast<int>(in.int32("an integer")));
    case VarType::Double:
        return Variant(in.float64("a double"));
    case VarType::DateTime:
        return Variant::fromDate(in.float64("a date"));
    case VarType::Text:
        return Variant(in.text("a text"));
    case VarType::Packet:
        return Variant(DataPacket::readBinary(in));
    case VarType::Array: {
        const std::size_t n = count(in, "array items", 1);
        std::vector<Variant> items;
        items.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            items.push_back(readVariantBinary(in, depth + 1));
        return Variant(std::move(items));
    }
    }
    in.fail("unknown variant type " + std::to_string(type));
}

std::string variantToBinary(const Variant& value) {
    std::string out;
    BinaryWriter w(out);
    writeVariantBinary(w, value);
    return out;
}

Variant variantFromBinary(std::string_view bytes) {
    try {
        BinaryReader in(bytes);
        Variant v = readVariantBinary(in);
        in.finish();
        return v;
    } catch (const BinaryError& e) {
        throw PacketError(std::string("malformed binary variant: ") + e.what());
    }
}
