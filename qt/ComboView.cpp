#include "qt/ComboView.h"

#include "qt/FormView.h"
#include "qt/QtText.h"
#include "services/ui/TComboBox.h"

#include <QComboBox>
#include <QLineEdit>

ComboView::ComboView(FormView& form, TComboBox& combo) : ControlView(form, combo), m_combo(combo) {
    m_box = new QComboBox;
    m_box->setFocusPolicy(Qt::StrongFocus);
    m_box->setEditable(combo.Style() == csDropDown);
    if (m_box->lineEdit()) form.registerWidget(m_box->lineEdit(), this);
    QObject::connect(m_box, &QComboBox::activated, context(), [this](int index) {
        if (m_filling) return;
        TComboBox* target = &m_combo;
        dispatch([target, index] { target->Select(index); });
        sync(Property::ItemIndex);
    });
    setWidget(m_box);
}

void ComboView::sync(Property property) {
    switch (property) {
    case Property::Items: {
        m_filling = true;
        m_box->clear();
        for (const auto& item : m_combo.Items())
            m_box->addItem(toQt(item));
        m_filling = false;
        sync(Property::ItemIndex);
        break;
    }
    case Property::ItemIndex:
    case Property::Text:
        m_filling = true;
        m_box->setCurrentIndex(m_combo.ItemIndex());
        if (m_box->isEditable()) m_box->setEditText(toQt(m_combo.Text()));
        m_filling = false;
        break;
    default:
        ControlView::sync(property);
    }
}
