#include "services/ui/TControl.h"

#include "services/ui/TForm.h"
#include "services/ui/TWinControl.h"

#include <algorithm>
#include <vector>

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    if (m_parent) m_parent->removeControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) return;
    if (m_parent) m_parent->removeControl(this);
    m_parent = parent;
    if (m_parent) m_parent->insertControl(this);
}

TForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->m_parent)
        c = c->m_parent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    Changed(Property::Enabled);
}

void TControl::SetVisible(bool visible) {
    if (visible == m_visible) return;
    m_visible = visible;
    Changed(Property::Visible);
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_visible) return false;
    return true;
}

bool TControl::EffectivelyEnabled() const {
    for (const TControl* c = this; c; c = c->m_parent)
        if (!c->m_enabled) return false;
    return true;
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == m_caption) return;
    m_caption = caption;
    Changed(Property::Caption);
}

void TControl::SetHint(const std::string& hint) {
    if (hint == m_hint) return;
    m_hint = hint;
    Changed(Property::Hint);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == m_left && top == m_top && width == m_width && height == m_height) return;
    bool resized = width != m_width || height != m_height;
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    Changed(Property::Bounds);
    if (resized) Resized();
}

void TControl::SetAlign(TAlign align) {
    if (align == m_align) return;
    m_align = align;
    Changed(Property::Align);
}

void TControl::SetTabOrder(int order) {
    if (order == m_tabOrder) return;
    if (!m_parent || order < 0) {
        m_tabOrder = order;
        Changed(Property::TabOrder);
        return;
    }
    // The siblings keep their relative order; this one takes the place asked for.
    std::vector<TControl*> siblings(m_parent->Controls().begin(), m_parent->Controls().end());
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](TControl* a, TControl* b) { return a->m_tabOrder < b->m_tabOrder; });
    std::erase(siblings, this);
    auto at = std::min(static_cast<std::size_t>(order), siblings.size());
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(at), this);
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i]->m_tabOrder == static_cast<int>(i)) continue;
        siblings[i]->m_tabOrder = static_cast<int>(i);
        siblings[i]->Changed(Property::TabOrder);
    }
}

void TControl::SetFontBold(bool bold) {
    if (bold == m_fontBold) return;
    m_fontBold = bold;
    Changed(Property::Font);
}

void TControl::SetColor(TColor color) {
    if (color == m_color) return;
    m_color = color;
    Changed(Property::Color);
}

void TControl::SetFontColor(TColor color) {
    if (color == m_fontColor) return;
    m_fontColor = color;
    Changed(Property::Font);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
