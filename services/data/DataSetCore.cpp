#include "services/data/DataSetCore.h"
#include "services/data/TextCase.h"

#include "services/data/DataSetError.h"

#include <algorithm>
#include <cctype>

namespace {

std::vector<std::string> splitNames(const std::string& names) {
    std::vector<std::string> out;
    std::string cur;
    auto flush = [&] {
        const auto b = cur.find_first_not_of(' ');
        const auto e = cur.find_last_not_of(' ');
        if (b != std::string::npos) out.push_back(cur.substr(b, e - b + 1));
        cur.clear();
    };
    for (char c : names) {
        if (c == ';')
            flush();
        else
            cur += c;
    }
    flush();
    return out;
}

const Variant kNull;

} // namespace

const std::vector<FieldDef>& DataSetCore::fieldDefs() const {
    if (!defsValid) {
        defs.clear();
        for (const auto& f : fieldStore)
            defs.push_back(FieldDef{f->FieldName(), f->DataType(), f->Size()});
        defsValid = true;
    }
    return defs;
}

std::uint32_t DataSetCore::currentRecord() const noexcept {
    return cursor >= 0 && cursor < static_cast<int>(visible.size())
               ? visible[static_cast<std::size_t>(cursor)]
               : kNone;
}

void DataSetCore::followCursor() {
    if (state != dsEdit) return;
    const std::uint32_t here = currentRecord();
    if (here == editRecord || here == kNone) return;
    if (buffer != records[editRecord].values)
        fail(
            "há uma edição pendente em outro registro; confirme ou cancele antes de alterar este.");
    buffer = records[here].values;
    editRecord = here;
}

const Variant& DataSetCore::value(int fieldNo) const noexcept {
    const auto f = static_cast<std::size_t>(fieldNo);
    if (readRow >= 0 && readRow < static_cast<int>(visible.size())) {
        const std::uint32_t row = visible[static_cast<std::size_t>(readRow)];
        if (row == bufferRecord()) return buffer[f];
        return records[row].values[f];
    }
    const std::uint32_t rec = currentRecord();
    if (editing() && rec == bufferRecord()) return buffer[f];
    return rec == kNone ? kNull : records[rec].values[f];
}

void DataSetCore::fail(const std::string& message) const {
    const std::string& name = ds.Name();
    throw DataSetError(name.empty() ? message : name + ": " + message);
}

void DataSetCore::checkActive(const char* operation) const {
    if (!active) fail(std::string("conjunto de dados fechado (") + operation + ").");
}

void DataSetCore::fire(const TClientDataSet::Event& event) {
    // A copy, so that a handler may detach or replace itself while it runs.
    if (event) {
        TClientDataSet::Event running = event;
        running(ds);
    }
}

void DataSetCore::notify(TDataSource::Notice notice, TField* field) {
    if (disableCount > 0) {
        held = true;
        if (notice != TDataSource::Notice::State && notice != TDataSource::Notice::Active) return;
    }
    // By index, not by copy: no allocation per scroll, and a source that detaches while it is
    // told only shortens the list.
    for (std::size_t i = 0; i < sources.size(); ++i)
        sources[i]->notify(notice, field);
}

void DataSetCore::setState(TDataSetState newState) {
    if (state == newState) return;
    state = newState;
    notify(TDataSource::Notice::State);
}

std::vector<int> DataSetCore::fieldList(const std::string& names) const {
    std::vector<int> out;
    for (const std::string& name : splitNames(names)) {
        int found = -1;
        for (std::size_t i = 0; i < fieldStore.size() && found < 0; ++i)
            if (equalsNoCase(fieldStore[i]->FieldName(), name)) found = static_cast<int>(i);
        if (found < 0) fail("campo " + name + " não encontrado.");
        out.push_back(found);
    }
    return out;
}

std::vector<int> DataSetCore::fieldList(const std::string& names,
                                        const std::vector<FieldDef>& defs) const {
    std::vector<int> out;
    for (const std::string& name : splitNames(names)) {
        int found = -1;
        for (std::size_t i = 0; i < defs.size(); ++i)
            if (equalsNoCase(defs[i].name, name)) found = static_cast<int>(i);
        if (found < 0) fail("campo " + name + " não encontrado.");
        out.push_back(found);
    }
    return out;
}

