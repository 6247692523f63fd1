#include "qt/PanelView.h"

#include "qt/AlignLayout.h"
#include "qt/QtText.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TPanel.h"
#include "services/ui/TScrollBox.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>

PanelView::PanelView(FormView& form, TControl& control) : ControlView(form, control) {
    if (dynamic_cast<TGroupBox*>(&control)) {
        auto* box = new QGroupBox;
        m_host = box;
        new AlignLayout(box);
        setWidget(box);
    } else if (dynamic_cast<TScrollBox*>(&control)) {
        auto* area = new QScrollArea;
        area->setFrameShape(QFrame::StyledPanel);
        m_host = new QWidget;
        new AlignLayout(m_host);
        area->setWidget(m_host);
        area->setWidgetResizable(true);
        setWidget(area);
    } else {
        auto* frame = new QFrame;
        if (auto* panel = dynamic_cast<TPanel*>(&control))
            frame->setFrameStyle(panel->BevelOuter() == bvNone ? QFrame::NoFrame
                                 : panel->BevelOuter() == bvLowered
                                     ? (QFrame::StyledPanel | QFrame::Sunken)
                                     : (QFrame::StyledPanel | QFrame::Raised));
        m_caption = new QLabel(frame);
        m_caption->setAlignment(Qt::AlignCenter);
        m_caption->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_caption->hide();
        m_host = frame;
        new AlignLayout(frame);
        setWidget(frame);
    }
}

void PanelView::sync(Property property) {
    switch (property) {
    case Property::Caption:
        if (auto* box = qobject_cast<QGroupBox*>(widget())) {
            box->setTitle(toQtCaption(m_control.Caption()));
        } else if (m_caption) {
            m_caption->setText(toQt(m_control.Caption()));
            m_caption->setVisible(!m_control.Caption().empty());
            m_caption->setGeometry(0, 0, m_control.Width(), m_control.Height());
            m_caption->lower();
        }
        break;
    case Property::Other:
        if (auto* panel = dynamic_cast<TPanel*>(&m_control))
            if (auto* frame = qobject_cast<QFrame*>(widget()))
                frame->setFrameStyle(panel->BevelOuter() == bvNone ? QFrame::NoFrame
                                     : panel->BevelOuter() == bvLowered
                                         ? (QFrame::StyledPanel | QFrame::Sunken)
                                         : (QFrame::StyledPanel | QFrame::Raised));
        break;
    default:
        ControlView::sync(property);
    }
}
