#pragma once

#include "services/data/Variant.h"

#include <string>
#include <vector>

namespace srv {

class Database;

// Inserts rows into one table through one prepared statement: the column list is given once,
// each add() gives the values in that order.
class RowWriter {
public:
    RowWriter(Database& db, std::string table, std::vector<std::string> columns);
    // Inserts one row; asserts that it has one value per column.
    void add(const std::vector<Variant>& values);
    int rowsWritten() const noexcept { return m_rows; }

private:
    Database& m_db;
    std::string m_sql;
    std::size_t m_columns;
    int m_rows = 0;
};

} // namespace srv
