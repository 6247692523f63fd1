#pragma once

#include "qt/ControlView.h"

class TTabSheet;

// One page: a container that tells its page control when its tab must change.
class TabSheetView : public ControlView {
public:
    TabSheetView(FormView& form, TTabSheet& sheet);
    QWidget* childHost() const override { return widget(); }
    void sync(Property property) override;
    TTabSheet& sheet() const { return m_sheet; }

private:
    TTabSheet& m_sheet;
};
