#include "qt/QtPlatform.h"
#include "services/net/Login.h"
#include "services/ui/Application.h"
#include "services/ui/FileOptionStore.h"
#include "shell/DisplaySetup.h"
#include "shell/LoginDialog.h"
#include "shell/ModuleLoader.h"
#include "shell/QuitOnSignal.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "shell/ShellWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

LoginOutcome askServer(const QString& host, int port, const QString& op, const QString& password) {
    const LoginResult r = Login(host.toStdString(), port, op.toStdString(), password.toStdString());
    LoginOutcome out;
    out.ok = r.ok;
    out.token = QString::fromStdString(r.token);
    out.operatorName = QString::fromStdString(r.name);
    out.error = QString::fromStdString(r.error);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv, argv + argc);
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            std::fprintf(stdout, "%s", ShellOptions::usage().toLocal8Bit().constData());
            return 0;
        }
    // Declared before the application object: the display goes after the last window.
    const DisplaySetup display = DisplaySetup::choose(args);
    if (!display.error().empty()) {
        std::fprintf(stderr, "fyn-shell: %s\n", display.error().c_str());
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fyn-shell"));
    QtPlatform::installLook();
    QuitOnSignal quitOnSignal;
    if (display.usesVnc()) {
        std::fprintf(stderr, "%s\n", display.connectHint().c_str());
        std::fflush(stderr);
    }

    ShellOptions options;
    const QString argError = options.parseArguments(QApplication::arguments());
    if (!argError.isEmpty()) {
        std::fprintf(stderr, "fyn-shell: %s\n%s", argError.toLocal8Bit().constData(),
                     ShellOptions::usage().toLocal8Bit().constData());
        return 2;
    }

    // Scheduled before the login so that a picture shows whatever the operator would see.
    if (!options.screenshotPath.isEmpty())
        QTimer::singleShot(3000, &app, [path = options.screenshotPath] {
            QPixmap shot;
            if (QScreen* screen = QGuiApplication::primaryScreen()) shot = screen->grabWindow(0);
            if (shot.isNull() && QApplication::activeWindow())
                shot = QApplication::activeWindow()->grab();
            if (!shot.save(path))
                std::fprintf(stderr, "fyn-shell: could not write %s\n",
                             path.toLocal8Bit().constData());
            QApplication::exit(0);
        });

    LoginDialog login(options, askServer);
    // With operator and password given, the dialog only shows when that login fails.
    const bool automatic = !options.operatorCode.isEmpty() && !options.password.isEmpty();
    if (!(automatic && login.tryLogin())) {
        if (automatic)
            std::fprintf(stderr, "fyn-shell: %s\n", login.errorText().toLocal8Bit().constData());
        if (login.exec() != QDialog::Accepted || !login.outcome().ok) return 1;
    }
    options.saveSettings();

    std::vector<std::string> dirs;
    for (const QString& d : options.moduleDirs)
        dirs.push_back(d.toStdString());
    for (const auto& d : ModuleLoader::defaultSearchDirs())
        dirs.push_back(d);
    ModuleLoader loader(dirs);

    ShellHost::Session session;
    session.operatorCode = options.operatorCode.toStdString();
    session.operatorName = login.outcome().operatorName.toStdString();
    session.host = options.serverHost.toStdString();
    session.port = options.serverPort;
    session.fixedBranch = options.fixedBranch.toStdString();
    session.token = login.outcome().token.toStdString();

    QtPlatform platform;
    ShellHost host(session, loader);
    Application application(platform, &host);
    ApplicationScope scope(application);
    // The filter screens' saved options live next to the shell's settings.
    FileOptionStore savedOptions(
        (QFileInfo(options.settingsPath).absolutePath() + QStringLiteral("/options.tsv"))
            .toStdString());
    application.setOptionStore(&savedOptions);
    host.reportError = [&platform](const std::string& message) {
        platform.MessageBox(MessageKind::Error, message, MessageButtons::Ok);
    };

    ShellWindow window([&](const QString& code) {
        if (!loader.enter(code.toStdString())) host.reportError(loader.lastError());
    });
    platform.setMdiArea(window.mdiArea());
    window.setSessionInfo(options.operatorCode, login.outcome().operatorName,
                          options.serverHost + QLatin1Char(':') +
                              QString::number(options.serverPort),
                          options.fixedBranch);
    window.showInPlace(options.settingsPath);
    if (!options.openModule.isEmpty())
        QTimer::singleShot(0, &window, [&] {
            if (!loader.enter(options.openModule.toStdString()))
                host.reportError(loader.lastError());
        });
    const int rc = app.exec();
    // Module screens go before the module code and before the application object.
    loader.unloadAll();
    // The token would stay valid for hours after the shell is gone.
    Logout(session.host, session.port, session.token);
    return rc;
}
