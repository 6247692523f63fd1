#include "server/demo/DemoFigures.h"

#include "server/store/DayNumber.h"

#include <cassert>
#include <cmath>

namespace srv {

const std::vector<DemoFigures::Service>& DemoFigures::services() {
    static const std::vector<Service> all = {
        {"S01", "Almoço", 'F', 18.50, 15.0, 250.0},
        {"S02", "Jantar", 'F', 16.00, 5.0, 80.0},
        {"S03", "Desjejum", 'F', 7.20, 8.0, 120.0},
        {"C01", "Refeição completa", 'C', 9.80, 20.0, 330.0},
        {"C02", "Lanche", 'C', 3.40, 8.0, 120.0},
    };
    return all;
}

const std::vector<DemoFigures::Tax>& DemoFigures::taxes() {
    static const std::vector<Tax> all = {
        {"01", "ISS", "Imposto sobre serviços", 'I', 5.0},
        {"02", "PIS", "PIS sobre faturamento", 'I', 1.65},
        {"03", "COFINS", "COFINS sobre faturamento", 'I', 7.6},
        {"04", "ICMS-R", "ICMS a recuperar", 'R', 3.2},
        {"05", "PIS-R", "PIS a recuperar", 'R', 1.65},
        {"06", "IRPJ", "Imposto de renda", 'S', 15.0},
        {"07", "CSLL", "Contribuição social", 'S', 9.0},
    };
    return all;
}

const DemoFigures::Tax& DemoFigures::tax(const std::string& code) {
    for (const Tax& t : taxes())
        if (t.code == code) return t;
    assert(false && "unknown demo tax");
    return taxes().front();
}

const std::vector<DemoFigures::Asset>& DemoFigures::assets() {
    static const std::vector<Asset> all = {
        {"B001", "Fogão industrial", 24000.00, -2, 1, 60},
        {"B002", "Câmara frigorífica", 85000.00, -1, 7, 120},
        {"B003", "Balcão térmico", 12600.00, 0, 3, 48},
    };
    return all;
}

int DemoFigures::workingDays(int year, int month, bool saturdays) {
    static constexpr int holidays[12] = {1, 0, 1, 1, 1, 0, 0, 0, 1, 1, 2, 1};
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    const auto first = static_cast<long long>(DayNumber::fromCivil(year, month, 1));
    const auto end = static_cast<long long>(DayNumber::fromCivil(nextYear, nextMonth, 1));
    int days = 0;
    for (long long d = first; d < end; ++d) {
        const long long weekday = (d + 6) % 7; // day 0 (30/12/1899) was a Saturday; 0 = Sunday
        if ((weekday >= 1 && weekday <= 5) || (saturdays && weekday == 6)) ++days;
    }
    return days - holidays[month - 1];
}

double DemoFigures::dailyQuantity(const Service& service, const DemoBranchPlan& plan) {
    return service.basePerDay + service.perDay * plan.size;
}

double DemoFigures::correctionPercent(int month) {
    return month >= 7 ? 3.5 : 0.0;
}

double DemoFigures::adjustment(const Service& service, int month) {
    return service.code == "S01" && month == 12 ? 350.00 : 0.0;
}

double DemoFigures::feePercent(const DemoBranchPlan& plan) {
    return 2.5 + 0.5 * (plan.size % 3);
}

double DemoFigures::actualQuantity(const Service& service, const DemoBranchPlan& plan, int year,
                                   int month) {
    const double variation = 0.97 + 0.01 * ((month + plan.size) % 5);
    return std::round(dailyQuantity(service, plan) * workingDays(year, month, plan.saturdays) *
                      variation);
}

} // namespace srv
