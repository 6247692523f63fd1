#include "services/ui/testing/ScreenDriver.h"

#include "services/data/TClientDataSet.h"
#include "services/ui/LineEditor.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TTabSheet.h"

#include <algorithm>

namespace {
// The key codes of the punctuation keys, so that key-down handlers see them as on a keyboard.
TKeyCode punctuationKey(char32_t ch) {
    switch (ch) {
    case U';':
        return 186;
    case U'=':
        return 187;
    case U',':
        return 188;
    case U'-':
        return 189;
    case U'.':
        return 190;
    case U'/':
        return 191;
    default:
        return 0;
    }
}
} // namespace

ScreenDriver::ScreenDriver() : m_app(m_platform), m_scope(m_app) {
    m_app.setOptionStore(&m_options);
}

ScreenDriver::~ScreenDriver() = default;

void ScreenDriver::drive(TForm& form) {
    m_base = &form;
}

bool ScreenDriver::isOpen(const TForm* form) const {
    const auto& forms = m_app.forms();
    return form && std::find(forms.begin(), forms.end(), form) != forms.end();
}

TForm& ScreenDriver::form() const {
    TForm* f = m_modalStack.empty() ? m_base : m_modalStack.back();
    if (!f) throw ScriptError("no form is being driven");
    if (!isOpen(f)) throw ScriptError("the form being driven was closed");
    return *f;
}

TComponent& ScreenDriver::component(const std::string& name) const {
    TForm& f = form();
    if (equalsNoCase(f.Name(), name)) return f;
    TComponent* c = f.FindComponent(name);
    if (!c) throw ScriptError("unknown control '" + name + "' on " + f.ClassName());
    return *c;
}

TClientDataSet& ScreenDriver::dataSet(const std::string& name) const {
    TForm& f = form();
    TClientDataSet* ds = f.FindDataSet(name);
    if (!ds) throw ScriptError("unknown dataset '" + name + "' on " + f.ClassName());
    return *ds;
}

bool ScreenDriver::act(const std::function<void()>& event) {
    return m_app.dispatch(event);
}

bool ScreenDriver::focus(const std::string& name) {
    auto& c = control<TWinControl>(name);
    if (!c.CanFocus()) throw ScriptError("'" + name + "' cannot take the focus now");
    return act([&c] { c.SetFocus(); });
}

bool ScreenDriver::type(const std::string& text) {
    TForm& f = form();
    bool all = true;
    for (const char32_t ch : ToU32(text)) {
        bool ok;
        if (ch >= U'a' && ch <= U'z')
            ok = act([&f, ch] { f.PressKey(static_cast<TKeyCode>(ch - 32), 0); });
        else if ((ch >= U'A' && ch <= U'Z'))
            ok = act([&f, ch] { f.PressKey(static_cast<TKeyCode>(ch), ssShift); });
        else if (ch >= U'0' && ch <= U'9')
            ok = act([&f, ch] { f.PressKey(static_cast<TKeyCode>(ch), 0); });
        else if (ch == U' ')
            ok = act([&f] { f.PressKey(VK_SPACE, 0); });
        else if (TKeyCode punct = punctuationKey(ch))
            ok = act([&f, punct, ch] { f.PressKey(punct, 0, ch); });
        else
            ok = act([&f, ch] { f.TypeChar(ch); });
        all = all && ok;
        if (!isOpen(&f)) break;
    }
    return all;
}

bool ScreenDriver::typeInto(const std::string& name, const std::string& text) {
    if (!focus(name)) return false;
    return type(text);
}

bool ScreenDriver::press(TKeyCode key, TShiftState shift) {
    TForm& f = form();
    return act([&f, key, shift] { f.PressKey(key, shift); });
}

bool ScreenDriver::press(const std::string& key) {
    TShortCut sc = TextToShortCut(key);
    if (!sc) throw ScriptError("unknown key '" + key + "'");
    TShiftState shift = 0;
    if (sc & scShift) shift |= ssShift;
    if (sc & scCtrl) shift |= ssCtrl;
    if (sc & scAlt) shift |= ssAlt;
    return press(static_cast<TKeyCode>(sc & 0xFFF), shift);
}

