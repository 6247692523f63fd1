#include "qt/NavigatorView.h"

#include "services/ui/TDBNavigator.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

NavigatorView::NavigatorView(FormView& form, TDBNavigator& navigator)
    : ControlView(form, navigator), m_navigator(navigator) {
    auto* bar = new QWidget;
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    struct Face {
        TNavigateBtn button;
        QStyle::StandardPixmap icon;
        const char* hint;
    };
    static const Face faces[] = {
        {nbFirst, QStyle::SP_MediaSkipBackward, "Primeiro"},
        {nbPrior, QStyle::SP_MediaSeekBackward, "Anterior"},
        {nbNext, QStyle::SP_MediaSeekForward, "Próximo"},
        {nbLast, QStyle::SP_MediaSkipForward, "Último"},
        {nbInsert, QStyle::SP_FileIcon, "Incluir"},
        {nbDelete, QStyle::SP_TrashIcon, "Excluir"},
        {nbEdit, QStyle::SP_FileDialogDetailedView, "Alterar"},
        {nbPost, QStyle::SP_DialogApplyButton, "Confirmar"},
        {nbCancel, QStyle::SP_DialogCancelButton, "Cancelar"},
        {nbRefresh, QStyle::SP_BrowserReload, "Atualizar"},
    };
    for (const Face& face : faces) {
        auto* button = new QToolButton(bar);
        button->setIcon(QApplication::style()->standardIcon(face.icon));
        button->setToolTip(QString::fromUtf8(face.hint));
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty("navigateButton", static_cast<int>(face.button));
        TDBNavigator* target = &m_navigator;
        const TNavigateBtn which = face.button;
        QObject::connect(button, &QToolButton::clicked, context(), [this, target, which] {
            dispatch([target, which] { target->BtnClick(which); });
            refresh();
        });
        row->addWidget(button);
        m_buttons.push_back(button);
    }
    setWidget(bar);
    refresh();
}

void NavigatorView::refresh() {
    for (QToolButton* button : m_buttons) {
        const auto which = static_cast<TNavigateBtn>(button->property("navigateButton").toInt());
        button->setVisible((m_navigator.VisibleButtons() >> which) & 1u);
        button->setEnabled(m_navigator.ButtonEnabled(which));
    }
}

void NavigatorView::sync(Property property) {
    if (property == Property::Other || property == Property::Data) {
        refresh();
        return;
    }
    ControlView::sync(property);
}
