#include "qt/LabelView.h"

#include "qt/QtText.h"
#include "services/ui/TControl.h"

#include <QLabel>

LabelView::LabelView(FormView& form, TControl& control) : ControlView(form, control) {
    m_label = new QLabel;
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setWidget(m_label);
}

void LabelView::sync(Property property) {
    if (property == Property::Caption) {
        // Captions carry accelerators ("&Ano"); a label shows them without the marker.
        QString text = toQt(m_control.Caption());
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        text.remove(QLatin1Char('&'));
        text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
        m_label->setText(text);
        relayoutParent();
        return;
    }
    ControlView::sync(property);
}

int LabelView::autoWidth() const {
    return m_label->sizeHint().width();
}
