#pragma once

#include "shell/VncDisplay.h"

#include <memory>
#include <string>
#include <vector>

// Chooses where the windows go before the application object exists, so that the shell never
// aborts for lack of a display: with none, it starts a private VNC display and runs on it as
// an ordinary X11 client.
class DisplaySetup {
public:
    // Decides from the arguments and the environment (`args` are argv). An explicit -platform
    // or QT_QPA_PLATFORM always wins; a display that answers is used as it is. When the VNC
    // display is started, DISPLAY, XAUTHORITY and QT_QPA_PLATFORM point the shell at it.
    static DisplaySetup choose(const std::vector<std::string>& args);

    bool usesVnc() const { return m_vnc != nullptr; }
    const VncDisplay* vnc() const { return m_vnc.get(); }
    // What to tell the operator about connecting a viewer; empty without VNC.
    std::string connectHint() const;
    // Set when the shell cannot show anything: why, and what to do about it.
    const std::string& error() const { return m_error; }

    // Whether an X display name ("[host]:N[.S]") takes connections right now.
    static bool displayAnswers(const std::string& display);
    // Reads the display's own options (--vnc-listen ADDRESS, --vnc-size WxH); an empty text or
    // a message naming the bad one.
    static std::string parseVncOptions(const std::vector<std::string>& args,
                                       VncDisplay::Settings& settings);

private:
    std::unique_ptr<VncDisplay> m_vnc;
    std::string m_error;
};
