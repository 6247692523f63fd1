#include "services/data/Int32Range.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TextCase.h"

#include "services/data/DataSetCore.h"

#include <algorithm>
#include <cctype>
#include <cmath>

using Notice = TDataSource::Notice;

namespace {

// Brings a cell to the kind its field holds; false when it cannot be.
bool normalise(Variant& v, FieldType type) {
    const VarType t = v.type();
    if (t == VarType::Null) return true;
    switch (type) {
    case FieldType::String:
        return t == VarType::Text;
    case FieldType::Boolean:
        return t == VarType::Boolean;
    case FieldType::Float:
        if (t == VarType::Integer) v = Variant(v.toDouble());
        return t == VarType::Double || t == VarType::Integer;
    case FieldType::DateTime:
        if (t == VarType::Double || t == VarType::Integer) v = Variant::fromDate(v.toDouble());
        return t == VarType::DateTime || t == VarType::Double || t == VarType::Integer;
    case FieldType::Integer:
        if (t == VarType::Double) {
            const double d = v.toDouble();
            if (!isWholeInt32(d)) return false;
            v = Variant(static_cast<int>(d));
            return true;
        }
        return t == VarType::Integer;
    }
    return false;
}

void checkRow(std::vector<Variant>& row, const std::vector<FieldDef>& fields, const char* what,
              std::size_t index, const std::string& owner) {
    auto where = [&] { return owner + std::string(what) + " " + std::to_string(index); };
    if (row.size() != fields.size())
        throw PacketError(where() + " tem " + std::to_string(row.size()) + " valores para " +
                          std::to_string(fields.size()) + " campos.");
    for (std::size_t f = 0; f < fields.size(); ++f)
        if (!normalise(row[f], fields[f].type))
            throw PacketError(where() + ", campo " + fields[f].name + ": valor " +
                              Variant::typeName(row[f].type()) + " onde se espera " +
                              DataPacket::typeName(fields[f].type) + ".");
}

} // namespace

void TClientDataSet::SetData(const DataPacket& packet) {
    SetData(DataPacket(packet));
}

