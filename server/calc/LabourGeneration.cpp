#include "server/calc/LabourGeneration.h"

#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"
#include "server/store/Database.h"
#include "server/store/InList.h"
#include "services/data/BlankTrim.h"

#include <map>

namespace srv {

LabourGeneration::LabourGeneration(Database& db, CalcGuard& guard, std::string year, int version,
                                   const CalcPeriod& period)
    : m_db(db), m_guard(guard), m_lines(db, std::move(year), version), m_period(period) {}

std::vector<LabourBudget> LabourGeneration::budgets(Database& db,
                                                    const std::set<std::string>& branches) {
    std::vector<LabourBudget> out;
    if (branches.empty()) return out;
    std::vector<Variant> params;
    const std::string sql = "SELECT CDORCAMENTOMO, DSORCAMENTOMO, CDFILIAL, QTFUNCORCAMO FROM "
                            "ORCAMENTOMO WHERE CDFILIAL" +
                            inList(branches, params);
    for (const auto& row : db.query(sql + " ORDER BY CDFILIAL, CDORCAMENTOMO", params).rows)
        out.push_back({textTrimmedRight(row[0]), textTrimmedRight(row[1]), textTrimmedRight(row[2]),
                       row[3].isNull() ? 0.0 : row[3].toDouble()});
    return out;
}

int LabourGeneration::run(const std::set<std::string>& keys,
                          const std::set<std::string>& checkedBranches, bool clear) {
    // Monthly cost per branch and labour type of the chosen budgets of checked branches.
    std::map<std::string, std::map<std::string, double>> cost;
    for (const LabourBudget& b : budgets(m_db, checkedBranches)) {
        if (!keys.count(b.key())) continue;
        m_guard.requireBranch(b.branch);
        auto& types = cost[b.branch];
        const QueryResult r = m_db.query("SELECT CDDESPADMFAT, QTFUNCIONARIO, VRSALARIO, "
                                         "VRPERCENCARGO FROM ORCAMENTOMOTIPO WHERE "
                                         "CDORCAMENTOMO = ? ORDER BY CDDESPADMFAT",
                                         {Variant(b.code)});
        for (const auto& row : r.rows)
            types[textTrimmedRight(row[0])] +=
                row[1].toDouble() * row[2].toDouble() * (1.0 + row[3].toDouble() / 100.0);
    }
    for (const auto& [branch, types] : cost) {
        std::vector<ItemLine> lines = m_lines.lines(branch, "O");
        if (clear)
            for (const ItemLine& l : lines)
                if (l.open()) m_lines.write(branch, "O", l.seq, {}, m_period, m_guard);
        for (const auto& [type, monthly] : types) {
            std::array<double, 12> value;
            value.fill(monthly);
            bool found = false;
            for (const ItemLine& l : lines) {
                if (l.itemCode != type) continue;
                found = true;
                // Effected or approved lines keep their values.
                if (l.open()) m_lines.write(branch, "O", l.seq, value, m_period, m_guard);
            }
            if (!found)
                m_lines.write(branch, "O", m_lines.create(branch, "O", "CDDESPADMFAT", type), value,
                              m_period, m_guard);
        }
    }
    return static_cast<int>(cost.size());
}

} // namespace srv
