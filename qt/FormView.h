#pragma once

#include "services/ui/ControlObserver.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

class ControlView;
class FormWidget;
class MenuBarView;
class QPoint;
class QWidget;
class TComponent;
class TControl;
class TForm;
class TWinControl;

// The Qt window of one form: builds a view per control, listens to every component of the
// form, and routes the window's keys and focus moves into the form.
class FormView : public QObject, public ControlObserver {
    Q_OBJECT
public:
    explicit FormView(TForm& form);
    ~FormView() override;

    TForm* form() const { return m_form; }
    // The top-level widget of the form (put in a dialog, an MDI child or a plain window).
    QWidget* window() const;
    // The view and the widget of a named control of the form; nullptr when unknown.
    ControlView* viewOf(const TComponent* component) const;
    QWidget* widgetNamed(const std::string& name) const;

    // Gives the Qt focus to the control's widget (the form already moved its own focus).
    void showFocus(TWinControl* control);
    // Called when the window is asked to close by the operator.
    void closeRequested();
    // Called once the form is gone (the widget stays until deleted by the platform).
    std::function<void(FormView&)> onFormDestroyed;
    // Called when the form's modal result is set.
    std::function<void(FormView&)> onModalResult;

    // For the views: watch a widget's keys and focus on behalf of a view.
    void registerWidget(QWidget* widget, ControlView* view);
    void unregisterWidget(QWidget* widget);

    // ControlObserver
    void propertyChanged(TComponent& component, Property property) override;
    void childrenChanged(TWinControl& parent) override;
    void destroyed(TComponent& component) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build(TWinControl& container, ControlView& containerView);
    ControlView* createView(TControl& control, ControlView& parentView);
    void dropView(TComponent& component);
    void watchComponents();
    bool routeKey(ControlView* view, QEvent* event);
    void focusEntered(ControlView* view);
    // Shows the control's popup menu; false when it has none.
    bool showPopup(ControlView* view, const QPoint& at);
    void syncFormProperty(Property property);

    TForm* m_form;
    QPointer<FormWidget> m_window;
    std::unique_ptr<ControlView> m_rootView;
    std::unordered_map<const TComponent*, std::unique_ptr<ControlView>> m_views;
    std::unique_ptr<MenuBarView> m_menuBar;
    QHash<QObject*, ControlView*> m_widgetViews;
    bool m_settingFocus = false;
    bool m_settingBounds = false;
};
