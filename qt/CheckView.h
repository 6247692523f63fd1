#pragma once

#include "qt/ControlView.h"

class QAbstractButton;

// Check boxes and radio buttons: the box shows the control's state; a click asks the control,
// which decides (and fires its OnClick), and the box follows.
class CheckView : public ControlView {
public:
    CheckView(FormView& form, TControl& control);
    void sync(Property property) override;

private:
    bool checked() const;
    QAbstractButton* m_button;
};
