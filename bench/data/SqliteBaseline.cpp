#include "SqliteBaseline.h"

#include "services/data/JsonWriter.h"

#include <stdexcept>

SqliteBaseline::SqliteBaseline() {
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK)
        throw std::runtime_error("sqlite open failed");
}

SqliteBaseline::~SqliteBaseline() {
    sqlite3_finalize(m_filter);
    sqlite3_finalize(m_locate);
    sqlite3_close(m_db);
}

sqlite3_stmt* SqliteBaseline::prepare(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(m_db) + " in " + sql);
    return st;
}

void SqliteBaseline::exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string msg = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error("sqlite: " + msg);
    }
}

void SqliteBaseline::load(const std::string& json) {
    DataPacket p = DataPacket::fromJson(json);
    m_fields = p.fields;
    std::string create = "CREATE TABLE T(", insert = "INSERT INTO T VALUES(";
    for (std::size_t i = 0; i < p.fields.size(); ++i) {
        create += (i ? "," : "") + p.fields[i].name +
                  (p.fields[i].type == FieldType::String ? " TEXT" : " REAL");
        insert += i ? ",?" : "?";
    }
    exec(create + ")");
    // The change log keeps each changed row's original values, as the dataset does.
    exec("CREATE TABLE CHG AS SELECT rowid AS ID, * FROM T WHERE 0");
    exec("CREATE UNIQUE INDEX CHG_ID ON CHG(ID)");
    exec("BEGIN");
    sqlite3_stmt* ins = prepare(insert + ")");
    for (const auto& row : p.rows) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            const Variant& v = row[i];
            const int at = static_cast<int>(i) + 1;
            if (v.isNull())
                sqlite3_bind_null(ins, at);
            else if (v.type() == VarType::Text)
                sqlite3_bind_text(ins, at, v.textView().data(),
                                  static_cast<int>(v.textView().size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_double(ins, at, v.toDouble());
        }
        sqlite3_step(ins);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    exec("COMMIT");
    exec("CREATE INDEX T_FIL ON T(CDFILIAL, IDTIPOORCAOP, CDDESPPREV)");
    m_filter = prepare("SELECT VRORCAMENTOJAN FROM T WHERE IDTIPOORCAOP = ? AND CDFILIAL = ? "
                       "ORDER BY CDFILIAL, CDDESPPREV");
    m_locate = prepare("SELECT rowid FROM T WHERE CDFILIAL = ? ORDER BY rowid LIMIT 1");
}

double SqliteBaseline::filterWalk(const std::string& type, const std::string& branch) {
    sqlite3_bind_text(m_filter, 1, type.data(), static_cast<int>(type.size()), SQLITE_STATIC);
    sqlite3_bind_text(m_filter, 2, branch.data(), static_cast<int>(branch.size()), SQLITE_STATIC);
    double sum = 0;
    while (sqlite3_step(m_filter) == SQLITE_ROW)
        sum += sqlite3_column_double(m_filter, 0);
    sqlite3_reset(m_filter);
    return sum;
}

std::int64_t SqliteBaseline::locate(const std::string& branch) {
    sqlite3_bind_text(m_locate, 1, branch.data(), static_cast<int>(branch.size()), SQLITE_STATIC);
    std::int64_t id = -1;
    if (sqlite3_step(m_locate) == SQLITE_ROW) id = sqlite3_column_int64(m_locate, 0);
    sqlite3_reset(m_locate);
    return id;
}

void SqliteBaseline::edit(const std::vector<std::int64_t>& rowids, double value) {
    sqlite3_stmt* log = prepare("INSERT OR IGNORE INTO CHG SELECT rowid, * FROM T WHERE rowid = ?");
    sqlite3_stmt* upd = prepare("UPDATE T SET VRORCAMENTOJAN = ? WHERE rowid = ?");
    exec("BEGIN");
    for (std::int64_t id : rowids) {
        sqlite3_bind_int64(log, 1, id);
        sqlite3_step(log);
        sqlite3_reset(log);
        sqlite3_bind_double(upd, 1, value);
        sqlite3_bind_int64(upd, 2, id);
        sqlite3_step(upd);
        sqlite3_reset(upd);
    }
    exec("COMMIT");
    sqlite3_finalize(log);
    sqlite3_finalize(upd);
}

std::string SqliteBaseline::delta() {
    sqlite3_stmt* st =
        prepare("SELECT T.*, CHG.* FROM CHG JOIN T ON T.rowid = CHG.ID ORDER BY CHG.ID");
    std::string out;
    JsonWriter w(out);
    w.beginObject().key("fields").beginArray();
    for (const auto& f : m_fields)
        w.beginObject()
            .key("name")
            .string(f.name)
            .key("type")
            .string(DataPacket::typeName(f.type))
            .endObject();
    w.endArray().key("rows").beginArray();
    const int n = static_cast<int>(m_fields.size());
    std::vector<std::string> originals;
    auto cell = [&](JsonWriter& to, int i) {
        switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL:
            to.null();
            break;
        case SQLITE_TEXT:
            to.string(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
            break;
        default:
            to.number(sqlite3_column_double(st, i));
            break;
        }
    };
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::string orig;
        JsonWriter ow(orig);
        ow.beginArray();
        for (int i = 0; i < n; ++i)
            cell(ow, n + 1 + i);
        ow.endArray();
        originals.push_back(std::move(orig));
        w.beginArray();
        for (int i = 0; i < n; ++i)
            cell(w, i);
        w.endArray();
    }
    w.endArray().key("changes").beginArray();
    for (std::size_t r = 0; r < originals.size(); ++r)
        w.beginObject()
            .key("kind")
            .string("modified")
            .key("row")
            .integer(static_cast<std::int64_t>(r))
            .key("original")
            .raw(originals[r])
            .endObject();
    w.endArray().endObject();
    sqlite3_finalize(st);
    return out;
}
