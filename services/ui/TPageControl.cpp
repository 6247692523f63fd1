#include "services/ui/TPageControl.h"

#include "services/ui/TForm.h"
#include "services/ui/TTabSheet.h"

std::vector<TTabSheet*> TPageControl::Pages() const {
    std::vector<TTabSheet*> pages;
    for (TControl* c : Controls())
        if (auto* sheet = dynamic_cast<TTabSheet*>(c)) pages.push_back(sheet);
    return pages;
}

int TPageControl::ActivePageIndex() const {
    return m_activePage ? m_activePage->PageIndex() : -1;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page == m_activePage || (page && page->PageControl() != this)) return;
    TForm* form = ParentForm();
    if (form && m_activePage && m_activePage->ContainsControl(form->ActiveControl()))
        form->FocusControl(CanFocus() ? this : nullptr);
    m_activePage = page;
    for (TTabSheet* sheet : Pages())
        sheet->SetVisible(sheet == m_activePage);
    Changed(Property::ActivePage);
}

bool TPageControl::SelectPage(TTabSheet* page) {
    if (!page || page->PageControl() != this) return false;
    if (page == m_activePage) return true;
    if (!EffectivelyEnabled() || !page->Enabled() || !page->TabVisible()) return false;
    if (OnChanging) {
        bool allow = true;
        OnChanging(this, allow);
        if (!allow) return false;
    }
    SetActivePage(page);
    if (OnChange) OnChange(this);
    return true;
}

void TPageControl::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_TAB && (shift & ssCtrl)) {
        auto pages = Pages();
        int n = static_cast<int>(pages.size());
        int start = ActivePageIndex();
        for (int step = 1; step < n; ++step) {
            int i = ((start + ((shift & ssShift) ? -step : step)) % n + n) % n;
            if (pages[static_cast<std::size_t>(i)]->Enabled() &&
                pages[static_cast<std::size_t>(i)]->TabVisible()) {
                SelectPage(pages[static_cast<std::size_t>(i)]);
                break;
            }
        }
        key = 0;
        return;
    }
    TWinControl::DefaultKeyDown(key, shift);
}

void TPageControl::pageAdded(TTabSheet* page) {
    if (!m_activePage)
        SetActivePage(page);
    else
        page->SetVisible(false);
}

void TPageControl::pageRemoved(TTabSheet* page) {
    if (page == m_activePage) {
        m_activePage = nullptr;
        auto pages = Pages();
        SetActivePage(pages.empty() ? nullptr : pages.front());
    }
}
