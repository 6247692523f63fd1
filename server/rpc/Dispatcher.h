#pragma once

#include "services/data/Variant.h"

#include <optional>
#include <string>
#include <string_view>

namespace srv {

class GroupCommit;
class MethodRegistry;
class RequestLog;
class Sessions;
class Store;

// An answer ready for the wire: HTTP status and JSON body (see docs/PROTOCOL.md).
struct DispatchResult {
    int status = 200;
    std::string body;
    bool binary = false; // the body is binarywire's, not JSON
    // The method's result the body was written from, for the caller to free once the body is
    // on its way: a whole budget takes tens of milliseconds to free.
    Variant spent = {};
};

// Turns request bodies into method calls and their answers. The HTTP routes and the in-process
// calls of tests both come through here, so both obey the same checks: a known session, a
// known module and method, the declared argument count and kinds. Thread-safe.
class Dispatcher {
public:
    Dispatcher(Store& store, const MethodRegistry& registry, Sessions& sessions,
               RequestLog* log = nullptr, GroupCommit* writes = nullptr);

    // POST /login; `address` is the client's, for slowing down guessing (empty: none).
    DispatchResult login(std::string_view body, const std::string& address = {});
    // POST /logout: ends the session of `token`.
    DispatchResult logout(std::string_view token);
    // POST /rpc/<module>; `token` is what followed "Bearer " (empty when absent).
    // `binary`: the client accepts a successful answer in binary (failures stay JSON).
    DispatchResult call(std::string_view token, std::string_view module, std::string_view body,
                        bool binary = false);
    // The refusal of a call whose token is missing or not a live session, or nullopt when it
    // may go on: the HTTP front asks before reading a body.
    std::optional<DispatchResult> admit(std::string_view token);

private:
    DispatchResult run(std::string_view token, std::string_view module, std::string_view body,
                       bool binary, std::string& callName, std::string& operatorCode);

    Store& m_store;
    const MethodRegistry& m_registry;
    Sessions& m_sessions;
    RequestLog* m_log;
    GroupCommit* m_writes;
};

} // namespace srv
