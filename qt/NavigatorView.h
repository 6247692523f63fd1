#pragma once

#include "qt/ControlView.h"

#include <vector>

class QToolButton;
class TDBNavigator;

// The navigator's buttons; a press runs the navigator's action for that button.
class NavigatorView : public ControlView {
public:
    NavigatorView(FormView& form, TDBNavigator& navigator);
    void sync(Property property) override;

private:
    void refresh();

    TDBNavigator& m_navigator;
    std::vector<QToolButton*> m_buttons;
};
