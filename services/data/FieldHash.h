#pragma once

#include "services/data/DataPacket.h"
#include "services/data/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The records of a dataset grouped by the value of one field, for equality filters and Locate.
// Keys are normalised the way filters read cells: text fields by text (null as "", folded to
// lower case when case-insensitive), numeric fields by value (null as 0).
class FieldHash {
public:
    FieldHash(int fieldNo, FieldType type, bool noCase);

    int fieldNo() const noexcept { return m_fieldNo; }
    bool noCase() const noexcept { return m_noCase; }

    void add(std::uint32_t record, const Variant& cell);
    void remove(std::uint32_t record, const Variant& cell);
    // Records whose cell has this key (a value of the field's kind); null when none.
    const std::vector<std::uint32_t>* find(const Variant& key) const;
    // False when the key cannot be normalised for this field (e.g. a text on a number field).
    bool keyOf(const Variant& value, std::string& key) const;

    // Lower-cases ASCII and the accented capitals of Latin-1 written as UTF-8.
    static void fold(std::string_view text, std::string& out);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>()(s);
        }
    };

    int m_fieldNo;
    FieldType m_type;
    bool m_noCase;
    std::unordered_map<std::string, std::vector<std::uint32_t>, Hash, std::equal_to<>> m_map;
};
