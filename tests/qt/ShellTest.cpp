// The shell's settings, module loading and login dialog.

#include "services/data/Variant.h"
#include "shell/DisplaySetup.h"
#include "shell/LoginDialog.h"
#include "shell/ModuleLoader.h"
#include "shell/ShellHost.h"
#include "shell/ShellOptions.h"
#include "shell/ShellWindow.h"
#include "shell/VncDisplay.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string trace() {
    const char* t = std::getenv("FYN_SAMPLE_MODULE_TRACE");
    return t ? t : "";
}

ShellOptions withSettings(const QString& path) {
    ShellOptions o;
    o.settingsPath = path;
    return o;
}

TEST(QtShellOptions, GivenACommandLine_WhenParsed_ThenItOverridesTheSettingsFile) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("shell.ini");
    {
        ShellOptions saved = withSettings(ini);
        saved.setServer("10.0.0.5:9000");
        saved.fixedBranch = "0007";
        saved.operatorCode = "ana";
        ASSERT_TRUE(saved.saveSettings());
    }
    ShellOptions fromFile;
    EXPECT_EQ(fromFile.parseArguments({"fyn-shell", "--config", ini}), QString());
    EXPECT_EQ(fromFile.serverHost, "10.0.0.5");
    EXPECT_EQ(fromFile.serverPort, 9000);
    EXPECT_EQ(fromFile.fixedBranch, "0007");
    EXPECT_EQ(fromFile.operatorCode, "ana");

    ShellOptions overridden;
    EXPECT_EQ(overridden.parseArguments({"fyn-shell", "--config", ini, "--server", "127.0.0.1:8123",
                                         "--fixed-branch", "1", "--operator", "demo", "--password",
                                         "demo"}),
              QString());
    EXPECT_EQ(overridden.serverHost, "127.0.0.1");
    EXPECT_EQ(overridden.serverPort, 8123);
    EXPECT_EQ(overridden.fixedBranch, "0001");
    EXPECT_EQ(overridden.operatorCode, "demo");
    EXPECT_EQ(overridden.password, "demo");

    ShellOptions allBranches;
    EXPECT_EQ(allBranches.parseArguments({"fyn-shell", "--config", ini, "--fixed-branch", "none"}),
              QString());
    EXPECT_EQ(allBranches.fixedBranch, "");
}

TEST(QtShellOptions, GivenBadArguments_WhenParsed_ThenTheMessageNamesThemAndNothingChanges) {
    QTemporaryDir dir;
    ShellOptions o;
    const QString missing = dir.filePath("none.ini");
    EXPECT_EQ(o.parseArguments({"fyn-shell", "--config", missing, "--server", "localhost"}),
              QStringLiteral("--server expects host:port, e.g. 127.0.0.1:8080"));
    EXPECT_EQ(o.serverPort, 8080);
    EXPECT_FALSE(o.setServer("host:99999"));
    EXPECT_FALSE(o.setServer(":80"));
    EXPECT_EQ(o.serverHost, "127.0.0.1");
    EXPECT_EQ(o.parseArguments({"fyn-shell", "--config", missing, "--fixed-branch", "12345"}),
              QStringLiteral("--fixed-branch expects a code of up to four digits"));
    EXPECT_EQ(o.parseArguments({"fyn-shell", "--config", missing, "--frobnicate"}),
              QStringLiteral("unknown argument: --frobnicate"));
}

