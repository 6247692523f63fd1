#include "qt/FormView.h"

#include "qt/ContainerView.h"
#include "qt/FormWidget.h"
#include "qt/KeyMapping.h"
#include "qt/MenuBarView.h"
#include "qt/QtText.h"
#include "qt/ViewFactory.h"
#include "services/ui/Application.h"
#include "services/ui/TForm.h"
#include "services/ui/TMenu.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>

FormView::FormView(TForm& form) : m_form(&form) {
    m_window = new FormWidget;
    m_window->setObjectName(toQt(form.Name()));
    m_window->setWindowTitle(toQt(form.Caption()));
    m_window->onCloseRequest = [this] { closeRequested(); };
    // The form learns its real size, so that what it places from its edges follows.
    m_window->onClientResized = [this](QSize size) {
        if (!m_form || m_settingBounds || !m_window->isVisible()) return;
        if (size.width() == m_form->Width() && size.height() == m_form->Height()) return;
        m_settingBounds = true;
        TForm* form = m_form;
        if (Application::installed())
            Application::instance().dispatch([form, size] {
                form->SetBounds(form->Left(), form->Top(), size.width(), size.height());
            });
        m_settingBounds = false;
    };
    m_rootView = std::make_unique<ContainerView>(*this, form, m_window->clientArea());
    // Keys pressed while no control holds the focus go to the form itself.
    registerWidget(m_window, m_rootView.get());
    build(form, *m_rootView);
    for (TComponent* c : form.Components())
        if (auto* menu = dynamic_cast<TMainMenu*>(c)) {
            m_menuBar = std::make_unique<MenuBarView>(*menu);
            m_window->setMenuBar(m_menuBar->bar());
            break;
        }
    watchComponents();
    m_rootView->syncAll();
    m_window->setClientSize(form.Width(), form.Height());
}

FormView::~FormView() {
    if (m_form) {
        m_form->SetObserver(nullptr);
        for (auto& [component, view] : m_views)
            const_cast<TComponent*>(component)->SetObserver(nullptr);
        std::function<void(TComponent&)> unwatch = [&](TComponent& c) {
            c.SetObserver(nullptr);
            for (TComponent* child : c.Components())
                unwatch(*child);
        };
        unwatch(*m_form);
    }
    m_views.clear();
    m_menuBar.reset();
    m_rootView.reset();
    if (m_window) m_window->deleteLater();
}

QWidget* FormView::window() const {
    return m_window;
}

ControlView* FormView::viewOf(const TComponent* component) const {
    if (m_form && component == m_form) return m_rootView.get();
    const auto it = m_views.find(component);
    return it == m_views.end() ? nullptr : it->second.get();
}

QWidget* FormView::widgetNamed(const std::string& name) const {
    if (!m_form) return nullptr;
    ControlView* view = viewOf(m_form->FindComponent(name));
    return view ? view->widget() : nullptr;
}

void FormView::watchComponents() {
    std::function<void(TComponent&)> watch = [&](TComponent& c) {
        c.SetObserver(this);
        for (TComponent* child : c.Components())
            watch(*child);
    };
    watch(*m_form);
    // Items of menus live inside their menu, not among the owner's components.
    std::function<void(TMenuItem&)> watchItems = [&](TMenuItem& item) {
        item.SetObserver(this);
        for (TMenuItem* child : item.Items())
            watchItems(*child);
    };
    for (TComponent* c : m_form->Components())
        if (auto* menu = dynamic_cast<TMenu*>(c)) watchItems(menu->Items());
}

ControlView* FormView::createView(TControl& control, ControlView& parentView) {
    std::unique_ptr<ControlView> view = ViewFactory::create(*this, control);
    if (!view) return nullptr;
    ControlView* raw = view.get();
    m_views[&control] = std::move(view);
    parentView.addChild(*raw);
    raw->syncAll();
    if (auto* container = dynamic_cast<TWinControl*>(&control)) build(*container, *raw);
    return raw;
}

void FormView::build(TWinControl& container, ControlView& containerView) {
    for (TControl* child : container.Controls())
        if (!m_views.count(child)) createView(*child, containerView);
}

void FormView::registerWidget(QWidget* widget, ControlView* view) {
    m_widgetViews.insert(widget, view);
    widget->installEventFilter(this);
}

void FormView::unregisterWidget(QWidget* widget) {
    m_widgetViews.remove(widget);
    widget->removeEventFilter(this);
}

void FormView::dropView(TComponent& component) {
    const auto it = m_views.find(&component);
    if (it == m_views.end()) return;
    ControlView* view = it->second.get();
    if (auto* control = dynamic_cast<TControl*>(&component))
        if (control->Parent())
            if (ControlView* parent = viewOf(control->Parent())) parent->removeChild(*view);
    for (auto w = m_widgetViews.begin(); w != m_widgetViews.end();)
        w = w.value() == view ? m_widgetViews.erase(w) : std::next(w);
    m_views.erase(it);
}

void FormView::propertyChanged(TComponent& component, Property property) {
    if (!m_form) return;
    if (&component == m_form) {
        syncFormProperty(property);
        return;
    }
    if (auto* item = dynamic_cast<TMenuItem*>(&component)) {
        if (m_menuBar) m_menuBar->sync(*item);
        return;
    }
    if (ControlView* view = viewOf(&component)) view->sync(property);
}

