#include "server/calc/FeeCalculation.h"

#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/rpc/RpcError.h"
#include "server/store/Database.h"

namespace srv {

FeeCalculation::FeeCalculation(Database& db, CalcGuard& guard, std::string year, int version,
                               const CalcPeriod& period)
    : m_db(db), m_guard(guard), m_lines(db, year, version), m_year(std::move(year)),
      m_period(period) {}

int FeeCalculation::run(const std::vector<SelectedRow>& rows) {
    int written = 0;
    for (const SelectedRow& row : rows) {
        m_guard.requireBranch(row.branch);
        const Variant rate = m_db.query("SELECT VRPERCTXADM FROM TAXAADMFILIAL WHERE NRANOORCAOP "
                                        "= ? AND CDFILIAL = ?",
                                        {Variant(m_year), Variant(row.branch)})
                                 .scalar();
        if (rate.isNull())
            throw RpcError("Taxa administrativa da filial " + row.branch +
                           " não cadastrada para o ano " + m_year + ".");
        const std::array<double, 12> billing = m_lines.monthTotals(row.branch, "F");
        std::array<double, 12> value{};
        for (std::size_t m = 0; m < 12; ++m)
            value[m] = billing[m] * rate.toDouble() / 100.0;
        for (const ItemLine& l : m_lines.lines(row.branch, "T")) {
            if (!row.seq.empty() && l.seq != row.seq) continue;
            if (l.open() && m_lines.write(row.branch, "T", l.seq, value, m_period, m_guard))
                ++written;
        }
    }
    return written;
}

} // namespace srv
