#include "scenario/cli/ScenarioHost.h"

#include "services/net/Login.h"

#include <stdexcept>

void ScenarioHost::setServer(const std::string& url, int port) {
    m_url = url;
    m_port = port;
}

void ScenarioHost::login(const std::string& op, const std::string& password) {
    const LoginResult result = Login(m_url, m_port, op, password);
    if (!result.ok) throw std::runtime_error("login of " + op + " refused: " + result.error);
    m_operator = op;
    m_name = result.name;
    m_token = result.token;
}
