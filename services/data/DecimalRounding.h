#pragma once

#include <cmath>
#include <string>

// Rounding half away from zero on the decimal figure a value is written with, not on its binary
// neighbour (2.675, stored as 2.67499999..., still rounds up to 2.68).

// Money and quantities to 2 decimals, for the server's calculations and stored values.
inline double roundMoney(double value) {
    const double scaled = value * 100.0;
    return std::round(scaled + (scaled >= 0 ? 1e-7 : -1e-7)) / 100.0;
}

// |value| as decimal digits rounded at `decimals` places, read on the 15 significant digits a
// double reliably carries. Digit i of `digits` stands for 10^(exponent - i); zero has no digits.
// `rounded` is false when the value has no digit beyond `decimals` places to drop: `digits` are
// then its 15 significant digits.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
    bool rounded = false;
};
DecimalDigits roundedDecimalDigits(double value, int decimals);
