#pragma once

#include "services/data/FieldHash.h"
#include "services/data/FilterExpression.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class RecordStatus : std::uint8_t { Unchanged, Modified, Inserted, Deleted };

// A row of the dataset. Record ids (positions in DataSetCore::records) never change while the
// rows are loaded, so bookmarks, hashes and views can hold them. A deleted row keeps its values
// before the change in `original` until the change log is merged.
struct DataRecord {
    std::vector<Variant> values;
    std::vector<Variant> original;
    RecordStatus status = RecordStatus::Unchanged;
    bool alive = true;
};

// The state behind a TClientDataSet: rows, the views over them (load order, index order,
// visible rows), the cursor, the edit buffer, filter, hashes and the attached data sources.
class DataSetCore {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    struct SortKey {
        int fieldNo;
        bool descending;
        bool operator==(const SortKey& other) const noexcept {
            return fieldNo == other.fieldNo && descending == other.descending;
        }
    };
    // An order sorted earlier for other keys. It stays true while no row is added, removed or
    // changed in one of its key fields; every change of that kind drops it.
    struct SortedOrder {
        std::vector<SortKey> keys;
        std::vector<std::uint32_t> order;
    };
    static constexpr std::size_t kSortedOrdersKept = 6;
    struct IndexDef {
        std::string name, fields, descFields;
    };

    explicit DataSetCore(TClientDataSet& owner) : ds(owner) {}

    TClientDataSet& ds;
    std::vector<std::unique_ptr<TField>> fieldStore; // by FieldNo
    bool active = false;
    TDataSetState state = dsInactive;

    std::vector<DataRecord> records;
    std::vector<std::uint32_t> natural; // load order: live rows and pending deletions
    std::vector<std::uint32_t> order;   // live rows in index order
    std::vector<std::uint32_t> visible; // order under the filter
    int cursor = -1;                    // into visible
    bool bof = true, eof = true;
    std::vector<Variant> buffer; // the pending edit or insert
    std::uint32_t pendingInsert = kNone;
    std::uint32_t editRecord = kNone; // the row the pending edit belongs to
    std::uint64_t generation = 1;
    int changeCount = 0;

    std::optional<FilterExpression> filter; // bound; set while filtering is in force
    bool useHashes = true;
    std::vector<SortKey> sortKeys;
    std::vector<IndexDef> indexDefs;
    std::vector<std::uint32_t> orderPos; // record -> position in order
    bool orderPosValid = false;
    std::vector<SortedOrder> sortedOrders; // most recently used first
    mutable std::vector<std::unique_ptr<FieldHash>> hashes;

    int disableCount = 0;
    bool held = false;
    std::vector<TDataSource*> sources;
    mutable int readRow = -1; // visible row that fields read instead of the cursor's
    mutable std::vector<FieldDef> defs;
    mutable bool defsValid = false;

    // --- Access ---------------------------------------------------------------------------
    // The fields as definitions, by FieldNo (cached; invalidateDefs() when fields change).
    const std::vector<FieldDef>& fieldDefs() const;
    void invalidateDefs() noexcept {
        defsValid = false;
        forgetOrders();
    }
    int fieldCount() const noexcept { return static_cast<int>(fieldStore.size()); }
    bool editing() const noexcept { return state == dsEdit || state == dsInsert; }
    // The row the pending edit or insert belongs to (kNone when not editing).
    std::uint32_t bufferRecord() const noexcept {
        return state == dsInsert ? pendingInsert : (state == dsEdit ? editRecord : kNone);
    }
    // An edit that a handler re-opened and that moved with the cursor before anything was
    // typed follows the cursor to the row it now stands on; one with typed values never does.
    void followCursor();
    std::uint32_t currentRecord() const noexcept;
    const Variant& value(int fieldNo) const noexcept;
    void checkActive(const char* operation) const;
    [[noreturn]] void fail(const std::string& message) const;

    // --- Events and notifications ---------------------------------------------------------
    void fire(const TClientDataSet::Event& event);
    void notify(TDataSource::Notice notice, TField* field = nullptr);
    void setState(TDataSetState state);

    // --- Views ----------------------------------------------------------------------------
    // Field numbers of "A;B" among the given fields (default: the dataset's); throws naming an
    // unknown one.
    std::vector<int> fieldList(const std::string& names) const;
    std::vector<int> fieldList(const std::string& names, const std::vector<FieldDef>& defs) const;
    std::vector<SortKey> sortKeysFor(const std::string& fields, const std::string& desc,
                                     const std::vector<FieldDef>& defs) const;
    std::vector<SortKey> sortKeysFor(const std::string& fields, const std::string& desc) const {
        return sortKeysFor(fields, desc, fieldDefs());
    }
    FilterExpression boundFilter(const std::string& text, const std::vector<FieldDef>& defs) const;
    FilterExpression boundFilter(const std::string& text) const {
        return boundFilter(text, fieldDefs());
    }
    bool keyLess(std::uint32_t a, std::uint32_t b) const;
    // The live rows in the order of sortKeys: sorted, or taken from an order kept from before.
    void rebuildOrder();
    // Rows were added, removed or restored: no kept order holds any more.
    void forgetOrders() noexcept { sortedOrders.clear(); }
    // A row's value changed in this field: the kept orders sorted on it no longer hold.
    void forgetOrdersOn(int fieldNo);
    // Sorts the live rows into order, whatever was kept.
    void sortLiveRows();
    void reposition(std::uint32_t record);
    // Recomputes the visible rows; the cursor stays on `keep` when it is still visible, else
    // goes to row `fallback` (clamped). Returns whether `keep` stayed visible.
    bool rebuildVisible(std::uint32_t keep, int fallback);
    void ensureOrderPos();
    // The live rows that satisfy `test`, in index order.
    std::vector<std::uint32_t> matching(const FilterExpression& test);
    bool passes(std::uint32_t record) const;
    // Position of a record among the visible rows (browse state), or -1.
    int visibleIndexOf(std::uint32_t record);

    // --- Hashes ---------------------------------------------------------------------------
    FieldHash& hashFor(int fieldNo, bool noCase) const;
    void hashAdd(std::uint32_t record);
    void hashRemove(std::uint32_t record);
    void hashChange(std::uint32_t record, int fieldNo, const Variant& before, const Variant& after);
    void dropHashes() { hashes.clear(); }

    // --- Rows -----------------------------------------------------------------------------
    // Drops the pending edit or insert without events.
    void discardPending();
    void clearRows();
    void removeFromViews(std::uint32_t record);
};
