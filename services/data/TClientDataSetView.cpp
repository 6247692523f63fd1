#include "services/data/TClientDataSet.h"
#include "services/data/TextCase.h"

#include "services/data/DataSetCore.h"

#include <algorithm>
#include <cctype>

using Notice = TDataSource::Notice;

namespace {

// Shows the rows under a new filter from the first one, as a scroll.
void refilter(DataSetCore& c, TClientDataSet& ds) {
    c.rebuildVisible(DataSetCore::kNone, 0);
    c.bof = true;
    c.notify(Notice::DataSet);
    if (!c.visible.empty()) c.fire(ds.AfterScroll);
}

// Reorders keeping the cursor on its row.
void reorder(DataSetCore& c, std::vector<DataSetCore::SortKey> keys) {
    const std::uint32_t keep = c.currentRecord();
    c.sortKeys = std::move(keys);
    c.rebuildOrder();
    c.rebuildVisible(keep, c.cursor);
    c.notify(Notice::DataSet);
}

} // namespace

void TClientDataSet::SetFilter(const std::string& text) {
    DataSetCore& c = *m_core;
    std::optional<FilterExpression> bound;
    if (c.fieldStore.empty())
        FilterExpression::parse(text); // syntax now, names once fields exist
    else if (!text.empty())
        bound = c.boundFilter(text);
    const bool apply = c.active && m_filtered;
    if (apply) CheckBrowseMode();
    m_filterText = text;
    if (apply) {
        c.filter = std::move(bound);
        refilter(c, *this);
    }
}

void TClientDataSet::SetFiltered(bool filtered) {
    DataSetCore& c = *m_core;
    if (filtered == m_filtered) return;
    std::optional<FilterExpression> bound;
    if (filtered && c.active && !m_filterText.empty()) bound = c.boundFilter(m_filterText);
    if (c.active) CheckBrowseMode();
    m_filtered = filtered;
    if (c.active) {
        c.filter = std::move(bound);
        refilter(c, *this);
    }
}

void TClientDataSet::SetFilterIndexesEnabled(bool enabled) {
    DataSetCore& c = *m_core;
    c.useHashes = enabled;
    if (!enabled) c.dropHashes();
}

std::vector<Variant> TClientDataSet::RowsWhere(const std::string& filter,
                                               const std::string& fields) {
    DataSetCore& c = *m_core;
    c.checkActive("RowsWhere");
    const FilterExpression test = c.boundFilter(filter);
    const std::vector<int> wanted = c.fieldList(fields);
    const std::vector<std::uint32_t> found = c.matching(test);
    std::vector<Variant> out;
    out.reserve(found.size() * wanted.size());
    for (std::uint32_t r : found) {
        if (r == c.pendingInsert) continue;
        const std::vector<Variant>& values = c.records[r].values;
        for (int f : wanted)
            out.push_back(values[static_cast<std::size_t>(f)]);
    }
    return out;
}

void TClientDataSet::SetIndexFieldNames(const std::string& fields) {
    DataSetCore& c = *m_core;
    if (fields == m_indexFieldNames && m_indexName.empty()) return;
    std::vector<DataSetCore::SortKey> keys;
    if (!c.fieldStore.empty()) keys = c.sortKeysFor(fields, {});
    if (c.active) CheckBrowseMode();
    m_indexFieldNames = fields;
    m_indexName.clear();
    if (c.active) reorder(c, std::move(keys));
}

void TClientDataSet::AddIndex(const std::string& name, const std::string& fields,
                              const std::string& descFields) {
    DataSetCore& c = *m_core;
    if (name.empty()) c.fail("índice sem nome.");
    if (!c.fieldStore.empty())
        c.sortKeysFor(fields, descFields); // names checked now when the fields are known
    auto it = std::find_if(c.indexDefs.begin(), c.indexDefs.end(),
                           [&](const auto& d) { return equalsNoCase(d.name, name); });
    if (it != c.indexDefs.end())
        *it = {name, fields, descFields};
    else
        c.indexDefs.push_back({name, fields, descFields});
    if (c.active && equalsNoCase(m_indexName, name)) reorder(c, c.sortKeysFor(fields, descFields));
}

void TClientDataSet::SetIndexName(const std::string& name) {
    DataSetCore& c = *m_core;
    std::vector<DataSetCore::SortKey> keys;
    if (!name.empty()) {
        auto it = std::find_if(c.indexDefs.begin(), c.indexDefs.end(),
                               [&](const auto& d) { return equalsNoCase(d.name, name); });
        if (it == c.indexDefs.end()) c.fail("índice " + name + " não definido.");
        if (!c.fieldStore.empty()) keys = c.sortKeysFor(it->fields, it->descFields);
    }
    if (c.active) CheckBrowseMode();
    m_indexName = name;
    m_indexFieldNames.clear();
    if (c.active) reorder(c, std::move(keys));
}

const Variant& TClientDataSet::RowValue(int visibleRow, int fieldIndex) const {
    const DataSetCore& c = *m_core;
    if (visibleRow < 0 || visibleRow >= static_cast<int>(c.visible.size()) || fieldIndex < 0 ||
        fieldIndex >= FieldCount())
        c.fail("célula (" + std::to_string(visibleRow) + ", " + std::to_string(fieldIndex) +
               ") fora do conjunto de dados.");
    const auto f =
        static_cast<std::size_t>(m_fields[static_cast<std::size_t>(fieldIndex)]->FieldNo());
    const std::uint32_t row = c.visible[static_cast<std::size_t>(visibleRow)];
    if (row == c.bufferRecord()) return c.buffer[f];
    return c.records[row].values[f];
}

std::string TClientDataSet::RowDisplayText(int visibleRow, int fieldIndex) const {
    const DataSetCore& c = *m_core;
    RowValue(visibleRow, fieldIndex); // bounds
    struct Restore {
        const DataSetCore& c;
        int saved;
        ~Restore() { c.readRow = saved; }
    } restore{c, c.readRow};
    c.readRow = visibleRow;
    return m_fields[static_cast<std::size_t>(fieldIndex)]->DisplayText();
}