std::vector<DataSetCore::SortKey>
DataSetCore::sortKeysFor(const std::string& fields, const std::string& desc,
                         const std::vector<FieldDef>& defs) const {
    const std::vector<int> descNos = fieldList(desc, defs);
    std::vector<SortKey> keys;
    for (int f : fieldList(fields, defs))
        keys.push_back({f, std::find(descNos.begin(), descNos.end(), f) != descNos.end()});
    return keys;
}

FilterExpression DataSetCore::boundFilter(const std::string& text,
                                          const std::vector<FieldDef>& defs) const {
    FilterExpression e = FilterExpression::parse(text);
    try {
        e.bind(defs);
    } catch (const DataSetError& err) {
        fail(err.what());
    }
    return e;
}

bool DataSetCore::keyLess(std::uint32_t a, std::uint32_t b) const {
    const auto& va = records[a].values;
    const auto& vb = records[b].values;
    for (const SortKey& k : sortKeys) {
        const auto f = static_cast<std::size_t>(k.fieldNo);
        const int c = Variant::compare(va[f], vb[f]);
        if (c != 0) return k.descending ? c > 0 : c < 0;
    }
    return false;
}

void DataSetCore::forgetOrdersOn(int fieldNo) {
    std::erase_if(sortedOrders, [fieldNo](const SortedOrder& kept) {
        return std::any_of(kept.keys.begin(), kept.keys.end(),
                           [fieldNo](const SortKey& k) { return k.fieldNo == fieldNo; });
    });
}

void DataSetCore::rebuildOrder() {
    orderPosValid = false;
    if (!sortKeys.empty()) {
        // Pages switch back and forth between a few orders of the same rows: sorting hundreds
        // of thousands of rows each time was most of a page change.
        const auto kept = std::find_if(sortedOrders.begin(), sortedOrders.end(),
                                       [this](const SortedOrder& o) { return o.keys == sortKeys; });
        if (kept != sortedOrders.end()) {
            order = kept->order;
            std::rotate(sortedOrders.begin(), kept, kept + 1);
            return;
        }
    }
    sortLiveRows();
    if (sortKeys.empty()) return;
    if (sortedOrders.size() == kSortedOrdersKept) sortedOrders.pop_back();
    sortedOrders.insert(sortedOrders.begin(), SortedOrder{sortKeys, order});
}

void DataSetCore::sortLiveRows() {
    order.clear();
    order.reserve(natural.size());
    for (std::uint32_t r : natural)
        if (records[r].alive) order.push_back(r);
    if (sortKeys.empty() || order.size() < 2) return;
    // Rows mostly arrive ordered by the leading keys (a budget by branch): then only the runs of
    // rows equal on those keys need sorting, which is a stable sort of the whole all the same.
    std::size_t sorted = sortKeys.size();
    for (std::size_t i = 1; i < order.size() && sorted > 0; ++i) {
        const auto& va = records[order[i - 1]].values;
        const auto& vb = records[order[i]].values;
        for (std::size_t k = 0; k < sorted; ++k) {
            const auto f = static_cast<std::size_t>(sortKeys[k].fieldNo);
            const int c = Variant::compare(va[f], vb[f]);
            if (c == 0) continue;
            if (sortKeys[k].descending ? c < 0 : c > 0) sorted = k;
            break;
        }
    }
    if (sorted == sortKeys.size()) return;
    auto less = [this](std::uint32_t a, std::uint32_t b) { return keyLess(a, b); };
    if (sorted == 0) {
        std::stable_sort(order.begin(), order.end(), less);
        return;
    }
    auto sameLead = [&](std::uint32_t a, std::uint32_t b) {
        const auto& va = records[a].values;
        const auto& vb = records[b].values;
        for (std::size_t k = 0; k < sorted; ++k) {
            const auto f = static_cast<std::size_t>(sortKeys[k].fieldNo);
            if (Variant::compare(va[f], vb[f]) != 0) return false;
        }
        return true;
    };
    // Within a run the leading keys are equal: only the others decide.
    auto lessAfterLead = [&](std::uint32_t a, std::uint32_t b) {
        const auto& va = records[a].values;
        const auto& vb = records[b].values;
        for (std::size_t k = sorted; k < sortKeys.size(); ++k) {
            const auto f = static_cast<std::size_t>(sortKeys[k].fieldNo);
            const int c = Variant::compare(va[f], vb[f]);
            if (c != 0) return sortKeys[k].descending ? c > 0 : c < 0;
        }
        return false;
    };
    for (auto run = order.begin(); run != order.end();) {
        auto end = run + 1;
        while (end != order.end() && sameLead(*run, *end))
            ++end;
        if (end - run > 1) std::stable_sort(run, end, lessAfterLead);
        run = end;
    }
}

