#include "server/demo/RowWriter.h"

#include "server/store/Database.h"

#include <cassert>

namespace srv {

RowWriter::RowWriter(Database& db, std::string table, std::vector<std::string> columns)
    : m_db(db), m_columns(columns.size()) {
    std::string names, marks;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        names += (i ? ", " : "") + columns[i];
        marks += i ? ", ?" : "?";
    }
    m_sql = "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")";
}

void RowWriter::add(const std::vector<Variant>& values) {
    assert(values.size() == m_columns);
    m_db.execute(m_sql, values);
    ++m_rows;
}

} // namespace srv
