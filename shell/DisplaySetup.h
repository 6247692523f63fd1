#pragma once

#include <string>
#include <vector>

// Chooses the Qt platform before the application object exists, so that the shell never
// aborts for lack of a display: with no display it serves its windows over VNC.
class DisplaySetup {
public:
    // Decides from the arguments and the environment; sets QT_QPA_PLATFORM when needed.
    // `args` are the program's arguments (argv); an explicit -platform always wins.
    static DisplaySetup choose(const std::vector<std::string>& args);

    bool usesVnc() const { return m_vncPort > 0; }
    int vncPort() const { return m_vncPort; }
    // The platform text handed to Qt, empty when Qt's own choice stands.
    const std::string& platform() const { return m_platform; }
    // What to tell the operator about connecting to the VNC server; empty without VNC.
    std::string connectHint() const;

    // Whether Qt's VNC platform plugin is installed.
    static bool vncAvailable();
    // Set when there is no display and no way to serve one: the shell cannot show anything.
    bool impossible() const { return m_impossible; }

    // First TCP port from `first` on that nobody listens to on this machine, or -1.
    static int freePort(int first, int attempts = 50);

private:
    std::string m_platform;
    int m_vncPort = 0;
    bool m_fallbackOnly = false;
    bool m_impossible = false; // a display is named but may not answer: VNC only as fallback
};
