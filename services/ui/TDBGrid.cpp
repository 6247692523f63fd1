#include "services/ui/TDBGrid.h"

#include "services/data/DataLink.h"
#include "services/data/TClientDataSet.h"
#include "services/data/TDataSource.h"
#include "services/ui/EditMask.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"

// Follows the dataset: a moved or reloaded row gives the editor the new cell's text.
class TDBGrid::Link : public DataLink {
public:
    explicit Link(TDBGrid& grid) : m_grid(grid) {}
    void activeChanged() override { refresh(Property::Data); }
    void dataSetChanged() override { refresh(Property::Data); }
    void dataSetScrolled() override { refresh(Property::Selection); }
    void recordChanged(TField*) override { m_grid.NotifyChanged(Property::Data); }
    void stateChanged() override {
        TClientDataSet* ds = m_grid.DataSet();
        // A cancelled edit takes the typed text with it.
        if (!m_grid.m_committing && ds && ds->State() == dsBrowse) m_grid.resetEditor();
        m_grid.NotifyChanged(Property::Data);
    }
    void layoutChanged() override { m_grid.NotifyChanged(Property::Columns); }
    // Whatever posts, the text being typed in the cell is stored first.
    void updateData() override { m_grid.UpdateData(); }

private:
    void refresh(Property property) {
        if (!m_grid.m_committing) m_grid.resetEditor();
        m_grid.NotifyChanged(property);
    }
    TDBGrid& m_grid;
};

TDBGrid::TDBGrid(TComponent* owner) : TWinControl(owner), m_link(std::make_unique<Link>(*this)) {}

TDBGrid::~TDBGrid() {
    if (m_dataSource) m_dataSource->removeLink(m_link.get());
}

void TDBGrid::SetDataSource(TDataSource* source) {
    if (source == m_dataSource) return;
    if (m_dataSource) m_dataSource->removeLink(m_link.get());
    m_dataSource = source;
    if (m_dataSource) m_dataSource->addLink(m_link.get());
    resetEditor();
    Changed(Property::Data);
}

TClientDataSet* TDBGrid::DataSet() const {
    return m_dataSource ? m_dataSource->DataSet() : nullptr;
}

TColumn& TDBGrid::AddColumn(const std::string& fieldName, const std::string& title, int width) {
    m_columns.push_back(std::make_unique<TColumn>(*this, fieldName));
    TColumn& column = *m_columns.back();
    if (!title.empty()) column.SetTitleCaption(title);
    column.SetWidth(width);
    Changed(Property::Columns);
    return column;
}

TColumn* TDBGrid::Column(int index) const {
    if (index < 0 || index >= ColumnCount()) return nullptr;
    return m_columns[static_cast<std::size_t>(index)].get();
}

TColumn* TDBGrid::ColumnByFieldName(const std::string& fieldName) const {
    for (const auto& c : m_columns)
        if (equalsNoCase(c->FieldName(), fieldName)) return c.get();
    return nullptr;
}

void TDBGrid::ClearColumns() {
    m_columns.clear();
    m_selectedIndex = 0;
    Changed(Property::Columns);
}

void TDBGrid::columnChanged(TColumn& column) {
    if (column.Index() == m_selectedIndex && !m_modified) resetEditor();
    Changed(Property::Columns);
}

void TDBGrid::SetOptions(TDBGridOptions options) {
    if (options == m_options) return;
    m_options = options;
    if (!HasOption(dgEditing)) m_editorMode = false;
    Changed(Property::Options);
}

void TDBGrid::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    Changed(Property::ReadOnly);
}

TField* TDBGrid::SelectedField() const {
    TColumn* column = SelectedColumn();
    return column ? column->Field() : nullptr;
}

void TDBGrid::SetSelectedField(TField* field) {
    if (!field) return;
    for (const auto& c : m_columns)
        if (c->Field() == field) {
            SetSelectedIndex(c->Index());
            return;
        }
}

void TDBGrid::SetSelectedIndex(int index) {
    if (index < 0 || index >= ColumnCount() || index == m_selectedIndex) return;
    moveColumn(index);
}

void TDBGrid::moveColumn(int index) {
    UpdateData();
    if (OnColExit) OnColExit(this);
    m_selectedIndex = index;
    resetEditor();
    Changed(Property::Selection);
    if (OnColEnter) OnColEnter(this);
}

void TDBGrid::moveRow(int row) {
    TClientDataSet* ds = DataSet();
    if (!ds || !ds->Active() || row < 0 || row >= ds->RecordCount()) return;
    if (row == ds->CurrentVisibleRow()) return;
    UpdateData();
    ds->MoveToVisibleRow(row);
}

