#pragma once

#include "services/data/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace srv {

// What a column holds as far as the backend can tell: the declared type of a table column,
// Unknown for computed expressions on SQLite. `size` is the declared text width (VARCHAR(n)),
// 0 when there is none. Callers that build data packets use it for field definitions.
struct ColumnInfo {
    enum class Kind { Unknown, Text, Integer, Double };
    std::string name;
    Kind kind = Kind::Unknown;
    int size = 0;
};

// The rows of a query. Column names come back upper-case (both backends fold unquoted
// identifiers differently, so they are normalised); a name written as a quoted identifier with
// mixed case ("Retorno") keeps its case. Cells: Null, Integer (32-bit; wider integers come back
// as Double), Double or Text. Dates are stored as Double and come back as Double.
class QueryResult {
public:
    std::vector<ColumnInfo> columns;
    std::vector<std::vector<Variant>> rows;

    bool empty() const noexcept { return rows.empty(); }
    std::size_t size() const noexcept { return rows.size(); }
    // Index of the column named `name` without regard to letter case, or -1.
    int columnIndex(std::string_view name) const noexcept;
    // The same for a column the query selects; throws std::out_of_range when it does not.
    std::size_t column(std::string_view name) const;
    // The cell of `row` in the named column; throws std::out_of_range for an unknown column
    // or a row past the end.
    const Variant& at(std::size_t row, std::string_view column) const;
    // The single value of a one-row query, or Null when there is no row.
    Variant scalar() const;
};

} // namespace srv
