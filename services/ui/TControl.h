#pragma once

#include "services/ui/TComponent.h"

#include <string>

class TWinControl;
class TForm;
class TPopupMenu;

// A visible element of a form: position, alignment, caption, enabled and visible states.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return m_parent; }
    // Moves the control into another container (nullptr takes it out).
    void SetParent(TWinControl* parent);
    // The form the control stands on (itself for a form); nullptr when not placed yet.
    TForm* ParentForm() const;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible itself and inside visible containers.
    bool Showing() const;
    // Enabled itself and inside enabled containers.
    bool EffectivelyEnabled() const;

    const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& caption);
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint);

    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void SetBounds(int left, int top, int width, int height);
    TAlign Align() const { return m_align; }
    void SetAlign(TAlign align);
    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int order);

    bool FontBold() const { return m_fontBold; }
    void SetFontBold(bool bold);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);

    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* menu) { m_popupMenu = menu; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    // Runs the click (the operator's or the program's); the handler's exceptions go on.
    virtual void Click();
    virtual void DblClick();

    // Lets the same property name carry the owner-side notification.
    void NotifyChanged(Property property) { Changed(property); }

protected:
    // The size changed; containers place what depends on their width here.
    virtual void Resized() {}

private:
    friend class TWinControl;
    TWinControl* m_parent = nullptr;
    bool m_enabled = true;
    bool m_visible = true;
    std::string m_caption;
    std::string m_hint;
    int m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    TAlign m_align = alNone;
    int m_tabOrder = -1;
    bool m_fontBold = false;
    TColor m_color = clDefault;
    TColor m_fontColor = clDefault;
    TPopupMenu* m_popupMenu = nullptr;
};
