#pragma once

#include <memory>

class ControlView;
class FormView;
class TControl;

// Picks the view for a control by its class.
class ViewFactory {
public:
    static std::unique_ptr<ControlView> create(FormView& form, TControl& control);
};
