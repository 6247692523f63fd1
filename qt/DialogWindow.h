#pragma once

#include <QDialog>

#include <functional>

// The modal window around a form shown as a dialog; closing it asks the form instead of
// closing by itself.
class DialogWindow : public QDialog {
    Q_OBJECT
public:
    explicit DialogWindow(QWidget* content, QWidget* parent = nullptr);
    std::function<void()> onCloseRequest;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
};
