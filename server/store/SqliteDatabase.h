#pragma once

#include "server/store/Database.h"

#include <string>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace srv {

// The SQLite backend: one connection through the C API, WAL journal, foreign keys on, busy
// timeout for writers, and a sync on each commit unless told otherwise (Database::openSqlite).
class SqliteDatabase final : public Database {
public:
    // Opens `path` (":memory:" for a private in-memory database); throws DatabaseError.
    SqliteDatabase(const std::string& path, int busyTimeoutMs, bool syncEachCommit);
    ~SqliteDatabase() override;

    Backend backend() const noexcept override { return Backend::SQLite; }
    QueryResult query(std::string_view sql, const std::vector<Variant>& params) override;
    void forEachRow(std::string_view sql, const std::vector<Variant>& params,
                    const RowVisitor& each) override;
    long long execute(std::string_view sql, const std::vector<Variant>& params) override;
    void executeScript(std::string_view sql) override;
    void begin(TxMode mode) override;
    void commit() override;
    void rollback() noexcept override;
    bool inTransaction() const noexcept override { return m_inTransaction; }
    bool healthy() const noexcept override { return m_db != nullptr; }
    std::size_t cachedStatements() const noexcept override { return m_statements.size(); }

private:
    sqlite3_stmt* prepare(std::string_view sql);
    static std::vector<ColumnInfo> columnsOf(sqlite3_stmt* stmt);
    void dropStatements() noexcept;
    void bind(sqlite3_stmt* stmt, const std::vector<Variant>& params);
    [[noreturn]] void fail(int code, std::string_view what) const;

    sqlite3* m_db = nullptr;
    std::unordered_map<std::string, sqlite3_stmt*> m_statements;
    bool m_inTransaction = false;
};

} // namespace srv
