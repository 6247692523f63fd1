#include "server/store/DayNumber.h"

#include <cmath>

namespace srv {

namespace {
// Days from 01/01/1970 to 30/12/1899, the origin of stored dates.
constexpr long long kOrigin = -25569;

// Days since 01/01/1970 of a civil date (the well-known era-based conversion).
long long daysFromCivil(long long y, unsigned m, unsigned d) noexcept {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}
} // namespace

double DayNumber::fromCivil(int year, int month, int day) noexcept {
    return static_cast<double>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kOrigin);
}

void DayNumber::toCivil(double days, int& year, int& month, int& day) noexcept {
    long long z = static_cast<long long>(std::floor(days)) + kOrigin + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

} // namespace srv
