#pragma once

#include "server/store/QueryResult.h"
#include "services/data/Variant.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace srv {

// One connection to the company database, SQLite or PostgreSQL, with one SQL dialect:
//  - placeholders are `?` (rewritten to $1, $2 ... for PostgreSQL; a `?` inside a quoted
//    literal is left alone);
//  - use portable types: VARCHAR(n), INTEGER, DOUBLE PRECISION; no backend-only functions;
//    where the two must differ, branch on backend();
//  - a one-column integer key is declared INT, never INTEGER: SQLite makes "INTEGER PRIMARY
//    KEY" an alias of its row number, which fills in NULLs that PostgreSQL refuses;
//  - the schema makes both refuse a text longer than its VARCHAR(n) (Constraint), but a text
//    that is not a number, bound for a numeric column, is stored by SQLite and refused by
//    PostgreSQL: check argument kinds before binding them;
//  - PostgreSQL receives every parameter untyped and infers its type from the context, as
//    SQLite does; where nothing fixes it (`SELECT ? + 1`, `? IS NULL`) write CAST(? AS ...).
// Parameters: Null, Boolean (stored as 1/0), Integer, Double, Text and DateTime (stored as its
// day number, a Double). Packets and arrays are refused with DatabaseError(Misuse).
// Statements are prepared once per connection and cached by their text (at most
// kStatementCache of them: build texts with placeholders, never with values in them).
// A Database belongs to one thread at a time; Store hands them out.
class Database {
public:
    enum class Backend { SQLite, PostgreSQL };
    // How a transaction starts. Write takes the write lock at once on SQLite (so that two
    // writers queue on the busy timeout instead of failing on lock upgrade) and runs
    // SERIALIZABLE on PostgreSQL; Read is a consistent snapshot for reads.
    enum class TxMode { Write, Read };

    virtual ~Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens a SQLite database file (created when missing) in WAL mode, or ":memory:". With
    // syncEachCommit a commit returns once it is on disk (survives a power cut); without, once
    // the operating system has it (survives a killed process, not a power cut), much faster.
    static std::unique_ptr<Database> openSqlite(const std::string& path, int busyTimeoutMs,
                                                bool syncEachCommit = true);
    // Opens a PostgreSQL connection from a libpq URL (postgresql://user@host:port/db).
    static std::unique_ptr<Database> openPostgres(const std::string& url);

    virtual Backend backend() const noexcept = 0;

    // Runs a statement that returns rows.
    virtual QueryResult query(std::string_view sql, const std::vector<Variant>& params = {}) = 0;
    // Runs a statement that returns rows and hands them to `each` one at a time instead of
    // keeping them all: `columns` holds the columns and no rows, `row` the cells (which `each`
    // may move from). A large read then never holds the rows twice. `each` must not use this
    // connection.
    using RowVisitor = std::function<void(const QueryResult& columns, std::vector<Variant>& row)>;
    virtual void forEachRow(std::string_view sql, const std::vector<Variant>& params,
                            const RowVisitor& each);
    // Runs a statement that changes rows; returns how many it changed.
    virtual long long execute(std::string_view sql, const std::vector<Variant>& params = {}) = 0;
    // Runs several ';'-separated statements without parameters (schema scripts).
    virtual void executeScript(std::string_view sql) = 0;

    // Transaction control. begin inside a transaction and commit/rollback outside one are
    // DatabaseError(Misuse). rollback never throws: it is what the error paths call.
    virtual void begin(TxMode mode = TxMode::Write) = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
    virtual bool inTransaction() const noexcept = 0;

    // False when the connection is broken and must not go back to a pool.
    virtual bool healthy() const noexcept = 0;
    // How many prepared statements the connection keeps (diagnostics and tests).
    virtual std::size_t cachedStatements() const noexcept = 0;

    static constexpr std::size_t kStatementCache = 256;

protected:
    Database() = default;
};

} // namespace srv
