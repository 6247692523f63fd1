#pragma once

#include "services/ui/TWinControl.h"

// A check box. Changing Checked, by the operator or the program, fires OnClick.
class TCheckBox : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool IsFocusable() const override { return true; }
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    // The operator's click toggles the box.
    void Click() override;
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;

private:
    bool m_checked = false;
};
