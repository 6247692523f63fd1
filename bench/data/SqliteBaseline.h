#pragma once

#include "services/data/DataPacket.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

// The same work as the dataset benchmark done through SQLite in memory with prepared
// statements and an index on the filter fields, as the yardstick.
class SqliteBaseline {
public:
    SqliteBaseline();
    ~SqliteBaseline();
    SqliteBaseline(const SqliteBaseline&) = delete;
    SqliteBaseline& operator=(const SqliteBaseline&) = delete;

    // Parses the packet text and inserts its rows into a fresh indexed table.
    void load(const std::string& json);
    // Rows of one type and branch in (branch, expense) order; returns the sum of January.
    double filterWalk(const std::string& type, const std::string& branch);
    // Rowid of the first row of a branch, or -1.
    std::int64_t locate(const std::string& branch);
    // Sets January of the given rows, logging each change once with its original values.
    void edit(const std::vector<std::int64_t>& rowids, double value);
    // The logged changes as packet JSON: current rows with their originals.
    std::string delta();

private:
    sqlite3_stmt* prepare(const std::string& sql);
    void exec(const std::string& sql);

    sqlite3* m_db = nullptr;
    std::vector<FieldDef> m_fields;
    sqlite3_stmt* m_filter = nullptr;
    sqlite3_stmt* m_locate = nullptr;
};
