#pragma once

#include "qt/ControlView.h"

class QLabel;

// A picture control, drawn from the picture's name.
class ImageView : public ControlView {
public:
    ImageView(FormView& form, TControl& image);
    void sync(Property property) override;

private:
    QLabel* m_label;
};
