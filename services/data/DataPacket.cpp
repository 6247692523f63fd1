#include "services/data/DataPacket.h"

#include "services/data/Int32Range.h"
#include "services/data/JsonReader.h"
#include "services/data/JsonWriter.h"
#include "services/data/TextCache.h"
#include "services/data/TextCase.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

void writeCell(JsonWriter& out, const FieldDef& field, const Variant& v) {
    if (v.isNull()) {
        out.null();
        return;
    }
    try {
        switch (field.type) {
        case FieldType::String:
            if (v.type() == VarType::Text)
                out.string(v.textView());
            else
                out.string(v.toText());
            break;
        case FieldType::Integer:
            out.integer(v.toInt());
            break;
        case FieldType::Float:
        case FieldType::DateTime:
            out.number(v.toDouble());
            break;
        case FieldType::Boolean:
            out.boolean(v.toBool());
            break;
        }
    } catch (const VariantError& e) {
        throw PacketError("field " + field.name + ": " + e.what());
    }
}

Variant readCell(JsonReader& in, const FieldDef& field, std::size_t row, TextCache* cache) {
    if (in.tryNull()) return {};
    auto wrongKind = [&](const char* expected) {
        return PacketError("row " + std::to_string(row) + ", field " + field.name + ": expected " +
                           expected);
    };
    switch (field.type) {
    case FieldType::String: {
        if (in.peek() != JsonReader::Token::String) throw wrongKind("a text");
        thread_local std::string s;
        in.readString(s);
        return cache ? cache->get(s) : Variant(std::string_view(s));
    }
    case FieldType::Integer: {
        if (in.peek() != JsonReader::Token::Number) throw wrongKind("an integer");
        const double d = in.readNumber();
        if (!in.lastNumberWasInteger() || !inInt32Range(d)) throw wrongKind("a 32-bit integer");
        return Variant(static_cast<int>(d));
    }
    case FieldType::Float:
        if (in.peek() != JsonReader::Token::Number) throw wrongKind("a number");
        return Variant(in.readNumber());
    case FieldType::DateTime:
        if (in.peek() != JsonReader::Token::Number)
            throw wrongKind("a date (days since 30/12/1899)");
        return Variant::fromDate(in.readNumber());
    case FieldType::Boolean: {
        const auto t = in.peek();
        if (t != JsonReader::Token::True && t != JsonReader::Token::False)
            throw wrongKind("true or false");
        return Variant(in.readBool());
    }
    }
    throw wrongKind("a known kind");
}

void writeRow(JsonWriter& out, const std::vector<FieldDef>& fields,
              const std::vector<Variant>& row) {
    if (row.size() != fields.size())
        throw PacketError("a row has " + std::to_string(row.size()) + " values for " +
                          std::to_string(fields.size()) + " fields");
    out.beginArray();
    for (std::size_t i = 0; i < row.size(); ++i)
        writeCell(out, fields[i], row[i]);
    out.endArray();
}

std::vector<Variant> readRow(JsonReader& in, const std::vector<FieldDef>& fields, std::size_t rowNo,
                             std::vector<TextCache>* caches = nullptr) {
    std::vector<Variant> row;
    row.reserve(fields.size());
    in.beginArray();
    while (in.nextElement()) {
        if (row.size() >= fields.size())
            throw PacketError("row " + std::to_string(rowNo) + " has more values than the " +
                              std::to_string(fields.size()) + " fields");
        const std::size_t f = row.size();
        row.push_back(readCell(in, fields[f], rowNo, caches ? &(*caches)[f] : nullptr));
    }
    if (row.size() != fields.size())
        throw PacketError("row " + std::to_string(rowNo) + " has " + std::to_string(row.size()) +
                          " values for " + std::to_string(fields.size()) + " fields");
    return row;
}

