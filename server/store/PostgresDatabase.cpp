#include "server/store/PostgresDatabase.h"

#include "server/store/ColumnNames.h"
#include "server/store/DatabaseError.h"
#include "services/data/Int32Range.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <libpq-fe.h>
#include <limits>
#include <memory>

namespace srv {

namespace {

// Type identifiers of the built-in types we convert (pg_type.oid, stable across versions).
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700, kBpchar = 1042, kVarchar = 1043, kText = 25;

struct ResultFree {
    void operator()(PGresult* r) const noexcept { PQclear(r); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultFree>;

DatabaseError::Kind kindOf(const char* state) {
    if (state == nullptr) return DatabaseError::Kind::Connection;
    const std::string_view s(state);
    if (s == "40001" || s == "40P01") return DatabaseError::Kind::Conflict;
    // 22001: a text longer than its column, refused like the length check SQLite runs.
    if (s.starts_with("23") || s == "22001") return DatabaseError::Kind::Constraint;
    if (s.starts_with("08") || s.starts_with("57P")) return DatabaseError::Kind::Connection;
    if (s == "55P03") return DatabaseError::Kind::Busy;
    return DatabaseError::Kind::Sql;
}

std::string formatDouble(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// The server's float and numeric texts ("1234.5", "1e+300", "Infinity", "NaN"), read the same
// under any process locale.
double readDouble(std::string_view text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        throw DatabaseError(DatabaseError::Kind::Sql,
                            "the server sent '" + std::string(text) + "' for a number");
    return value;
}

Variant cellValue(const PGresult* result, int row, int column, Oid type) {
    if (PQgetisnull(result, row, column)) return {};
    const char* text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (type) {
    case kBool:
        return Variant(text[0] == 't');
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid: {
        long long v = 0;
        std::from_chars(text, text + length, v);
        if (inInt32Range(v)) return Variant(static_cast<int>(v));
        return Variant(static_cast<double>(v));
    }
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return Variant(readDouble(std::string_view(text, static_cast<std::size_t>(length))));
    default:
        return Variant(std::string_view(text, static_cast<std::size_t>(length)));
    }
}

ColumnInfo columnInfo(const PGresult* result, int column) {
    ColumnInfo info;
    info.name = ColumnNames::normalise(PQfname(result, column));
    switch (PQftype(result, column)) {
    case kBpchar:
    case kVarchar: {
        info.kind = ColumnInfo::Kind::Text;
        const int mod = PQfmod(result, column);
        info.size = mod > 4 ? mod - 4 : 0; // the type modifier counts a 4-byte header
        break;
    }
    case kText:
        info.kind = ColumnInfo::Kind::Text;
        break;
    case kBool:
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        info.kind = ColumnInfo::Kind::Integer;
        break;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        info.kind = ColumnInfo::Kind::Double;
        break;
    default:
        break;
    }
    return info;
}

void ignoreNotice(void*, const char*) {}

} // namespace

PostgresDatabase::PostgresDatabase(const std::string& url) {
    m_conn = PQconnectdb(url.c_str());
    if (m_conn == nullptr || PQstatus(m_conn) != CONNECTION_OK) {
        const std::string message = m_conn ? PQerrorMessage(m_conn) : "out of memory";
        PQfinish(m_conn);
        m_conn = nullptr;
        throw DatabaseError(DatabaseError::Kind::Connection,
                            "cannot connect to PostgreSQL: " + message);
    }
    // Notices ("table already exists, skipping") are not failures; keep stderr for the log.
    PQsetNoticeProcessor(m_conn, ignoreNotice, nullptr);
    executeScript("SET client_encoding = 'UTF8'");
}

PostgresDatabase::~PostgresDatabase() {
    PQfinish(m_conn);
}

bool PostgresDatabase::healthy() const noexcept {
    return m_conn != nullptr && PQstatus(m_conn) == CONNECTION_OK;
}

void PostgresDatabase::fail(PGresult* result, std::string_view what) const {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    std::string message(what);
    message += ": ";
    const char* detail = result ? PQresultErrorMessage(result) : nullptr;
    message += (detail && *detail) ? detail : PQerrorMessage(m_conn);
    while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
        message.pop_back();
    const DatabaseError::Kind kind =
        PQstatus(m_conn) != CONNECTION_OK ? DatabaseError::Kind::Connection : kindOf(state);
    PQclear(result);
    throw DatabaseError(kind, message);
}

std::string PostgresDatabase::translatePlaceholders(std::string_view sql, int& count) {
    std::string out;
    out.reserve(sql.size() + 16);
    count = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // Copy the quoted text whole; a doubled quote inside it is part of the text.
            const std::size_t close = sql.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? sql.size() : close + 1;
            out.append(sql.substr(i, end - i));
            i = end - 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const std::size_t newline = sql.find('\n', i);
            const std::size_t end = newline == std::string_view::npos ? sql.size() : newline;
            out.append(sql.substr(i, end - i));
            i = end - 1;
        } else if (c == '?') {
            out += '$';
            out += std::to_string(++count);
        } else {
            out += c;
        }
    }
    return out;
}

PGresult* PostgresDatabase::run(std::string_view sql, const std::vector<Variant>& params) {
    std::string key(sql);
    auto found = m_statements.find(key);
    if (found == m_statements.end()) {
        if (m_statements.size() >= kStatementCache) {
            // DEALLOCATE is not transactional and works in any transaction state but a
            // failed one, where the PREPARE below would fail all the same.
            PQclear(PQexec(m_conn, "DEALLOCATE ALL"));
            m_statements.clear();
        }
        Prepared prepared;
        const std::string text = translatePlaceholders(sql, prepared.parameters);
        prepared.name = "fyn_" + std::to_string(++m_named);
        PGresult* made =
            PQprepare(m_conn, prepared.name.c_str(), text.c_str(), prepared.parameters, nullptr);
        if (PQresultStatus(made) != PGRES_COMMAND_OK) fail(made, "cannot prepare \"" + key + "\"");
        PQclear(made);
        found = m_statements.emplace(std::move(key), std::move(prepared)).first;
    }
    const Prepared& prepared = found->second;
    if (prepared.parameters != static_cast<int>(params.size()))
        throw DatabaseError(DatabaseError::Kind::Misuse,
                            "statement takes " + std::to_string(prepared.parameters) +
                                " parameters, " + std::to_string(params.size()) + " given");

    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size(), nullptr);
    for (std::size_t i = 0; i < params.size(); ++i) {
        const Variant& p = params[i];
        switch (p.type()) {
        case VarType::Null:
            continue;
        case VarType::Boolean:
            texts[i] = p.toBool() ? "1" : "0";
            break;
        case VarType::Integer:
            texts[i] = std::to_string(p.toInt());
            break;
        case VarType::Double:
        case VarType::DateTime:
            texts[i] = formatDouble(p.toDouble());
            break;
        case VarType::Text:
            texts[i] = p.toText();
            break;
        case VarType::Packet:
        case VarType::Array:
            throw DatabaseError(DatabaseError::Kind::Misuse,
                                "parameter " + std::to_string(i + 1) +
                                    " is a packet or an array, which a column cannot hold");
        }
        values[i] = texts[i].c_str();
    }
    PGresult* result =
        PQexecPrepared(m_conn, prepared.name.c_str(), static_cast<int>(params.size()),
                       values.data(), nullptr, nullptr, 0);
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) fail(result, "statement failed");
    return result;
}

