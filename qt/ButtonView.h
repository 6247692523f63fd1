#pragma once

#include "qt/ControlView.h"

class QAbstractButton;

// Push buttons (focusable) and toolbar buttons (never focused): a click runs the control's
// Click, which does nothing for a disabled control.
class ButtonView : public ControlView {
public:
    ButtonView(FormView& form, TControl& button);
    void sync(Property property) override;

private:
    void showFace();

    QAbstractButton* m_button;
    bool m_toolbar;
};
