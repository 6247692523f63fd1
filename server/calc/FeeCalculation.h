#pragma once

#include "server/calc/ItemLines.h"
#include "server/calc/SelectedRows.h"

#include <string>
#include <vector>

namespace srv {

class CalcGuard;
class CalcPeriod;
class Database;

// Administrative fee of the checked fee lines (type T): month m of the period is the branch's
// billing of m times its fee rate. Effected or approved lines keep their values.
class FeeCalculation {
public:
    FeeCalculation(Database& db, CalcGuard& guard, std::string year, int version,
                   const CalcPeriod& period);

    // Returns how many lines were written. Refuses (RpcError) a branch that may not be
    // calculated or has no fee rate registered.
    int run(const std::vector<SelectedRow>& rows);

private:
    Database& m_db;
    CalcGuard& m_guard;
    ItemLines m_lines;
    std::string m_year;
    const CalcPeriod& m_period;
};

} // namespace srv
