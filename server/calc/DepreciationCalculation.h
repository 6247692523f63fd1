#pragma once

#include "server/calc/ItemLines.h"
#include "server/calc/SelectedRows.h"

#include <string>
#include <vector>

namespace srv {

class CalcGuard;
class CalcPeriod;
class Database;

// Depreciation of the checked depreciation lines (type P): month m of the period is, over the
// branch's fixed assets in service in m (start month <= m < start + useful life), the sum of
// cost / useful life. Effected or approved lines keep their values.
class DepreciationCalculation {
public:
    DepreciationCalculation(Database& db, CalcGuard& guard, std::string year, int version,
                            const CalcPeriod& period);

    // Returns how many lines were written; refuses (RpcError) a branch that may not be
    // calculated.
    int run(const std::vector<SelectedRow>& rows);

private:
    std::array<double, 12> monthly(const std::string& branch);

    Database& m_db;
    CalcGuard& m_guard;
    ItemLines m_lines;
    const CalcPeriod& m_period;
};

} // namespace srv
