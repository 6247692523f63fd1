#pragma once

#include "services/ui/TWinControl.h"

// A radio button; the buttons of one container form a group where one at most is checked.
// Becoming checked, by the operator or the program, fires OnClick.
class TRadioButton : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool IsFocusable() const override { return true; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    void Click() override;
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;

private:
    bool m_checked = false;
};