QueryResult PostgresDatabase::query(std::string_view sql, const std::vector<Variant>& params) {
    ResultPtr result(run(sql, params));
    QueryResult out;
    const int columns = PQnfields(result.get());
    const int rows = PQntuples(result.get());
    std::vector<Oid> types(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        out.columns.push_back(columnInfo(result.get(), c));
        types[static_cast<std::size_t>(c)] = PQftype(result.get(), c);
    }
    out.rows.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        std::vector<Variant> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row.push_back(cellValue(result.get(), r, c, types[static_cast<std::size_t>(c)]));
        out.rows.push_back(std::move(row));
    }
    return out;
}

long long PostgresDatabase::execute(std::string_view sql, const std::vector<Variant>& params) {
    ResultPtr result(run(sql, params));
    const char* tuples = PQcmdTuples(result.get());
    return (tuples && *tuples) ? std::atoll(tuples) : 0;
}

void PostgresDatabase::executeScript(std::string_view sql) {
    const std::string text(sql);
    PGresult* result = PQexec(m_conn, text.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(result, "script failed");
    PQclear(result);
}

void PostgresDatabase::begin(TxMode mode) {
    if (m_inTransaction)
        throw DatabaseError(DatabaseError::Kind::Misuse, "a transaction is already open");
    // SERIALIZABLE gives writers the outcome SQLite's single writer gives; the Store runs a
    // transaction again when the server reports a serialization conflict.
    executeScript(mode == TxMode::Write ? "BEGIN ISOLATION LEVEL SERIALIZABLE"
                                        : "BEGIN ISOLATION LEVEL REPEATABLE READ");
    m_inTransaction = true;
}

void PostgresDatabase::commit() {
    if (!m_inTransaction)
        throw DatabaseError(DatabaseError::Kind::Misuse, "commit without a transaction");
    PGresult* result = PQexec(m_conn, "COMMIT");
    m_inTransaction = false;
    if (PQresultStatus(result) != PGRES_COMMAND_OK) {
        PQclear(PQexec(m_conn, "ROLLBACK"));
        fail(result, "commit failed");
    }
    // COMMIT of a transaction that already failed answers "ROLLBACK": nothing was written.
    const bool rolledBack = std::strcmp(PQcmdStatus(result), "ROLLBACK") == 0;
    PQclear(result);
    if (rolledBack)
        throw DatabaseError(DatabaseError::Kind::Sql,
                            "commit refused: an earlier statement of the transaction failed");
}

void PostgresDatabase::rollback() noexcept {
    if (!m_inTransaction) return;
    m_inTransaction = false;
    PQclear(PQexec(m_conn, "ROLLBACK"));
}

} // namespace srv