// Reads one row of plain values straight from the text: the common shape of large packets.
// Returns false, having consumed nothing, at anything it does not handle (escapes, exponents,
// a value of the wrong kind); the careful reader then takes the row and names the problem.
bool readRowFast(JsonReader& in, const std::vector<FieldDef>& fields,
                 std::vector<TextCache>& caches, std::vector<Variant>& row) {
    static const double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::string_view text = in.remaining();
    const char* p = text.data();
    const char* const end = p + text.size();
    auto space = [&] {
        while (p < end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t'))
            ++p;
    };
    space();
    if (p >= end || *p != '[') return false;
    ++p;
    row.clear();
    row.reserve(fields.size());
    for (std::size_t f = 0; f < fields.size(); ++f) {
        space();
        if (f > 0) {
            if (p >= end || *p != ',') return false;
            ++p;
            space();
        }
        if (p >= end) return false;
        if (*p == 'n') {
            if (end - p < 4 || std::memcmp(p, "null", 4) != 0) return false;
            p += 4;
            row.emplace_back();
            continue;
        }
        switch (fields[f].type) {
        case FieldType::String: {
            if (*p != '"') return false;
            const char* start = ++p;
            while (p < end && *p != '"' && *p != '\\' && static_cast<unsigned char>(*p) >= 0x20)
                ++p;
            if (p >= end || *p != '"') return false;
            row.push_back(
                caches[f].get(std::string_view(start, static_cast<std::size_t>(p - start))));
            ++p;
            break;
        }
        case FieldType::Boolean:
            if (end - p >= 4 && std::memcmp(p, "true", 4) == 0) {
                p += 4;
                row.emplace_back(true);
            } else if (end - p >= 5 && std::memcmp(p, "false", 5) == 0) {
                p += 5;
                row.emplace_back(false);
            } else {
                return false;
            }
            break;
        default: {
            const char* numStart = p;
            const bool negative = *p == '-';
            if (negative) ++p;
            std::uint64_t mantissa = 0;
            int digits = 0, decimals = 0;
            const char* first = p;
            while (p < end && *p >= '0' && *p <= '9') {
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
                ++digits;
                ++p;
            }
            if (p == first || (*first == '0' && p - first > 1)) return false;
            if (p < end && *p == '.') {
                const char* frac = ++p;
                while (p < end && *p >= '0' && *p <= '9') {
                    mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
                    ++digits;
                    ++decimals;
                    ++p;
                }
                if (p == frac) return false;
            }
            if (p < end && (*p == 'e' || *p == 'E')) return false;
            double value = 0;
            if (digits <= 15) {
                // Digits and power of ten are exact: one correctly rounded division.
                value = static_cast<double>(mantissa) / kPow10[decimals];
                if (negative) value = -value;
            } else if (std::from_chars(numStart, p, value).ptr != p) {
                return false;
            }
            if (fields[f].type == FieldType::Integer) {
                if (decimals > 0 || !inInt32Range(value)) return false;
                row.emplace_back(static_cast<int>(value));
            } else if (fields[f].type == FieldType::DateTime) {
                row.push_back(Variant::fromDate(value));
            } else {
                row.emplace_back(value);
            }
        }
        }
    }
    space();
    if (p >= end || *p != ']') return false;
    ++p;
    in.consume(static_cast<std::size_t>(p - text.data()));
    return true;
}

UpdateKind kindFromName(std::string_view name) {
    if (name == "modified") return UpdateKind::Modified;
    if (name == "inserted") return UpdateKind::Inserted;
    if (name == "deleted") return UpdateKind::Deleted;
    throw PacketError("unknown change kind '" + std::string(name) + "'");
}

} // namespace

