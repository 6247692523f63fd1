#pragma once

namespace srv {

// Calendar dates as stored: days since 30/12/1899 (day 0), a whole number for a date.
struct DayNumber {
    // The day number of year/month/day (proleptic Gregorian calendar).
    static double fromCivil(int year, int month, int day) noexcept;
    // Splits a day number (its whole part) back into year, month and day.
    static void toCivil(double days, int& year, int& month, int& day) noexcept;
};

} // namespace srv
