#pragma once

#include "qt/ControlView.h"

class QFrame;
class QLabel;

// Panels, group boxes and scroll boxes: containers whose children are placed by alignment;
// a panel may show a caption in its middle, a group box on its frame.
class PanelView : public ControlView {
public:
    PanelView(FormView& form, TControl& control);
    QWidget* childHost() const override { return m_host; }
    void sync(Property property) override;

private:
    QWidget* m_host = nullptr;
    QLabel* m_caption = nullptr;
};