int DataPacket::fieldIndex(std::string_view name) const noexcept {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (equalsNoCase(fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

const Variant& DataPacket::value(std::size_t row, std::string_view field) const {
    const int f = fieldIndex(field);
    if (f < 0) throw PacketError("the packet has no field " + std::string(field));
    if (row >= rows.size()) throw PacketError("the packet has no row " + std::to_string(row));
    return rows[row][static_cast<std::size_t>(f)];
}

const char* DataPacket::typeName(FieldType type) noexcept {
    switch (type) {
    case FieldType::String:
        return "string";
    case FieldType::Integer:
        return "integer";
    case FieldType::Float:
        return "float";
    case FieldType::Boolean:
        return "boolean";
    case FieldType::DateTime:
        return "datetime";
    }
    return "?";
}

FieldType DataPacket::typeFromName(std::string_view name) {
    if (name == "string") return FieldType::String;
    if (name == "integer") return FieldType::Integer;
    if (name == "float") return FieldType::Float;
    if (name == "boolean") return FieldType::Boolean;
    if (name == "datetime") return FieldType::DateTime;
    throw PacketError("unknown field type '" + std::string(name) + "'");
}

const char* DataPacket::kindName(UpdateKind kind) noexcept {
    switch (kind) {
    case UpdateKind::Modified:
        return "modified";
    case UpdateKind::Inserted:
        return "inserted";
    case UpdateKind::Deleted:
        return "deleted";
    }
    return "?";
}

void DataPacket::write(JsonWriter& out) const {
    out.beginObject().key("fields").beginArray();
    for (const FieldDef& f : fields) {
        out.beginObject().key("name").string(f.name).key("type").string(typeName(f.type));
        if (f.size > 0) out.key("size").integer(f.size);
        out.endObject();
    }
    out.endArray().key("rows").beginArray();
    for (const auto& row : rows)
        writeRow(out, fields, row);
    out.endArray();
    if (!changes.empty()) {
        out.key("changes").beginArray();
        for (const RowChange& c : changes) {
            if (c.row < -1 || c.row >= static_cast<std::int32_t>(rows.size()))
                throw PacketError("a change names row " + std::to_string(c.row) + " of " +
                                  std::to_string(rows.size()));
            out.beginObject().key("kind").string(kindName(c.kind)).key("row").integer(c.row);
            if (!c.original.empty()) {
                out.key("original");
                writeRow(out, fields, c.original);
            }
            out.endObject();
        }
        out.endArray();
    }
    out.endObject();
}

namespace {

FieldDef readFieldDef(JsonReader& in) {
    FieldDef f;
    bool named = false, typed = false;
    std::string key;
    in.beginObject();
    while (in.nextMember(key)) {
        if (key == "name") {
            f.name = in.readString();
            named = true;
        } else if (key == "type") {
            f.type = DataPacket::typeFromName(in.readString());
            typed = true;
        } else if (key == "size") {
            const double s = in.readNumber();
            if (!in.lastNumberWasInteger() || s < 0 || s > 1e9)
                throw PacketError("field size must be a non-negative integer");
            f.size = static_cast<int>(s);
        } else {
            in.skip();
        }
    }
    if (!named || f.name.empty()) throw PacketError("a field has no name");
    if (!typed) throw PacketError("field " + f.name + " has no type");
    return f;
}

void readFields(JsonReader& in, DataPacket& p) {
    in.beginArray();
    while (in.nextElement()) {
        FieldDef f = readFieldDef(in);
        if (p.fieldIndex(f.name) >= 0) throw PacketError("field " + f.name + " appears twice");
        p.fields.push_back(std::move(f));
    }
}

void readRows(JsonReader& in, DataPacket& p) {
    in.beginArray();
    std::vector<TextCache> caches(p.fields.size());
    std::vector<Variant> row;
    while (in.nextElement()) {
        if (readRowFast(in, p.fields, caches, row))
            p.rows.push_back(std::move(row));
        else
            p.rows.push_back(readRow(in, p.fields, p.rows.size(), &caches));
    }
}

RowChange readChange(JsonReader& in, const DataPacket& p) {
    RowChange c;
    bool kinded = false;
    std::string key;
    in.beginObject();
    while (in.nextMember(key)) {
        if (key == "kind") {
            c.kind = kindFromName(in.readString());
            kinded = true;
        } else if (key == "row") {
            const double r = in.readNumber();
            if (!in.lastNumberWasInteger() || r < -1 || r >= static_cast<double>(p.rows.size()))
                throw PacketError("a change names a row that is not in the packet");
            c.row = static_cast<std::int32_t>(r);
        } else if (key == "original") {
            c.original = readRow(in, p.fields, p.changes.size());
        } else {
            in.skip();
        }
    }
    if (!kinded) throw PacketError("a change has no kind");
    if ((c.kind == UpdateKind::Deleted) != (c.row == -1))
        throw PacketError("only deleted rows are outside the packet's rows");
    if (c.kind != UpdateKind::Inserted && c.original.empty())
        throw PacketError("a modified or deleted row needs its original values");
    return c;
}

void readChanges(JsonReader& in, DataPacket& p) {
    in.beginArray();
    while (in.nextElement())
        p.changes.push_back(readChange(in, p));
}

} // namespace

DataPacket DataPacket::read(JsonReader& in) {
    DataPacket p;
    bool sawFields = false, sawRows = false;
    std::string key;
    try {
        in.beginObject();
        while (in.nextMember(key)) {
            if (key == "fields") {
                if (sawRows) throw PacketError("\"fields\" must come before \"rows\"");
                sawFields = true;
                readFields(in, p);
            } else if (key == "rows") {
                if (!sawFields) throw PacketError("\"fields\" must come before \"rows\"");
                sawRows = true;
                readRows(in, p);
            } else if (key == "changes") {
                if (!sawRows) throw PacketError("\"rows\" must come before \"changes\"");
                readChanges(in, p);
            } else {
                in.skip();
            }
        }
    } catch (const JsonError& e) {
        throw PacketError(std::string("malformed data packet: ") + e.what());
    }
    if (!sawFields) throw PacketError("malformed data packet: no \"fields\"");
    return p;
}

std::string DataPacket::toJson() const {
    std::string out;
    out.reserve(64 + rows.size() * fields.size() * 8);
    JsonWriter w(out);
    write(w);
    return out;
}

DataPacket DataPacket::fromJson(std::string_view json) {
    JsonReader in(json);
    DataPacket p = read(in);
    try {
        in.finish();
    } catch (const JsonError& e) {
        throw PacketError(std::string("malformed data packet: ") + e.what());
    }
    return p;
}

void writeVariant(JsonWriter& out, const Variant& value) {
    out.beginObject().key("type").string(Variant::typeName(value.type()));
    switch (value.type()) {
    case VarType::Null:
        break;
    case VarType::Boolean:
        out.key("value").boolean(value.toBool());
        break;
    case VarType::Integer:
        out.key("value").integer(value.toInt());
        break;
    case VarType::Double:
    case VarType::DateTime:
        out.key("value").number(value.toDouble());
        break;
    case VarType::Text:
        out.key("value").string(value.textView());
        break;
    case VarType::Packet:
        out.key("value");
        value.packet().write(out);
        break;
    case VarType::Array:
        out.key("value").beginArray();
        for (const Variant& item : value.array())
            writeVariant(out, item);
        out.endArray();
        break;
    }
    out.endObject();
}

Variant readVariant(JsonReader& in) {
    std::string key, typeName;
    bool typed = false, valued = false;
    Variant result;
    in.beginObject();
    while (in.nextMember(key)) {
        if (key == "type") {
            typeName = in.readString();
            typed = true;
        } else if (key == "value") {
            // One pass: the kind must be known before the value is read.
            if (!typed) in.fail("\"type\" must come before \"value\" in a variant");
            valued = true;
            if (typeName == "boolean") {
                result = Variant(in.readBool());
            } else if (typeName == "integer") {
                const double d = in.readNumber();
                if (!in.lastNumberWasInteger() || !inInt32Range(d))
                    in.fail("an integer variant needs a 32-bit integer");
                result = Variant(static_cast<int>(d));
            } else if (typeName == "double") {
                result = Variant(in.readNumber());
            } else if (typeName == "datetime") {
                result = Variant::fromDate(in.readNumber());
            } else if (typeName == "text") {
                result = Variant(in.readString());
            } else if (typeName == "packet") {
                result = Variant(DataPacket::read(in));
            } else if (typeName == "array") {
                std::vector<Variant> items;
                in.beginArray();
                while (in.nextElement())
                    items.push_back(readVariant(in));
                result = Variant(std::move(items));
            } else if (typeName == "null") {
                in.skip();
            } else {
                in.fail("unknown variant type '" + typeName + "'");
            }
        } else {
            in.skip();
        }
    }
    if (!typed) in.fail("a variant has no type");
    if (!valued && typeName != "null") in.fail("a " + typeName + " variant has no value");
    return result;
}

std::string variantToJson(const Variant& value) {
    std::string out;
    JsonWriter w(out);
    writeVariant(w, value);
    return out;
}

Variant variantFromJson(std::string_view json) {
    JsonReader in(json);
    Variant v = readVariant(in);
    in.finish();
    return v;
}
