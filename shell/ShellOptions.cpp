#include "shell/ShellOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

QString ShellOptions::defaultSettingsPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/fyn/shell.ini");
}

void ShellOptions::loadSettings() {
    if (settingsPath.isEmpty()) settingsPath = defaultSettingsPath();
    if (!QFileInfo::exists(settingsPath)) return;
    QSettings ini(settingsPath, QSettings::IniFormat);
    const QString server = ini.value(QStringLiteral("server/address")).toString();
    if (!server.isEmpty()) setServer(server);
    const QString branch =
        normaliseBranch(ini.value(QStringLiteral("host/fixedBranch")).toString());
    fixedBranch = branch;
    const QString op = ini.value(QStringLiteral("login/operator")).toString();
    if (!op.isEmpty()) operatorCode = op;
}

bool ShellOptions::saveSettings() const {
    if (settingsPath.isEmpty()) return false;
    QDir().mkpath(QFileInfo(settingsPath).absolutePath());
    QSettings ini(settingsPath, QSettings::IniFormat);
    ini.setValue(QStringLiteral("server/address"),
                 serverHost + QLatin1Char(':') + QString::number(serverPort));
    ini.setValue(QStringLiteral("host/fixedBranch"), fixedBranch);
    ini.setValue(QStringLiteral("login/operator"), operatorCode);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

bool ShellOptions::setServer(const QString& hostAndPort) {
    const int colon = hostAndPort.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) return false;
    const QString host = hostAndPort.left(colon).trimmed();
    bool ok = false;
    const int port = hostAndPort.mid(colon + 1).toInt(&ok);
    if (!ok || port <= 0 || port > 65535 || host.isEmpty()) return false;
    serverHost = host;
    serverPort = port;
    return true;
}

QString ShellOptions::normaliseBranch(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,4}$"));
    const QString t = text.trimmed();
    if (!digits.match(t).hasMatch()) return {};
    return t.rightJustified(4, QLatin1Char('0'));
}

QString ShellOptions::parseArguments(const QStringList& arguments) {
    // The first pass finds --config so that the file is read before the other overrides.
    for (int i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == QStringLiteral("--config")) settingsPath = arguments[i + 1];
    loadSettings();

    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto next = [&](QString& out) {
            if (i + 1 >= arguments.size()) return false;
            out = arguments[++i];
            return true;
        };
        QString value;
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            showHelp = true;
        } else if (arg == QStringLiteral("--config")) {
            ++i;
        } else if (arg == QStringLiteral("--server")) {
            if (!next(value) || !setServer(value))
                return QStringLiteral("--server expects host:port, e.g. 127.0.0.1:8080");
        } else if (arg == QStringLiteral("--fixed-branch")) {
            if (!next(value)) return QStringLiteral("--fixed-branch expects a branch code");
            if (value.isEmpty() || value == QStringLiteral("none")) {
                fixedBranch.clear();
            } else {
                fixedBranch = normaliseBranch(value);
                if (fixedBranch.isEmpty())
                    return QStringLiteral("--fixed-branch expects a code of up to four digits");
            }
        } else if (arg == QStringLiteral("--operator")) {
            if (!next(operatorCode)) return QStringLiteral("--operator expects an operator code");
        } else if (arg == QStringLiteral("--password")) {
            if (!next(password)) return QStringLiteral("--password expects a password");
        } else if (arg == QStringLiteral("--password-file")) {
            if (!next(passwordFile)) return QStringLiteral("--password-file expects a file name");
        } else if (arg == QStringLiteral("--open")) {
            if (!next(openModule)) return QStringLiteral("--open expects a module code");
        } else if (arg == QStringLiteral("--screenshot")) {
            if (!next(screenshotPath)) return QStringLiteral("--screenshot expects a file name");
        } else if (arg == QStringLiteral("--module-dir")) {
            if (!next(value)) return QStringLiteral("--module-dir expects a folder");
            moduleDirs << value;
        } else if (arg == QStringLiteral("--vnc-listen") || arg == QStringLiteral("--vnc-size")) {
            ++i; // the display's own: read before the application object exists
        } else if (arg == QStringLiteral("-platform") || arg == QStringLiteral("-style")) {
            ++i; // Qt's own options: already consumed by the application object
        } else {
            return QStringLiteral("unknown argument: ") + arg;
        }
    }
    return readPassword();
}

QString ShellOptions::readPassword() {
    // The command line wins; a file or the environment keep the password out of the process
    // list, where every local user can read it.
    if (!password.isEmpty()) return {};
    if (!passwordFile.isEmpty()) {
        QFile file(passwordFile);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("--password-file: cannot read ") + passwordFile;
        QString text = QString::fromUtf8(file.readLine());
        while (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        if (text.isEmpty())
            return QStringLiteral("--password-file: the first line of ") + passwordFile +
                   QStringLiteral(" is empty");
        password = text;
        return {};
    }
    password = qEnvironmentVariable(kPasswordVariable);
    return {};
}

QString ShellOptions::usage() {
    return QStringLiteral(
        "usage: fyn-shell [options]\n"
        "  --server host:port     application server (remembered)\n"
        "  --fixed-branch 0001    work with one fixed branch; 'none' for all (remembered)\n"
        "  --operator CODE        operator code for the login\n"
        "  --password TEXT        with --operator: log in without asking (visible to every\n"
        "                         local user: prefer --password-file or FYN_PASSWORD)\n"
        "  --password-file FILE   read the password from the first line of FILE\n"
        "  --open CODE            open a module right after login, e.g. FYN10000\n"
        "  --module-dir DIR       also look for module libraries in DIR\n"
        "  --config FILE          settings file (default ~/.config/fyn/shell.ini)\n"
        "  --screenshot FILE.png  save a picture of the screen once started, then quit\n"
        "  --vnc-listen ADDRESS   without a display: serve VNC on ADDRESS, not on loopback\n"
        "  --vnc-size WxH         without a display: the VNC screen's size (default 1280x800)\n"
        "The password may also come from the environment variable FYN_PASSWORD.\n"
        "Without a display the shell starts a private VNC server and prints how to connect.\n");
}
