#pragma once

#include "server/demo/DemoBranchPlan.h"
#include "server/demo/RowWriter.h"

#include <array>
#include <string>

namespace srv {

class Database;

// Writes the budget of branches: the header, one line per item of every type letter, and the
// per-service lines behind billing and consumption. The figures are what the server's
// calculations make of the master data that DemoBuilder writes for the same plan.
class DemoBudget {
public:
    enum class Status { Open, Effected, Approved };
    using Months = std::array<double, 12>; // JAN ... DEZ

    explicit DemoBudget(Database& db);

    // The whole budget of a branch for a version. With Status::Open, the lines whose letter
    // is in `effectedLetters` are effected all the same (a branch half way through).
    void branch(int year, int version, int firstMonth, const DemoBranchPlan& plan, Status status,
                const std::string& effectedLetters = "");
    // `items` open lines of the type letters in turn, for the benchmarks' generated company.
    void generated(int year, int version, const DemoBranchPlan& plan, int items);

private:
    struct Line {
        char letter = 'F';
        std::string operation, labourType, expense, tax;
        Variant baseMonth;
        std::string calculated; // IDITEMCALCORCA
        Months values{};
    };
    void flush();
    void header(int year, int version, const std::string& branch, Status status);
    void item(int year, int version, const std::string& branch, int sequence, const Line& line,
              Status status);

    RowWriter m_headers;
    RowWriter m_items;
    RowWriter m_services;
};

} // namespace srv
