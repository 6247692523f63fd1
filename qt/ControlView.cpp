#include "qt/ControlView.h"

#include "qt/AlignLayout.h"
#include "qt/ColorMapping.h"
#include "qt/FormView.h"
#include "qt/QtText.h"
#include "services/ui/Application.h"
#include "services/ui/TControl.h"

ControlView::ControlView(FormView& form, TControl& control) : m_form(form), m_control(control) {}

ControlView::~ControlView() {
    if (m_widget) {
        m_widget->hide();
        m_widget->deleteLater();
    }
}

void ControlView::setWidget(QWidget* widget, bool named) {
    m_widget = widget;
    if (named) widget->setObjectName(toQt(m_control.Name()));
    m_form.registerWidget(widget, this);
}

bool ControlView::dispatch(const std::function<void()>& event) const {
    if (!Application::installed()) return false;
    return Application::instance().dispatch(event);
}

void ControlView::addChild(ControlView& child) {
    QWidget* host = childHost();
    if (!host || !child.widget()) return;
    auto* layout = dynamic_cast<AlignLayout*>(host->layout());
    if (!layout) layout = new AlignLayout(host);
    child.widget()->setParent(host);
    layout->addControl(child.widget(), &child.control());
    child.widget()->setVisible(child.control().Visible());
}

void ControlView::removeChild(ControlView& child) {
    QWidget* host = childHost();
    if (!host || !child.widget()) return;
    if (auto* layout = dynamic_cast<AlignLayout*>(host->layout()))
        layout->removeControlWidget(child.widget());
}

void ControlView::relayoutParent() const {
    if (!m_widget) return;
    if (QWidget* parent = m_widget->parentWidget())
        if (QLayout* layout = parent->layout()) {
            layout->invalidate();
            layout->activate();
        }
}

void ControlView::sync(Property property) {
    if (!m_widget) return;
    switch (property) {
    case Property::Enabled:
        m_widget->setEnabled(m_control.Enabled());
        break;
    case Property::Visible:
        m_widget->setVisible(m_control.Visible());
        relayoutParent();
        break;
    case Property::Hint:
        m_widget->setToolTip(toQt(m_control.Hint()));
        break;
    case Property::Bounds:
    case Property::Align:
        relayoutParent();
        break;
    case Property::Font: {
        QFont font = m_widget->font();
        font.setBold(m_control.FontBold());
        m_widget->setFont(font);
        if (m_control.FontColor() != clDefault) {
            QPalette pal = m_widget->palette();
            pal.setColor(QPalette::WindowText, ColorMapping::toQt(m_control.FontColor()));
            pal.setColor(QPalette::Text, ColorMapping::toQt(m_control.FontColor()));
            m_widget->setPalette(pal);
        }
        break;
    }
    case Property::Color:
        if (m_control.Color() != clDefault) {
            QPalette pal = m_widget->palette();
            pal.setColor(QPalette::Window, ColorMapping::toQt(m_control.Color()));
            pal.setColor(QPalette::Base, ColorMapping::toQt(m_control.Color()));
            m_widget->setPalette(pal);
            m_widget->setAutoFillBackground(true);
        }
        break;
    default:
        break;
    }
}

void ControlView::syncAll() {
    for (Property p :
         {Property::Caption,    Property::Text,       Property::Hint,      Property::Enabled,
          Property::Font,       Property::Color,      Property::ReadOnly,  Property::Checked,
          Property::Items,      Property::ItemIndex,  Property::MaxLength, Property::Value,
          Property::Columns,    Property::Data,       Property::Options,   Property::Picture,
          Property::ActivePage, Property::TabVisible, Property::Selection, Property::EditorText})
        sync(p);
}
