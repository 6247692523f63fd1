#include "qt/CheckView.h"

#include "qt/QtText.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TRadioButton.h"

#include <QCheckBox>
#include <QRadioButton>

CheckView::CheckView(FormView& form, TControl& control) : ControlView(form, control) {
    if (dynamic_cast<TRadioButton*>(&control)) {
        auto* radio = new QRadioButton;
        // The control layer keeps the group; Qt must not uncheck siblings on its own.
        radio->setAutoExclusive(false);
        m_button = radio;
    } else {
        m_button = new QCheckBox;
    }
    m_button->setFocusPolicy(Qt::StrongFocus);
    TControl* target = &control;
    QObject::connect(m_button, &QAbstractButton::clicked, context(), [this, target] {
        if (target->EffectivelyEnabled()) dispatch([target] { target->Click(); });
        m_button->setChecked(checked());
    });
    setWidget(m_button);
}

bool CheckView::checked() const {
    if (auto* box = dynamic_cast<TCheckBox*>(&m_control)) return box->Checked();
    if (auto* radio = dynamic_cast<TRadioButton*>(&m_control)) return radio->Checked();
    return false;
}

void CheckView::sync(Property property) {
    switch (property) {
    case Property::Caption:
        m_button->setText(toQtCaption(m_control.Caption()));
        break;
    case Property::Checked:
        m_button->setChecked(checked());
        break;
    default:
        ControlView::sync(property);
    }
}
