#pragma once

#include "server/demo/DemoBranchPlan.h"

#include <string>
#include <vector>

namespace srv {

// The fixed tables and formulas behind every demo figure, shared by the master data and the
// budget lines so that a budget is what the calculations would make of the master data.
struct DemoFigures {
    struct Service {
        std::string code;
        std::string name;
        char kind;         // 'F' billing, 'C' consumption
        double price;      // unit price (F) or cost per diner (C)
        double perDay;     // daily quantity per unit of branch size
        double basePerDay; // daily quantity of a branch of size 0
    };
    struct Tax {
        std::string code;
        std::string abbreviation;
        std::string name;
        char kind; // 'I', 'R', 'S'
        double percent;
    };
    struct Asset {
        std::string code;
        std::string name;
        double cost;
        int startYearOffset; // relative to the budget year
        int startMonth;
        int lifeMonths;
    };

    static const std::vector<Service>& services();
    static const std::vector<Tax>& taxes();
    static const Tax& tax(const std::string& code);
    static const std::vector<Asset>& assets();

    // Working days of a month: Monday to Friday (and Saturday when asked) less the month's
    // usual holidays.
    static int workingDays(int year, int month, bool saturdays);
    static double dailyQuantity(const Service& service, const DemoBranchPlan& plan);
    // Monthly price correction (percent) and adjustment value of a billing service.
    static double correctionPercent(int month);
    static double adjustment(const Service& service, int month);
    static double feePercent(const DemoBranchPlan& plan);
    // The actual quantity of a past month (a little off the plan, as real figures are).
    static double actualQuantity(const Service& service, const DemoBranchPlan& plan, int year,
                                 int month);
};

} // namespace srv
