#include "services/ui/TCheckBox.h"

void TCheckBox::SetChecked(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    Changed(Property::Checked);
    TControl::Click();
}

void TCheckBox::Click() {
    if (EffectivelyEnabled()) SetChecked(!m_checked);
}

void TCheckBox::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_SPACE) {
        key = 0;
        Click();
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}
