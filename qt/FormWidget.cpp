#include "qt/FormWidget.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>

FormWidget::FormWidget(QWidget* parent) : QWidget(parent) {
    m_box = new QVBoxLayout(this);
    m_box->setContentsMargins(0, 0, 0, 0);
    m_box->setSpacing(0);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_box->addWidget(m_client, 1);
}

void FormWidget::setMenuBar(QMenuBar* bar) {
    m_menuBar = bar;
    m_box->setMenuBar(bar);
}

void FormWidget::setClientSize(int width, int height) {
    const int menu = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    if (width > 0 && height > 0) resize(width, height + menu);
}

void FormWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}