void TDBGrid::SetEditorMode(bool on) {
    if (on && !HasOption(dgEditing)) on = false;
    if (on == m_editorMode) return;
    if (!on) UpdateData();
    m_editorMode = on;
    resetEditor();
    Changed(Property::EditorText);
}

std::string TDBGrid::EditorText() const {
    if (m_modified || m_committed) return m_editorText;
    TField* field = SelectedField();
    if (!field) return {};
    std::string text = field->Text();
    // A masked cell with nothing in it still shows its literals ("  /    ").
    if (text.empty() && !field->EditMask().empty()) return EditMask(field->EditMask()).Blank();
    return text;
}

void TDBGrid::resetEditor() {
    m_modified = false;
    m_committed = false;
    m_caretSet = false;
    m_editorText.clear();
}

LineEditor TDBGrid::lineEditor(const EditMask& mask) const {
    std::string text = EditorText();
    if (m_modified || m_caretSet) return LineEditor(text, m_selStart, m_selLength, mask);
    return LineEditor(text, 0, static_cast<int>(ToU32(text).size()), mask);
}

void TDBGrid::applyEditor(const LineEditor& editor) {
    m_editorText = editor.text();
    m_selStart = editor.selStart();
    m_selLength = editor.selLength();
    m_caretSet = true;
    Changed(Property::EditorText);
}

int TDBGrid::EditorSelStart() const {
    return (m_modified || m_caretSet) ? m_selStart : 0;
}

int TDBGrid::EditorSelLength() const {
    if (m_modified || m_caretSet) return m_selLength;
    return static_cast<int>(ToU32(EditorText()).size());
}

void TDBGrid::SetEditorSelection(int start, int length) {
    if (!m_modified) m_editorText = EditorText();
    int n = static_cast<int>(ToU32(m_editorText).size());
    m_selStart = std::clamp(start, 0, n);
    m_selLength = std::clamp(length, 0, n - m_selStart);
    m_caretSet = true;
    Changed(Property::Selection);
}

bool TDBGrid::CanEditCell() const {
    TClientDataSet* ds = DataSet();
    TColumn* column = SelectedColumn();
    TField* field = SelectedField();
    return HasOption(dgEditing) && !HasOption(dgRowSelect) && !m_readOnly && ds && ds->Active() &&
           column && column->Visible() && !column->ReadOnly() && field && !field->ReadOnly() &&
           (!m_dataSource || m_dataSource->Enabled());
}

void TDBGrid::UpdateData() {
    if (!m_modified) return;
    TClientDataSet* ds = DataSet();
    TField* field = SelectedField();
    if (!ds || !field || (ds->State() != dsEdit && ds->State() != dsInsert)) {
        resetEditor();
        return;
    }
    m_committing = true;
    try {
        field->SetText(m_editorText);
    } catch (...) {
        m_committing = false;
        throw;
    }
    m_committing = false;
    // The typed text stays in the editor until the cell is left, as the operator sees it.
    m_modified = false;
    m_committed = true;
}

void TDBGrid::beginEdit() {
    TClientDataSet* ds = DataSet();
    if (ds->State() == dsBrowse) ds->Edit();
    m_editorMode = true;
}

bool TDBGrid::ClickCell(int row, int column) {
    if (!EffectivelyEnabled() || column < 0 || column >= ColumnCount()) return false;
    TClientDataSet* ds = DataSet();
    if (ds && ds->Active() && row >= 0 && row < ds->RecordCount()) moveRow(row);
    if (column != m_selectedIndex) moveColumn(column);
    if (OnCellClick) OnCellClick(SelectedColumn());
    return true;
}

bool TDBGrid::DblClickCell(int row, int column) {
    if (!ClickCell(row, column)) return false;
    DblClick();
    return true;
}

void TDBGrid::ClickTitle(int column) {
    if (!EffectivelyEnabled() || column < 0 || column >= ColumnCount()) return;
    if (OnTitleClick) OnTitleClick(Column(column));
}

int TDBGrid::RowCount() const {
    TClientDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->RecordCount() : 0;
}

int TDBGrid::CurrentRow() const {
    TClientDataSet* ds = DataSet();
    return ds && ds->Active() ? ds->CurrentVisibleRow() : -1;
}

std::string TDBGrid::CellText(int row, int column) const {
    TClientDataSet* ds = DataSet();
    TColumn* col = Column(column);
    TField* field = col ? col->Field() : nullptr;
    if (!ds || !field || row < 0 || row >= RowCount()) return {};
    if (row == CurrentRow() && column == m_selectedIndex && m_editorMode) return EditorText();
    return ds->RowDisplayText(row, field->Index());
}

