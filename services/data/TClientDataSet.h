#pragma once

#include "services/data/DataPacket.h"
#include "services/data/DataSetError.h"
#include "services/data/LocateOptions.h"
#include "services/data/TBookmark.h"
#include "services/data/TDataSetState.h"
#include "services/data/TField.h"
#include "services/data/Variant.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TDataSource;
class DataSetCore;

// The in-memory table every screen works on: declared fields, rows, a current row, the
// browse/edit/insert states with their events, a change log, a filter, an order.
//
// Rows are seen through the filter (when Filtered) in the order of the index (IndexFieldNames
// or IndexName; else the order rows were loaded and added). Moving the cursor (First, Next,
// Locate, ...) first posts a pending edit or insert. Errors raise DataSetError (or the
// PacketError / VariantError of a bad packet or value) and leave the dataset as it was; a
// handler raising EAbort ends the operation the same way.
class TClientDataSet {
public:
    using Event = std::function<void(TClientDataSet&)>;

    explicit TClientDataSet(std::string name = {});
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    const std::string& Name() const noexcept { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

    // --- Fields ---------------------------------------------------------------------------
    // Declares a field (dataset closed); size is characters for text (0: no limit).
    TField& AddField(std::string_view name, FieldType type, int size = 0);
    // The field of that name regardless of letter case; throws DataSetError naming it.
    TField& FieldByName(std::string_view name) const;
    TField* FindField(std::string_view name) const noexcept;
    // Fields in their Index order.
    const std::vector<TField*>& Fields() const noexcept { return m_fields; }
    int FieldCount() const noexcept { return static_cast<int>(m_fields.size()); }
    // Removes every field (dataset closed).
    void ClearFields();

    // --- Life cycle -----------------------------------------------------------------------
    // Opens empty with the declared fields.
    void CreateDataSet();
    // Opens with the rows already held, or empty; needs fields.
    void Open();
    // Closes and drops rows and change log; fields stay declared.
    void Close();
    bool Active() const noexcept;
    // Removes every row and the change log.
    void EmptyDataSet();
    TDataSetState State() const noexcept;
    // True when no row is visible.
    bool IsEmpty() const noexcept;
    // Rows visible under the filter.
    int RecordCount() const noexcept;
    // 1-based position of the current row among the visible ones; 0 when empty.
    int RecNo() const noexcept;

    // --- Navigation (each posts a pending edit or insert first) ---------------------------
    void First();
    void Next();
    void Prior();
    void Last();
    // Moves by up to `distance` rows; returns how many it moved (negative backwards).
    int MoveBy(int distance);
    bool Eof() const noexcept;
    bool Bof() const noexcept;
    // Moves to the first visible row whose fields ("A;B") hold the values; false and no
    // move when there is none.
    bool Locate(const std::string& fields, const std::vector<Variant>& values,
                LocateOptions options = {});

    // Holds the notifications to data sources until the matching EnableControls.
    void DisableControls() noexcept;
    void EnableControls();
    bool ControlsDisabled() const noexcept;

    TBookmark GetBookmark() const noexcept;
    // Moves to the bookmarked row; throws DataSetError when it is gone or filtered out.
    void GotoBookmark(const TBookmark& bookmark);
    // True when GotoBookmark would find the row.
    bool BookmarkValid(const TBookmark& bookmark) const noexcept;

    // --- Editing --------------------------------------------------------------------------
    // A new row before the current one (Append: after the last), in insert state.
    void Insert();
    void Append();
    // Edit state on the current row (on an empty dataset: Insert).
    void Edit();
    // Stores the edited or inserted row and logs the change.
    void Post();
    // Drops the pending edit or insert.
    void Cancel();
    // Removes the current row (a pending insert is cancelled instead).
    void Delete();
    // Posts a pending edit or insert; nothing in browse state.
    void CheckBrowseMode();

    // --- Packets and the change log -------------------------------------------------------
    // Fields, rows in load order and the pending changes.
    DataPacket Data() const;
    // Replaces fields, rows and change log with the packet's and opens the dataset on its first
    // row (AfterScroll fires when there is one). Field objects of the same name are kept with
    // their properties and handlers; a field declared with AddField that the packet lacks stays
    // as an empty column. A malformed packet throws PacketError and changes nothing.
    void SetData(const DataPacket& packet);
    void SetData(DataPacket&& packet);
    // The pending changes: modified, inserted and deleted rows with their original values.
    DataPacket Delta() const;
    // Rows with a pending change.
    int ChangeCount() const noexcept;
    // Accepts the pending changes as the new original state.
    void MergeChangeLog();
    // Undoes every pending change.
    void CancelUpdates();

    // --- Filter ---------------------------------------------------------------------------
    // Filter text: comparisons (=, <>, <, >, <=, >=, IN (...)) of fields, 'texts' and numbers
    // joined by AND, OR, NOT and parentheses. Throws DataSetError for a text that does not
    // parse or names an unknown field, keeping the previous filter. While filtering, a new text
    // posts a pending edit and moves to the first row (AfterScroll fires when there is one).
    void SetFilter(const std::string& text);
    const std::string& Filter() const noexcept { return m_filterText; }
    void SetFiltered(bool filtered);
    bool Filtered() const noexcept { return m_filtered; }
    // Whether equality filters and Locate may use hash lookups (on by default); the rows
    // found are the same either way.
    void SetFilterIndexesEnabled(bool enabled);
    // The values of `fields` ("A;B") of every stored row that satisfies `filter`, whether or
    // not the filter in force shows it: row after row in index order, the fields of each in
    // the order named. Neither the view nor the cursor changes (a pending edit or insert is
    // not among the rows). Throws DataSetError as SetFilter does.
    std::vector<Variant> RowsWhere(const std::string& filter, const std::string& fields);

    // --- Order ----------------------------------------------------------------------------
    // Orders by the fields "A;B" ascending; empty: load order. Clears IndexName.
    void SetIndexFieldNames(const std::string& fields);
    const std::string& IndexFieldNames() const noexcept { return m_indexFieldNames; }
    // Defines a named order; fields of descFields ("A;B") sort descending.
    void AddIndex(const std::string& name, const std::string& fields,
                  const std::string& descFields = {});
    // Orders by a named index; empty: load order. Clears IndexFieldNames.
    void SetIndexName(const std::string& name);
    const std::string& IndexName() const noexcept { return m_indexName; }

    // --- Rows for grids, without moving the cursor ----------------------------------------
    int VisibleRowCount() const noexcept { return RecordCount(); }
    // Value of a visible row (0-based) and field (its Index); the pending edit for the current
    // row. Valid until the dataset changes.
    const Variant& RowValue(int visibleRow, int fieldIndex) const;
    // DisplayText of a field as it would show on that row (OnGetText runs with the row current).
    std::string RowDisplayText(int visibleRow, int fieldIndex) const;
    // 0-based visible row of the cursor; -1 when empty.
    int CurrentVisibleRow() const noexcept;
    // Moves the cursor to a visible row (0-based), as a scroll.
    void MoveToVisibleRow(int visibleRow);

    // --- Events (detach by clearing, re-attach by restoring) ------------------------------
    Event BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost;
    Event BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    Event OnNewRecord;

private:
    friend class TField;
    friend class TDataSource;

    std::string m_name;
    std::vector<TField*> m_fields;
    std::string m_filterText;
    bool m_filtered = false;
    std::string m_indexFieldNames;
    std::string m_indexName;
    std::unique_ptr<DataSetCore> m_core;
};
