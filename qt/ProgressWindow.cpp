#include "qt/ProgressWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("ProgressWindow"));
    setModal(false);
    // Shown while the operator waits; it must not take the focus from the screen.
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("lblProgresso"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 0); // no known length: a busy indicator
    m_bar->setTextVisible(false);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(24, 18, 24, 18);
    box->setSpacing(12);
    box->addWidget(m_text);
    box->addWidget(m_bar);
    setFixedWidth(360);
}

void ProgressWindow::showText(int kind, const QString& text) {
    // Kind 6 is the calculation window; the others are loading and saving.
    setWindowTitle(kind == 6 ? QStringLiteral("Processando") : QStringLiteral("Aguarde"));
    m_text->setText(text);
    adjustSize();
    if (parentWidget()) {
        const QRect host = parentWidget()->window()->geometry();
        move(host.center() - rect().center());
    }
    show();
    raise();
    // The caller blocks on the server next: paint now or the window stays blank.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString ProgressWindow::text() const {
    return m_text->text();
}
