#pragma once

#include "qt/ControlView.h"

class QComboBox;
class TComboBox;

// A drop-down list: choosing an item runs the control's Select; typed keys go through the form.
class ComboView : public ControlView {
public:
    ComboView(FormView& form, TComboBox& combo);
    void sync(Property property) override;

private:
    TComboBox& m_combo;
    QComboBox* m_box;
    bool m_filling = false;
};
