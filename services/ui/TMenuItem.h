#pragma once

#include "services/ui/TComponent.h"

#include <string>
#include <vector>

// An entry of a main or popup menu; items nest under a parent item.
class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    bool Checked() const { return m_checked; }
    void SetChecked(bool checked);
    TShortCut ShortCut() const { return m_shortCut; }
    void SetShortCut(TShortCut shortcut);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint) { m_hint = hint; }

    // Enabled and visible, and so is every item above it.
    bool EffectivelyEnabled() const;

    TMenuItem* ParentItem() const { return m_parentItem; }
    const std::vector<TMenuItem*>& Items() const { return m_items; }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);

    TNotifyEvent OnClick;
    // Runs OnClick when the item is enabled.
    void Click();

private:
    std::string m_caption;
    std::string m_hint;
    bool m_enabled = true;
    bool m_visible = true;
    bool m_checked = false;
    TShortCut m_shortCut = 0;
    TMenuItem* m_parentItem = nullptr;
    std::vector<TMenuItem*> m_items;
};
