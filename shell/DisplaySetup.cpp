#include "shell/DisplaySetup.h"

#include <QFileInfo>
#include <QLibraryInfo>
#include <QString>
#include <QStringList>

#include <arpa/inet.h>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool envSet(const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
}

bool portFree(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<unsigned short>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

} // namespace

int DisplaySetup::freePort(int first, int attempts) {
    for (int port = first; port < first + attempts && port < 65536; ++port)
        if (portFree(port)) return port;
    return -1;
}

bool DisplaySetup::vncAvailable() {
    std::vector<std::string> dirs;
    if (const char* extra = std::getenv("QT_PLUGIN_PATH"))
        for (const QString& d :
             QString::fromLocal8Bit(extra).split(QLatin1Char(':'), Qt::SkipEmptyParts))
            dirs.push_back(d.toStdString());
    dirs.push_back(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString());
    for (const auto& d : dirs)
        if (QFileInfo::exists(QString::fromStdString(d + "/platforms/libqvnc.so"))) return true;
    return false;
}

DisplaySetup DisplaySetup::choose(const std::vector<std::string>& args) {
    DisplaySetup setup;
    for (const auto& a : args)
        if (a == "-platform") return setup;
    if (envSet("QT_QPA_PLATFORM")) return setup;

    const int port = freePort(5900);
    const std::string vnc =
        port > 0 ? "vnc:size=1280x800:port=" + std::to_string(port) : std::string("offscreen");
    if (envSet("WAYLAND_DISPLAY") || envSet("DISPLAY")) {
        // Qt tries the entries in order; a display that does not answer falls through to VNC.
        setup.m_platform = std::string(envSet("WAYLAND_DISPLAY") ? "wayland;xcb;" : "xcb;") + vnc;
        setup.m_fallbackOnly = true;
    } else if (!vncAvailable()) {
        setup.m_impossible = true;
        return setup;
    } else {
        setup.m_platform = vnc;
    }
    if (port > 0) setup.m_vncPort = port;
    ::setenv("QT_QPA_PLATFORM", setup.m_platform.c_str(), 1);
    return setup;
}

std::string DisplaySetup::connectHint() const {
    if (!usesVnc()) return {};
    return "fyn-shell: no display; the screens are served over VNC on port " +
           std::to_string(m_vncPort) +
           ".\n  Connect a VNC viewer to localhost:" + std::to_string(m_vncPort) +
           " (from another machine: <this host>:" + std::to_string(m_vncPort) + ").";
}
