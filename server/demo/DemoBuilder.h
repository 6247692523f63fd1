#pragma once

#include "server/demo/DemoBranchPlan.h"

#include <set>
#include <string>

namespace srv {

class Database;

// Writes the organisation, the operators and the master data of a demo company. All figures
// come from the branch plans and fixed tables, so every fill writes the same rows.
class DemoBuilder {
public:
    explicit DemoBuilder(Database& db) : m_db(db) {}

    // Taxes, expense types, operation types, labour types and the module parameters.
    void catalogs();
    void region(const std::string& code, const std::string& name);
    void group(const std::string& code, const std::string& name);
    void segment(const std::string& code, const std::string& name);
    // The branch with its groups and result parameters.
    void branch(const DemoBranchPlan& plan);
    void version(int year, int version, int firstMonth);

    // A phase; `closed` lists the months (1..12) it closes.
    void phase(const std::string& code, const std::string& name, bool calculates,
               const std::set<int>& closed);
    // An operator whose password hash uses `iterations` (fewer for test fixtures).
    void addOperator(const std::string& code, const std::string& name, const std::string& password,
                     int iterations);
    void access(const std::string& op, const std::string& branch, bool calculates);
    void assignPhase(int year, const std::string& op, const std::string& phase);

    // Working days of the twelve months of `year`.
    void workingDays(int year, const DemoBranchPlan& plan);
    // Services with prices, corrections and adjustments, tax rates and the fee rate of `year`.
    void yearMasterData(int year, const DemoBranchPlan& plan);
    // Actual quantities sold and diners of the twelve months of `year`.
    void history(int year, const DemoBranchPlan& plan);
    // Fixed assets (relative to `year`) and the labour budget of the branch.
    void assetsAndLabour(int year, const DemoBranchPlan& plan);

private:
    Database& m_db;
};

} // namespace srv
