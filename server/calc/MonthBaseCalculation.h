#pragma once

#include "server/calc/CalcGuard.h"
#include "server/calc/CalcPeriod.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace srv {

class Database;

// Billing ("F") or consumption ("C") from the base month: projects each marked line's daily
// figure of its base month over the working days of the period's months, per service, inside
// the caller's transaction. Lines to calculate are those of the kind marked IDITEMCALCORCA
// "P" by the request itself (`requested`: branch and item sequence); marks left by others are
// neither calculated nor reported. A calculated line becomes "S".
class MonthBaseCalculation {
public:
    using LineKeys = std::set<std::pair<std::string, std::string>>;

    MonthBaseCalculation(Database& db, CalcGuard& guard, std::string year, int version, char kind,
                         const CalcPeriod& period, LineKeys requested);

    // Calculates every marked line; returns how many. Refuses (RpcError naming the branches)
    // when a base month has no actual figures; the caller's rollback then undoes everything.
    int run();

private:
    struct Service {
        std::string code;
        double price = 0; // unit price (F) or cost per diner (C)
        std::array<double, 12> correction{};
        std::array<double, 12> adjustment{};
    };
    struct Line {
        std::string branch, seq;
        Variant baseMonth;
    };

    std::vector<Service> services(const std::string& branch);
    // Actual figures per service of one calendar year; a missing service or month is absent.
    std::map<std::string, std::array<Variant, 12>> actual(const std::string& branch, int year);
    // Working days of a calendar year per month (0 where unknown).
    std::array<double, 12> workingDays(const std::string& branch, int year);
    bool previousYearMode(const std::string& branch);
    // Quantities per service and month of the period; false when the base month has no figures.
    bool quantities(const Line& line, const std::vector<Service>& services,
                    std::map<std::string, std::array<double, 12>>& out);
    void writeService(const std::string& branch, const std::string& service,
                      const std::array<double, 12>& quantity, const std::array<double, 12>& value);
    void writeLine(const Line& line, const std::array<double, 12>& value);

    Database& m_db;
    CalcGuard& m_guard;
    std::string m_year;
    int m_version;
    std::string m_kind;
    const CalcPeriod& m_period;
    LineKeys m_requested;
};

} // namespace srv
