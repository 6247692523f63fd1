#pragma once

#include "services/ui/ControlObserver.h"

#include <QPointer>
#include <QWidget>

class FormView;
class TControl;
class TWinControl;

// The Qt face of one control: owns the widget, mirrors the control's properties into it and
// hands the widget's user events to the control through the application's dispatcher.
class ControlView {
public:
    ControlView(FormView& form, TControl& control);
    virtual ~ControlView();
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    TControl& control() const { return m_control; }
    FormView& form() const { return m_form; }
    // The widget placed in the parent's layout.
    QWidget* widget() const { return m_widget; }
    // Where child controls' widgets go; nullptr for controls that hold none.
    virtual QWidget* childHost() const { return nullptr; }
    // The widget that takes the keyboard focus for the control.
    virtual QWidget* focusWidget() const { return m_widget; }
    // Places a child's widget; containers with pages override it.
    virtual void addChild(ControlView& child);
    virtual void removeChild(ControlView& child);

    // Brings one property of the control into the widget.
    virtual void sync(Property property);
    // Brings every property in (after creation).
    void syncAll();
    // The natural width for controls that size themselves to their text (labels).
    virtual int autoWidth() const { return -1; }

protected:
    // The receiver of the widget's signals: connections end with the view, even while the
    // widget itself waits for its deferred deletion.
    QObject* context() { return &m_context; }
    // Adopts the widget; `named` gives it the control's name as its object name.
    void setWidget(QWidget* widget, bool named = true);
    // Runs an operator event on the control layer (silent aborts end it quietly).
    bool dispatch(const std::function<void()>& event) const;
    void relayoutParent() const;

    FormView& m_form;
    TControl& m_control;

private:
    QObject m_context;
    QPointer<QWidget> m_widget;
};