TEST(QtShellOptions, GivenAPasswordOutsideTheCommandLine_WhenParsed_ThenFileThenEnvironmentFill) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("shell.ini");
    const QString secret = dir.filePath("secret");
    {
        QFile file(secret);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("from file\r\nsecond line\n");
    }
    ::setenv("FYN_PASSWORD", "from environment", 1);
    auto parsed = [&](QStringList args) {
        ShellOptions o;
        const QString error = o.parseArguments(QStringList{"fyn-shell", "--config", ini} + args);
        return error.isEmpty() ? o.password : error;
    };
    EXPECT_EQ(parsed({"--password", "typed", "--password-file", secret}), "typed");
    EXPECT_EQ(parsed({"--password-file", secret}), "from file");
    EXPECT_EQ(parsed({}), "from environment");
    EXPECT_EQ(parsed({"--password-file", dir.filePath("missing")}),
              "--password-file: cannot read " + dir.filePath("missing"));
    {
        QFile empty(dir.filePath("empty"));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    EXPECT_EQ(parsed({"--password-file", dir.filePath("empty")}),
              "--password-file: the first line of " + dir.filePath("empty") + " is empty");
    ::unsetenv("FYN_PASSWORD");
    EXPECT_EQ(parsed({}), "");
    // The display's options belong to the display, not to the login.
    EXPECT_EQ(parsed({"--vnc-listen", "::1", "--vnc-size", "1024x768"}), "");
}

class QtModuleLoader : public ::testing::Test {
protected:
    void SetUp() override { ::unsetenv("FYN_SAMPLE_MODULE_TRACE"); }
    ModuleLoader loader{{"/nonexistent", FYN_SAMPLE_MODULE_DIR}};
};

TEST_F(QtModuleLoader,
       GivenAModuleByCode_WhenEnteredTwiceAndUnloaded_ThenHooksRunOnceAroundTheEntries) {
    ASSERT_TRUE(loader.enter("FYNSAMPLE")) << loader.lastError();
    ASSERT_TRUE(loader.enter("fynsample"));
    EXPECT_TRUE(loader.isLoaded("FynSample"));
    ASSERT_TRUE(loader.enterWithParams("FYNSAMPLE", {Variant("0001"), Variant(7)}));
    loader.unloadAll();
    EXPECT_FALSE(loader.isLoaded("FYNSAMPLE"));
    EXPECT_EQ(trace(), "start;enter;enter;params 0001 7;stop;");
}

TEST_F(QtModuleLoader, GivenAnUnknownOrMalformedCode_WhenEntered_ThenAClearMessageAndNothingLoads) {
    EXPECT_FALSE(loader.enter("FYN99999"));
    EXPECT_EQ(loader.lastError(), "Módulo FYN99999 não encontrado (libfyn99999.so).");
    EXPECT_FALSE(loader.enter("../etc/passwd"));
    EXPECT_EQ(loader.lastError(), "Código de módulo inválido: \"../etc/passwd\".");
    EXPECT_EQ(trace(), "");
}

TEST_F(QtModuleLoader,
       GivenTheHostsLoadBPL_WhenTheModuleIsMissing_ThenTheOperatorIsToldAndTheCallerGoesOn) {
    ShellHost host({"demo", "Operador Demo", "127.0.0.1", 8080, "0001", "tok"}, loader);
    std::string told;
    host.reportError = [&](const std::string& m) { told = m; };
    host.LoadBPL("FYN10395", {Variant(1)});
    EXPECT_EQ(told, "Módulo FYN10395 não encontrado (libfyn10395.so).");
    host.LoadBPL("FYNSAMPLE", {Variant("x")});
    EXPECT_EQ(trace(), "start;params x;");
    EXPECT_TRUE(host.ModuFili());
    EXPECT_EQ(host.FiliProc(), "0001");
}

