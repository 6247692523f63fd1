#pragma once

#include "services/ui/TWinControl.h"

#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class TClientDataSet;
class TMainMenu;
class TMenuItem;
class TPopupMenu;

// A screen or dialog: owns its components, keeps the focused control and routes the keys.
//
// Keys: a menu shortcut of the form is served first; then the form's OnKeyDown when
// KeyPreview is set, then the focused control's OnKeyDown; a key that types a character then
// goes through the form's OnKeyPress (preview) and the control's OnKeyPress, each of which may
// drop it (set it to 0) or change it; what is left reaches the control's own handling.
//
// Focus: moving the focus fires OnExit of the control left and of each container left,
// innermost first, then OnEnter of each container entered, outermost first, and of the
// control. An exception from an exit handler keeps the focus where it was. A handler that
// moves the focus itself wins: the move under way stops there.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;

    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool preview) { m_keyPreview = preview; }
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle style) { m_formStyle = style; }
    TWindowState WindowState() const { return m_windowState; }
    void SetWindowState(TWindowState state);

    TMainMenu* Menu() const { return m_menu; }
    void SetMenu(TMainMenu* menu) { m_menu = menu; }

    TWinControl* ActiveControl() const { return m_activeControl; }
    // Same as FocusControl; the name screens use.
    bool SetActiveControl(TWinControl* control) { return FocusControl(control); }
    // Moves the focus (see above). False when the control cannot take it.
    bool FocusControl(TWinControl* control);
    // Focus to the next (or previous) focusable control in tab order, wrapping around.
    void SelectNext(TWinControl* current, bool forward);

    TModalResult ModalResult() const { return m_modalResult; }
    // Setting a result other than mrNone ends a modal run.
    void SetModalResult(TModalResult result);
    bool Modal() const { return m_modal; }

    // Fires OnCreate; Application::createForm calls it once the form is fully built.
    void DoCreate();
    // Shows the form as a dialog and returns how it ended (mrCancel when no result was set).
    TModalResult ShowModal();
    // Shows the form without waiting (a child window of the shell); OnShow and OnActivate run
    // when it was hidden, a form already showing is only brought to the front.
    void Show();
    // Closes it: OnClose decides (caFree frees it once the running event is over).
    void Close();
    // Frees the form once the running event is over.
    void Release();

    // Delivers a key the way the keyboard does (see above). `typed` is the character the
    // keyboard produced for it, when the key code alone does not tell (",", "ç").
    void PressKey(TKeyCode key, TShiftState shift = 0, TKeyChar typed = 0);
    // Delivers one typed character (the character part of a key); false when dropped.
    bool TypeChar(TKeyChar ch);
    // Runs the enabled menu item that carries the shortcut (a popup menu's only while its
    // control has the focus); false when none does.
    bool IsShortCut(TShortCut shortcut);

    // Creates a component owned by the form, named, and placed in `parent` when it is a
    // control.
    template <class T> T* Add(const std::string& name, TWinControl* parent = nullptr) {
        auto* component = new T(this);
        component->SetName(name);
        if constexpr (std::is_base_of_v<TControl, T>)
            if (parent) component->SetParent(parent);
        return component;
    }

    // The code of the module that created the form ("" for the host's own forms).
    const std::string& Module() const { return m_module; }
    void SetModule(std::string module) { m_module = std::move(module); }

    // Datasets a screen makes addressable by name (scripts and tests read them).
    void RegisterDataSet(const std::string& name, TClientDataSet* dataSet);
    TClientDataSet* FindDataSet(std::string_view name) const;

    // Called by containers when a control leaves the form.
    void controlDestroyed(TWinControl* control);

private:
    void closeSteps(TCloseAction action);
    TPopupMenu* popupOf(const TMenuItem* root) const;

    TWinControl* m_activeControl = nullptr;
    TMainMenu* m_menu = nullptr;
    bool m_keyPreview = false;
    TFormStyle m_formStyle = fsNormal;
    TWindowState m_windowState = wsNormal;
    TModalResult m_modalResult = mrNone;
    bool m_modal = false;
    bool m_created = false;
    int m_focusMoves = 0;
    bool m_focusRedirected = false;
    std::vector<std::pair<std::string, TClientDataSet*>> m_dataSets;
    std::string m_module;
};
