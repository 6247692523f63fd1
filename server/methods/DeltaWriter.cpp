#include "server/methods/DeltaWriter.h"

#include "server/rpc/RpcError.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "services/data/BlankTrim.h"
#include "services/data/DecimalRounding.h"

#include <algorithm>
#include <cmath>

namespace srv {

namespace {

// Columns of ITEMORCAMENTO a delta may carry besides the key, with how they are treated.
struct Persisted {
    const char* name;
    bool writable;
    bool date;
};
constexpr Persisted kPersisted[] = {
    {"IDENTRSAIDOP", false, false},    {"CDTIPOOPER", false, false},
    {"CDDESPADMFAT", false, false},    {"CDDESPPREV", false, false},
    {"CDIMPOSTO", false, false},       {"DTORCAMENTOITEM", false, true},
    {"DTMESBASEITEM", true, true},     {"IDSTATUSORCA", false, false},
    {"IDITEMORCAMENTO", false, false}, {"IDITEMCALCORCA", true, false},
    {"IDALTERADO", true, false},
};

bool closedStatus(const std::string& s) {
    return s == "E" || s == "A";
}

bool sameValue(const Variant& a, const Variant& b, bool numeric) {
    if (numeric) {
        // An empty value field and an empty date read as 0, as datasets read them.
        const double x = a.isNull() ? 0.0 : a.toDouble();
        const double y = b.isNull() ? 0.0 : b.toDouble();
        return std::fabs(x - y) < 0.0005;
    }
    // A dataset may hold an empty text where the database holds null.
    return textTrimmedRight(a) == textTrimmedRight(b);
}

std::string monthName(int m) {
    return std::string(monthSuffix(m));
}

} // namespace

DeltaWriter::DeltaWriter(Database& db, std::string operatorCode, std::string year, int version,
                         bool feeRows)
    : m_db(db), m_access(db, operatorCode), m_operator(std::move(operatorCode)),
      m_year(std::move(year)), m_version(version), m_feeRows(feeRows) {}

void DeltaWriter::bindColumns(const DataPacket& delta) {
    m_branchField = delta.fieldIndex("CDFILIAL");
    m_typeField = delta.fieldIndex("IDTIPOORCAOP");
    m_seqField = delta.fieldIndex("NRSEQITEMORCA");
    m_yearField = delta.fieldIndex("NRANOORCAOP");
    m_versionField = delta.fieldIndex("CDVERSORCAOP");
    if (m_branchField < 0 || m_typeField < 0 || m_seqField < 0)
        throw RpcError("As alterações devem trazer CDFILIAL, IDTIPOORCAOP e NRSEQITEMORCA.",
                       RpcError::BadRequest);
    m_columns.clear();
    for (int m = 1; m <= 12; ++m) {
        const std::string name = monthColumn("VRORCAMENTO", m);
        const int f = delta.fieldIndex(name);
        if (f >= 0) m_columns.push_back({name, f, true, m, true, false});
    }
    for (const Persisted& p : kPersisted) {
        const int f = delta.fieldIndex(p.name);
        if (f < 0) continue;
        // The fee dataset shows the base month as a text; it is not the fee row's to change.
        if (p.date && delta.fields[static_cast<std::size_t>(f)].type != FieldType::DateTime)
            continue;
        m_columns.push_back({p.name, f, false, 0, p.writable, p.date});
    }
}

DeltaWriter::Key DeltaWriter::keyOf(const std::vector<Variant>& values) const {
    auto at = [&](int f) { return textTrimmedRight(values[static_cast<std::size_t>(f)]); };
    Key key{at(m_branchField), at(m_typeField), at(m_seqField)};
    if (m_yearField >= 0 && at(m_yearField) != m_year)
        throw RpcError("O item " + describe(key) + " não pertence ao ano " + m_year + ".",
                       RpcError::BadRequest);
    if (m_versionField >= 0) {
        const Variant& v = values[static_cast<std::size_t>(m_versionField)];
        if (v.isNull() || !v.isNumeric() || v.toDouble() != m_version)
            throw RpcError("O item " + describe(key) + " não pertence à versão " +
                               std::to_string(m_version) + ".",
                           RpcError::BadRequest);
    }
    if (key.branch.empty() || key.type.empty() || key.seq.empty())
        throw RpcError("Item sem filial, tipo ou sequência nas alterações.", RpcError::BadRequest);
    if ((key.type == "T") != m_feeRows)
        throw RpcError("O item " + describe(key) +
                           (m_feeRows ? " não é da taxa administrativa."
                                      : " da taxa administrativa deve ser gravado com o tipo T."),
                       RpcError::BadRequest);
    return key;
}

std::string DeltaWriter::describe(const Key& key) const {
    return key.seq + " (filial " + key.branch + ", tipo " + key.type + ")";
}

void DeltaWriter::checkBranch(const Key& key) {
    const VisibleBranch* b = m_access.branch(key.branch);
    if (!b)
        throw RpcError("Filial " + key.branch + " não permitida para o operador " + m_operator +
                       ".");
    if (b->calcAccess != "S")
        throw RpcError("Gerente não tem permissão para realizar o cálculo do orçamento desta "
                       "filial. (filial " +
                       key.branch + ")");
    const std::string status = headerStatus(key.branch);
    if (closedStatus(status))
        throw RpcError("O orçamento da filial " + key.branch + " está " +
                       (status == "E" ? "efetivado" : "aprovado") + " e não pode ser alterado.");
}

std::string DeltaWriter::headerStatus(const std::string& branch) {
    auto h = m_headerStatus.find(branch);
    if (h == m_headerStatus.end()) {
        Variant s = m_db.query("SELECT IDSTATUSORCA FROM ORCAMENTOFILIAL WHERE NRANOORCAOP = ? "
                               "AND CDVERSORCAOP = ? AND CDFILIAL = ?",
                               {Variant(m_year), Variant(m_version), Variant(branch)})
                        .scalar();
        h = m_headerStatus.emplace(branch, textTrimmedRight(s)).first;
    }
    return h->second;
}

bool DeltaWriter::onlyMarked(const std::vector<Variant>& original,
                             const std::vector<Variant>& now) const {
    for (const Column& c : m_columns) {
        const auto f = static_cast<std::size_t>(c.field);
        if (c.name != "IDALTERADO" && !sameValue(original[f], now[f], c.month || c.date))
            return false;
    }
    return true;
}

bool DeltaWriter::mark(const Key& key, const std::vector<Variant>& now) {
    const VisibleBranch* b = m_access.branch(key.branch);
    if (!b)
        throw RpcError("Filial " + key.branch + " não permitida para o operador " + m_operator +
                       ".");
    if (b->calcAccess != "S" || closedStatus(headerStatus(key.branch))) return false;
    const auto mark = std::find_if(m_columns.begin(), m_columns.end(),
                                   [](const Column& c) { return c.name == "IDALTERADO"; });
    if (mark == m_columns.end()) return false;
    QueryResult row = stored(key);
    if (row.empty() || closedStatus(textTrimmedRight(row.at(0, "IDSTATUSORCA"))) ||
        closedStatus(textTrimmedRight(row.at(0, "IDITEMORCAMENTO"))))
        return false;
    m_db.execute("UPDATE ITEMORCAMENTO SET IDALTERADO = ? WHERE NRANOORCAOP = ? AND "
                 "CDVERSORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ? AND NRSEQITEMORCA = ?",
                 {cell(*mark, now[static_cast<std::size_t>(mark->field)]), Variant(m_year),
                  Variant(m_version), Variant(key.branch), Variant(key.type), Variant(key.seq)});
    return true;
}

QueryResult DeltaWriter::stored(const Key& key) {
    std::string sql = "SELECT IDSTATUSORCA, IDITEMORCAMENTO";
    for (const Column& c : m_columns)
        if (c.name != "IDSTATUSORCA" && c.name != "IDITEMORCAMENTO") sql += ", " + c.name;
    for (int m = 1; m <= 12; ++m)
        sql += ", " + monthColumn("VRORCAMENTO", m) + " AS STORED" + monthName(m);
    sql += " FROM ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND "
           "IDTIPOORCAOP = ? AND NRSEQITEMORCA = ?";
    return m_db.query(sql, {Variant(m_year), Variant(m_version), Variant(key.branch),
                            Variant(key.type), Variant(key.seq)});
}

void DeltaWriter::checkOpen(const Key& key, const QueryResult& row) {
    const std::string status = textTrimmedRight(row.at(0, "IDSTATUSORCA"));
    const std::string state = textTrimmedRight(row.at(0, "IDITEMORCAMENTO"));
    if (status == "E" || state == "E")
        throw RpcError("O item " + describe(key) + " está efetivado e não pode ser alterado.");
    if (status == "A" || state == "A") throw RpcError("Item já aprovado! " + describe(key));
}

void DeltaWriter::checkOriginal(const Key& key, const std::vector<Variant>& original,
                                const QueryResult& row) const {
    for (const Column& c : m_columns) {
        const Variant& sent = original[static_cast<std::size_t>(c.field)];
        const Variant& now = row.at(0, c.name);
        if (!sameValue(sent, now, c.month || c.date))
            throw RpcError("Conflito: o item " + describe(key) +
                           " foi alterado por outro operador depois da leitura (" + c.name +
                           "). Recarregue o orçamento e refaça a alteração; nada foi gravado.");
    }
}

void DeltaWriter::checkMonths(const Key& key, const std::vector<Variant>& before,
                              const std::vector<Variant>& after) const {
    for (const Column& c : m_columns) {
        if (!c.month) continue;
        const Variant& v = after[static_cast<std::size_t>(c.field)];
        if (!v.isNull() && (!v.isNumeric() || !std::isfinite(v.toDouble()) ||
                            std::fabs(v.toDouble()) > 999999999999.0))
            throw RpcError("Valor inválido em " + c.name + " do item " + describe(key) + ".",
                           RpcError::BadRequest);
        if (!m_phase || m_phase->monthOpen[static_cast<std::size_t>(c.monthNumber - 1)]) continue;
        const Variant& old = before[static_cast<std::size_t>(c.monthNumber - 1)];
        if (!sameValue(old, v, true))
            throw RpcError("Mês " + monthName(c.monthNumber) + " fechado para a fase " +
                           m_phase->name + ": o item " + describe(key) +
                           " não pode ser alterado nesse mês.");
    }
}

Variant DeltaWriter::cell(const Column& c, const Variant& value) const {
    if (value.isNull()) return value;
    if (c.month) return Variant(roundMoney(value.toDouble()));
    if (c.date) return Variant(value.toDouble());
    std::string text = textTrimmedRight(value);
    checkLength(c.name, text);
    return Variant(std::move(text));
}

void DeltaWriter::checkLength(const std::string& column, const std::string& text) {
    const int size = Schema::textSize("ITEMORCAMENTO", column);
    // Characters, as the column counts them: UTF-8 continuation bytes do not start one.
    const auto characters = std::count_if(text.begin(), text.end(), [](char ch) {
        return (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    });
    if (size > 0 && characters > size)
        throw RpcError("Texto longo demais em " + column + ": " + std::to_string(characters) +
                           " caracteres, o máximo é " + std::to_string(size) +
                           ". Nada foi gravado.",
                       RpcError::BadRequest);
}

std::vector<Variant> DeltaWriter::storedMonths(const Key& key, const std::vector<Variant>& original,
                                               const char* goneWording) {
    checkBranch(key);
    QueryResult row = stored(key);
    if (row.empty())
        throw RpcError("Conflito: o item " + describe(key) + " " + goneWording +
                       " por outro operador. Recarregue o orçamento; nada foi gravado.");
    checkOpen(key, row);
    checkOriginal(key, original, row);
    std::vector<Variant> before;
    for (int m = 1; m <= 12; ++m)
        before.push_back(row.at(0, "STORED" + monthName(m)));
    return before;
}

bool DeltaWriter::modify(const Key& key, const std::vector<Variant>& original,
                         const std::vector<Variant>& now) {
    const Key sentKey = keyOf(original);
    if (sentKey.seq != key.seq || sentKey.branch != key.branch || sentKey.type != key.type)
        throw RpcError("A chave do item " + describe(key) + " não pode ser alterada.",
                       RpcError::BadRequest);
    if (onlyMarked(original, now)) return mark(key, now);
    const std::vector<Variant> before = storedMonths(key, original, "foi excluído");
    checkMonths(key, before, now);

    std::string sql = "UPDATE ITEMORCAMENTO SET ";
    std::vector<Variant> params;
    for (const Column& c : m_columns) {
        if (!c.writable) continue;
        sql += (params.empty() ? "" : ", ") + c.name + " = ?";
        params.push_back(cell(c, now[static_cast<std::size_t>(c.field)]));
    }
    if (params.empty()) return false;
    sql += " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ? "
           "AND NRSEQITEMORCA = ?";
    for (const auto& v : {Variant(m_year), Variant(m_version), Variant(key.branch),
                          Variant(key.type), Variant(key.seq)})
        params.push_back(v);
    m_db.execute(sql, params);
    return true;
}

void DeltaWriter::insert(const Key& key, const std::vector<Variant>& now) {
    checkBranch(key);
    if (!stored(key).empty())
        throw RpcError("Conflito: o item " + describe(key) +
                       " já foi incluído por outro operador. Recarregue o orçamento; nada foi "
                       "gravado.");
    for (const Column& c : m_columns)
        if ((c.name == "IDSTATUSORCA" || c.name == "IDITEMORCAMENTO") &&
            closedStatus(textTrimmedRight(now[static_cast<std::size_t>(c.field)])))
            throw RpcError("O item " + describe(key) +
                           " não pode ser incluído já efetivado ou aprovado.");
    checkMonths(key, std::vector<Variant>(12), now);

    checkLength("CDFILIAL", key.branch);
    checkLength("IDTIPOORCAOP", key.type);
    checkLength("NRSEQITEMORCA", key.seq);
    std::string sql = "INSERT INTO ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                      "IDTIPOORCAOP, NRSEQITEMORCA";
    std::string marks = "?, ?, ?, ?, ?";
    std::vector<Variant> params{Variant(m_year), Variant(m_version), Variant(key.branch),
                                Variant(key.type), Variant(key.seq)};
    for (const Column& c : m_columns) {
        sql += ", " + c.name;
        marks += ", ?";
        params.push_back(cell(c, now[static_cast<std::size_t>(c.field)]));
    }
    m_db.execute(sql + ") VALUES (" + marks + ")", params);
}

void DeltaWriter::remove(const Key& key, const std::vector<Variant>& original) {
    const std::vector<Variant> before = storedMonths(key, original, "já foi excluído");
    std::vector<Variant> cleared(original.size());
    checkMonths(key, before, cleared);
    m_db.execute("DELETE FROM ITEMORCAMENTO WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND "
                 "CDFILIAL = ? AND IDTIPOORCAOP = ? AND NRSEQITEMORCA = ?",
                 {Variant(m_year), Variant(m_version), Variant(key.branch), Variant(key.type),
                  Variant(key.seq)});
}

int DeltaWriter::apply(const DataPacket& delta) {
    if (!m_access.versionExists(m_year, m_version))
        throw RpcError("Versão " + std::to_string(m_version) + " do ano " + m_year +
                       " não cadastrada.");
    const std::optional<int> latest = m_access.latestVersion(m_year);
    if (latest && *latest != m_version)
        throw RpcError("Somente a última versão do ano " + m_year + " (" + std::to_string(*latest) +
                       ") pode ser alterada.");
    m_phase = m_access.phase(m_year);
    if (m_phase && !m_phase->calculationAllowed)
        throw RpcError("Atenção! Fase " + m_phase->name +
                       " não habilitada para cálculo do orçamento.");
    bindColumns(delta);

    int written = 0;
    for (const RowChange& change : delta.changes) {
        const bool hasRow =
            change.row >= 0 && static_cast<std::size_t>(change.row) < delta.rows.size();
        const bool hasOriginal = change.original.size() == delta.fields.size();
        switch (change.kind) {
        case UpdateKind::Modified: {
            if (!hasRow || !hasOriginal)
                throw RpcError("Alteração mal formada nas alterações enviadas.",
                               RpcError::BadRequest);
            const auto& now = delta.rows[static_cast<std::size_t>(change.row)];
            if (!modify(keyOf(now), change.original, now)) continue;
            break;
        }
        case UpdateKind::Inserted: {
            if (!hasRow)
                throw RpcError("Inclusão mal formada nas alterações enviadas.",
                               RpcError::BadRequest);
            const auto& now = delta.rows[static_cast<std::size_t>(change.row)];
            insert(keyOf(now), now);
            break;
        }
        case UpdateKind::Deleted:
            if (!hasOriginal)
                throw RpcError("Exclusão mal formada nas alterações enviadas.",
                               RpcError::BadRequest);
            remove(keyOf(change.original), change.original);
            break;
        }
        ++written;
    }
    return written;
}

} // namespace srv
