#pragma once

#include "server/rpc/LoginThrottle.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace srv {

class Store;

struct LoginResult {
    std::string token;
    std::string name; // the operator's name
};

// Login tokens: random 128-bit values kept in the database with an expiry, so that several
// server instances on one database accept each other's tokens. A token is remembered in memory
// but its row is read again every `recheck`, so that a logout on another instance, a deleted
// row or a deactivated operator end it there too. Thread-safe.
class Sessions {
public:
    explicit Sessions(Store& store, std::chrono::seconds lifetime = std::chrono::hours(12),
                      std::chrono::milliseconds recheck = std::chrono::seconds(2));

    // Checks the operator's password and opens a session; throws RpcError (Unauthorized) for
    // an unknown operator, a wrong password or an inactive operator, with one message for all
    // and after the same password work, and (TooManyRequests) while the operator or the
    // client address `address` (empty: none) must wait after repeated failures.
    LoginResult login(const std::string& operatorCode, const std::string& password,
                      const std::string& address = {});
    // The operator of a live session, or nullopt for an unknown, expired or ended token or an
    // operator no longer active.
    std::optional<std::string> operatorFor(std::string_view token);
    // Ends a session on every instance; false when the token was not a live session.
    bool logout(std::string_view token);

private:
    struct Known {
        std::string operatorCode;
        double expires; // days since 30/12/1899
        std::chrono::steady_clock::time_point checked;
    };

    std::optional<Known> readSession(const std::string& token);
    // A stored password hash to check unknown operators against, so they cost the same.
    std::string decoyHash();

    Store& m_store;
    std::chrono::seconds m_lifetime;
    std::chrono::milliseconds m_recheck;
    std::mutex m_mutex;
    std::unordered_map<std::string, Known> m_known;
    std::string m_decoy;
    LoginThrottle m_byOperator;
    LoginThrottle m_byAddress;
};

} // namespace srv
