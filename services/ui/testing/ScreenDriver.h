#pragma once

#include "services/ui/Application.h"
#include "services/ui/HeadlessPlatform.h"
#include "services/ui/MemoryOptionStore.h"
#include "services/ui/TForm.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TClientDataSet;
class TDBGrid;

// Drives screens headless the way an operator would: an Application with a HeadlessPlatform
// is installed for the driver's lifetime; every action is one operator event (a silent abort
// ends it quietly, other errors are shown as messages, as on a real screen). Controls are
// addressed by the names their form gives them; an unknown name or a control of the wrong
// kind raises ScriptError.
class ScreenDriver {
public:
    ScreenDriver();
    ~ScreenDriver();
    ScreenDriver(const ScreenDriver&) = delete;
    ScreenDriver& operator=(const ScreenDriver&) = delete;

    Application& app() { return m_app; }
    HeadlessPlatform& platform() { return m_platform; }
    MemoryOptionStore& options() { return m_options; }

    // Creates a form of the application and shows it (non-modal); it becomes the form driven.
    template <class T, class... Args> T& open(Args&&... args) {
        T* form = m_app.createForm<T>(std::forward<Args>(args)...);
        drive(*form);
        m_app.dispatch([form] { form->Show(); });
        return *form;
    }
    // Drives an existing form.
    void drive(TForm& form);
    // The form driven now: the modal form whose script runs, else the one chosen last.
    TForm& form() const;
    // Whether the form is still open (not freed).
    bool isOpen(const TForm* form) const;

    TComponent& component(const std::string& name) const;
    template <class T> T& control(const std::string& name) const {
        TComponent& c = component(name);
        auto* typed = dynamic_cast<T*>(&c);
        if (!typed)
            throw ScriptError("'" + name + "' is a " + c.ClassName() + ", not the kind asked for");
        return *typed;
    }
    TClientDataSet& dataSet(const std::string& name) const;

    // Operator actions; each returns false when the event ended by an exception (a silent
    // abort or an error shown).
    bool focus(const std::string& name);
    // Types the text into the focused control, one key event per character.
    bool type(const std::string& text);
    bool typeInto(const std::string& name, const std::string& text);
    // "F5", "Enter", "Tab", "Ctrl+L", "Shift+Tab", "Del", "A".
    bool press(const std::string& key);
    bool press(TKeyCode key, TShiftState shift = 0);
    // A control, a menu item or a search button.
    bool click(const std::string& name);
    bool dblClick(const std::string& name);
    // Grid cells: row is 0-based among the visible rows; the column by its field name.
    bool clickCell(const std::string& grid, int row, const std::string& column);
    bool dblClickCell(const std::string& grid, int row, const std::string& column);
    bool clickTitle(const std::string& grid, const std::string& column);
    bool choosePage(const std::string& pageControl, const std::string& sheet);
    bool selectItem(const std::string& comboBox, const std::string& item);
    // Any other operator event.
    bool act(const std::function<void()>& event);

    // Answers for the next questions, in order.
    void answerYes() { m_platform.answerNext(mrYes); }
    void answerNo() { m_platform.answerNext(mrNo); }
    // Steps run when a modal form of that class opens; the form is the one driven meanwhile.
    void onModal(const std::string& className, std::function<void(ScreenDriver&)> steps);

    // The messages shown so far, one per line ("error: ...", "confirm: ... -> Yes").
    std::string messages() const { return m_platform.messagesText(); }
    void clearMessages() { m_platform.clearMessages(); }
    // Text of a control as the operator reads it (edits, labels, buttons, grids' editor).
    std::string textOf(const std::string& name) const;
    // Name of the focused control of the driven form ("" for none).
    std::string focusedName() const;

private:
    TDBGrid& grid(const std::string& name) const;
    int columnIndex(TDBGrid& grid, const std::string& column) const;

    HeadlessPlatform m_platform;
    MemoryOptionStore m_options;
    Application m_app;
    ApplicationScope m_scope;
    TForm* m_base = nullptr;
    std::vector<TForm*> m_modalStack;
};
