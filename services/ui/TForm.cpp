#include "services/ui/TForm.h"

#include "services/ui/Application.h"
#include "services/ui/Platform.h"
#include "services/ui/TMenu.h"

#include <algorithm>

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    SetVisible(false);
    if (Application::installed()) Application::instance().registerForm(this);
}

TForm::~TForm() {
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            // Nothing may stop a form from being freed.
        }
    }
    m_activeControl = nullptr;
    DestroyComponents();
    if (Application::installed()) {
        Application::instance().platform().HideForm(*this);
        Application::instance().unregisterForm(this);
    }
}

void TForm::SetWindowState(TWindowState state) {
    if (state == m_windowState) return;
    m_windowState = state;
    Changed(Property::WindowState);
}

void TForm::controlDestroyed(TWinControl* control) {
    if (m_activeControl &&
        (m_activeControl == control || control->ContainsControl(m_activeControl)))
        m_activeControl = nullptr;
}

bool TForm::FocusControl(TWinControl* target) {
    if (target && (target->ParentForm() != this || !target->CanFocus())) return false;

    if (m_focusMoves > 0) {
        // A handler of the move under way chose a control (maybe the very one being left):
        // it wins, quietly, and the move stops there.
        m_focusRedirected = true;
        if (target != m_activeControl) {
            m_activeControl = target;
            Changed(Property::ActiveControl);
        }
        return true;
    }
    if (target == m_activeControl) return true;

    struct MoveScope {
        TForm& form;
        explicit MoveScope(TForm& f) : form(f) {
            ++form.m_focusMoves;
            form.m_focusRedirected = false;
        }
        ~MoveScope() { --form.m_focusMoves; }
    } scope(*this);

    auto reaches = [target](TWinControl* c) { return c == target || c->ContainsControl(target); };

    // Exits, innermost first, up to the container shared with the target.
    TWinControl* common = this;
    for (TWinControl* c = m_activeControl; c && c != this; c = c->Parent()) {
        if (target && reaches(c)) {
            common = c;
            break;
        }
        c->DoExit();
        if (m_focusRedirected) return m_activeControl == target;
    }
    if (!target) {
        m_activeControl = nullptr;
        Changed(Property::ActiveControl);
        return true;
    }
    if (common == this) {
        for (TWinControl* c = m_activeControl; c && c != this; c = c->Parent())
            if (reaches(c)) {
                common = c;
                break;
            }
    }

    m_activeControl = target;
    Changed(Property::ActiveControl);
    if (Application::installed() && Showing())
        Application::instance().platform().FocusChanged(*this, target);

    std::vector<TWinControl*> entered;
    for (TWinControl* c = target; c && c != common && c != this; c = c->Parent())
        entered.push_back(c);
    for (auto it = entered.rbegin(); it != entered.rend(); ++it) {
        (*it)->DoEnter();
        if (m_focusRedirected) break;
    }
    return true;
}

void TForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> order;
    TabOrderList(order);
    std::erase_if(order, [](TWinControl* c) { return !c->CanFocus(); });
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), current);
    std::size_t index;
    if (it == order.end())
        index = forward ? 0 : order.size() - 1;
    else {
        auto pos = static_cast<std::size_t>(it - order.begin());
        index = forward ? (pos + 1) % order.size() : (pos + order.size() - 1) % order.size();
    }
    FocusControl(order[index]);
}

void TForm::SetModalResult(TModalResult result) {
    if (result == m_modalResult) return;
    m_modalResult = result;
    Changed(Property::ModalResult);
}

void TForm::DoCreate() {
    if (m_created) return;
    m_created = true;
    if (OnCreate) OnCreate(this);
}

TModalResult TForm::ShowModal() {
    Application& app = Application::instance();
    m_modal = true;
    m_modalResult = mrNone;
    try {
        SetVisible(true);
        if (OnShow) OnShow(this);
        if (!m_activeControl) SelectNext(nullptr, true);
        if (OnActivate) OnActivate(this);
        int saved = app.enterModalLoop();
        struct Loop {
            Application& app;
            int saved;
            ~Loop() { app.leaveModalLoop(saved); }
        } loop{app, saved};
        app.platform().ShowModal(*this);
    } catch (...) {
        m_modal = false;
        SetVisible(false);
        throw;
    }
    if (m_modalResult == mrNone) m_modalResult = mrCancel;
    TModalResult result = m_modalResult;
    m_modal = false;
    // Nothing of the form may be touched after this: closing may free it.
    closeSteps(caHide);
    return result;
}