void DataSetCore::reposition(std::uint32_t record) {
    auto it = std::find(order.begin(), order.end(), record);
    if (it != order.end()) order.erase(it);
    auto at = std::upper_bound(order.begin(), order.end(), record,
                               [this](std::uint32_t a, std::uint32_t b) { return keyLess(a, b); });
    order.insert(at, record);
    orderPosValid = false;
}

void DataSetCore::ensureOrderPos() {
    if (orderPosValid) return;
    orderPos.assign(records.size(), kNone);
    for (std::size_t i = 0; i < order.size(); ++i)
        orderPos[order[i]] = static_cast<std::uint32_t>(i);
    orderPosValid = true;
}

bool DataSetCore::passes(std::uint32_t record) const {
    return !filter || filter->matches(records[record].values);
}

std::vector<std::uint32_t> DataSetCore::matching(const FilterExpression& test) {
    std::vector<std::uint32_t> rows;
    const auto lookups = useHashes ? test.lookups() : std::vector<FilterExpression::Lookup>();
    // The equality whose keys hold the fewest rows bounds the candidates.
    std::size_t best = kNone;
    std::size_t bestCount = SIZE_MAX;
    for (std::size_t i = 0; i < lookups.size(); ++i) {
        const FieldHash& h = hashFor(lookups[i].fieldNo, false);
        std::size_t count = 0;
        for (const Variant& k : lookups[i].keys)
            if (const auto* ids = h.find(k)) count += ids->size();
        if (count < bestCount) bestCount = count, best = i;
    }
    // Reading every candidate row is most of the cost on a large dataset: skipped when the
    // lookup is the whole filter.
    const bool decided = best != kNone && lookups.size() == 1 && test.decidedByLookup();
    const auto matches = [&](std::uint32_t r) {
        return decided || test.matches(records[r].values);
    };
    if (best == kNone) {
        for (std::uint32_t r : order)
            if (matches(r)) rows.push_back(r);
        return rows;
    }
    const FieldHash& h = hashFor(lookups[best].fieldNo, false);
    if (bestCount * 8 >= order.size()) {
        // Many candidates: mark them and keep the index order by walking it.
        std::vector<char> marked(records.size(), 0);
        for (const Variant& k : lookups[best].keys)
            if (const auto* ids = h.find(k))
                for (std::uint32_t r : *ids)
                    marked[r] = 1;
        for (std::uint32_t r : order)
            if (marked[r] && matches(r)) rows.push_back(r);
        return rows;
    }
    ensureOrderPos();
    if (bestCount * 64 >= order.size()) {
        // Tens of thousands of candidates: placing them by their positions in the index is
        // cheaper than sorting them by those positions.
        std::vector<char> at(order.size(), 0);
        for (const Variant& k : lookups[best].keys)
            if (const auto* ids = h.find(k))
                for (std::uint32_t r : *ids)
                    if (orderPos[r] != kNone && matches(r)) at[orderPos[r]] = 1;
        for (std::size_t p = 0; p < at.size(); ++p)
            if (at[p]) rows.push_back(order[p]);
        return rows;
    }
    for (const Variant& k : lookups[best].keys)
        if (const auto* ids = h.find(k))
            for (std::uint32_t r : *ids)
                if (matches(r)) rows.push_back(r);
    std::sort(rows.begin(), rows.end(),
              [this](std::uint32_t a, std::uint32_t b) { return orderPos[a] < orderPos[b]; });
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool DataSetCore::rebuildVisible(std::uint32_t keep, int fallback) {
    if (filter)
        visible = matching(*filter);
    else
        visible = order;
    bool kept = false;
    cursor = -1;
    if (keep != kNone) {
        auto it = std::find(visible.begin(), visible.end(), keep);
        if (it != visible.end()) {
            cursor = static_cast<int>(it - visible.begin());
            kept = true;
        }
    }
    if (!kept && !visible.empty())
        cursor = std::clamp(fallback, 0, static_cast<int>(visible.size()) - 1);
    bof = eof = visible.empty();
    return kept;
}

int DataSetCore::visibleIndexOf(std::uint32_t record) {
    if (record >= records.size() || !records[record].alive) return -1;
    if (!filter && visible.size() == order.size()) {
        ensureOrderPos();
        const std::uint32_t p = orderPos[record];
        return p != kNone && p < visible.size() && visible[p] == record ? static_cast<int>(p) : -1;
    }
    ensureOrderPos();
    if (orderPos[record] == kNone) return -1;
    auto it = std::lower_bound(
        visible.begin(), visible.end(), record,
        [this](std::uint32_t a, std::uint32_t b) { return orderPos[a] < orderPos[b]; });
    return it != visible.end() && *it == record ? static_cast<int>(it - visible.begin()) : -1;
}

FieldHash& DataSetCore::hashFor(int fieldNo, bool noCase) const {
    for (auto& h : hashes)
        if (h->fieldNo() == fieldNo && h->noCase() == noCase) return *h;
    auto h = std::make_unique<FieldHash>(
        fieldNo, fieldStore[static_cast<std::size_t>(fieldNo)]->DataType(), noCase);
    for (std::uint32_t r : natural)
        if (records[r].alive && r != pendingInsert)
            h->add(r, records[r].values[static_cast<std::size_t>(fieldNo)]);
    hashes.push_back(std::move(h));
    return *hashes.back();
}

void DataSetCore::hashAdd(std::uint32_t record) {
    for (auto& h : hashes)
        h->add(record, records[record].values[static_cast<std::size_t>(h->fieldNo())]);
}

void DataSetCore::hashRemove(std::uint32_t record) {
    for (auto& h : hashes)
        h->remove(record, records[record].values[static_cast<std::size_t>(h->fieldNo())]);
}

void DataSetCore::hashChange(std::uint32_t record, int fieldNo, const Variant& before,
                             const Variant& after) {
    for (auto& h : hashes) {
        if (h->fieldNo() != fieldNo) continue;
        h->remove(record, before);
        h->add(record, after);
    }
}

void DataSetCore::removeFromViews(std::uint32_t record) {
    if (auto it = std::find(order.begin(), order.end(), record); it != order.end()) order.erase(it);
    if (auto it = std::find(visible.begin(), visible.end(), record); it != visible.end())
        visible.erase(it);
    orderPosValid = false;
}

void DataSetCore::discardPending() {
    if (state == dsInsert && pendingInsert != kNone) {
        const std::uint32_t rec = pendingInsert;
        removeFromViews(rec);
        if (auto it = std::find(natural.begin(), natural.end(), rec); it != natural.end())
            natural.erase(it);
        records[rec].alive = false;
        if (rec + 1 == records.size()) records.pop_back();
        forgetOrders();
        pendingInsert = kNone;
        if (cursor >= static_cast<int>(visible.size()))
            cursor = static_cast<int>(visible.size()) - 1;
        if (visible.empty()) bof = eof = true;
    }
    buffer.clear();
    editRecord = kNone;
    if (editing()) state = dsBrowse; // the caller notifies
}

void DataSetCore::clearRows() {
    forgetOrders();
    records.clear();
    natural.clear();
    order.clear();
    visible.clear();
    orderPos.clear();
    orderPosValid = false;
    hashes.clear();
    buffer.clear();
    pendingInsert = kNone;
    editRecord = kNone;
    cursor = -1;
    bof = eof = true;
    changeCount = 0;
    ++generation;
}
