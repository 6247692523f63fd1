#pragma once

#include "server/store/QueryResult.h"
#include "services/data/DataPacket.h"

#include <string>
#include <string_view>
#include <vector>

namespace srv {

// Builds the data packets the client datasets load: fields declared in the dataset's order and
// kinds, cells taken from query columns of the same name and converted to the field's kind.
// Fields that no column carries get a fixed value (see `constant`) or are filled by the caller.
class PacketBuilder {
public:
    PacketBuilder& text(std::string name, int size);
    PacketBuilder& number(std::string name);
    PacketBuilder& integer(std::string name);
    PacketBuilder& date(std::string name);
    // The twelve fields prefix + JAN ... DEZ, floating point.
    PacketBuilder& months(std::string_view prefix);
    // The value of the last declared field in every row where no column supplies one.
    PacketBuilder& constant(Variant value);

    // Matches the declared fields with the columns of `columns` (by name, any case).
    void bind(const QueryResult& columns);
    // Appends row `row` of `result` (which must have the bound columns) to `packet`.
    void append(DataPacket& packet, const QueryResult& result, std::size_t row) const;
    // The same, moving the row's cells out of `result` (each column feeds one field).
    void take(DataPacket& packet, QueryResult& result, std::size_t row) const;
    // The same for a row handed over by Database::forEachRow.
    void take(DataPacket& packet, std::vector<Variant>& cells) const;
    // A packet with the declared fields and no rows.
    DataPacket empty() const;
    // A packet of every row of `result`.
    DataPacket build(const QueryResult& result);

    int fieldIndex(std::string_view name) const;
    std::size_t fieldCount() const noexcept { return m_fields.size(); }

    // A stored cell converted to a field kind; dates stored as day numbers, texts from numbers.
    static Variant convert(FieldType type, const Variant& cell);
    static Variant convert(FieldType type, Variant&& cell);
    // dd/mm/yyyy of a day number (days since 30/12/1899); empty for null.
    static std::string formatDate(const Variant& days);

private:
    std::vector<FieldDef> m_fields;
    std::vector<Variant> m_constants;
    std::vector<int> m_columns;
};

} // namespace srv
