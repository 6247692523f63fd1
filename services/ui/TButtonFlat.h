#pragma once

#include "services/ui/TButton.h"

// A flat push button (the toolbar look).
class TButtonFlat : public TButton {
public:
    using TButton::TButton;
};
