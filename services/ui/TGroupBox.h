#pragma once

#include "services/ui/TWinControl.h"

// A framed container with a caption.
class TGroupBox : public TWinControl {
public:
    using TWinControl::TWinControl;
};
