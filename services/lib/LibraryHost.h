#pragma once

#include <string>

class HostServices;

// What the library routines need from the layer that shows screens: an error box and the
// host's services. The screen layer installs its application here while it is current, so that
// the routines reach it without depending on that layer.
class LibraryHost {
public:
    virtual ~LibraryHost() = default;

    // Shows `text` in an error box and waits for the operator to close it.
    virtual void showError(const std::string& text) = 0;
    // The host's services, or nullptr when none are installed.
    virtual HostServices* host() const = 0;

    // The one installed now, or nullptr (start-up, command-line tools).
    static LibraryHost* current();
    // Installs `host` (nullptr uninstalls) and returns the one it replaces.
    static LibraryHost* install(LibraryHost* host);
};
