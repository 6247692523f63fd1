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

// Ends the session of `token` on the application server, so that it cannot be used again.
// Never throws; returns whether the server confirmed it (an unreachable server or a session
// already ended come back false).
bool Logout(const std::string& host, int port, const std::string& token, int timeoutMs = 2000,
            const std::string& caCertFile = {});