void TClientDataSet::SetData(DataPacket&& packet) {
    DataSetCore& c = *m_core;
    const std::string owner = "Pacote inválido" + (m_name.empty() ? "" : " para " + m_name) + ": ";

    // --- Check everything before the first change --------------------------------------
    std::vector<FieldDef> defs = packet.fields;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        if (defs[i].name.empty()) throw PacketError(owner + "campo sem nome.");
        for (std::size_t j = 0; j < i; ++j)
            if (equalsNoCase(defs[i].name, defs[j].name))
                throw PacketError(owner + "campo " + defs[i].name + " repetido.");
        if (defs[i].size < 0)
            throw PacketError(owner + "tamanho negativo no campo " + defs[i].name + ".");
    }
    // Declared fields the packet lacks stay, empty: the screen's own columns.
    const std::size_t packetFields = defs.size();
    for (const auto& f : c.fieldStore) {
        if (!f->m_declared) continue;
        bool present = false;
        for (std::size_t i = 0; i < packetFields && !present; ++i)
            present = equalsNoCase(defs[i].name, f->FieldName());
        if (!present) defs.push_back(FieldDef{f->FieldName(), f->DataType(), f->Size()});
    }
    const std::size_t extra = defs.size() - packetFields;
    const std::vector<FieldDef> packetDefs(
        defs.begin(), defs.begin() + static_cast<std::ptrdiff_t>(packetFields));
    for (std::size_t r = 0; r < packet.rows.size(); ++r)
        checkRow(packet.rows[r], packetDefs, "linha", r, owner);
    std::vector<int> seen(packet.rows.size(), 0);
    for (std::size_t i = 0; i < packet.changes.size(); ++i) {
        RowChange& ch = packet.changes[i];
        if (ch.kind == UpdateKind::Deleted) {
            if (ch.row != -1)
                throw PacketError(owner + "a exclusão " + std::to_string(i) +
                                  " aponta para uma linha presente.");
        } else if (ch.row < 0 || static_cast<std::size_t>(ch.row) >= packet.rows.size() ||
                   seen[static_cast<std::size_t>(ch.row)]++) {
            throw PacketError(owner + "a alteração " + std::to_string(i) +
                              " aponta para uma linha inexistente ou repetida.");
        }
        if (ch.kind != UpdateKind::Inserted)
            checkRow(ch.original, packetDefs, "valores originais da alteração", i, owner);
    }

    // Filter and order must hold with the new fields.
    std::optional<FilterExpression> filter;
    if (m_filtered && !m_filterText.empty()) filter = c.boundFilter(m_filterText, defs);
    std::vector<DataSetCore::SortKey> keys;
    if (!m_indexName.empty()) {
        auto def = std::find_if(c.indexDefs.begin(), c.indexDefs.end(),
                                [&](const auto& d) { return equalsNoCase(d.name, m_indexName); });
        keys = c.sortKeysFor(def->fields, def->descFields, defs);
    } else {
        keys = c.sortKeysFor(m_indexFieldNames, {}, defs);
    }
    // Declared field objects move over with their properties and handlers.
    std::vector<std::unique_ptr<TField>> newStore;
    for (std::size_t i = 0; i < defs.size(); ++i) {
        std::unique_ptr<TField> field;
        for (auto& old : c.fieldStore)
            if (old && equalsNoCase(old->FieldName(), defs[i].name)) field = std::move(old);
        if (!field)
            field = std::make_unique<TField>(*this, defs[i].name, defs[i].type, defs[i].size);
        newStore.push_back(std::move(field));
    }

    // --- Commit ------------------------------------------------------------------------
    c.discardPending();
    c.clearRows();
    c.fieldStore = std::move(newStore);
    c.invalidateDefs();
    m_fields.clear();
    for (std::size_t i = 0; i < defs.size(); ++i) {
        TField& f = *c.fieldStore[i];
        f.m_type = defs[i].type;
        f.m_size = defs[i].type == FieldType::String ? defs[i].size : 0;
        f.m_fieldNo = static_cast<int>(i);
        m_fields.push_back(&f);
    }
    c.filter = std::move(filter);
    c.sortKeys = std::move(keys);

    c.records.reserve(packet.rows.size() + packet.changes.size());
    for (auto& row : packet.rows) {
        // To the exact size: growing by doubling would leave most rows twice their size.
        if (extra > 0) row.reserve(row.size() + extra);
        for (std::size_t e = 0; e < extra; ++e)
            row.emplace_back();
        c.records.push_back(DataRecord{std::move(row), {}, RecordStatus::Unchanged, true});
    }
    for (auto& ch : packet.changes) {
        for (std::size_t e = 0; e < extra && ch.kind != UpdateKind::Inserted; ++e)
            ch.original.emplace_back();
        if (ch.kind == UpdateKind::Deleted) {
            c.records.push_back(
                DataRecord{{}, std::move(ch.original), RecordStatus::Deleted, false});
        } else {
            DataRecord& r = c.records[static_cast<std::size_t>(ch.row)];
            r.status =
                ch.kind == UpdateKind::Modified ? RecordStatus::Modified : RecordStatus::Inserted;
            r.original = std::move(ch.original);
        }
        ++c.changeCount;
    }
    c.natural.resize(c.records.size());
    for (std::size_t i = 0; i < c.natural.size(); ++i)
        c.natural[i] = static_cast<std::uint32_t>(i);
    c.rebuildOrder();
    c.rebuildVisible(DataSetCore::kNone, 0);
    c.bof = true;
    const bool wasActive = c.active;
    c.active = true;
    c.state = dsBrowse;
    if (!wasActive) c.notify(Notice::Active);
    c.notify(Notice::State);
    c.notify(Notice::Layout);
    c.notify(Notice::DataSet);
    if (!c.visible.empty()) c.fire(AfterScroll);
}

