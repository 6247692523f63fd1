#include "server/store/Database.h"

#include "server/store/PostgresDatabase.h"
#include "server/store/SqliteDatabase.h"

namespace srv {

std::unique_ptr<Database> Database::openSqlite(const std::string& path, int busyTimeoutMs,
                                               bool syncEachCommit) {
    return std::make_unique<SqliteDatabase>(path, busyTimeoutMs, syncEachCommit);
}

void Database::forEachRow(std::string_view sql, const std::vector<Variant>& params,
                          const RowVisitor& each) {
    QueryResult result = query(sql, params);
    QueryResult columns;
    columns.columns = std::move(result.columns);
    for (auto& row : result.rows)
        each(columns, row);
}

std::unique_ptr<Database> Database::openPostgres(const std::string& url) {
    return std::make_unique<PostgresDatabase>(url);
}

} // namespace srv
