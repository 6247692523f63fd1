#include "services/ui/TTabSheet.h"

#include "services/ui/TPageControl.h"

TPageControl* TTabSheet::PageControl() const {
    return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetPageControl(TPageControl* control) {
    if (TPageControl* old = PageControl()) {
        SetParent(nullptr);
        old->pageRemoved(this);
    }
    if (!control) return;
    SetParent(control);
    control->pageAdded(this);
}

void TTabSheet::SetTabVisible(bool visible) {
    if (visible == m_tabVisible) return;
    m_tabVisible = visible;
    Changed(Property::TabVisible);
}

int TTabSheet::PageIndex() const {
    TPageControl* pc = PageControl();
    if (!pc) return -1;
    auto pages = pc->Pages();
    for (std::size_t i = 0; i < pages.size(); ++i)
        if (pages[i] == this) return static_cast<int>(i);
    return -1;
}
