#pragma once

#include "services/data/Variant.h"

#include <string>
#include <vector>

namespace srv {

class Database;

// Inserts rows into one table, several rows per statement (a round trip per row is what makes
// a large fill slow on a networked database). The column list is given once; each add() gives
// the values in that order. Rows reach the database by batches: call flush() once the last
// row is added (the destructor does not write, since a write can fail).
class RowWriter {
public:
    RowWriter(Database& db, std::string table, std::vector<std::string> columns,
              int batchRows = 64);
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // Queues one row (asserts one value per column); writes a batch when it is full.
    void add(std::vector<Variant> values);
    // Writes the queued rows.
    void flush();
    int rowsWritten() const noexcept { return m_written; }

private:
    std::string statement(int rows) const;

    Database& m_db;
    std::string m_table;
    std::string m_columnList;
    std::size_t m_columns;
    int m_batchRows;
    std::string m_fullBatch; // the statement of a full batch, built once
    std::vector<Variant> m_pending;
    int m_pendingRows = 0;
    int m_written = 0;
};

} // namespace srv
