#pragma once

#include "services/ui/TWinControl.h"

// A push button. A ModalResult other than mrNone ends the modal run of its form when clicked.
class TButton : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool IsFocusable() const override { return true; }
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult result) { m_modalResult = result; }
    // Enter answers a default button, Esc a cancel button, anywhere on the form.
    bool Default() const { return m_default; }
    void SetDefault(bool value) { m_default = value; }
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool value) { m_cancel = value; }

    void Click() override;
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;

private:
    TModalResult m_modalResult = mrNone;
    bool m_default = false;
    bool m_cancel = false;
};