DataPacket TClientDataSet::Data() const {
    const DataSetCore& c = *m_core;
    DataPacket p;
    p.fields = c.fieldDefs();
    p.rows.reserve(c.natural.size());
    for (std::uint32_t id : c.natural) {
        const DataRecord& r = c.records[id];
        if (id == c.pendingInsert) continue;
        if (!r.alive) {
            if (r.status == RecordStatus::Deleted)
                p.changes.push_back(RowChange{UpdateKind::Deleted, -1, r.original});
            continue;
        }
        const auto row = static_cast<std::int32_t>(p.rows.size());
        p.rows.push_back(r.values);
        if (r.status == RecordStatus::Modified)
            p.changes.push_back(RowChange{UpdateKind::Modified, row, r.original});
        else if (r.status == RecordStatus::Inserted)
            p.changes.push_back(RowChange{UpdateKind::Inserted, row, {}});
    }
    return p;
}

DataPacket TClientDataSet::Delta() const {
    const DataSetCore& c = *m_core;
    DataPacket p;
    p.fields = c.fieldDefs();
    // Deleted rows come last: a copy made through Data() cannot know where they stood.
    std::vector<std::uint32_t> changed;
    for (std::uint32_t id : c.natural)
        if (c.records[id].status != RecordStatus::Unchanged && id != c.pendingInsert &&
            c.records[id].status != RecordStatus::Deleted)
            changed.push_back(id);
    for (std::uint32_t id : c.natural)
        if (c.records[id].status == RecordStatus::Deleted) changed.push_back(id);
    for (std::uint32_t id : changed) {
        const DataRecord& r = c.records[id];
        const auto row = static_cast<std::int32_t>(p.rows.size());
        switch (r.status) {
        case RecordStatus::Modified:
            p.rows.push_back(r.values);
            p.changes.push_back(RowChange{UpdateKind::Modified, row, r.original});
            break;
        case RecordStatus::Inserted:
            p.rows.push_back(r.values);
            p.changes.push_back(RowChange{UpdateKind::Inserted, row, {}});
            break;
        case RecordStatus::Deleted:
            p.changes.push_back(RowChange{UpdateKind::Deleted, -1, r.original});
            break;
        case RecordStatus::Unchanged:
            break;
        }
    }
    return p;
}

int TClientDataSet::ChangeCount() const noexcept {
    return m_core->changeCount;
}

void TClientDataSet::MergeChangeLog() {
    DataSetCore& c = *m_core;
    std::vector<std::uint32_t> kept;
    kept.reserve(c.natural.size());
    for (std::uint32_t id : c.natural) {
        DataRecord& r = c.records[id];
        if (id != c.pendingInsert) {
            std::vector<Variant>().swap(r.original);
            if (r.status == RecordStatus::Deleted) {
                r.status = RecordStatus::Unchanged;
                continue;
            }
            r.status = RecordStatus::Unchanged;
        }
        kept.push_back(id);
    }
    c.natural = std::move(kept);
    c.changeCount = 0;
    c.forgetOrders();
}

void TClientDataSet::CancelUpdates() {
    DataSetCore& c = *m_core;
    c.checkActive("CancelUpdates");
    const std::uint32_t keep = c.currentRecord();
    const int at = c.cursor;
    const TDataSetState before = c.state;
    c.discardPending();
    std::vector<std::uint32_t> kept;
    kept.reserve(c.natural.size());
    for (std::uint32_t id : c.natural) {
        DataRecord& r = c.records[id];
        switch (r.status) {
        case RecordStatus::Inserted:
            r.alive = false;
            r.status = RecordStatus::Unchanged;
            std::vector<Variant>().swap(r.values);
            continue;
        case RecordStatus::Modified:
        case RecordStatus::Deleted:
            r.values = std::move(r.original);
            std::vector<Variant>().swap(r.original);
            r.alive = true;
            r.status = RecordStatus::Unchanged;
            break;
        case RecordStatus::Unchanged:
            break;
        }
        kept.push_back(id);
    }
    c.natural = std::move(kept);
    c.changeCount = 0;
    c.dropHashes();
    c.forgetOrders();
    c.rebuildOrder();
    c.rebuildVisible(keep, at);
    if (before != c.state) c.notify(Notice::State);
    c.notify(Notice::DataSet);
}
