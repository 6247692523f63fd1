#include "server/demo/RowWriter.h"

#include "server/store/Database.h"

#include <cassert>
#include <exception>

namespace srv {

RowWriter::RowWriter(Database& db, std::string table, std::vector<std::string> columns,
                     int batchRows)
    : m_db(db), m_table(std::move(table)), m_columns(columns.size()), m_batchRows(batchRows) {
    assert(!columns.empty() && batchRows >= 1);
    for (std::size_t i = 0; i < columns.size(); ++i)
        m_columnList += (i ? ", " : "") + columns[i];
    m_fullBatch = statement(m_batchRows);
}

RowWriter::~RowWriter() {
    assert((m_pendingRows == 0 || std::uncaught_exceptions() > 0) && "rows added, never flushed");
}

std::string RowWriter::statement(int rows) const {
    std::string row = "(";
    for (std::size_t i = 0; i < m_columns; ++i)
        row += i ? ", ?" : "?";
    row += ')';
    std::string sql = "INSERT INTO " + m_table + " (" + m_columnList + ") VALUES ";
    for (int r = 0; r < rows; ++r)
        sql += (r ? ", " : "") + row;
    return sql;
}

void RowWriter::add(std::vector<Variant> values) {
    assert(values.size() == m_columns);
    for (Variant& v : values)
        m_pending.push_back(std::move(v));
    if (++m_pendingRows == m_batchRows) flush();
}

void RowWriter::flush() {
    if (m_pendingRows == 0) return;
    m_db.execute(m_pendingRows == m_batchRows ? m_fullBatch : statement(m_pendingRows), m_pending);
    m_written += m_pendingRows;
    m_pending.clear();
    m_pendingRows = 0;
}

} // namespace srv
