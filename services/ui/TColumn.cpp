#include "services/ui/TColumn.h"

#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/ui/TDBGrid.h"

TColumn::TColumn(TDBGrid& grid, std::string fieldName)
    : m_grid(grid), m_fieldName(std::move(fieldName)) {}

int TColumn::Index() const {
    const auto& cols = m_grid.Columns();
    for (std::size_t i = 0; i < cols.size(); ++i)
        if (cols[i].get() == this) return static_cast<int>(i);
    return -1;
}

void TColumn::SetFieldName(const std::string& fieldName) {
    if (fieldName == m_fieldName) return;
    m_fieldName = fieldName;
    changed();
}

TField* TColumn::Field() const {
    TDataSource* source = m_grid.DataSource();
    TClientDataSet* ds = source ? source->DataSet() : nullptr;
    return ds ? ds->FindField(m_fieldName) : nullptr;
}

std::string TColumn::TitleCaption() const {
    if (!m_title.empty()) return m_title;
    if (TField* f = Field()) return f->DisplayName();
    return m_fieldName;
}

void TColumn::SetTitleCaption(const std::string& caption) {
    m_title = caption;
    changed();
}

void TColumn::SetTitleSymbolFont(bool symbol) {
    m_titleSymbolFont = symbol;
    changed();
}

void TColumn::SetWidth(int width) {
    m_width = width;
    changed();
}

void TColumn::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    changed();
}

void TColumn::SetVisible(bool visible) {
    m_visible = visible;
    changed();
}

void TColumn::changed() {
    m_grid.columnChanged(*this);
}
