#include "qt/ContainerView.h"

#include "qt/AlignLayout.h"

#include <QFrame>

ContainerView::ContainerView(FormView& form, TControl& control, QWidget* host)
    : ControlView(form, control) {
    QWidget* w = host ? host : new QFrame;
    if (!w->layout()) new AlignLayout(w);
    // The form's client area keeps its own object name.
    setWidget(w, host == nullptr);
}
