#pragma once

#include "qt/ControlView.h"

// A container without a look of its own (a plain panel, the form's client area): children are
// placed by their alignment.
class ContainerView : public ControlView {
public:
    // With `host`, the view uses that existing widget instead of creating a frame.
    ContainerView(FormView& form, TControl& control, QWidget* host = nullptr);
    QWidget* childHost() const override { return widget(); }
};
