#include "services/data/TClientDataSet.h"
#include "services/data/TextCase.h"

#include "services/data/DataSetCore.h"

#include <algorithm>
#include <cctype>

using Notice = TDataSource::Notice;

namespace {} // namespace

TClientDataSet::TClientDataSet(std::string name)
    : m_name(std::move(name)), m_core(std::make_unique<DataSetCore>(*this)) {}

TClientDataSet::~TClientDataSet() {
    for (TDataSource* s : m_core->sources)
        s->m_dataSet = nullptr;
}

// --- Fields -------------------------------------------------------------------------------

TField& TClientDataSet::AddField(std::string_view name, FieldType type, int size) {
    DataSetCore& c = *m_core;
    if (c.active)
        c.fail("não se declaram campos com o conjunto de dados aberto (" + std::string(name) +
               ").");
    if (name.empty()) c.fail("campo sem nome.");
    if (FindField(name)) c.fail("campo " + std::string(name) + " declarado duas vezes.");
    if (size < 0) c.fail("tamanho negativo para o campo " + std::string(name) + ".");
    auto field = std::make_unique<TField>(*this, std::string(name), type,
                                          type == FieldType::String ? size : 0);
    field->m_fieldNo = c.fieldCount();
    field->m_declared = true;
    TField& ref = *field;
    c.fieldStore.push_back(std::move(field));
    c.invalidateDefs();
    m_fields.push_back(&ref);
    c.notify(Notice::Layout);
    return ref;
}

TField* TClientDataSet::FindField(std::string_view name) const noexcept {
    for (TField* f : m_fields)
        if (equalsNoCase(f->FieldName(), name)) return f;
    return nullptr;
}

TField& TClientDataSet::FieldByName(std::string_view name) const {
    if (TField* f = FindField(name)) return *f;
    m_core->fail("campo " + std::string(name) + " não encontrado.");
}

void TClientDataSet::ClearFields() {
    DataSetCore& c = *m_core;
    if (c.active) c.fail("não se removem campos com o conjunto de dados aberto.");
    m_fields.clear();
    c.fieldStore.clear();
    c.invalidateDefs();
    c.notify(Notice::Layout);
}

// --- Life cycle ---------------------------------------------------------------------------

void TClientDataSet::CreateDataSet() {
    DataSetCore& c = *m_core;
    if (c.fieldStore.empty()) c.fail("não há campos declarados para criar o conjunto de dados.");
    // Everything that can refuse comes before the first change.
    std::optional<FilterExpression> filter;
    if (m_filtered && !m_filterText.empty()) filter = c.boundFilter(m_filterText);
    std::vector<DataSetCore::SortKey> keys;
    if (!m_indexName.empty()) {
        auto def = std::find_if(c.indexDefs.begin(), c.indexDefs.end(),
                                [&](const auto& d) { return equalsNoCase(d.name, m_indexName); });
        keys = c.sortKeysFor(def->fields, def->descFields);
    } else {
        keys = c.sortKeysFor(m_indexFieldNames, {});
    }
    c.discardPending();
    c.clearRows();
    c.filter = std::move(filter);
    c.sortKeys = std::move(keys);
    const bool wasActive = c.active;
    c.active = true;
    c.state = dsBrowse;
    if (!wasActive) c.notify(Notice::Active);
    c.notify(Notice::State);
    c.notify(Notice::DataSet);
}

void TClientDataSet::Open() {
    if (!m_core->active) CreateDataSet();
}

void TClientDataSet::Close() {
    DataSetCore& c = *m_core;
    if (!c.active) return;
    c.discardPending();
    c.clearRows();
    c.filter.reset();
    c.active = false;
    c.state = dsInactive;
    c.notify(Notice::Active);
    c.notify(Notice::State);
}

bool TClientDataSet::Active() const noexcept {
    return m_core->active;
}

void TClientDataSet::EmptyDataSet() {
    DataSetCore& c = *m_core;
    c.checkActive("EmptyDataSet");
    const TDataSetState before = c.state;
    c.discardPending();
    c.clearRows();
    if (before != c.state) c.notify(Notice::State);
    c.notify(Notice::DataSet);
}

TDataSetState TClientDataSet::State() const noexcept {
    return m_core->state;
}

bool TClientDataSet::IsEmpty() const noexcept {
    return m_core->visible.empty();
}

int TClientDataSet::RecordCount() const noexcept {
    return static_cast<int>(m_core->visible.size());
}

int TClientDataSet::RecNo() const noexcept {
    return m_core->cursor + 1;
}

// --- Controls -----------------------------------------------------------------------------

void TClientDataSet::DisableControls() noexcept {
    ++m_core->disableCount;
}

void TClientDataSet::EnableControls() {
    DataSetCore& c = *m_core;
    if (c.disableCount == 0) return;
    if (--c.disableCount == 0 && c.held) {
        c.held = false;
        c.notify(Notice::DataSet);
    }
}

bool TClientDataSet::ControlsDisabled() const noexcept {
    return m_core->disableCount > 0;
}

// --- Bookmarks ----------------------------------------------------------------------------

TBookmark TClientDataSet::GetBookmark() const noexcept {
    const DataSetCore& c = *m_core;
    const std::uint32_t rec = c.currentRecord();
    if (rec == DataSetCore::kNone || rec == c.pendingInsert) return {};
    return {rec, c.generation};
}

bool TClientDataSet::BookmarkValid(const TBookmark& bookmark) const noexcept {
    DataSetCore& c = *m_core;
    return c.active && bookmark.generation == c.generation && bookmark.record < c.records.size() &&
           bookmark.record != c.pendingInsert && c.visibleIndexOf(bookmark.record) >= 0;
}
