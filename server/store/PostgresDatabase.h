#pragma once

#include "server/store/Database.h"

#include <string>
#include <unordered_map>

struct pg_conn;
struct pg_result;

namespace srv {

// The PostgreSQL backend through libpq: statements prepared once per connection (named by a
// counter), parameters sent as untyped text so that the server infers their types as SQLite
// would, results read in text form and converted by their column type.
class PostgresDatabase final : public Database {
public:
    // Connects to `url` (a libpq connection URL); throws DatabaseError.
    explicit PostgresDatabase(const std::string& url);
    ~PostgresDatabase() override;

    Backend backend() const noexcept override { return Backend::PostgreSQL; }
    QueryResult query(std::string_view sql, const std::vector<Variant>& params) override;
    long long execute(std::string_view sql, const std::vector<Variant>& params) override;
    void executeScript(std::string_view sql) override;
    void begin(TxMode mode) override;
    void commit() override;
    void rollback() noexcept override;
    bool inTransaction() const noexcept override { return m_inTransaction; }
    bool healthy() const noexcept override;
    std::size_t cachedStatements() const noexcept override { return m_statements.size(); }

    // Rewrites `?` placeholders to $1, $2 ... (not inside quotes or comments) and counts them.
    static std::string translatePlaceholders(std::string_view sql, int& count);

private:
    struct Prepared {
        std::string name;
        int parameters = 0;
    };
    pg_result* run(std::string_view sql, const std::vector<Variant>& params);
    [[noreturn]] void fail(pg_result* result, std::string_view what) const;

    pg_conn* m_conn = nullptr;
    std::unordered_map<std::string, Prepared> m_statements;
    bool m_inTransaction = false;
    long long m_named = 0; // statements ever prepared: names are never reused
};

} // namespace srv
