#include "server/calc/DepreciationCalculation.h"

#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/store/Database.h"
#include "server/store/DayNumber.h"

namespace srv {

DepreciationCalculation::DepreciationCalculation(Database& db, CalcGuard& guard, std::string year,
                                                 int version, const CalcPeriod& period)
    : m_db(db), m_guard(guard), m_lines(db, std::move(year), version), m_period(period) {}

std::array<double, 12> DepreciationCalculation::monthly(const std::string& branch) {
    const QueryResult assets =
        m_db.query("SELECT VRCUSTOBEM, DTINICIOBEM, QTMESESVIDA FROM BEMFILIAL WHERE CDFILIAL = ?",
                   {Variant(branch)});
    std::array<double, 12> value{};
    for (const auto& a : assets.rows) {
        int y = 0, m = 0, d = 0;
        DayNumber::toCivil(a[1].toDouble(), y, m, d);
        const int start = y * 12 + (m - 1);
        const int life = a[2].toInt();
        const double share = a[0].toDouble() / life;
        for (int month = 1; month <= 12; ++month) {
            const int at = m_period.calendarYear(month) * 12 + (month - 1);
            if (at >= start && at < start + life) value[std::size_t(month - 1)] += share;
        }
    }
    return value;
}

int DepreciationCalculation::run(const std::vector<SelectedRow>& rows) {
    int written = 0;
    for (const SelectedRow& row : rows) {
        m_guard.requireBranch(row.branch);
        const std::array<double, 12> value = monthly(row.branch);
        for (const ItemLine& l : m_lines.lines(row.branch, "P")) {
            if (!row.seq.empty() && l.seq != row.seq) continue;
            if (l.open() && m_lines.write(row.branch, "P", l.seq, value, m_period, m_guard))
                ++written;
        }
    }
    return written;
}

} // namespace srv
