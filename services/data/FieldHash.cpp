#include "services/data/FieldHash.h"

#include "services/data/CellValue.h"

#include <algorithm>
#include <cstring>

FieldHash::FieldHash(int fieldNo, FieldType type, bool noCase)
    : m_fieldNo(fieldNo), m_type(type), m_noCase(noCase) {}

void FieldHash::fold(std::string_view text, std::string& out) {
    out.assign(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            auto d = static_cast<unsigned char>(out[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
            ++i;
        }
    }
}

bool FieldHash::keyOf(const Variant& value, std::string& key) const {
    if (m_type == FieldType::String) {
        if (value.type() != VarType::Text && !value.isNull()) return false;
        if (m_noCase)
            fold(cell::text(value), key);
        else
            key.assign(cell::text(value));
        return true;
    }
    double d = 0;
    if (value.type() == VarType::Text || !cell::number(value, d)) return false;
    if (d == 0) d = 0; // one key for -0 and +0
    key.assign(reinterpret_cast<const char*>(&d), sizeof d);
    return true;
}

void FieldHash::add(std::uint32_t record, const Variant& cell) {
    thread_local std::string key;
    if (!keyOf(cell, key)) return;
    auto it = m_map.find(std::string_view(key));
    if (it == m_map.end()) it = m_map.emplace(key, std::vector<std::uint32_t>()).first;
    it->second.push_back(record);
}

void FieldHash::remove(std::uint32_t record, const Variant& cell) {
    thread_local std::string key;
    if (!keyOf(cell, key)) return;
    auto it = m_map.find(std::string_view(key));
    if (it == m_map.end()) return;
    auto& ids = it->second;
    auto pos = std::find(ids.begin(), ids.end(), record);
    if (pos != ids.end()) {
        *pos = ids.back();
        ids.pop_back();
    }
}

const std::vector<std::uint32_t>* FieldHash::find(const Variant& value) const {
    thread_local std::string key;
    if (!keyOf(value, key)) return nullptr;
    auto it = m_map.find(std::string_view(key));
    return it == m_map.end() ? nullptr : &it->second;
}
