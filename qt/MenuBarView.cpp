#include "qt/MenuBarView.h"

#include "qt/KeyMapping.h"
#include "qt/QtText.h"
#include "services/ui/Application.h"
#include "services/ui/TMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QString actionText(const TMenuItem& item) {
    QString text = toQtCaption(item.Caption());
    const QKeySequence seq = KeyMapping::toSequence(item.ShortCut());
    if (!seq.isEmpty()) text += QLatin1Char('\t') + seq.toString(QKeySequence::NativeText);
    return text;
}

void clickItem(TMenuItem* item) {
    if (!Application::installed()) return;
    Application::instance().dispatch([item] { item->Click(); });
}

} // namespace

MenuBarView::MenuBarView(TMainMenu& menu) : m_bar(new QMenuBar) {
    m_bar->setObjectName(toQt(menu.Name()));
    for (TMenuItem* top : menu.Items().Items())
        add(*top, nullptr);
}

MenuBarView::~MenuBarView() {
    if (m_bar) m_bar->deleteLater();
}

void MenuBarView::add(TMenuItem& item, QMenu* into) {
    QAction* action = nullptr;
    if (item.Caption() == "-") {
        action = into ? into->addSeparator() : m_bar->addSeparator();
    } else if (!item.Items().empty()) {
        QMenu* sub = into ? into->addMenu(toQtCaption(item.Caption()))
                          : m_bar->addMenu(toQtCaption(item.Caption()));
        sub->setObjectName(toQt(item.Name()));
        action = sub->menuAction();
        for (TMenuItem* child : item.Items())
            add(*child, sub);
    } else {
        action = into ? into->addAction(actionText(item)) : m_bar->addAction(actionText(item));
        TMenuItem* target = &item;
        QObject::connect(action, &QAction::triggered, action, [target] { clickItem(target); });
    }
    action->setObjectName(toQt(item.Name()));
    m_actions[&item] = action;
    sync(item);
}

QAction* MenuBarView::actionOf(const TMenuItem* item) const {
    const auto it = m_actions.find(item);
    return it == m_actions.end() ? nullptr : it->second;
}

void MenuBarView::sync(const TMenuItem& item) {
    QAction* action = actionOf(&item);
    if (!action) return;
    if (!action->isSeparator()) {
        action->setText(action->menu() ? toQtCaption(item.Caption()) : actionText(item));
        action->setCheckable(item.Checked());
        action->setChecked(item.Checked());
    }
    action->setEnabled(item.Enabled());
    action->setVisible(item.Visible());
}

void MenuBarView::forget(const void* item) {
    for (auto it = m_actions.begin(); it != m_actions.end(); ++it)
        if (static_cast<const void*>(it->first) == item) {
            QObject::disconnect(it->second, &QAction::triggered, nullptr, nullptr);
            m_actions.erase(it);
            return;
        }
}

QMenu* MenuBarView::buildMenu(TMenuItem& root, QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (TMenuItem* item : root.Items()) {
        if (!item->Visible()) continue;
        if (item->Caption() == "-") {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(actionText(*item));
        action->setObjectName(toQt(item->Name()));
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        QObject::connect(action, &QAction::triggered, action, [item] { clickItem(item); });
    }
    return menu;
}
