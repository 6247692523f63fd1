#pragma once

#include "services/ui/UiTypes.h"

// The 16x16 picture a check column shows instead of its text.
enum class TCheckPicture { None, Checked, Unchecked, Grayed };

// How one grid cell is drawn; a grid's OnDrawColumnCell fills it in.
struct TCellStyle {
    TColor background = clWindow;
    TColor textColor = clWindowText;
    bool bold = false;
    TCheckPicture picture = TCheckPicture::None;
};
