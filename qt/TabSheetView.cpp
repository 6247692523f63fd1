#include "qt/TabSheetView.h"

#include "qt/AlignLayout.h"
#include "qt/FormView.h"
#include "qt/PageControlView.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TTabSheet.h"

#include <QWidget>

TabSheetView::TabSheetView(FormView& form, TTabSheet& sheet)
    : ControlView(form, sheet), m_sheet(sheet) {
    auto* page = new QWidget;
    new AlignLayout(page);
    setWidget(page);
}

void TabSheetView::sync(Property property) {
    switch (property) {
    case Property::Caption:
    case Property::TabVisible:
    case Property::Enabled:
        if (TPageControl* pages = m_sheet.PageControl())
            if (auto* view = dynamic_cast<PageControlView*>(m_form.viewOf(pages)))
                view->refreshTabs();
        if (property == Property::Enabled) ControlView::sync(property);
        break;
    case Property::Visible:
        // The page control shows the active page; a sheet's own visibility is its tab's.
        break;
    default:
        ControlView::sync(property);
    }
}
