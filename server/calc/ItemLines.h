#pragma once

#include "services/data/Variant.h"

#include <array>
#include <string>
#include <vector>

namespace srv {

class CalcGuard;
class CalcPeriod;
class Database;

// One budget line of a branch as the calculations see it.
struct ItemLine {
    std::string seq;
    std::string status;   // IDSTATUSORCA
    std::string itemCode; // CDIMPOSTO or CDDESPADMFAT, by type
    std::array<double, 12> months{};
    std::string state; // IDITEMORCAMENTO
    // A line effected or approved by either flag is closed, as it is to a save.
    bool open() const { return status != "E" && status != "A" && state != "E" && state != "A"; }
};

// Reads and writes the budget lines (ITEMORCAMENTO) of one year and version for the
// calculations, inside the caller's transaction.
class ItemLines {
public:
    ItemLines(Database& db, std::string year, int version);

    // The lines of a branch and type letter, by sequence.
    std::vector<ItemLine> lines(const std::string& branch, const std::string& type);
    // The month sums of a branch's lines of one type (its billing "F", its consumption "C").
    std::array<double, 12> monthTotals(const std::string& branch, const std::string& type);
    // Writes the months of `values` that lie in the period and that the phase leaves open,
    // rounded to 2 decimals; returns whether any month was written.
    bool write(const std::string& branch, const std::string& type, const std::string& seq,
               const std::array<double, 12>& values, const CalcPeriod& period,
               const CalcGuard& guard);
    // Creates an open line of a type for a tax or labour code, months 0; returns its sequence.
    std::string create(const std::string& branch, const std::string& type,
                       const std::string& codeColumn, const std::string& code);

private:
    Database& m_db;
    std::string m_year;
    int m_version;
};

} // namespace srv
