#include "server/methods/BudgetAccess.h"

#include "server/rpc/RpcError.h"
#include "server/store/Database.h"
#include "server/store/InList.h"
#include "server/store/Schema.h"

#include <cctype>

namespace srv {

BudgetAccess::BudgetAccess(Database& db, std::string operatorCode)
    : m_db(db), m_operator(std::move(operatorCode)) {}

namespace {

constexpr const char* kBranchSql =
    "SELECT f.CDFILIAL, f.NMFILIAL, f.CDREGIAO, f.CDSEGMER, f.IDCALCOMESTORC, o.IDACESSOCALC, "
    "o.IDACESSOAPROV FROM FILIAL f JOIN OPERADORFILIAL o ON o.CDFILIAL = f.CDFILIAL "
    "WHERE o.CDOPERADOR = ?";

VisibleBranch branchOf(const std::vector<Variant>& row) {
    return {row[0].toText(), row[1].toText(), row[2].toText(), row[3].toText(),
            row[4].toText(), row[5].toText(), row[6].toText()};
}

} // namespace

const std::map<std::string, VisibleBranch>& BudgetAccess::branches() {
    if (m_branches) return *m_branches;
    QueryResult r = m_db.query(kBranchSql, {Variant(m_operator)});
    m_branches.emplace();
    for (const auto& row : r.rows) {
        VisibleBranch b = branchOf(row);
        m_branches->emplace(b.code, std::move(b));
    }
    return *m_branches;
}

const VisibleBranch* BudgetAccess::branch(const std::string& code) {
    if (m_branches) {
        auto it = m_branches->find(code);
        return it == m_branches->end() ? nullptr : &it->second;
    }
    auto it = m_single.find(code);
    if (it == m_single.end()) {
        QueryResult r = m_db.query(std::string(kBranchSql) + " AND o.CDFILIAL = ?",
                                   {Variant(m_operator), Variant(code)});
        std::optional<VisibleBranch> found;
        if (!r.empty()) found = branchOf(r.rows[0]);
        it = m_single.emplace(code, std::move(found)).first;
    }
    return it->second ? &*it->second : nullptr;
}

std::map<std::string, VisibleBranch> BudgetAccess::select(const CodeList& branchList,
                                                          const CodeList& groups,
                                                          const CodeList& regions,
                                                          const CodeList& segments) {
    std::map<std::string, std::set<std::string>> groupsOf;
    if (!groups.all()) {
        QueryResult g = m_db.query(
            "SELECT g.CDFILIAL, g.CDGRUPFILI FROM FILIALGRUPO g JOIN OPERADORFILIAL o ON "
            "o.CDFILIAL = g.CDFILIAL WHERE o.CDOPERADOR = ?",
            {Variant(m_operator)});
        for (const auto& row : g.rows)
            groupsOf[row[0].toText()].insert(row[1].toText());
    }
    // A short explicit list reads only its own branches.
    std::map<std::string, VisibleBranch> listed;
    if (!branchList.all() && !m_branches && branchList.codes().size() <= 500) {
        std::vector<Variant> params{Variant(m_operator)};
        const std::string sql =
            std::string(kBranchSql) + " AND o.CDFILIAL" + inList(branchList.codes(), params);
        for (const auto& row : m_db.query(sql, params).rows) {
            VisibleBranch b = branchOf(row);
            listed.emplace(b.code, std::move(b));
        }
    }
    const auto& candidates =
        branchList.all() || m_branches || branchList.codes().size() > 500 ? branches() : listed;
    std::map<std::string, VisibleBranch> out;
    for (const auto& [code, b] : candidates) {
        if (!branchList.contains(code) || !regions.contains(b.region) ||
            !segments.contains(b.segment))
            continue;
        if (!groups.all()) {
            bool inGroup = false;
            for (const std::string& grp : groupsOf[code])
                inGroup = inGroup || groups.contains(grp);
            if (!inGroup) continue;
        }
        out.emplace(code, b);
    }
    return out;
}

std::optional<OperatorPhase> BudgetAccess::phase(const std::string& year) {
    std::string sql = "SELECT f.NMFASEORCOPERAC, f.IDFASECALCORCA";
    for (int m = 1; m <= 12; ++m)
        sql += ", f." + monthColumn("IDPERMCALC", m);
    sql += " FROM OPERADORFASE o JOIN FASEORCOPERAC f ON f.CDFASEORCOPERAC = o.CDFASEORCOPERAC "
           "WHERE o.NRANOORCAOP = ? AND o.CDOPERADOR = ?";
    QueryResult r = m_db.query(sql, {Variant(year), Variant(m_operator)});
    if (r.empty()) return std::nullopt;
    OperatorPhase p;
    p.name = r.rows[0][0].toText();
    p.calculationAllowed = r.rows[0][1].toText() != "N";
    for (std::size_t m = 0; m < 12; ++m)
        p.monthOpen[m] = r.rows[0][2 + m].toText() != "N";
    return p;
}

std::optional<int> BudgetAccess::latestVersion(const std::string& year) {
    Variant v = m_db.query("SELECT MAX(CDVERSAOORCA) FROM VERSAOORCA WHERE CDANOVERORCA = ?",
                           {Variant(year)})
                    .scalar();
    if (v.isNull()) return std::nullopt;
    return v.toInt();
}

bool BudgetAccess::versionExists(const std::string& year, int version) {
    return !m_db.query("SELECT 1 FROM VERSAOORCA WHERE CDANOVERORCA = ? AND CDVERSAOORCA = ?",
                       {Variant(year), Variant(version)})
                .empty();
}

std::string BudgetAccess::checkYear(const Variant& value) {
    std::string year = value.isNull() ? std::string() : value.toText();
    bool ok = year.size() == 4;
    for (char c : year)
        ok = ok && std::isdigit(static_cast<unsigned char>(c));
    if (!ok)
        throw RpcError("Ano inválido: \"" + year + "\" (informe quatro dígitos).",
                       RpcError::BadRequest);
    return year;
}

} // namespace srv
