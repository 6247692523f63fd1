#include "services/ui/TGridDrawCell.h"

#include "services/data/TClientDataSet.h"

Variant TGridDrawCell::Value(std::string_view fieldName) const {
    TField* field = m_dataSet.FindField(fieldName);
    if (!field || m_row < 0 || m_row >= m_dataSet.RecordCount()) return Variant();
    return m_dataSet.RowValue(m_row, field->Index());
}

std::string TGridDrawCell::Text(std::string_view fieldName) const {
    Variant v = Value(fieldName);
    return v.isNull() ? std::string() : v.toText();
}
