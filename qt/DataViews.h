#pragma once

#include "qt/ControlView.h"
#include "qt/LabelView.h"

#include <vector>

class QToolButton;
class TDBNavigator;
class TDBText;

// A data-aware caption: the current row's value of its field.
class DBTextView : public LabelView {
public:
    DBTextView(FormView& form, TDBText& text);
    void sync(Property property) override;

private:
    TDBText& m_text;
};

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