TCellStyle TDBGrid::CellStyle(int row, int column) const {
    TCellStyle style;
    TClientDataSet* ds = DataSet();
    TColumn* col = Column(column);
    if (!ds || !col || row < 0 || row >= RowCount()) return style;
    bool selected = row == CurrentRow() && (column == m_selectedIndex || HasOption(dgRowSelect));
    // A grid given a colour shows it behind its cells, not only around them.
    if (Color() != clDefault) style.background = Color();
    if (selected) {
        style.background = clHighlight;
        style.textColor = clHighlightText;
    }
    if (OnDrawColumnCell) {
        TGridDrawCell cell(*ds, *col, row, selected, selected && Focused());
        OnDrawColumnCell(const_cast<TDBGrid*>(this), cell, style);
    }
    return style;
}

void TDBGrid::DoEnter() {
    TWinControl::DoEnter();
}

void TDBGrid::DoExit() {
    UpdateData();
    TWinControl::DoExit();
}

int TDBGrid::nextVisibleColumn(int from, int step) const {
    for (int i = from + step; i >= 0 && i < ColumnCount(); i += step)
        if (Column(i)->Visible()) return i;
    return -1;
}

void TDBGrid::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    TClientDataSet* ds = DataSet();
    switch (key) {
    case VK_TAB: {
        if (!HasOption(dgTabs)) break;
        int step = (shift & ssShift) ? -1 : 1;
        int next = nextVisibleColumn(m_selectedIndex, step);
        if (next >= 0) {
            moveColumn(next);
        } else if (ds && ds->Active()) {
            int row = ds->CurrentVisibleRow() + step;
            if (row >= 0 && row < ds->RecordCount()) {
                moveRow(row);
                int edge = nextVisibleColumn(step > 0 ? -1 : ColumnCount(), step);
                if (edge >= 0 && edge != m_selectedIndex) moveColumn(edge);
            }
        }
        key = 0;
        return;
    }
    case VK_HOME:
    case VK_END:
        if (m_modified) {
            LineEditor editor =
                lineEditor(EditMask(SelectedField() ? SelectedField()->EditMask() : ""));
            editor.move(key);
            applyEditor(editor);
        }
        key = 0;
        return;
    case VK_LEFT:
    case VK_RIGHT: {
        // While typing, the arrows move the caret in the cell; otherwise between columns.
        if (m_modified) {
            LineEditor editor =
                lineEditor(EditMask(SelectedField() ? SelectedField()->EditMask() : ""));
            editor.move(key);
            applyEditor(editor);
            key = 0;
            return;
        }
        int next = nextVisibleColumn(m_selectedIndex, key == VK_RIGHT ? 1 : -1);
        if (next >= 0) moveColumn(next);
        key = 0;
        return;
    }
    case VK_UP:
    case VK_DOWN:
        if (ds && ds->Active()) moveRow(ds->CurrentVisibleRow() + (key == VK_DOWN ? 1 : -1));
        key = 0;
        return;
    case VK_RETURN:
        UpdateData();
        key = 0;
        return;
    case VK_ESCAPE:
        if (m_modified)
            resetEditor();
        else if (ds && (ds->State() == dsEdit || ds->State() == dsInsert))
            ds->Cancel();
        Changed(Property::EditorText);
        key = 0;
        return;
    case VK_DELETE:
        if (CanEditCell()) {
            EditMask mask(SelectedField()->EditMask());
            LineEditor editor = lineEditor(mask);
            editor.del();
            beginEdit();
            applyEditor(editor);
            m_modified = true;
        }
        key = 0;
        return;
    case VK_F2:
        SetEditorMode(true);
        key = 0;
        return;
    default:
        break;
    }
    TWinControl::DefaultKeyDown(key, shift);
}

void TDBGrid::DefaultKeyPress(TKeyChar& key) {
    if (key == U'\t' || key == U'\r' || key == 27) return;
    if (!CanEditCell()) {
        key = 0;
        return;
    }
    TField* field = SelectedField();
    EditMask mask(field->EditMask());
    LineEditor editor = lineEditor(mask);
    if (key == U'\b') {
        editor.backspace();
    } else if (key < 32) {
        return;
    } else {
        LineEditor sized(editor.text(), editor.selStart(), editor.selLength(), mask,
                         mask.Empty() ? field->Size() : 0);
        if (!sized.type(key)) {
            key = 0;
            return;
        }
        editor = sized;
    }
    beginEdit();
    m_committed = false;
    applyEditor(editor);
    m_modified = true;
}
