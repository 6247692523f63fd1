#include "services/data/DecimalRounding.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

DecimalDigits roundedDecimalDigits(double value, int decimals) {
    DecimalDigits out;
    if (value == 0.0 || !std::isfinite(value)) return out;

    // d.dddddddddddddde±XX, whatever the process's locale.
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string text(buf, res.ptr);
    const auto ePos = text.find('e');
    out.digits = text.substr(0, 1) + text.substr(2, ePos - 2);
    out.exponent = std::atoi(text.c_str() + ePos + 1);

    const int keep = out.exponent + decimals + 1;
    if (keep >= static_cast<int>(out.digits.size())) return out;
    out.rounded = true;
    if (keep < 0) {
        out.digits.clear();
        return out;
    }
    const bool up = out.digits[static_cast<std::size_t>(keep)] >= '5';
    out.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && out.digits[static_cast<std::size_t>(i)] == '9'; --i)
            out.digits[static_cast<std::size_t>(i)] = '0';
        if (i >= 0) {
            out.digits[static_cast<std::size_t>(i)]++;
        } else {
            out.digits.insert(out.digits.begin(), '1');
            ++out.exponent;
        }
    }
    return out;
}
