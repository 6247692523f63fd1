#include "qt/FormWidget.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QResizeEvent>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

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
    if (width <= 0 || height <= 0) return;
    m_designed = QSize(width, height);
    updateGeometry();
    resize(sizeHint());
}

QSize FormWidget::sizeHint() const {
    if (m_designed.isEmpty()) return QWidget::sizeHint();
    const int menu = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    const QSize content = m_client->sizeHint();
    return {std::max(m_designed.width(), content.width()),
            std::max(m_designed.height(), content.height()) + menu};
}

void FormWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int menu = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    if (onClientResized) onClientResized(QSize(width(), height() - menu));
}

void FormWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window sized before it showed (opened maximized) tells the form its room now.
    const int menu = m_menuBar ? m_menuBar->sizeHint().height() : 0;
    if (onClientResized) onClientResized(QSize(width(), height() - menu));
}

void FormWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}
