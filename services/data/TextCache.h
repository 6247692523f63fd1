#pragma once

#include "services/data/Variant.h"

#include <string_view>
#include <unordered_map>

// Shares one heap text among the cells of a column that repeat it (branch names, expense
// names), which saves an allocation per cell and most of the memory of long texts. One per
// column of a packet being read.
class TextCache {
public:
    Variant get(std::string_view text) {
        if (text.size() <= 14) return Variant(text); // stored inline anyway
        if (auto it = m_map.find(text); it != m_map.end()) return it->second;
        Variant v(text);
        if (m_map.size() < 8192) m_map.emplace(v.textView(), v);
        return v;
    }

private:
    std::unordered_map<std::string_view, Variant> m_map;
};
