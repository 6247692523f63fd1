#include "services/ui/TComboBox.h"

void TComboBox::SetItems(std::vector<std::string> items) {
    m_items = std::move(items);
    m_itemIndex = -1;
    Changed(Property::Items);
}

void TComboBox::AddItem(const std::string& item) {
    m_items.push_back(item);
    Changed(Property::Items);
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(m_items.size())) index = -1;
    m_itemIndex = index;
    Changed(Property::ItemIndex);
    // Programmatic: the text follows without OnChange.
    TNotifyEvent saved = std::move(OnChange);
    OnChange = nullptr;
    SetText(index >= 0 ? m_items[static_cast<std::size_t>(index)] : std::string());
    OnChange = std::move(saved);
}

bool TComboBox::Select(int index) {
    if (!EffectivelyEnabled() || index < 0 || index >= static_cast<int>(m_items.size()))
        return false;
    SetItemIndex(index);
    if (OnSelect) OnSelect(this);
    if (OnChange) OnChange(this);
    return true;
}

void TComboBox::DefaultKeyPress(TKeyChar& key) {
    if (m_style == csDropDownList) return;
    TEdit::DefaultKeyPress(key);
}

void TComboBox::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_DOWN || key == VK_UP) {
        int next = m_itemIndex + (key == VK_DOWN ? 1 : -1);
        if (next >= 0 && next < static_cast<int>(m_items.size())) Select(next);
        key = 0;
        return;
    }
    TEdit::DefaultKeyDown(key, shift);
}
