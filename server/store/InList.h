#pragma once

#include "services/data/Variant.h"

#include <functional>
#include <string>
#include <vector>

namespace srv {

// " IN (?, ?, ...)" with one placeholder per value, the values' texts appended to `params` in
// order; `text` gives a value's text (the value itself by default). Values never go into the
// statement's text.
template <class Range, class Text = std::identity>
std::string inList(const Range& values, std::vector<Variant>& params, Text text = {}) {
    std::string sql = " IN (";
    bool first = true;
    for (const auto& value : values) {
        sql += first ? "?" : ", ?";
        first = false;
        params.emplace_back(std::string(text(value)));
    }
    return sql + ")";
}

// The text of a one-letter code (type letters come as the characters of a string).
inline std::string letter(char c) {
    return std::string(1, c);
}

} // namespace srv
