#include "services/ui/TMenuItem.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* child : m_items)
        child->m_parentItem = nullptr;
    if (m_parentItem) std::erase(m_parentItem->m_items, this);
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    Changed(Property::Caption);
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    Changed(Property::Enabled);
}

void TMenuItem::SetVisible(bool visible) {
    if (visible == m_visible) return;
    m_visible = visible;
    Changed(Property::Visible);
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    Changed(Property::Checked);
}

void TMenuItem::SetShortCut(TShortCut shortcut) {
    if (shortcut == m_shortCut) return;
    m_shortCut = shortcut;
    Changed(Property::ShortCut);
}

bool TMenuItem::EffectivelyEnabled() const {
    for (const TMenuItem* item = this; item; item = item->m_parentItem)
        if (!item->m_enabled || !item->m_visible) return false;
    return true;
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->m_parentItem) item->m_parentItem->Remove(item);
    item->m_parentItem = this;
    m_items.push_back(item);
    Changed(Property::Items);
}

void TMenuItem::Remove(TMenuItem* item) {
    if (item->m_parentItem != this) return;
    std::erase(m_items, item);
    item->m_parentItem = nullptr;
    Changed(Property::Items);
}

void TMenuItem::Click() {
    if (EffectivelyEnabled() && OnClick) OnClick(this);
}
