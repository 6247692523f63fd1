#pragma once

#include "shell/LoginOutcome.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class ShellOptions;

// Asks the operator for the server, operator code, password and fixed branch, and checks the
// login with the server before closing; a refused or failed login keeps the dialog open.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    using Authenticator = std::function<LoginOutcome(const QString& host, int port,
                                                     const QString& op, const QString& password)>;

    LoginDialog(ShellOptions& options, Authenticator authenticate, QWidget* parent = nullptr);

    // Checks the typed values with the server; on success stores them in the options and
    // accepts. Returns whether the login succeeded.
    bool tryLogin();
    const LoginOutcome& outcome() const { return m_outcome; }
    QString errorText() const;

private:
    void showError(const QString& text);

    ShellOptions& m_options;
    Authenticator m_authenticate;
    LoginOutcome m_outcome;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_operator = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_branch = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_ok = nullptr;
};
