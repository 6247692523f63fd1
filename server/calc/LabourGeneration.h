#pragma once

#include "server/calc/ItemLines.h"

#include <set>
#include <string>
#include <vector>

namespace srv {

class CalcGuard;
class CalcPeriod;
class Database;

// A labour budget as offered to the operator: its key CHAVE is the branch code followed by
// the budget code.
struct LabourBudget {
    std::string code, description, branch;
    double headcount = 0;
    std::string key() const { return branch + code; }
};

// The labour budget of branches from chosen labour budgets: for each labour type of a chosen
// budget of a checked branch, month m of the period is headcount x monthly salary x (1 +
// charges% / 100), written to the branch's labour line (type O) of that type, created when
// missing. Several chosen budgets of one branch add up per labour type.
class LabourGeneration {
public:
    LabourGeneration(Database& db, CalcGuard& guard, std::string year, int version,
                     const CalcPeriod& period);

    // The labour budgets of the given branches, by branch and code.
    static std::vector<LabourBudget> budgets(Database& db, const std::set<std::string>& branches);

    // `keys`: chosen CHAVE values; `clear`: first set the checked branches' labour lines of
    // the period to 0. Returns how many branches received a budget (0: nothing to generate).
    // Refuses (RpcError) a branch that may not be calculated.
    int run(const std::set<std::string>& keys, const std::set<std::string>& checkedBranches,
            bool clear);

private:
    Database& m_db;
    CalcGuard& m_guard;
    ItemLines m_lines;
    const CalcPeriod& m_period;
};

} // namespace srv
