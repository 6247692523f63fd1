#pragma once

#include <QMenuBar>
#include <QPointer>

#include <unordered_map>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TMainMenu;
class TMenuItem;

// The menu bar of a form: one action per menu item, kept in step with the items. Shortcuts
// are only shown; the form serves them when their keys arrive.
class MenuBarView {
public:
    explicit MenuBarView(TMainMenu& menu);
    ~MenuBarView();

    QMenuBar* bar() const { return m_bar; }
    bool owns(const TMenuItem* item) const { return m_actions.count(item) > 0; }
    // Mirrors the item's caption, enabled, visible and checked states.
    void sync(const TMenuItem& item);
    // Drops the action of an item being destroyed (compared by address only).
    void forget(const void* item);
    QAction* actionOf(const TMenuItem* item) const;

    // Builds a pop-up QMenu with the items under `root` (popup menus of controls).
    static QMenu* buildMenu(TMenuItem& root, QWidget* parent);

private:
    void add(TMenuItem& item, QMenu* into);

    QPointer<QMenuBar> m_bar;
    std::unordered_map<const TMenuItem*, QAction*> m_actions;
};