void FormView::childrenChanged(TWinControl& parent) {
    if (!m_form) return;
    ControlView* parentView = viewOf(&parent);
    // Views whose control moved to another container follow it.
    std::vector<TComponent*> moved;
    for (auto& [component, view] : m_views) {
        auto* control = dynamic_cast<TControl*>(const_cast<TComponent*>(component));
        if (control && view->widget() && parentView &&
            view->widget()->parentWidget() == parentView->childHost() &&
            control->Parent() != &parent)
            moved.push_back(const_cast<TComponent*>(component));
    }
    for (TComponent* c : moved) {
        parentView->removeChild(*viewOf(c));
        auto* control = static_cast<TControl*>(c);
        if (ControlView* target = control->Parent() ? viewOf(control->Parent()) : nullptr)
            target->addChild(*viewOf(c));
    }
    if (parentView) build(parent, *parentView);
    watchComponents();
}

void FormView::destroyed(TComponent& component) {
    if (&component == m_form) {
        m_form = nullptr;
        m_views.clear();
        if (onFormDestroyed) onFormDestroyed(*this);
        return;
    }
    // The component is half gone: its kind can no longer be asked, only its address.
    if (m_menuBar) m_menuBar->forget(&component);

    dropView(component);
}

void FormView::syncFormProperty(Property property) {
    switch (property) {
    case Property::Caption:
        m_window->setWindowTitle(toQt(m_form->Caption()));
        if (auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget()))
            sub->setWindowTitle(m_window->windowTitle());
        break;
    case Property::Bounds:
        if (!m_settingBounds) m_window->setClientSize(m_form->Width(), m_form->Height());
        break;
    case Property::ActiveControl:
        showFocus(m_form->ActiveControl());
        break;
    case Property::ModalResult:
        if (onModalResult) onModalResult(*this);
        break;
    case Property::WindowState:
        if (auto* sub = qobject_cast<QMdiSubWindow*>(m_window->parentWidget())) {
            if (m_form->WindowState() == wsMaximized)
                sub->showMaximized();
            else if (m_form->WindowState() == wsMinimized)
                sub->showMinimized();
            else
                sub->showNormal();
        }
        break;
    default:
        m_rootView->sync(property);
        break;
    }
}

void FormView::showFocus(TWinControl* control) {
    if (!control) return;
    ControlView* view = viewOf(control);
    QWidget* target = view ? view->focusWidget() : nullptr;
    if (!target || target->hasFocus()) return;
    m_settingFocus = true;
    target->setFocus(Qt::OtherFocusReason);
    m_settingFocus = false;
}

void FormView::closeRequested() {
    if (!m_form || !Application::installed()) return;
    TForm* form = m_form;
    Application::instance().dispatch([form] { form->Close(); });
}

bool FormView::showPopup(ControlView* view, const QPoint& at) {
    TPopupMenu* popup = view ? view->control().PopupMenu() : nullptr;
    if (!popup || !Application::installed()) return false;
    // OnPopup may enable or hide items before they show.
    if (!Application::instance().dispatch([popup] { popup->Popup(); })) return true;
    QMenu* menu = MenuBarView::buildMenu(popup->Items(), view->widget());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at);
    return true;
}

void FormView::focusEntered(ControlView* view) {
    if (m_settingFocus || !m_form || !view) return;
    auto* control = dynamic_cast<TWinControl*>(&view->control());
    if (!control || control == m_form || control == m_form->ActiveControl() ||
        !control->IsFocusable())
        return;
    TForm* form = m_form;
    if (Application::installed())
        Application::instance().dispatch([form, control] { form->FocusControl(control); });
    // An exit handler that refused the move keeps the focus where it was.
    if (m_form && m_form->ActiveControl() != control) showFocus(m_form->ActiveControl());
}

bool FormView::routeKey(ControlView* view, QEvent* event) {
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const KeyMapping::Key key = KeyMapping::fromEvent(*keyEvent);
    if (key.code == 0 && key.typed == 0) return false; // modifiers alone and the like
    if (!Application::installed()) return false;
    TForm* form = m_form;
    auto* control = view ? dynamic_cast<TWinControl*>(&view->control()) : nullptr;
    Application::instance().dispatch([&] {
        if (control && control != form && control->IsFocusable() &&
            form->ActiveControl() != control)
            form->FocusControl(control);
        // A character without a key code of its own (accented letters) is typed alone.
        if (key.code != 0)
            form->PressKey(key.code, key.shift, key.typed);
        else
            form->TypeChar(key.typed);
    });
    return true;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (!m_form) return false;
    const auto it = m_widgetViews.constFind(watched);
    ControlView* view = it == m_widgetViews.constEnd() ? nullptr : it.value();
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Keys go to the form first (its menu shortcuts included); Alt combinations stay
        // with Qt's menu bar.
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (!(keyEvent->modifiers() & Qt::AltModifier)) event->accept();
        return false;
    }
    case QEvent::KeyPress:
        return routeKey(view, event);
    case QEvent::FocusIn:
        focusEntered(view);
        return false;
    case QEvent::ContextMenu:
        // A box's own menu (cut, paste) would edit behind the control's back.
        return showPopup(view, static_cast<QContextMenuEvent*>(event)->globalPos()) ||
               qobject_cast<QLineEdit*>(watched) != nullptr;
    default:
        return false;
    }
}