TEST(QtLoginDialog, GivenARefusedLogin_WhenConfirmed_ThenTheDialogStaysWithTheServersMessage) {
    ShellOptions options;
    options.settingsPath = QTemporaryDir().filePath("x.ini");
    int calls = 0;
    LoginDialog dialog(
        options, [&](const QString& host, int port, const QString& op, const QString& pw) {
            ++calls;
            LoginOutcome out;
            out.ok = op == "demo" && pw == "demo" && host == "127.0.0.1" && port == 8080;
            out.error = QStringLiteral("Operador ou senha inválidos.");
            out.operatorName = QStringLiteral("Operador Demo");
            return out;
        });
    auto* op = dialog.findChild<QLineEdit*>("edtOperador");
    auto* pw = dialog.findChild<QLineEdit*>("edtSenha");
    op->setText("demo");
    pw->setText("errada");
    EXPECT_FALSE(dialog.tryLogin());
    EXPECT_EQ(dialog.errorText(), QStringLiteral("Operador ou senha inválidos."));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    op->setText("");
    EXPECT_FALSE(dialog.tryLogin());
    EXPECT_EQ(dialog.errorText(), QStringLiteral("Operador deve ser informado."));
    EXPECT_EQ(calls, 1); // refused before asking the server

    op->setText("demo");
    pw->setText("demo");
    EXPECT_TRUE(dialog.tryLogin());
    EXPECT_EQ(options.operatorCode, "demo");
    EXPECT_EQ(dialog.outcome().operatorName, QStringLiteral("Operador Demo"));
}

TEST(QtShellWindow, GivenTheMainWindow_WhenTheBudgetEntryIsChosen_ThenTheModuleIsAskedForByCode) {
    QStringList opened;
    ShellWindow window([&](const QString& code) { opened << code; });
    auto* entry = window.findChild<QAction*>("actFYN10000");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), QStringLiteral("Cálculo &Orçamento Operacional"));
    entry->trigger();
    EXPECT_EQ(opened, QStringList{QStringLiteral("FYN10000")});
    window.setSessionInfo("demo", "Operador Demo", "127.0.0.1:8080", "0001");
    EXPECT_EQ(window.sessionInfo(),
              QStringLiteral(
                  "Operador: demo - Operador Demo   Servidor: 127.0.0.1:8080   Filial fixa: 0001"));
}

TEST(QtShellWindow, GivenNoPlaceOfItsOwn_WhenShown_ThenItFillsTheScreenUntilTheOperatorChoosesOne) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("shell.ini");
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    auto saved = [&] { return QSettings(ini, QSettings::IniFormat).contains("window/placement"); };
    {
        ShellWindow first([](const QString&) {});
        first.showInPlace(ini);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
        EXPECT_TRUE(first.isMaximized());
        EXPECT_TRUE(first.frameGeometry().contains(room.center()));
        EXPECT_GE(first.width(), room.width() - 20);
        first.close();
        EXPECT_FALSE(saved()) << "a window left as it opened keeps nothing";
    }
    const QRect chosen(60, 40, 700, 500);
    {
        ShellWindow second([](const QString&) {});
        second.showInPlace(ini);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
        second.showNormal();
        second.setGeometry(chosen);
        QApplication::processEvents();
        second.close();
        EXPECT_TRUE(saved());
    }
    ShellWindow third([](const QString&) {});
    third.showInPlace(ini);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&third));
    EXPECT_FALSE(third.isMaximized());
    EXPECT_EQ(third.geometry(), chosen);
}

TEST(QtDisplaySetup, GivenAnExplicitPlatform_WhenChoosing_ThenTheShellLeavesItAlone) {
    const DisplaySetup setup = DisplaySetup::choose({"fyn-shell", "-platform", "offscreen"});
    EXPECT_FALSE(setup.usesVnc());
    EXPECT_EQ(setup.error(), "");
    EXPECT_EQ(setup.connectHint(), "");
}

