#pragma once

#include "services/lib/HostServices.h"

#include <string>

// The host as a scenario sets it up: where the server is, who is logged in, whether the host
// works with one fixed branch. Logging in asks the server for the token and the name.
class ScenarioHost : public HostServices {
public:
    std::string Operador() const override { return m_operator; }
    std::string NomeOperador() const override { return m_name; }
    std::string WebURL() const override { return m_url; }
    int WebPort() const override { return m_port; }
    bool ModuFili() const override { return !m_fixedBranch.empty(); }
    std::string FiliProc() const override { return m_fixedBranch; }
    // Other modules are not part of a scenario: their screens are not opened.
    void LoadBPL(const std::string& code, const std::vector<Variant>& params) override {}
    std::string LoginToken() const override { return m_token; }

    void setServer(const std::string& url, int port);
    // Logs in on the server; throws std::runtime_error with the server's reason on refusal.
    void login(const std::string& op, const std::string& password);
    // An empty code: the host works with every branch.
    void setFixedBranch(const std::string& code) { m_fixedBranch = code; }

private:
    std::string m_url = "127.0.0.1";
    int m_port = 0;
    std::string m_operator;
    std::string m_name;
    std::string m_token;
    std::string m_fixedBranch;
};
