#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

// The one rule for "fits a 32-bit integer", on both ends of the wire: -2147483648 does.

// `value` lies within -2147483648 .. 2147483647; NaN does not.
constexpr bool inInt32Range(double value) noexcept {
    return value >= -2147483648.0 && value <= 2147483647.0;
}

// `value` is a whole number within that range.
constexpr bool isWholeInt32(double value) noexcept {
    return inInt32Range(value) && value == static_cast<double>(static_cast<std::int64_t>(value));
}

template <class Int>
requires std::is_integral_v<Int>
constexpr bool inInt32Range(Int value) noexcept {
    return std::in_range<std::int32_t>(value);
}
