#pragma once

#include "services/data/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class BinaryReader;
class BinaryWriter;
class JsonReader;
class JsonWriter;

// Column kinds of a data packet; cells hold Variants of the matching VarType
// (String: Text, Integer: Integer, Float: Double, Boolean: Boolean, DateTime: DateTime).
enum class FieldType : std::uint8_t { String, Integer, Float, Boolean, DateTime };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0; // characters for strings, 0 elsewhere

    bool operator==(const FieldDef&) const = default;
};

enum class UpdateKind : std::uint8_t { Modified, Inserted, Deleted };

// One entry of a change log. `row` indexes the packet's rows (the row as it is now); deleted
// rows are no longer among the rows, so their `row` is -1. `original` holds the row's values
// as they were before the change (modified and deleted rows; empty for inserted ones).
struct RowChange {
    UpdateKind kind = UpdateKind::Modified;
    std::int32_t row = -1;
    std::vector<Variant> original;

    bool operator==(const RowChange&) const = default;
};

// Raised for a packet that does not have the documented shape.
class PacketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Tabular data as it crosses the wire: field definitions, rows, and the change log of the
// dataset it came from (empty when there are no pending changes). A Delta has the same
// shape: its rows are the changed rows and every change names one of them (see PROTOCOL.md).
class DataPacket {
public:
    std::vector<FieldDef> fields;
    std::vector<std::vector<Variant>> rows;
    std::vector<RowChange> changes;

    // Index of the named field without regard to letter case, or -1.
    int fieldIndex(std::string_view name) const noexcept;
    // The value of a named field in a row; throws PacketError for an unknown field.
    const Variant& value(std::size_t row, std::string_view field) const;

    std::string toJson() const;
    static DataPacket fromJson(std::string_view json);

    void write(JsonWriter& out) const;
    static DataPacket read(JsonReader& in);

    // The binary form of the same content (see PROTOCOL.md): under half the size, read without
    // parsing text. fromBinary throws PacketError for anything but one whole packet.
    std::string toBinary() const;
    static DataPacket fromBinary(std::string_view bytes);
    void writeBinary(BinaryWriter& out) const;
    static DataPacket readBinary(BinaryReader& in);

    static const char* typeName(FieldType type) noexcept;
    static FieldType typeFromName(std::string_view name);
    static const char* kindName(UpdateKind kind) noexcept;

    bool operator==(const DataPacket&) const = default;
};

// Typed JSON form of a single variant, as used for remote call parameters and answers.
void writeVariant(JsonWriter& out, const Variant& value);
Variant readVariant(JsonReader& in);
std::string variantToJson(const Variant& value);
Variant variantFromJson(std::string_view json);

// The binary form of a variant; variantFromBinary throws PacketError for anything but one
// whole variant (arrays nest at most 64 deep).
void writeVariantBinary(BinaryWriter& out, const Variant& value);
Variant readVariantBinary(BinaryReader& in, int depth = 0);
std::string variantToBinary(const Variant& value);
Variant variantFromBinary(std::string_view bytes);
