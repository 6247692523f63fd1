#pragma once

#include "server/calc/ItemLines.h"

#include <string>
#include <vector>

namespace srv {

class CalcGuard;
class Database;

// Taxes of the checked branches over the whole version: kind "F" makes each tax on billing
// (type I) of a branch its billing times the rate; kind "C" each recoverable tax (type R) its
// consumption times the rate. A branch that may not be calculated or has no tax registered is
// left as it was and reported; the others are still computed.
class TaxCalculation {
public:
    struct Outcome {
        int written = 0;
        std::vector<std::string> failed; // branches left as they were
    };

    TaxCalculation(Database& db, CalcGuard& guard, std::string year, int version, char kind);

    Outcome run(const std::vector<std::string>& branches);

private:
    // Returns false when the branch has no tax of the kind registered.
    bool branch(const std::string& code, Outcome& outcome);

    Database& m_db;
    CalcGuard& m_guard;
    ItemLines m_lines;
    std::string m_year;
    std::string m_taxType;  // I or R
    std::string m_baseType; // F or C
};

} // namespace srv
