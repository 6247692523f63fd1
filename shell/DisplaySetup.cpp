#include "shell/DisplaySetup.h"

#include <cerrno>
#include <charconv>
#include <cstddef>
#include <cstdlib>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

bool connectUnix(const std::string& path, bool abstract) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof addr.sun_path) {
        ::close(fd);
        return false;
    }
    path.copy(addr.sun_path + offset, path.size());
    const socklen_t length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), length) == 0;
    ::close(fd);
    return ok;
}

bool connectTcp(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return false;
    bool ok = false;
    for (addrinfo* a = found; a && !ok; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
            ok = true;
        } else if (errno == EINPROGRESS) {
            pollfd p{fd, POLLOUT, 0};
            int error = 0;
            socklen_t size = sizeof error;
            ok = ::poll(&p, 1, 2000) == 1 &&
                 ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
        }
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return ok;
}

bool waylandAnswers() {
    std::string name = std::getenv("WAYLAND_DISPLAY");
    if (name.front() != '/') {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return false;
        name = std::string(runtime) + "/" + name;
    }
    return connectUnix(name, false);
}

} // namespace

bool DisplaySetup::displayAnswers(const std::string& display) {
    const size_t colon = display.rfind(':');
    if (colon == std::string::npos || colon + 1 >= display.size()) return false;
    std::string host = display.substr(0, colon);
    char* end = nullptr;
    const long number = std::strtol(display.c_str() + colon + 1, &end, 10);
    if (end == display.c_str() + colon + 1 || number < 0 || number > 60000) return false;
    if (host.empty() || host == "unix") {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        return connectUnix(path, true) || connectUnix(path, false);
    }
    if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
    return connectTcp(host, 6000 + static_cast<int>(number));
}

std::string DisplaySetup::parseVncOptions(const std::vector<std::string>& args,
                                          VncDisplay::Settings& settings) {
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--vnc-listen") {
            if (i + 1 >= args.size() || !VncDisplay::validAddress(args[i + 1]))
                return "--vnc-listen expects a numeric address, e.g. 192.168.0.10";
            settings.listenAddress = args[++i];
        } else if (args[i] == "--vnc-size") {
            int w = 0, h = 0;
            const std::string text = i + 1 < args.size() ? args[i + 1] : std::string();
            const char* last = text.data() + text.size();
            const auto first = std::from_chars(text.data(), last, w);
            const bool ok = first.ec == std::errc() && first.ptr != last && *first.ptr == 'x' &&
                            std::from_chars(first.ptr + 1, last, h).ptr == last && h > 0;
            if (!ok || w < 640 || h < 480 || w > 8192 || h > 8192)
                return "--vnc-size expects WIDTHxHEIGHT from 640x480 to 8192x8192, e.g. 1366x768";
            settings.width = w;
            settings.height = h;
            ++i;
        }
    }
    return {};
}

DisplaySetup DisplaySetup::choose(const std::vector<std::string>& args) {
    DisplaySetup setup;
    VncDisplay::Settings settings;
    setup.m_error = parseVncOptions(args, settings);
    if (!setup.m_error.empty()) return setup;
    for (const auto& a : args)
        if (a == "-platform") return setup;
    if (envSet("QT_QPA_PLATFORM")) return setup;
    if (envSet("WAYLAND_DISPLAY") && waylandAnswers()) return setup;
    if (envSet("DISPLAY") && displayAnswers(std::getenv("DISPLAY"))) return setup;

    if (!VncDisplay::available()) {
        setup.m_error =
            "no display answers (DISPLAY and WAYLAND_DISPLAY) and the VNC server is not "
            "installed (packages tigervnc-standalone-server and tigervnc-tools);\n"
            "  set DISPLAY, or install them to reach the shell with a VNC viewer.";
        return setup;
    }
    try {
        setup.m_vnc = VncDisplay::start(settings);
    } catch (const std::exception& e) {
        setup.m_error = std::string("no display, and ") + e.what();
        return setup;
    }
    ::setenv("DISPLAY", setup.m_vnc->displayName().c_str(), 1);
    ::setenv("XAUTHORITY", setup.m_vnc->authorityFile().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::unsetenv("WAYLAND_DISPLAY");
    return setup;
}

std::string DisplaySetup::connectHint() const {
    return m_vnc ? m_vnc->connectHint() : std::string();
}
