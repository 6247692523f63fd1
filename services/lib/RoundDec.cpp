#include "services/lib/Consiste.h"

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

// Rounds on the decimal digits of the value rather than on its binary form: the value is first
// read as its 15 significant decimal digits (what a double holds reliably), so that 2.675, stored
// as 2.67499999..., still rounds up, and then rounded half away from zero.
double RoundDec(double value, int decimals) {
    if (decimals < 0 || decimals > 10)
        throw std::invalid_argument("RoundDec: casas decimais fora de 0..10: " +
                                    std::to_string(decimals));
    if (!std::isfinite(value) || value == 0.0) return value == 0.0 ? 0.0 : value;

    // d.dddddddddddddde±XX
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string text(buf, res.ptr);
    const auto ePos = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, ePos - 2); // 15 digits
    const int exponent = std::stoi(text.substr(ePos + 1));

    // Digit i stands for 10^(exponent - i); keep those down to 10^-decimals.
    const int keep = exponent + decimals + 1;
    if (keep >= static_cast<int>(digits.size())) return value; // already exact enough
    if (keep < 0) return 0.0;

    std::string kept = digits.substr(0, keep);
    const bool roundUp = digits[keep] >= '5';
    int scale = decimals;
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[i] == '9')
            kept[i--] = '0';
        if (i >= 0)
            ++kept[i];
        else
            kept.insert(kept.begin(), '1');
    }
    if (kept.empty()) return 0.0;
    // kept × 10^-scale, parsed from text so that the result is the double nearest the decimal.
    const std::string decimal = kept + "e-" + std::to_string(scale);
    double rounded = 0.0;
    std::from_chars(decimal.data(), decimal.data() + decimal.size(), rounded);
    if (rounded == 0.0) return 0.0;
    return value < 0 ? -rounded : rounded;
}
