#pragma once

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
// server instances on one database accept each other's tokens. Known tokens are remembered in
// memory until they expire. Thread-safe.
class Sessions {
public:
    explicit Sessions(Store& store, std::chrono::seconds lifetime = std::chrono::hours(12));

    // Checks the operator's password and opens a session; throws RpcError (Unauthorized) for
    // an unknown operator, a wrong password or an inactive operator, with one message for all.
    LoginResult login(const std::string& operatorCode, const std::string& password);
    // The operator of a live session, or nullopt for an unknown or expired token.
    std::optional<std::string> operatorFor(std::string_view token);

private:
    struct Known {
        std::string operatorCode;
        double expires; // days since 30/12/1899
    };

    Store& m_store;
    std::chrono::seconds m_lifetime;
    std::mutex m_mutex;
    std::unordered_map<std::string, Known> m_known;
};

} // namespace srv
