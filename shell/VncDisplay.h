#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

// A private X display served over VNC, for a machine without a screen: an Xvnc server that
// asks for a one-time password, listens on loopback unless told otherwise, refuses X clients
// without its cookie, and stops with the object.
class VncDisplay {
public:
    struct Settings {
        std::string listenAddress; // empty: loopback only
        int width = 1280;
        int height = 800;
        int firstPort = 5900; // the VNC port is the first free one from here
    };

    // Starts the server and waits until it takes connections; throws std::runtime_error with
    // a message for the operator when it cannot.
    static std::unique_ptr<VncDisplay> start(const Settings& settings);
    ~VncDisplay();
    VncDisplay(const VncDisplay&) = delete;
    VncDisplay& operator=(const VncDisplay&) = delete;

    // Whether the programs this needs are installed (Xvnc and vncpasswd on the PATH).
    static bool available();
    // Whether `text` is a numeric IPv4 or IPv6 address the server can listen on.
    static bool validAddress(const std::string& text);

    // The X display name (":3") and the cookie file its clients need.
    std::string displayName() const { return ":" + std::to_string(m_display); }
    const std::string& authorityFile() const { return m_authority; }
    int port() const { return m_port; }
    const std::string& password() const { return m_password; }
    pid_t serverPid() const { return m_pid; }
    // How to connect a viewer, for the operator's terminal.
    std::string connectHint() const;

private:
    VncDisplay() = default;
    // Runs the server on m_port; false (and no server left) when it did not start.
    bool launch(const std::string& passwordFile, const std::string& log);
    void stopServer();
    // The server, then its private folder.
    void stop();

    Settings m_settings;
    std::string m_dir; // private folder: password, cookie and the server's log
    std::string m_authority;
    std::string m_password;
    int m_display = -1;
    int m_port = 0;
    pid_t m_pid = -1;
};
