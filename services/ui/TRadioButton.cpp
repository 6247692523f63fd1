#include "services/ui/TRadioButton.h"

void TRadioButton::SetChecked(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    Changed(Property::Checked);
    if (!checked) return;
    if (TWinControl* parent = Parent()) {
        for (TControl* c : parent->Controls()) {
            auto* other = dynamic_cast<TRadioButton*>(c);
            if (other && other != this && other->m_checked) {
                other->m_checked = false;
                other->NotifyChanged(Property::Checked);
            }
        }
    }
    TControl::Click();
}

void TRadioButton::Click() {
    if (EffectivelyEnabled()) SetChecked(true);
}

void TRadioButton::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_SPACE) {
        key = 0;
        Click();
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}
