#pragma once

#include "server/methods/BudgetAccess.h"

#include <optional>
#include <string>

namespace srv {

class Database;

// The guarantees every calculation keeps, read once per call inside its transaction: only the
// latest version of a year is calculated, only on branches the operator may calculate, never
// over effected or approved lines, never in months the operator's phase closes.
class CalcGuard {
public:
    // Refuses (RpcError) an unknown or older version and a phase closed for calculation.
    CalcGuard(Database& db, const std::string& operatorCode, const std::string& year, int version);

    int firstMonth() const noexcept { return m_firstMonth; }
    // Whether the operator's phase lets the calculation write month `month` (1..12).
    bool monthOpen(int month) const;
    // Refuses (RpcError) a branch the operator does not see or may not calculate, and one
    // whose budget header is effected or approved.
    void requireBranch(const std::string& branch);
    // Whether the branch may be calculated (the same test, without refusing).
    bool branchWritable(const std::string& branch);
    // Whether a line status leaves the line open to calculation.
    static bool openStatus(const Variant& status);

private:
    std::string refusal(const std::string& branch);

    Database& m_db;
    BudgetAccess m_access;
    std::string m_operator;
    std::string m_year;
    int m_version;
    int m_firstMonth = 1;
    std::optional<OperatorPhase> m_phase;
};

} // namespace srv
