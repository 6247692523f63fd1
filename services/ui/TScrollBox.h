#pragma once

#include "services/ui/TWinControl.h"

// A container whose contents scroll when they do not fit.
class TScrollBox : public TWinControl {
public:
    using TWinControl::TWinControl;
};
