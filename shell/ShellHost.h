#pragma once

#include "services/lib/HostServices.h"

#include <functional>
#include <string>

class ModuleLoader;

// The host's services as the shell offers them to modules: the logged-in operator, the
// server's address, the fixed branch and the module loader.
class ShellHost : public HostServices {
public:
    struct Session {
        std::string operatorCode;
        std::string operatorName;
        std::string host;
        int port = 0;
        std::string fixedBranch; // empty: every branch
        std::string token;
    };

    ShellHost(Session session, ModuleLoader& loader);

    std::string Operador() const override { return m_session.operatorCode; }
    std::string NomeOperador() const override { return m_session.operatorName; }
    std::string WebURL() const override { return m_session.host; }
    int WebPort() const override { return m_session.port; }
    bool ModuFili() const override { return !m_session.fixedBranch.empty(); }
    std::string FiliProc() const override { return m_session.fixedBranch; }
    std::string LoginToken() const override { return m_session.token; }
    // Loads the module and enters it with the values; a module that cannot be loaded is
    // reported to the operator and the caller simply continues.
    void LoadBPL(const std::string& code, const std::vector<Variant>& params) override;

    // Shows a message for the operator (the shell routes it to the platform's error box).
    std::function<void(const std::string&)> reportError;

private:
    Session m_session;
    ModuleLoader& m_loader;
};
