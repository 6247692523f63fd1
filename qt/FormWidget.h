#pragma once

#include <QWidget>

#include <functional>

class QMenuBar;
class QVBoxLayout;

// The window of a form: an optional menu bar over the client area where the controls stand.
class FormWidget : public QWidget {
    Q_OBJECT
public:
    explicit FormWidget(QWidget* parent = nullptr);

    QWidget* clientArea() const { return m_client; }
    void setMenuBar(QMenuBar* bar);
    // Sizes the window so that the client area gets the designed size.
    void setClientSize(int width, int height);

    // The designed size, so that MDI children and dialogs open at it.
    QSize sizeHint() const override;

    // Asked when the operator closes the window; the form decides, so the event is refused.
    std::function<void()> onCloseRequest;
    // The client area took a new size (the operator or the window frame resized it).
    std::function<void(QSize)> onClientResized;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* m_box;
    QWidget* m_client;
    QMenuBar* m_menuBar = nullptr;
    QSize m_designed;
};
