#include "shell/VncDisplay.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string randomBytes(size_t count) {
    std::string out(count, '\0');
    size_t filled = 0;
    while (filled < count) {
        const ssize_t n = ::getrandom(out.data() + filled, count - filled, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("no random numbers for the VNC password");
        filled += static_cast<size_t>(n);
    }
    return out;
}

// Eight characters (all VNC authentication uses) from letters and digits that are not
// mistaken for one another when read off a terminal.
std::string newPassword() {
    static const std::string alphabet = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";
    std::string out;
    for (unsigned char byte : randomBytes(8))
        out += alphabet[byte % alphabet.size()];
    return out;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

void writePrivateFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write " + path);
}

// The password in the obfuscated form the server reads, as the VNC tools make it.
std::string obfuscatedPassword(const std::string& password) {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0) throw std::runtime_error("cannot run vncpasswd");
    if (::pipe2(out, O_CLOEXEC) != 0) {
        ::close(in[0]);
        ::close(in[1]);
        throw std::runtime_error("cannot run vncpasswd");
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execlp("vncpasswd", "vncpasswd", "-f", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    if (pid > 0) {
        const std::string line = password + "\n";
        (void)!::write(in[1], line.data(), line.size());
    }
    ::close(in[1]);
    std::string result;
    char buffer[64];
    ssize_t n;
    while (pid > 0 && (n = ::read(out[0], buffer, sizeof buffer)) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) break;
        result.append(buffer, static_cast<size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (pid > 0) ::waitpid(pid, &status, 0);
    if (pid < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || result.size() != 8)
        throw std::runtime_error(
            "vncpasswd could not encode the password (package tigervnc-tools)");
    return result;
}

// One X authority entry that matches any address: family, address, display number, cookie.
std::string authorityEntry(const std::string& number, const std::string& cookie) {
    auto field = [](const std::string& s) {
        std::string out;
        out += static_cast<char>((s.size() >> 8) & 0xff);
        out += static_cast<char>(s.size() & 0xff);
        return out + s;
    };
    std::string entry = "\xff\xff"; // any family
    entry += field("") + field(number) + field("MIT-MAGIC-COOKIE-1") + field(cookie);
    return entry;
}

bool portFree(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<unsigned short>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

std::string lastLines(const std::string& path, size_t count) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    std::string out;
    for (size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        out += "\n  " + lines[i];
    return out;
}

std::string userName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
    if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_name;
    return "user";
}

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || !*name) return "this-host";
    return name;
}

} // namespace

bool VncDisplay::available() {
    return onPath("Xvnc") && onPath("vncpasswd");
}

bool VncDisplay::validAddress(const std::string& text) {
    in6_addr v6{};
    in_addr v4{};
    return ::inet_pton(AF_INET, text.c_str(), &v4) == 1 ||
           ::inet_pton(AF_INET6, text.c_str(), &v6) == 1;
}

std::unique_ptr<VncDisplay> VncDisplay::start(const Settings& settings) {
    if (!settings.listenAddress.empty() && !validAddress(settings.listenAddress))
        throw std::runtime_error("not a numeric address to listen on: " + settings.listenAddress);
    std::unique_ptr<VncDisplay> display(new VncDisplay);
    display->m_settings = settings;

    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string pattern = std::string(runtime && *runtime ? runtime : "/tmp") + "/fyn-vnc-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a private folder for the VNC server: " +
                                 std::string(std::strerror(errno)));
    display->m_dir = pattern;
    const std::string passwordFile = display->m_dir + "/passwd";
    const std::string log = display->m_dir + "/Xvnc.log";
    display->m_authority = display->m_dir + "/Xauthority";

    display->m_password = newPassword();
    writePrivateFile(passwordFile, obfuscatedPassword(display->m_password));
    const std::string cookie = randomBytes(16);
    writePrivateFile(display->m_authority, authorityEntry("", cookie));

    // Another program may take the port between the check and the server's start: the next
    // free one is tried then.
    int next = settings.firstPort;
    for (int attempt = 0; attempt < 5; ++attempt) {
        display->m_port = 0;
        for (int port = next; port < settings.firstPort + 100 && port < 65536; ++port)
            if (portFree(port)) {
                display->m_port = port;
                break;
            }
        if (display->m_port == 0)
            throw std::runtime_error("no free port for the VNC server from " +
                                     std::to_string(settings.firstPort));
        if (display->launch(passwordFile, log)) break;
        next = display->m_port + 1;
    }
    if (display->m_display < 0) {
        const std::string said = lastLines(log, 6);
        display->stop();
        throw std::runtime_error("the VNC server (Xvnc) did not start" +
                                 (said.empty() ? std::string(".") : ":" + said));
    }
    // Clients look the cookie up by display number.
    writePrivateFile(display->m_authority,
                     authorityEntry(std::to_string(display->m_display), cookie));
    return display;
}

