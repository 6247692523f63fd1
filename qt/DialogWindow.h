#pragma once

#include <QDialog>

#include <functional>

class QScrollArea;

// The modal window around a form shown as a dialog; closing it asks the form instead of
// closing by itself.
class DialogWindow : public QDialog {
    Q_OBJECT
public:
    explicit DialogWindow(QWidget* content, QWidget* parent = nullptr);
    std::function<void()> onCloseRequest;

    // Takes the form's designed size, or the screen's room when that is smaller (the form
    // then scrolls), and stands centred on the window that opened it, inside the screen.
    void placeOnScreen();

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* m_content;
    QScrollArea* m_scroll;
};
