#pragma once

#include "services/ui/TWinControl.h"

class TPageControl;

// One page of a TPageControl. A disabled page cannot be chosen by the operator; a page with
// TabVisible false shows no tab.
class TTabSheet : public TWinControl {
public:
    using TWinControl::TWinControl;
    TPageControl* PageControl() const;
    void SetPageControl(TPageControl* control);
    bool TabVisible() const { return m_tabVisible; }
    void SetTabVisible(bool visible);
    int PageIndex() const;

private:
    bool m_tabVisible = true;
};
