#include "server/calc/BudgetEffecting.h"

#include "server/calc/CalcGuard.h"
#include "server/rpc/RpcError.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"

namespace srv {

BudgetEffecting::BudgetEffecting(Database& db, CalcGuard& guard, std::string year, int version)
    : m_db(db), m_guard(guard), m_year(std::move(year)), m_version(version) {}

int BudgetEffecting::run(const std::set<std::string>& branches, const std::string& letter) {
    const bool every = letter == "T";
    std::string emptyMonth;
    for (int m = 1; m <= 12; ++m)
        emptyMonth += (m == 1 ? "" : " OR ") + monthColumn("VRORCAMENTO", m) + " IS NULL";
    const std::string lineFilter = " WHERE NRANOORCAOP = ? AND CDVERSORCAOP = ? AND CDFILIAL = ?" +
                                   std::string(every ? "" : " AND IDTIPOORCAOP = ?");
    int effected = 0;
    for (const std::string& branch : branches) {
        m_guard.requireBranch(branch);
        std::vector<Variant> params{Variant(m_year), Variant(m_version), Variant(branch)};
        if (!every) params.emplace_back(letter);
        const QueryResult empty =
            m_db.query("SELECT IDTIPOORCAOP, NRSEQITEMORCA FROM ITEMORCAMENTO" + lineFilter +
                           " AND (" + emptyMonth + ") ORDER BY IDTIPOORCAOP, NRSEQITEMORCA",
                       params);
        if (!empty.empty())
            throw RpcError("Efetivação não realizada: o item " + empty.rows[0][1].toText() +
                           " (tipo " + empty.rows[0][0].toText() + ") da filial " + branch +
                           " tem mês sem valor.");
        // Approved lines stay approved.
        effected += static_cast<int>(
            m_db.execute("UPDATE ITEMORCAMENTO SET IDSTATUSORCA = 'E', IDITEMORCAMENTO = 'E'" +
                             lineFilter + " AND COALESCE(IDSTATUSORCA, 'P') <> 'A'",
                         params));
        m_db.execute("UPDATE ITEMSERVORCA SET IDITEMORCAMENTO = 'E'" + lineFilter, params);
        if (every)
            m_db.execute("UPDATE ORCAMENTOFILIAL SET IDSTATUSORCA = 'E' WHERE NRANOORCAOP = ? "
                         "AND CDVERSORCAOP = ? AND CDFILIAL = ?",
                         {Variant(m_year), Variant(m_version), Variant(branch)});
    }
    return effected;
}

} // namespace srv
