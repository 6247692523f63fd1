#pragma once

#include "services/data/DataPacket.h"
#include "services/data/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A dataset filter parsed once into a tree and evaluated per row.
//
// Comparing a text field with a number (CDDESPPREV = 010) compares numerically: the field's
// text is read as a number, so "010" and "10" both match 010, and a text that is not a number
// only satisfies "<>". Null reads as "" in text fields and as 0 in numeric ones, the rule the
// fields themselves follow, so "CDTIPOOPER <> 'V'" keeps the rows without an operation type.
// Texts compare bytewise, letter case included.
class FilterExpression {
public:
    enum class Op : std::uint8_t { Eq, Ne, Lt, Gt, Le, Ge };

    // An equality of the filter's top-level AND chain: the field must hold one of the keys
    // (normalised as FieldHash does). Rows outside these keys cannot match.
    struct Lookup {
        int fieldNo = -1;
        std::vector<Variant> keys;
    };

    struct Node;

    FilterExpression();
    ~FilterExpression();
    FilterExpression(FilterExpression&&) noexcept;
    FilterExpression& operator=(FilterExpression&&) noexcept;

    // Parses a filter text; throws DataSetError naming what was expected and where.
    static FilterExpression parse(std::string_view text);

    // Resolves field names and converts constants to the fields' types; throws DataSetError
    // for an unknown field or a constant that cannot be compared with its field.
    void bind(const std::vector<FieldDef>& fields);
    bool bound() const noexcept { return m_bound; }
    bool empty() const noexcept { return m_root == nullptr; }

    // True when the row (values by field number) satisfies the filter; needs bind().
    bool matches(const std::vector<Variant>& row) const;
    // True when the filter reads the field.
    bool usesField(int fieldNo) const noexcept;
    std::vector<Lookup> lookups() const;
    // True when the filter is one equality (or IN list) of a text field with texts: its one
    // lookup then finds exactly the rows that match, and they need no evaluation.
    bool decidedByLookup() const noexcept;

private:
    std::unique_ptr<Node> m_root;
    std::vector<int> m_fieldsUsed;
    bool m_bound = false;
};
