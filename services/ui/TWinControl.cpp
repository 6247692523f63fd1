#include "services/ui/TWinControl.h"

#include "services/ui/TForm.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    if (TForm* form = ParentForm(); form && form != this) form->controlDestroyed(this);
    for (TControl* c : m_controls)
        c->m_parent = nullptr;
    m_controls.clear();
}

void TWinControl::insertControl(TControl* control) {
    m_controls.push_back(control);
    if (control->TabOrder() < 0) control->m_tabOrder = static_cast<int>(m_controls.size()) - 1;
    if (Observer()) Observer()->childrenChanged(*this);
}

void TWinControl::removeControl(TControl* control) {
    std::erase(m_controls, control);
    if (TForm* form = ParentForm()) {
        if (auto* wc = dynamic_cast<TWinControl*>(control)) form->controlDestroyed(wc);
    }
    if (Observer()) Observer()->childrenChanged(*this);
}

bool TWinControl::CanFocus() const {
    return IsFocusable() && Showing() && EffectivelyEnabled() && ParentForm() != nullptr;
}

bool TWinControl::Focused() const {
    TForm* form = ParentForm();
    return form && form->ActiveControl() == this;
}

bool TWinControl::SetFocus() {
    TForm* form = ParentForm();
    if (!form) return false;
    return form->FocusControl(this);
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control ? control->Parent() : nullptr; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::DefaultKeyDown(TKeyCode& key, TShiftState shift) {
    if (key == VK_TAB) {
        if (TForm* form = ParentForm()) form->SelectNext(this, (shift & ssShift) == 0);
        key = 0;
    }
}

void TWinControl::DefaultKeyPress(TKeyChar&) {}

void TWinControl::TabOrderList(std::vector<TWinControl*>& out) const {
    std::vector<TWinControl*> children;
    for (TControl* c : m_controls)
        if (auto* wc = dynamic_cast<TWinControl*>(c)) children.push_back(wc);
    std::stable_sort(children.begin(), children.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* wc : children) {
        if (wc->IsFocusable() && wc->TabStop()) out.push_back(wc);
        wc->TabOrderList(out);
    }
}
