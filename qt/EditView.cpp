#include "qt/EditView.h"

#include "qt/QtText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TNumberEdit.h"

#include <QLineEdit>

EditView::EditView(FormView& form, TEdit& edit) : ControlView(form, edit), m_edit(edit) {
    m_line = new QLineEdit;
    m_line->setFocusPolicy(Qt::StrongFocus);
    // Typing reaches the control layer through the form's key routing, never the box itself.
    m_line->setContextMenuPolicy(Qt::NoContextMenu);
    if (dynamic_cast<TNumberEdit*>(&edit)) m_line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setWidget(m_line);
}

void EditView::sync(Property property) {
    switch (property) {
    case Property::Text:
    case Property::Caption: {
        const QString text = toQt(m_edit.Text());
        if (m_line->text() != text) m_line->setText(text);
        m_line->setCursorPosition(static_cast<int>(text.size()));
        break;
    }
    case Property::ReadOnly:
        m_line->setReadOnly(m_edit.ReadOnly());
        break;
    case Property::MaxLength:
        // The control enforces the length; the box only shows it.
        break;
    default:
        ControlView::sync(property);
    }
}
