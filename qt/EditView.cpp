#include "qt/EditView.h"

#include "qt/QtText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TNumberEdit.h"

#include <QLineEdit>

EditView::EditView(FormView& form, TEdit& edit) : ControlView(form, edit), m_edit(edit) {
    m_line = new QLineEdit;
    m_line->setFocusPolicy(Qt::StrongFocus);
    if (dynamic_cast<TNumberEdit*>(&edit)) m_line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QObject::connect(m_line, &QLineEdit::cursorPositionChanged, context(),
                     [this](int, int) { caretMovedByOperator(); });
    QObject::connect(m_line, &QLineEdit::selectionChanged, context(),
                     [this] { caretMovedByOperator(); });
    setWidget(m_line);
}

void EditView::caretMovedByOperator() {
    if (m_showing) return;
    const bool selected = m_line->hasSelectedText();
    const int start = selected ? m_line->selectionStart() : m_line->cursorPosition();
    const int length = selected ? static_cast<int>(m_line->selectedText().size()) : 0;
    if (start == m_edit.SelStart() && length == m_edit.SelLength()) return;
    m_showing = true;
    m_edit.SetSelStart(start);
    m_edit.SetSelLength(length);
    m_showing = false;
}

void EditView::showSelection() {
    m_showing = true;
    if (m_edit.SelLength() > 0)
        m_line->setSelection(m_edit.SelStart(), m_edit.SelLength());
    else
        m_line->setCursorPosition(m_edit.SelStart());
    m_showing = false;
}

void EditView::sync(Property property) {
    switch (property) {
    case Property::Text:
    case Property::Caption: {
        const QString text = toQt(m_edit.Text());
        m_showing = true;
        if (m_line->text() != text) m_line->setText(text);
        m_showing = false;
        showSelection();
        break;
    }
    case Property::Selection:
        showSelection();
        break;
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
