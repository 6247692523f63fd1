#pragma once

#include "services/ui/TControl.h"

class TWinControl;

// A caption on a form; may name the control it describes.
class TLabel : public TControl {
public:
    using TControl::TControl;
    TWinControl* FocusControl() const { return m_focusControl; }
    void SetFocusControl(TWinControl* control) { m_focusControl = control; }

private:
    TWinControl* m_focusControl = nullptr;
};
