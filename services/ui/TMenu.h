#pragma once

#include "services/ui/TMenuItem.h"

// A menu: a tree of items under one root that is not shown itself.
class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner) : TComponent(owner), m_items(nullptr) {}
    TMenuItem& Items() { return m_items; }
    const TMenuItem& Items() const { return m_items; }

private:
    TMenuItem m_items;
};

// The menu bar of a form.
class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
};

// A menu shown at the pointer; its shortcuts work only while its control has the focus.
class TPopupMenu : public TMenu {
public:
    using TMenu::TMenu;
    TNotifyEvent OnPopup;
    // Fires OnPopup; the renderer then shows the items.
    void Popup() {
        if (OnPopup) OnPopup(this);
    }
};
