#pragma once

#include "services/data/Variant.h"

#include <string>
#include <string_view>

class TClientDataSet;
class TColumn;

// The cell a grid is drawing, with read access to the values of its row (the dataset's
// cursor does not move for drawing).
class TGridDrawCell {
public:
    TGridDrawCell(const TClientDataSet& dataSet, const TColumn& column, int row, bool selected,
                  bool focused)
        : m_dataSet(dataSet), m_column(column), m_row(row), m_selected(selected),
          m_focused(focused) {}

    const TColumn& Column() const { return m_column; }
    // 0-based visible row.
    int Row() const { return m_row; }
    bool Selected() const { return m_selected; }
    bool Focused() const { return m_focused; }
    // A field's value on this row (null for an unknown field).
    Variant Value(std::string_view fieldName) const;
    // The value as text ("" for null).
    std::string Text(std::string_view fieldName) const;

private:
    const TClientDataSet& m_dataSet;
    const TColumn& m_column;
    int m_row;
    bool m_selected;
    bool m_focused;
};
