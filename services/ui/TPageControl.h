#pragma once

#include "services/ui/TWinControl.h"

#include <functional>
#include <vector>

class TTabSheet;

// Pages with tabs; only the active page is showing.
class TPageControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    bool IsFocusable() const override { return true; }

    // The pages in tab order.
    std::vector<TTabSheet*> Pages() const;
    int PageCount() const { return static_cast<int>(Pages().size()); }
    TTabSheet* ActivePage() const { return m_activePage; }
    int ActivePageIndex() const;
    // Makes the page active as a program does: no OnChanging, no OnChange.
    void SetActivePage(TTabSheet* page);

    // Asked before the operator's change; set AllowChange false to refuse.
    std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
    TNotifyEvent OnChange;

    // The operator chooses a page: refused (false) for a hidden or disabled page or by
    // OnChanging; otherwise the page becomes active, the focus leaves the old page, and
    // OnChange fires.
    bool SelectPage(TTabSheet* page);
    // Ctrl+Tab chooses the next page that can be chosen.
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;

    // For TTabSheet.
    void pageAdded(TTabSheet* page);
    void pageRemoved(TTabSheet* page);

private:
    TTabSheet* m_activePage = nullptr;
};
