#pragma once

#include "services/ui/TEdit.h"

#include <string>
#include <vector>

enum TComboBoxStyle { csDropDown, csDropDownList };

// A list to choose from, with a text box unless the style is csDropDownList.
class TComboBox : public TEdit {
public:
    using TEdit::TEdit;
    const std::vector<std::string>& Items() const { return m_items; }
    void SetItems(std::vector<std::string> items);
    void AddItem(const std::string& item);
    int ItemIndex() const { return m_itemIndex; }
    // Selects an item (-1: none) and shows its text; no event, as a program would.
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return m_style; }
    void SetStyle(TComboBoxStyle style) { m_style = style; }

    TNotifyEvent OnSelect;
    // The operator picks an item: selection, then OnSelect and OnChange.
    bool Select(int index);

    void DefaultKeyPress(TKeyChar& key) override;
    void DefaultKeyDown(TKeyCode& key, TShiftState shift) override;

private:
    std::vector<std::string> m_items;
    int m_itemIndex = -1;
    TComboBoxStyle m_style = csDropDown;
};
