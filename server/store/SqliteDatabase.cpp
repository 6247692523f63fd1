#include "server/store/SqliteDatabase.h"

#include "server/store/ColumnNames.h"
#include "server/store/DatabaseError.h"
#include "services/data/Int32Range.h"

#include <limits>
#include <sqlite3.h>

namespace srv {

namespace {

DatabaseError::Kind kindOf(int code) {
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return DatabaseError::Kind::Busy;
    case SQLITE_CONSTRAINT:
        return DatabaseError::Kind::Constraint;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_READONLY:
        return DatabaseError::Kind::Connection;
    case SQLITE_MISUSE:
        return DatabaseError::Kind::Misuse;
    default:
        return DatabaseError::Kind::Sql;
    }
}

// Resets a statement on every way out of a call so that it never holds a read lock.
class StatementReset {
public:
    explicit StatementReset(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~StatementReset() {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

Variant columnValue(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: {
        const sqlite3_int64 v = sqlite3_column_int64(stmt, column);
        if (inInt32Range(v)) return Variant(static_cast<int>(v));
        return Variant(static_cast<double>(v));
    }
    case SQLITE_FLOAT:
        return Variant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
        return {};
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        const int bytes = sqlite3_column_bytes(stmt, column);
        return Variant(std::string_view(text ? text : "", static_cast<std::size_t>(bytes)));
    }
    }
}

} // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, int busyTimeoutMs, bool syncEachCommit) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DatabaseError(DatabaseError::Kind::Connection,
                            "cannot open database " + path + ": " + message);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
    try {
        // WAL lets readers run beside the writer. In WAL mode both sync levels keep every
        // acknowledged commit when the process is killed; FULL also through a power cut.
        executeScript(std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=") +
                      (syncEachCommit ? "FULL" : "NORMAL") + "; PRAGMA foreign_keys=ON;");
        // A whole budget is read at once: keep pages in memory rather than re-reading them
        // from the file on every load.
        executeScript("PRAGMA cache_size=-32768;");
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

SqliteDatabase::~SqliteDatabase() {
    dropStatements();
    if (m_inTransaction) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
}

void SqliteDatabase::fail(int code, std::string_view what) const {
    std::string message(what);
    message += ": ";
    message += sqlite3_errmsg(m_db);
    throw DatabaseError(kindOf(code), message);
}

void SqliteDatabase::dropStatements() noexcept {
    for (auto& [sql, stmt] : m_statements)
        sqlite3_finalize(stmt);
    m_statements.clear();
}

sqlite3_stmt* SqliteDatabase::prepare(std::string_view sql) {
    auto found = m_statements.find(std::string(sql));
    if (found != m_statements.end()) return found->second;
    // Every cached statement is reset after use, so none is running: all can go at once.
    if (m_statements.size() >= kStatementCache) dropStatements();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, sql.data(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    if (rc != SQLITE_OK) fail(rc, "cannot prepare \"" + std::string(sql) + "\"");
    if (stmt == nullptr) throw DatabaseError(DatabaseError::Kind::Misuse, "empty statement");
    m_statements.emplace(std::string(sql), stmt);
    return stmt;
}

void SqliteDatabase::bind(sqlite3_stmt* stmt, const std::vector<Variant>& params) {
    const int expected = sqlite3_bind_parameter_count(stmt);
    if (expected != static_cast<int>(params.size()))
        throw DatabaseError(DatabaseError::Kind::Misuse,
                            "statement takes " + std::to_string(expected) + " parameters, " +
                                std::to_string(params.size()) + " given");
    for (int i = 0; i < expected; ++i) {
        const Variant& p = params[static_cast<std::size_t>(i)];
        int rc = SQLITE_OK;
        switch (p.type()) {
        case VarType::Null:
            rc = sqlite3_bind_null(stmt, i + 1);
            break;
        case VarType::Boolean:
            rc = sqlite3_bind_int(stmt, i + 1, p.toBool() ? 1 : 0);
            break;
        case VarType::Integer:
            rc = sqlite3_bind_int(stmt, i + 1, p.toInt());
            break;
        case VarType::Double:
        case VarType::DateTime:
            rc = sqlite3_bind_double(stmt, i + 1, p.toDouble());
            break;
        case VarType::Text: {
            const std::string_view text = p.textView();
            // The parameters outlive the statement's run (reset before returning).
            rc = sqlite3_bind_text(stmt, i + 1, text.data(), static_cast<int>(text.size()),
                                   SQLITE_STATIC);
            break;
        }
        case VarType::Packet:
        case VarType::Array:
            throw DatabaseError(DatabaseError::Kind::Misuse,
                                "parameter " + std::to_string(i + 1) +
                                    " is a packet or an array, which a column cannot hold");
        }
        if (rc != SQLITE_OK) fail(rc, "cannot bind parameter " + std::to_string(i + 1));
    }
}

QueryResult SqliteDatabase::query(std::string_view sql, const std::vector<Variant>& params) {
    QueryResult result;
    forEachRow(sql, params, [&](const QueryResult& columns, std::vector<Variant>& row) {
        if (result.columns.empty()) result.columns = columns.columns;
        result.rows.push_back(std::move(row));
    });
    if (result.columns.empty()) result.columns = columnsOf(prepare(sql));
    return result;
}

std::vector<ColumnInfo> SqliteDatabase::columnsOf(sqlite3_stmt* stmt) {
    std::vector<ColumnInfo> out;
    const int columns = sqlite3_column_count(stmt);
    out.reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const char* declared = sqlite3_column_decltype(stmt, c);
        out.push_back(ColumnNames::fromDeclaredType(
            ColumnNames::normalise(sqlite3_column_name(stmt, c)), declared ? declared : ""));
    }
    return out;
}

void SqliteDatabase::forEachRow(std::string_view sql, const std::vector<Variant>& params,
                                const RowVisitor& each) {
    sqlite3_stmt* stmt = prepare(sql);
    StatementReset reset(stmt);
    bind(stmt, params);
    QueryResult header;
    header.columns = columnsOf(stmt);
    const int columns = sqlite3_column_count(stmt);
    std::vector<Variant> row;
    for (;;) {
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) fail(rc, "query failed");
        row.clear();
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(columnValue(stmt, c));
        each(header, row);
    }
}

long long SqliteDatabase::execute(std::string_view sql, const std::vector<Variant>& params) {
    sqlite3_stmt* stmt = prepare(sql);
    StatementReset reset(stmt);
    bind(stmt, params);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) fail(rc, "statement failed");
    return sqlite3_changes64(m_db);
}

void SqliteDatabase::executeScript(std::string_view sql) {
    const std::string text(sql);
    char* error = nullptr;
    const int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw DatabaseError(kindOf(rc), "script failed: " + message);
    }
}

void SqliteDatabase::begin(TxMode mode) {
    if (m_inTransaction)
        throw DatabaseError(DatabaseError::Kind::Misuse, "a transaction is already open");
    // IMMEDIATE takes the write lock now: a writer that waits does so on the busy timeout,
    // instead of failing later when a read lock cannot be upgraded.
    executeScript(mode == TxMode::Write ? "BEGIN IMMEDIATE" : "BEGIN DEFERRED");
    m_inTransaction = true;
}

void SqliteDatabase::commit() {
    if (!m_inTransaction)
        throw DatabaseError(DatabaseError::Kind::Misuse, "commit without a transaction");
    try {
        executeScript("COMMIT");
    } catch (...) {
        rollback();
        throw;
    }
    m_inTransaction = false;
}

void SqliteDatabase::rollback() noexcept {
    if (!m_inTransaction) return;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_inTransaction = false;
}

} // namespace srv
