#pragma once

#include <string>

class TDBGrid;
class TWinControl;

// The text in the grid's cell of the named column: what the operator is typing when that
// column is the selected one, else the field's edit text on the current row. False (and an
// empty text) when the grid has no column of that name.
bool GridText(TDBGrid* grid, const std::string& fieldName, bool flag, std::string& text);

// Enables or disables every control inside the container, at any depth (not the container).
void SetChildEnabled(TWinControl* container, bool enabled);
