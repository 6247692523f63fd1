#include "services/data/TClientDataSet.h"

#include "services/data/DataSetCore.h"

#include <algorithm>

using Notice = TDataSource::Notice;

namespace {

void startInsert(DataSetCore& c, TClientDataSet& ds, bool append) {
    c.checkActive(append ? "Append" : "Insert");
    ds.CheckBrowseMode();
    c.fire(ds.BeforeInsert);
    c.fire(ds.BeforeScroll);
    // The handlers may have closed the dataset or started an edit of their own.
    c.checkActive(append ? "Append" : "Insert");
    ds.CheckBrowseMode();

    const auto rec = static_cast<std::uint32_t>(c.records.size());
    const std::uint32_t before = append ? DataSetCore::kNone : c.currentRecord();
    c.records.push_back(
        DataRecord{std::vector<Variant>(c.fieldStore.size()), {}, RecordStatus::Unchanged, true});
    auto placeBefore = [&](std::vector<std::uint32_t>& list) {
        auto it =
            before == DataSetCore::kNone ? list.end() : std::find(list.begin(), list.end(), before);
        list.insert(it, rec);
    };
    placeBefore(c.natural);
    placeBefore(c.order);
    c.orderPosValid = false;
    c.forgetOrders();
    if (before == DataSetCore::kNone) {
        c.visible.push_back(rec);
        c.cursor = static_cast<int>(c.visible.size()) - 1;
    } else {
        c.visible.insert(c.visible.begin() + c.cursor, rec);
    }
    c.bof = c.eof = false;
    c.buffer.assign(c.fieldStore.size(), Variant());
    c.pendingInsert = rec;
    c.state = dsInsert;
    c.notify(Notice::DataSet);
    c.notify(Notice::State);
    try {
        c.fire(ds.OnNewRecord);
    } catch (...) {
        c.discardPending();
        c.notify(Notice::State);
        c.notify(Notice::DataSet);
        throw;
    }
    c.fire(ds.AfterInsert);
    c.fire(ds.AfterScroll);
}

} // namespace

void TClientDataSet::Insert() {
    startInsert(*m_core, *this, false);
}

void TClientDataSet::Append() {
    startInsert(*m_core, *this, true);
}

void TClientDataSet::Edit() {
    DataSetCore& c = *m_core;
    c.checkActive("Edit");
    if (c.editing()) return;
    if (c.visible.empty()) {
        Insert();
        return;
    }
    c.fire(BeforeEdit);
    // The handler may have moved, emptied or already put the dataset in edit.
    c.checkActive("Edit");
    if (c.editing()) return;
    if (c.currentRecord() == DataSetCore::kNone) c.fail("não há registro para editar.");
    c.buffer = c.records[c.currentRecord()].values;
    c.editRecord = c.currentRecord();
    c.setState(dsEdit);
    c.fire(AfterEdit);
}

void TClientDataSet::CheckBrowseMode() {
    DataSetCore& c = *m_core;
    if (c.editing()) Post();
}

void TClientDataSet::Post() {
    DataSetCore& c = *m_core;
    c.checkActive("Post");
    if (!c.editing()) return;
    // Controls store what the operator is still typing before the checks see the row.
    if (c.disableCount == 0) c.notify(Notice::UpdateRecord);
    if (!c.active || !c.editing()) return;
    c.fire(BeforePost);
    if (!c.active || !c.editing()) return; // the handler cancelled or closed: nothing left to store

    // The edit is stored on its own row, wherever the cursor stands now.
    const std::uint32_t rec = c.bufferRecord();
    const std::uint32_t here = c.currentRecord();
    DataRecord& r = c.records[rec];
    bool viewChanged = false;
    if (c.state == dsInsert) {
        r.values = std::move(c.buffer);
        r.status = RecordStatus::Inserted;
        ++c.changeCount;
        c.pendingInsert = DataSetCore::kNone;
        c.hashAdd(rec);
        c.forgetOrders();
        if (!c.sortKeys.empty()) c.reposition(rec);
        viewChanged = c.filter.has_value() || !c.sortKeys.empty();
    } else {
        std::vector<int> changed;
        for (std::size_t f = 0; f < r.values.size(); ++f)
            if (!(r.values[f] == c.buffer[f]) || r.values[f].type() != c.buffer[f].type())
                changed.push_back(static_cast<int>(f));
        if (!changed.empty()) {
            if (r.status == RecordStatus::Unchanged) {
                r.original = r.values;
                r.status = RecordStatus::Modified;
                ++c.changeCount;
            }
            bool keyChanged = false;
            for (int f : changed) {
                const auto fi = static_cast<std::size_t>(f);
                c.hashChange(rec, f, r.values[fi], c.buffer[fi]);
                c.forgetOrdersOn(f);
                keyChanged = keyChanged || std::any_of(c.sortKeys.begin(), c.sortKeys.end(),
                                                       [f](const DataSetCore::SortKey& k) {
                                                           return k.fieldNo == f;
                                                       });
                viewChanged = viewChanged || (c.filter && c.filter->usesField(f));
            }
            r.values = std::move(c.buffer);
            if (keyChanged) c.reposition(rec);
            viewChanged = viewChanged || keyChanged;
        }
    }
    c.buffer.clear();
    c.editRecord = DataSetCore::kNone;
    if (viewChanged) c.rebuildVisible(here == DataSetCore::kNone ? rec : here, c.cursor);
    c.setState(dsBrowse);
    c.notify(viewChanged ? Notice::DataSet : Notice::Record);
    c.fire(AfterPost);
}

void TClientDataSet::Cancel() {
    DataSetCore& c = *m_core;
    if (!c.active || !c.editing()) return;
    c.fire(BeforeCancel);
    if (!c.active || !c.editing()) return;
    c.discardPending();
    c.notify(Notice::State);
    c.notify(Notice::DataSet);
    c.fire(AfterCancel);
}

void TClientDataSet::Delete() {
    DataSetCore& c = *m_core;
    c.checkActive("Delete");
    if (c.state == dsInsert) {
        Cancel();
        return;
    }
    if (c.visible.empty()) c.fail("não há registro para excluir.");
    c.fire(BeforeDelete);
    c.fire(BeforeScroll);
    c.checkActive("Delete");
    if (c.state == dsInsert) {
        Cancel();
        return;
    }
    if (c.visible.empty()) return; // the handler removed the row already

    const std::uint32_t rec = c.currentRecord();
    DataRecord& r = c.records[rec];
    c.hashRemove(rec);
    c.forgetOrders();
    switch (r.status) {
    case RecordStatus::Inserted:
        // Never reached the other side: it simply disappears.
        r.status = RecordStatus::Unchanged;
        r.values.clear();
        --c.changeCount;
        c.natural.erase(std::find(c.natural.begin(), c.natural.end(), rec));
        break;
    case RecordStatus::Modified:
        r.values.clear();
        r.status = RecordStatus::Deleted;
        break;
    case RecordStatus::Unchanged:
        r.original = std::move(r.values);
        r.values.clear();
        r.status = RecordStatus::Deleted;
        ++c.changeCount;
        break;
    case RecordStatus::Deleted:
        break;
    }
    r.alive = false;
    const int at = c.cursor;
    c.removeFromViews(rec);
    c.cursor = std::min(at, static_cast<int>(c.visible.size()) - 1);
    c.bof = c.eof = c.visible.empty();
    c.buffer.clear();
    c.editRecord = DataSetCore::kNone;
    c.setState(dsBrowse);
    c.notify(Notice::DataSet);
    c.fire(AfterDelete);
    c.fire(AfterScroll);
}
