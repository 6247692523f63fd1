#include "qt/ButtonView.h"

#include "qt/Glyphs.h"
#include "qt/QtText.h"
#include "services/ui/TButton.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TSpeedButton.h"

#include <QPushButton>
#include <QToolButton>

ButtonView::ButtonView(FormView& form, TControl& button) : ControlView(form, button) {
    m_toolbar = dynamic_cast<TSpeedButton*>(&button) || dynamic_cast<TButtonFlat*>(&button);
    if (m_toolbar) {
        auto* tool = new QToolButton;
        // Toolbar buttons stay flat until pointed at; flat buttons on a form keep a frame so
        // that they read as buttons.
        tool->setAutoRaise(dynamic_cast<TSpeedButton*>(&button) != nullptr);
        tool->setFocusPolicy(dynamic_cast<TSpeedButton*>(&button) ? Qt::NoFocus : Qt::TabFocus);
        tool->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        m_button = tool;
    } else {
        auto* push = new QPushButton;
        push->setFocusPolicy(Qt::StrongFocus);
        if (auto* b = dynamic_cast<TButton*>(&button)) push->setDefault(b->Default());
        m_button = push;
    }
    TControl* control = &button;
    QObject::connect(m_button, &QAbstractButton::clicked, context(), [this, control] {
        // Qt only clicks enabled widgets; the control checks its own state again.
        if (control->EffectivelyEnabled()) dispatch([control] { control->Click(); });
    });
    setWidget(m_button);
}

void ButtonView::showFace() {
    const QString caption = toQtCaption(m_control.Caption());
    std::string glyph;
    if (auto* speed = dynamic_cast<TSpeedButton*>(&m_control)) glyph = speed->Glyph();
    // A button with a caption says what it does; a picture is only added when one was given.
    const QIcon icon = caption.isEmpty() || !glyph.empty()
                           ? Glyphs::icon(glyph, m_control.Name(), m_control.Hint())
                           : QIcon();
    m_button->setIcon(icon);
    // A small button with neither caption nor picture opens a lookup.
    m_button->setText(caption.isEmpty() && icon.isNull() ? QStringLiteral("...") : caption);
    if (auto* tool = qobject_cast<QToolButton*>(m_button))
        tool->setToolButtonStyle(caption.isEmpty() && !icon.isNull() ? Qt::ToolButtonIconOnly
                                 : icon.isNull()                     ? Qt::ToolButtonTextOnly
                                                 : Qt::ToolButtonTextBesideIcon);
}

void ButtonView::sync(Property property) {
    switch (property) {
    case Property::Caption:
    case Property::Picture:
        showFace();
        break;
    case Property::Hint:
        m_button->setToolTip(
            toQt(m_control.Hint().empty() ? m_control.Caption() : m_control.Hint()));
        showFace();
        break;
    default:
        ControlView::sync(property);
    }
}
