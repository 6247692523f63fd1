#pragma once

#include <cmath>

namespace srv {

// Money and quantities to 2 decimals, half away from zero on the decimal figure (12.345 gives
// 12.35 although its binary neighbour lies a little below).
inline double round2(double v) {
    const double scaled = v * 100.0;
    return std::round(scaled + (scaled >= 0 ? 1e-7 : -1e-7)) / 100.0;
}

} // namespace srv
