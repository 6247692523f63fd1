#pragma once

#include <set>
#include <string>

namespace srv {

class CalcGuard;
class Database;

// Effects the budget of listed branches: their lines of the version (every type letter, or
// one) get IDSTATUSORCA and IDITEMORCAMENTO "E", and with every letter the branch's budget
// header too. All or nothing: a line with an empty month refuses the whole order.
class BudgetEffecting {
public:
    BudgetEffecting(Database& db, CalcGuard& guard, std::string year, int version);

    // `letter` "T" for every type letter. Returns how many lines were effected; refuses
    // (RpcError) a branch that may not be changed and a line with an empty month.
    int run(const std::set<std::string>& branches, const std::string& letter);

private:
    Database& m_db;
    CalcGuard& m_guard;
    std::string m_year;
    int m_version;
};

} // namespace srv
