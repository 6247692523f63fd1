#include "services/ui/ScreenRoutines.h"

#include "services/data/TField.h"
#include "services/ui/TDBGrid.h"

bool GridText(TDBGrid* grid, const std::string& fieldName, bool, std::string& text) {
    text.clear();
    if (!grid) return false;
    TColumn* column = grid->ColumnByFieldName(fieldName);
    if (!column) return false;
    if (column == grid->SelectedColumn()) {
        text = grid->EditorText();
    } else if (TField* field = column->Field()) {
        text = field->Text();
    }
    return true;
}

void SetChildEnabled(TWinControl* container, bool enabled) {
    if (!container) return;
    for (TControl* c : container->Controls()) {
        c->SetEnabled(enabled);
        if (auto* wc = dynamic_cast<TWinControl*>(c)) SetChildEnabled(wc, enabled);
    }
}
