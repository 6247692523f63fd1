#include "SqliteBaseline.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

long readAll(sqlite3* db, const char* sql, const std::string& year, int version) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_bind_text(st, 1, year.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(st, 2, version);
    long rows = 0;
    volatile double sink = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int n = sqlite3_column_count(st);
        for (int c = 0; c < n; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                sink = sink + static_cast<double>(sqlite3_column_bytes(st, c)) +
                       static_cast<double>(sqlite3_column_text(st, c)[0]);
            else
                sink = sink + sqlite3_column_double(st, c);
        }
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

} // namespace

long readBudgetRows(const std::string& path, const std::string& year, int version) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path);
    long rows = readAll(db,
                        "SELECT * FROM ORCAMENTOFILIAL WHERE NRANOORCAOP = ? AND "
                        "CDVERSORCAOP = ? ORDER BY CDFILIAL",
                        year, version);
    rows += readAll(db,
                    "SELECT * FROM ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? "
                    "ORDER BY CDFILIAL, IDTIPOORCAOP, NRSEQITEMORCA",
                    year, version);
    sqlite3_close(db);
    return rows;
}
