#pragma once

#include "services/data/Variant.h"

#include <array>
#include <string>

namespace srv {

// The months a calculation writes, in calendar numbering, within a version that starts in
// `firstMonth` of `year`: kind "S" (or empty where a method has no period) is all twelve,
// otherwise the months whose first day lies between start and end, ends included.
class CalcPeriod {
public:
    CalcPeriod(int year, int firstMonth, const std::string& kind, const Variant& start,
               const Variant& end);
    // All twelve months of the version.
    static CalcPeriod whole(int year, int firstMonth);

    bool includes(int month) const;
    // The calendar year month `month` of the version falls in.
    int calendarYear(int month) const;
    // The day number of the first day of `month` of the version.
    double firstDay(int month) const;

private:
    CalcPeriod(int year, int firstMonth);

    int m_year;
    int m_firstMonth;
    std::array<bool, 12> m_in{};
};

} // namespace srv
