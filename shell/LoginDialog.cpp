#include "shell/LoginDialog.h"

#include "shell/ShellOptions.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LoginDialog::LoginDialog(ShellOptions& options, Authenticator authenticate, QWidget* parent)
    : QDialog(parent), m_options(options), m_authenticate(std::move(authenticate)) {
    setWindowTitle(QStringLiteral("Acesso ao sistema"));
    setObjectName(QStringLiteral("LoginDialog"));

    auto* title =
        new QLabel(QStringLiteral("<b>Gestão Operacional</b><br>Informe operador e senha."));
    m_server =
        new QLineEdit(options.serverHost + QLatin1Char(':') + QString::number(options.serverPort));
    m_server->setObjectName(QStringLiteral("edtServidor"));
    m_operator = new QLineEdit(options.operatorCode);
    m_operator->setObjectName(QStringLiteral("edtOperador"));
    m_password = new QLineEdit(options.password);
    m_password->setObjectName(QStringLiteral("edtSenha"));
    m_password->setEchoMode(QLineEdit::Password);
    m_branch = new QLineEdit(options.fixedBranch);
    m_branch->setObjectName(QStringLiteral("edtFilialFixa"));
    m_branch->setPlaceholderText(QStringLiteral("todas"));
    m_branch->setMaxLength(4);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Servidor:"), m_server);
    form->addRow(QStringLiteral("Operador:"), m_operator);
    form->addRow(QStringLiteral("Senha:"), m_password);
    form->addRow(QStringLiteral("Filial fixa:"), m_branch);

    m_error = new QLabel;
    m_error->setObjectName(QStringLiteral("lblErro"));
    m_error->setStyleSheet(QStringLiteral("color: #b00020;"));
    m_error->setWordWrap(true);
    m_error->hide();

    auto* buttons = new QDialogButtonBox;
    m_ok = buttons->addButton(QStringLiteral("Entrar"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { tryLogin(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* box = new QVBoxLayout(this);
    box->addWidget(title);
    box->addLayout(form);
    box->addWidget(m_error);
    box->addWidget(buttons);
    setMinimumWidth(380);
    (options.operatorCode.isEmpty() ? m_operator : m_password)->setFocus();
}

QString LoginDialog::errorText() const {
    return m_error->isHidden() ? QString() : m_error->text();
}

void LoginDialog::showError(const QString& text) {
    m_error->setText(text);
    m_error->show();
}

bool LoginDialog::tryLogin() {
    ShellOptions candidate = m_options;
    if (!candidate.setServer(m_server->text().trimmed())) {
        showError(QStringLiteral(
            "Servidor deve ser informado como endereço:porta (ex.: 127.0.0.1:8080)."));
        m_server->setFocus();
        return false;
    }
    const QString op = m_operator->text().trimmed();
    if (op.isEmpty()) {
        showError(QStringLiteral("Operador deve ser informado."));
        m_operator->setFocus();
        return false;
    }
    const QString branchText = m_branch->text().trimmed();
    const QString branch = ShellOptions::normaliseBranch(branchText);
    if (!branchText.isEmpty() && branch.isEmpty()) {
        showError(QStringLiteral("Filial fixa deve ser um código de até quatro dígitos."));
        m_branch->setFocus();
        return false;
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_outcome = m_authenticate(candidate.serverHost, candidate.serverPort, op, m_password->text());
    QApplication::restoreOverrideCursor();
    if (!m_outcome.ok) {
        showError(m_outcome.error.isEmpty() ? QStringLiteral("Acesso negado.") : m_outcome.error);
        m_password->selectAll();
        m_password->setFocus();
        return false;
    }
    m_options.serverHost = candidate.serverHost;
    m_options.serverPort = candidate.serverPort;
    m_options.operatorCode = op;
    m_options.password = m_password->text();
    m_options.fixedBranch = branch;
    m_error->hide();
    accept();
    return true;
}
