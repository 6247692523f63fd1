#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The small window shown during a long server call: the given text over a busy bar.
// It is shown and painted at once because the call that follows blocks the event loop.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    // Shows the window with the text (kind picks the title) and paints it immediately.
    void showText(int kind, const QString& text);
    QString text() const;

private:
    QLabel* m_text = nullptr;
    QProgressBar* m_bar = nullptr;
};
