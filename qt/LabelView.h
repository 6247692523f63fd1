#pragma once

#include "qt/ControlView.h"

class QLabel;

// A caption on the form (labels, and any plain control that only shows its caption).
class LabelView : public ControlView {
public:
    LabelView(FormView& form, TControl& control);
    void sync(Property property) override;
    int autoWidth() const override;

private:
    QLabel* m_label;
};
