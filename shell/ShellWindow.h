#pragma once

#include <QMainWindow>

#include <functional>

class QMdiArea;
class QLabel;

// The host's main window: module screens open as child windows of its MDI area.
class ShellWindow : public QMainWindow {
    Q_OBJECT
public:
    // `openModule` is called with a module code when the operator picks a menu entry.
    explicit ShellWindow(std::function<void(const QString&)> openModule, QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return m_mdi; }
    // Shows who is logged in, where, and the fixed branch in the status bar.
    void setSessionInfo(const QString& operatorCode, const QString& operatorName,
                        const QString& server, const QString& fixedBranch);
    QString sessionInfo() const;

    // Shows the window where the operator last left it (kept in the settings file at
    // `settingsPath`), or else maximized on the screen it starts on.
    void showInPlace(const QString& settingsPath);
    // Keeps the window's place and size in the settings once the operator has changed them
    // (a window still maximized as it opened leaves nothing behind).
    void savePlacement() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_settingsPath;
    bool m_placementSaved = false; // the settings hold a place the operator chose
    QMdiArea* m_mdi = nullptr;
    QLabel* m_session = nullptr;
    std::function<void(const QString&)> m_openModule;
};
