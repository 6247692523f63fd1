#pragma once

#include "services/ui/TControl.h"

#include <vector>

// A control that contains others or takes the keyboard focus.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    const std::vector<TControl*>& Controls() const { return m_controls; }
    int ControlCount() const { return static_cast<int>(m_controls.size()); }

    // Whether this kind of control takes the focus (edits, grids, buttons); containers do not.
    virtual bool IsFocusable() const { return false; }
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool tabStop) { m_tabStop = tabStop; }
    // Focusable, showing and enabled through all its containers.
    bool CanFocus() const;
    bool Focused() const;
    // Moves the focus here; false (and nothing fired) when the control cannot take it.
    bool SetFocus();
    // Whether `control` stands inside this container, at any depth.
    bool ContainsControl(const TControl* control) const;

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;

    // Fired by the focus moves of the form; controls extend them (a grid commits its cell).
    virtual void DoEnter();
    virtual void DoExit();
    // The control's own reaction to a key that its handlers let through (navigation,
    // editing). Set the key to 0 when consumed.
    virtual void DefaultKeyDown(TKeyCode& key, TShiftState shift);
    virtual void DefaultKeyPress(TKeyChar& key);

    // Focusable controls inside this one in tab order (depth first).
    void TabOrderList(std::vector<TWinControl*>& out) const;

private:
    friend class TControl;
    void insertControl(TControl* control);
    void removeControl(TControl* control);

    std::vector<TControl*> m_controls;
    bool m_tabStop = true;
};
