#include "qt/DialogWindow.h"

#include <QCloseEvent>
#include <QVBoxLayout>

DialogWindow::DialogWindow(QWidget* content, QWidget* parent) : QDialog(parent) {
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(content);
    setWindowTitle(content->windowTitle());
    setObjectName(content->objectName() + QStringLiteral("Window"));
    setSizeGripEnabled(false);
}

void DialogWindow::reject() {
    // Escape and the close button: the form's own handlers decide.
    if (onCloseRequest) onCloseRequest();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}