bool ScreenDriver::click(const std::string& name) {
    TComponent& c = component(name);
    if (auto* item = dynamic_cast<TMenuItem*>(&c)) return act([item] { item->Click(); });
    auto* ctl = dynamic_cast<TControl*>(&c);
    if (!ctl) throw ScriptError("'" + name + "' cannot be clicked");
    if (!ctl->Showing()) throw ScriptError("'" + name + "' is not showing");
    return act([ctl] {
        // A click on a control that takes the focus gives it the focus first, as the pointer does.
        if (auto* wc = dynamic_cast<TWinControl*>(ctl); wc && wc->CanFocus() && !wc->Focused()) {
            wc->SetFocus();
            if (!wc->Focused()) return;
        }
        ctl->Click();
    });
}

bool ScreenDriver::dblClick(const std::string& name) {
    auto& ctl = control<TControl>(name);
    return act([&ctl] { ctl.DblClick(); });
}

TDBGrid& ScreenDriver::grid(const std::string& name) const {
    return control<TDBGrid>(name);
}

int ScreenDriver::columnIndex(TDBGrid& g, const std::string& column) const {
    if (TColumn* c = g.ColumnByFieldName(column)) return c->Index();
    throw ScriptError("grid '" + g.Name() + "' has no column '" + column + "'");
}

bool ScreenDriver::clickCell(const std::string& name, int row, const std::string& column) {
    TDBGrid& g = grid(name);
    int col = columnIndex(g, column);
    if (row < 0 || row >= g.RowCount())
        throw ScriptError("grid '" + name + "' has no row " + std::to_string(row + 1));
    return act([&g, row, col] {
        if (!g.Focused() && g.CanFocus()) {
            g.SetFocus();
            if (!g.Focused()) return;
        }
        g.ClickCell(row, col);
    });
}

bool ScreenDriver::dblClickCell(const std::string& name, int row, const std::string& column) {
    TDBGrid& g = grid(name);
    int col = columnIndex(g, column);
    if (row < 0 || row >= g.RowCount())
        throw ScriptError("grid '" + name + "' has no row " + std::to_string(row + 1));
    return act([&g, row, col] {
        if (!g.Focused() && g.CanFocus()) {
            g.SetFocus();
            if (!g.Focused()) return;
        }
        g.DblClickCell(row, col);
    });
}

bool ScreenDriver::clickTitle(const std::string& name, const std::string& column) {
    TDBGrid& g = grid(name);
    int col = columnIndex(g, column);
    return act([&g, col] { g.ClickTitle(col); });
}

bool ScreenDriver::choosePage(const std::string& pageControl, const std::string& sheet) {
    auto& pc = control<TPageControl>(pageControl);
    auto& page = control<TTabSheet>(sheet);
    bool chosen = false;
    bool ok = act([&] { chosen = pc.SelectPage(&page); });
    return ok && chosen;
}

bool ScreenDriver::selectItem(const std::string& comboBox, const std::string& item) {
    auto& cb = control<TComboBox>(comboBox);
    const auto& items = cb.Items();
    auto it = std::find(items.begin(), items.end(), item);
    if (it == items.end()) throw ScriptError("'" + comboBox + "' has no item '" + item + "'");
    int index = static_cast<int>(it - items.begin());
    return act([&cb, index] { cb.Select(index); });
}

void ScreenDriver::onModal(const std::string& className, std::function<void(ScreenDriver&)> steps) {
    m_platform.onModal(className, [this, steps](TForm& modal) {
        m_modalStack.push_back(&modal);
        struct Pop {
            std::vector<TForm*>& stack;
            ~Pop() { stack.pop_back(); }
        } pop{m_modalStack};
        steps(*this);
    });
}

std::string ScreenDriver::textOf(const std::string& name) const {
    TComponent& c = component(name);
    if (auto* e = dynamic_cast<TEdit*>(&c)) return e->Text();
    if (auto* g = dynamic_cast<TDBGrid*>(&c)) return g->EditorText();
    if (auto* t = dynamic_cast<TDBText*>(&c)) return t->Text();
    if (auto* m = dynamic_cast<TMenuItem*>(&c)) return m->Caption();
    if (auto* ctl = dynamic_cast<TControl*>(&c)) return ctl->Caption();
    throw ScriptError("'" + name + "' has no text");
}

std::string ScreenDriver::focusedName() const {
    TWinControl* active = form().ActiveControl();
    return active ? active->Name() : std::string();
}
