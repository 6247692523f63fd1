#include "services/lib/Consiste.h"

#include "services/data/DecimalRounding.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

// Rounds on the decimal digits of the value rather than on its binary form, so that 2.675,
// stored as 2.67499999..., still rounds up.
double RoundDec(double value, int decimals) {
    if (decimals < 0 || decimals > 10)
        throw std::invalid_argument("RoundDec: casas decimais fora de 0..10: " +
                                    std::to_string(decimals));
    if (!std::isfinite(value) || value == 0.0) return value == 0.0 ? 0.0 : value;

    const DecimalDigits rounded = roundedDecimalDigits(value, decimals);
    if (!rounded.rounded) return value; // already exact enough
    if (rounded.digits.empty()) return 0.0;
    // Parsed from text so that the result is the double nearest the decimal.
    const int lastPower = rounded.exponent - static_cast<int>(rounded.digits.size()) + 1;
    const std::string decimal = rounded.digits + "e" + std::to_string(lastPower);
    double result = 0.0;
    std::from_chars(decimal.data(), decimal.data() + decimal.size(), result);
    if (result == 0.0) return 0.0;
    return value < 0 ? -result : result;
}