bool VncDisplay::launch(const std::string& passwordFile, const std::string& log) {
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("cannot start the VNC server");
    std::vector<std::string> args = {"Xvnc",
                                     "-displayfd",
                                     std::to_string(ready[1]),
                                     "-geometry",
                                     std::to_string(m_settings.width) + "x" +
                                         std::to_string(m_settings.height),
                                     "-depth",
                                     "24",
                                     "-SecurityTypes",
                                     "VncAuth",
                                     "-PasswordFile",
                                     passwordFile,
                                     "-rfbport",
                                     std::to_string(m_port),
                                     "-nolisten",
                                     "tcp",
                                     "-auth",
                                     m_authority,
                                     "-desktop",
                                     "fyn-shell"};
    if (m_settings.listenAddress.empty()) {
        args.push_back("-localhost");
    } else {
        args.push_back("-interface");
        args.push_back(m_settings.listenAddress);
    }
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // The display never outlives the shell, even one killed outright; Ctrl+C in the
        // terminal goes to the shell alone, which closes its windows before the display.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(1);
        ::fcntl(ready[1], F_SETFD, 0);
        const int devNull = ::open("/dev/null", O_RDONLY);
        const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
        if (logFd >= 0) {
            ::dup2(logFd, STDOUT_FILENO);
            ::dup2(logFd, STDERR_FILENO);
        }
        ::execvp("Xvnc", argv.data());
        ::_exit(127);
    }
    ::close(ready[1]);
    if (pid < 0) {
        ::close(ready[0]);
        throw std::runtime_error("cannot start the VNC server: " +
                                 std::string(std::strerror(errno)));
    }
    m_pid = pid;

    // The server writes its display number once it takes connections, and ends the pipe
    // unwritten when it cannot start.
    std::string number;
    pollfd wait{ready[0], POLLIN, 0};
    for (int waited = 0; waited < 20000 && number.find('\n') == std::string::npos;) {
        const int r = ::poll(&wait, 1, 250);
        if (r < 0 && errno == EINTR) continue;
        waited += 250;
        if (r <= 0) continue;
        char buffer[16];
        const ssize_t n = ::read(ready[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, static_cast<size_t>(n));
    }
    ::close(ready[0]);
    char* end = nullptr;
    const long value = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || end == number.c_str() || value < 0) {
        stopServer();
        return false;
    }
    m_display = static_cast<int>(value);
    return true;
}

VncDisplay::~VncDisplay() {
    stop();
}

void VncDisplay::stop() {
    stopServer();
    if (!m_dir.empty()) {
        for (const char* name : {"/passwd", "/Xauthority", "/Xvnc.log"})
            ::unlink((m_dir + name).c_str());
        ::rmdir(m_dir.c_str());
        m_dir.clear();
    }
}

void VncDisplay::stopServer() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        int status = 0;
        bool gone = false;
        for (int i = 0; i < 60 && !gone; ++i) {
            gone = ::waitpid(m_pid, &status, WNOHANG) != 0;
            if (!gone) ::usleep(50 * 1000);
        }
        if (!gone) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
        }
        m_pid = -1;
    }
}

std::string VncDisplay::connectHint() const {
    const std::string port = std::to_string(m_port);
    const std::string& address = m_settings.listenAddress;
    const bool v6 = address.find(':') != std::string::npos;
    // Every interface includes loopback; one named address is reached only through itself.
    const std::string local = address.empty() || address == "0.0.0.0" || address == "::"
                                  ? "localhost"
                              : v6 ? "[" + address + "]"
                                   : address;
    const std::string where = address.empty() ? "127.0.0.1:" + port + " (this machine only)"
                              : v6            ? "[" + address + "]:" + port
                                              : address + ":" + port;
    std::string text =
        "fyn-shell: no display; the screens are served by a VNC server on " + where +
        ".\n  One-time password: " + m_password +
        " (valid until the shell exits)\n  On this machine, connect a VNC viewer to " + local +
        ":" + port + ".\n";
    text +=
        "  From another machine, tunnel through SSH and connect the viewer to localhost:" + port +
        " there:\n    ssh -N -L " + port + ":" + local + ":" + port + " " + userName() + "@" +
        hostName();
    if (!address.empty())
        text += "\n  Viewers may also connect to " + where +
                " directly; VNC does not encrypt the screen, so prefer the tunnel on networks "
                "you do not trust.";
    return text;
}
