#pragma once

#include "services/ui/LineEditor.h"
#include "services/ui/TCellStyle.h"
#include "services/ui/TColumn.h"
#include "services/ui/TGridDrawCell.h"
#include "services/ui/TWinControl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDataSource;
class TClientDataSet;
class TField;

enum TDBGridOption : unsigned {
    dgEditing = 1u << 0,
    dgAlwaysShowEditor = 1u << 1,
    dgTitles = 1u << 2,
    dgIndicator = 1u << 3,
    dgColumnResize = 1u << 4,
    dgColLines = 1u << 5,
    dgRowLines = 1u << 6,
    dgTabs = 1u << 7,
    dgRowSelect = 1u << 8,
    dgAlwaysShowSelection = 1u << 9,
    dgConfirmDelete = 1u << 10,
    dgCancelOnExit = 1u << 11,
};
using TDBGridOptions = unsigned;

// The data-aware grid: rows of the data source's dataset (the dataset's cursor is the current
// row), columns bound to fields, a selected column, and an in-place editor.
//
// Typing: a character that the handlers let through, on an editable cell, puts the dataset in
// edit state (its BeforeEdit may refuse) and goes into the editor, replacing the cell's text
// at the first character. The editor's text reaches the field through the field's set-text
// (OnSetText when attached) when the cell is left: another column, another row, the grid
// losing the focus, Enter, a post of the dataset (before its BeforePost), or UpdateData.
// OnColExit runs after that, while the column left is
// still the selected one and the editor still holds its text (what GridText reads).
class TDBGrid : public TWinControl {
public:
    explicit TDBGrid(TComponent* owner);
    ~TDBGrid() override;
    bool IsFocusable() const override { return true; }

    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* source);
    // The data source's dataset, or nullptr.
    TClientDataSet* DataSet() const;

    const std::vector<std::unique_ptr<TColumn>>& Columns() const { return m_columns; }
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    TColumn& AddColumn(const std::string& fieldName, const std::string& title = {}, int width = 64);
    TColumn* Column(int index) const;
    // The first column bound to that field name (letter case ignored), or nullptr.
    TColumn* ColumnByFieldName(const std::string& fieldName) const;
    void ClearColumns();

    TDBGridOptions Options() const { return m_options; }
    void SetOptions(TDBGridOptions options);
    bool HasOption(TDBGridOption option) const { return (m_options & option) != 0; }
    void AddOption(TDBGridOption option) { SetOptions(m_options | option); }
    void RemoveOption(TDBGridOption option) { SetOptions(m_options & ~option); }
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);

    // The selected column. Setting it leaves the current cell (its text is stored first) and
    // fires OnColExit and OnColEnter.
    int SelectedIndex() const { return m_selectedIndex; }
    void SetSelectedIndex(int index);
    TColumn* SelectedColumn() const { return Column(m_selectedIndex); }
    TField* SelectedField() const;
    void SetSelectedField(TField* field);

    bool EditorMode() const { return m_editorMode; }
    void SetEditorMode(bool on);
    // The in-place editor's text: what the operator typed in the selected cell, else the
    // selected field's edit text.
    std::string EditorText() const;
    // Whether the editor holds text the operator typed that is not stored yet.
    bool EditorModified() const { return m_modified; }
    // The editor's caret and selection, in characters; a cell just entered has all of its
    // text selected, so the first character typed replaces it.
    int EditorSelStart() const;
    int EditorSelLength() const;
    void SetEditorSelection(int start, int length);
    // Whether the selected cell takes typing: editing option, grid, column and field not
    // read-only, an open dataset.
    bool CanEditCell() const;
    // Stores the typed text through the field's set-text when the operator changed it.
    void UpdateData();

    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;
    std::function<void(TColumn* Column)> OnCellClick;
    std::function<void(TColumn* Column)> OnTitleClick;
    std::function<void(TObject* Sender, const TGridDrawCell& Cell, TCellStyle& Style)>
        OnDrawColumnCell;

    // The operator's pointer: a click on a cell moves the row and the column there, then
    // fires OnCellClick; a double click does the same, then OnDblClick. False when the cell
    // does not exist or the move was refused.
    bool ClickCell(int row, int column);
    bool DblClickCell(int row, int column);
    void ClickTitle(int column);

    // For renderers: rows visible, the text and style of a cell, the current row.
    int RowCount() const;
    std::string CellText(int row, int column) const;
    TCellStyle CellStyle(int row, int column) const;
    int CurrentRow() const;

    void DoEnter() override;
    void DoExit() override;
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;
    void DefaultKeyPress(TKeyChar& key) override;

    // For TColumn.
    void columnChanged(TColumn& column);

private:
    class Link;
    friend class Link;

    void moveColumn(int index);
    void moveRow(int row);
    int nextVisibleColumn(int from, int step) const;
    void beginEdit();
    void resetEditor();
    LineEditor lineEditor(const EditMask& mask) const;
    void applyEditor(const LineEditor& editor);

    TDataSource* m_dataSource = nullptr;
    std::unique_ptr<Link> m_link;
    std::vector<std::unique_ptr<TColumn>> m_columns;
    TDBGridOptions m_options = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines |
                               dgRowLines | dgTabs | dgConfirmDelete | dgCancelOnExit;
    bool m_readOnly = false;
    int m_selectedIndex = 0;
    bool m_editorMode = false;
    std::string m_editorText;
    bool m_modified = false;
    bool m_committed = false;
    bool m_committing = false;
    bool m_caretSet = false;
    int m_selStart = 0;
    int m_selLength = 0;
};
