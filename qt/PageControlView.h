#pragma once

#include "qt/ControlView.h"

class QTabWidget;
class TPageControl;
class TTabSheet;
class TabSheetView;

// Pages with tabs. The operator's choice of a tab asks the page control, which may refuse;
// the tabs always show the page control's active page, hidden and disabled pages included.
class PageControlView : public ControlView {
public:
    PageControlView(FormView& form, TPageControl& pages);
    void addChild(ControlView& child) override;
    void removeChild(ControlView& child) override;
    void sync(Property property) override;
    // Brings the tabs' captions, visibility and enabled states in.
    void refreshTabs();

private:
    void tabChosen(int index);
    void showActive();

    TPageControl& m_pages;
    QTabWidget* m_tabs;
    bool m_updating = false;
};
