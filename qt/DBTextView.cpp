#include "qt/DBTextView.h"

#include "qt/QtText.h"
#include "services/ui/TDBText.h"

#include <QLabel>

DBTextView::DBTextView(FormView& form, TDBText& text) : LabelView(form, text), m_text(text) {}

void DBTextView::sync(Property property) {
    if (property == Property::Text || property == Property::Data || property == Property::Caption) {
        if (auto* label = qobject_cast<QLabel*>(widget())) label->setText(toQt(m_text.Text()));
        return;
    }
    LabelView::sync(property);
}