TEST(QtDisplaySetup, GivenTheDisplaysOptions_WhenParsed_ThenOnlyNumericAddressesAndSaneSizesPass) {
    auto parse = [](std::vector<std::string> args) {
        VncDisplay::Settings s;
        args.insert(args.begin(), "fyn-shell");
        const std::string error = DisplaySetup::parseVncOptions(args, s);
        return error.empty() ? "listen=" + s.listenAddress + " size=" + std::to_string(s.width) +
                                   "x" + std::to_string(s.height)
                             : error;
    };
    EXPECT_EQ(parse({}), "listen= size=1280x800");
    EXPECT_EQ(parse({"--vnc-listen", "192.168.0.10", "--vnc-size", "1024x768"}),
              "listen=192.168.0.10 size=1024x768");
    EXPECT_EQ(parse({"--vnc-listen", "::1"}), "listen=::1 size=1280x800");
    const std::string badAddress = "--vnc-listen expects a numeric address, e.g. 192.168.0.10";
    EXPECT_EQ(parse({"--vnc-listen", "example.org"}), badAddress);
    EXPECT_EQ(parse({"--vnc-listen"}), badAddress);
    const std::string badSize =
        "--vnc-size expects WIDTHxHEIGHT from 640x480 to 8192x8192, e.g. 1366x768";
    for (const char* size : {"1024", "1024x", "x768", "100x100", "1024x768x", "1e3x768"})
        EXPECT_EQ(parse({"--vnc-size", size}), badSize) << size;
    // A bad option stops the shell before any display is started.
    const DisplaySetup refused = DisplaySetup::choose({"fyn-shell", "--vnc-listen", "anywhere"});
    EXPECT_FALSE(refused.usesVnc());
    EXPECT_EQ(refused.error(), badAddress);
}

TEST(QtVncDisplay, GivenItsPortTakenOnOneLoopback_WhenStarted_ThenTheNextPortServesUntilItGoes) {
    // A listener on the IPv6 loopback alone: the port looks free, yet the server cannot have it.
    const int taken = ::socket(AF_INET6, SOCK_STREAM, 0);
    sockaddr_in6 addr{};
    addr.sin6_family = AF_INET6;
    addr.sin6_addr = in6addr_loopback;
    socklen_t size = sizeof addr;
    ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr*>(&addr), size), 0);
    ASSERT_EQ(::listen(taken, 1), 0);
    ::getsockname(taken, reinterpret_cast<sockaddr*>(&addr), &size);
    const int port = ntohs(addr.sin6_port);

    VncDisplay::Settings settings;
    settings.firstPort = port;
    std::unique_ptr<VncDisplay> display = VncDisplay::start(settings);
    ::close(taken);
    EXPECT_GT(display->port(), port);
    EXPECT_EQ(::kill(display->serverPid(), 0), 0);
    EXPECT_NE(display->connectHint().find("on 127.0.0.1:" + std::to_string(display->port()) +
                                          " (this machine only)"),
              std::string::npos);
    const std::string cookie = display->authorityFile();
    EXPECT_TRUE(QFileInfo(QString::fromStdString(cookie)).permissions() ==
                (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));
    const pid_t server = display->serverPid();
    display.reset();
    EXPECT_NE(::kill(server, 0), 0) << "the server stopped with the display";
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(cookie))) << "its secrets went too";

    // Told to listen on one address, the server is reached there, and the hint says so.
    settings.listenAddress = "127.0.0.1";
    display = VncDisplay::start(settings);
    const std::string where = "127.0.0.1:" + std::to_string(display->port());
    const std::string hint = display->connectHint();
    EXPECT_NE(hint.find("served by a VNC server on " + where + ".\n"), std::string::npos) << hint;
    EXPECT_NE(hint.find("ssh -N -L " + std::to_string(display->port()) + ":" + where),
              std::string::npos)
        << hint;
    EXPECT_NE(hint.find("Viewers may also connect to " + where + " directly"), std::string::npos);
    const int viewer = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(display->port()));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(viewer, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    ::close(viewer);
    EXPECT_THROW(VncDisplay::start({"example.org", 1024, 768, 5900}), std::runtime_error);
}

TEST(QtDisplaySetup, GivenADisplayName_WhenNothingServesIt_ThenItDoesNotAnswer) {
    EXPECT_FALSE(DisplaySetup::displayAnswers(":59999"));
    EXPECT_FALSE(DisplaySetup::displayAnswers("garbage"));
    EXPECT_FALSE(DisplaySetup::displayAnswers(":"));
}

} // namespace
