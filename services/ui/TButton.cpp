#include "services/ui/TButton.h"

#include "services/ui/TForm.h"

void TButton::Click() {
    if (!EffectivelyEnabled()) return;
    TControl::Click();
    if (m_modalResult != mrNone)
        if (TForm* form = ParentForm()) form->SetModalResult(m_modalResult);
}

void TButton::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_SPACE || key == VK_RETURN) {
        key = 0;
        Click();
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}
