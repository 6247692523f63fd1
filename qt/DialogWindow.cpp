#include "qt/DialogWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

DialogWindow::DialogWindow(QWidget* content, QWidget* parent)
    : QDialog(parent), m_content(content) {
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea;
    m_scroll->setObjectName(QStringLiteral("dialogScroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    // The form keeps its designed size: shrunk, its fixed places would be cut off unseen.
    m_scroll->setWidgetResizable(false);
    m_scroll->setWidget(content);
    box->addWidget(m_scroll);
    setWindowTitle(content->windowTitle());
    setObjectName(content->objectName() + QStringLiteral("Window"));
    setSizeGripEnabled(false);
}

void DialogWindow::placeOnScreen() {
    QWidget* opener = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen* screen =
        opener && opener->screen() ? opener->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    m_content->adjustSize();
    const QSize designed = m_content->sizeHint();
    m_content->resize(designed);
    // Room for the window frame the window manager adds around the dialog; before its first
    // showing the dialog's own is unknown, and the opener's is the best guess.
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isEmpty() && opener)
        frame = opener->frameGeometry().size() - opener->geometry().size();
    const QSize fits(std::min(designed.width(), room.width() - frame.width()),
                     std::min(designed.height(), room.height() - frame.height()));
    const bool scrolls = fits != designed;
    m_scroll->setHorizontalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded
                                                   : Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setFixedSize(fits);

    const QRect around = opener ? opener->frameGeometry() : room;
    QRect place(QPoint(0, 0), fits + frame);
    place.moveCenter(around.center());
    place.moveLeft(std::clamp(place.left(), room.left(),
                              std::max(room.left(), room.right() - place.width() + 1)));
    place.moveTop(std::clamp(place.top(), room.top(),
                             std::max(room.top(), room.bottom() - place.height() + 1)));
    move(place.topLeft());
}

void DialogWindow::reject() {
    // Escape and the close button: the form's own handlers decide.
    if (onCloseRequest) onCloseRequest();
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}
