#pragma once

#include <string>

// The outcome of a login: the token every later call carries and the operator's name, or a
// message for the operator.
struct LoginResult {
    bool ok = false;
    std::string token;
    std::string name;
    std::string error;
};

// Logs `op` in on the application server at host:port (host and caCertFile as in
// TNetConnection).
// Never throws; an unreachable server, a refusal or a malformed answer come back as a failure.
LoginResult Login(const std::string& host, int port, const std::string& op,
                  const std::string& password, int timeoutMs = 5000,
                  const std::string& caCertFile = {});