void TForm::Show() {
    if (Visible()) {
        // Already showing: only brought to the front, its OnShow does not run again.
        if (Application::installed()) Application::instance().platform().ShowForm(*this);
        return;
    }
    SetVisible(true);
    if (OnShow) OnShow(this);
    if (!m_activeControl) SelectNext(nullptr, true);
    if (Application::installed()) Application::instance().platform().ShowForm(*this);
    if (OnActivate) OnActivate(this);
}

void TForm::Close() {
    if (m_modal) {
        // The modal run ends and ShowModal does the closing steps.
        SetModalResult(mrCancel);
        return;
    }
    closeSteps(caHide);
}

void TForm::closeSteps(TCloseAction action) {
    if (OnClose) OnClose(this, action);
    if (action == caNone) return;
    SetVisible(false);
    if (Application::installed()) Application::instance().platform().HideForm(*this);
    // Last step: freeing may happen right here when no event is running.
    if (action == caFree) Release();
}

void TForm::Release() {
    if (Application::installed()) Application::instance().releaseForm(this);
}

TPopupMenu* TForm::popupOf(const TMenuItem* root) const {
    for (TComponent* c : Components())
        if (auto* popup = dynamic_cast<TPopupMenu*>(c); popup && &popup->Items() == root)
            return popup;
    return nullptr;
}

bool TForm::IsShortCut(TShortCut shortcut) {
    if (shortcut == 0) return false;
    for (TComponent* c : Components()) {
        auto* item = dynamic_cast<TMenuItem*>(c);
        if (!item || item->ShortCut() != shortcut || !item->EffectivelyEnabled()) continue;
        // A popup menu's shortcuts work only while its control has the focus.
        const TMenuItem* root = item;
        while (root->ParentItem())
            root = root->ParentItem();
        if (TPopupMenu* popup = popupOf(root)) {
            if (!m_activeControl || m_activeControl->PopupMenu() != popup) continue;
        }
        item->Click();
        return true;
    }
    return false;
}

void TForm::PressKey(TKeyCode key, TShiftState shift, TKeyChar typed) {
    TWinControl* target = m_activeControl ? m_activeControl : this;
    if (IsShortCut(ShortCut(key, shift))) return;
    if (m_keyPreview && target != this && OnKeyDown) {
        OnKeyDown(this, key, shift);
        if (key == 0) return;
    }
    if (target->OnKeyDown) {
        target->OnKeyDown(target, key, shift);
        if (key == 0) return;
    }
    if (TKeyChar ch = typed ? typed : KeyToChar(key, shift)) {
        if (!TypeChar(ch)) return;
    }
    // The handlers may have moved the focus; the key's own meaning goes to the control that
    // received it, if it is still focused.
    if (m_activeControl == target || target == this) target->DefaultKeyDown(key, shift);
}

bool TForm::TypeChar(TKeyChar ch) {
    TWinControl* target = m_activeControl ? m_activeControl : this;
    if (m_keyPreview && target != this && OnKeyPress) {
        OnKeyPress(this, ch);
        if (ch == 0) return false;
    }
    if (target->OnKeyPress) {
        target->OnKeyPress(target, ch);
        if (ch == 0) return false;
    }
    target->DefaultKeyPress(ch);
    return ch != 0;
}

void TForm::RegisterDataSet(const std::string& name, TClientDataSet* dataSet) {
    for (auto& entry : m_dataSets)
        if (equalsNoCase(entry.first, name)) {
            entry.second = dataSet;
            return;
        }
    m_dataSets.emplace_back(name, dataSet);
}

TClientDataSet* TForm::FindDataSet(std::string_view name) const {
    for (const auto& entry : m_dataSets)
        if (equalsNoCase(entry.first, name)) return entry.second;
    return nullptr;
}
