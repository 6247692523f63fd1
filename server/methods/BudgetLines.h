#pragma once

#include "server/methods/CodeList.h"
#include "services/data/Variant.h"

#include <array>
#include <string>
#include <vector>

namespace srv {

class Database;

// One stored budget item with what the simulation reads and writes of it.
struct BudgetLine {
    std::string branch;
    std::string type;
    std::string sequence;
    std::string labourType;         // CDDESPADMFAT
    std::string expense;            // CDDESPPREV
    std::string status;             // IDSTATUSORCA
    std::string state;              // IDITEMORCAMENTO
    std::array<Variant, 12> months; // null stays null

    double value(int month) const; // 1..12, null reads 0
    // Neither the item nor its state is effected or approved.
    bool open() const;
};

// The items of a year and version for some branches, ordered by branch, type and sequence.
class BudgetLines {
public:
    // `types`: the type letters to read, all when empty.
    BudgetLines(Database& db, const std::string& year, int version,
                const std::vector<std::string>& branches, const std::string& types = "");

    const std::vector<BudgetLine>& lines() const noexcept { return m_lines; }

    // A branch list as the result screen keeps it: "T", "_0001_0002_", a bare code, or one
    // checked branch "_0001" without the closing "_".
    static CodeList branchList(const std::string& text);
    // The months a simulation month argument covers: all for "T" (or empty), else that month.
    static std::array<bool, 12> period(const std::string& month);

private:
    std::vector<BudgetLine> m_lines;
};

} // namespace srv
