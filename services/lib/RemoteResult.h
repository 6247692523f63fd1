#pragma once

#include "services/data/Variant.h"

#include <string>

// The outcome of a remote call: the server's result, or a message for the operator that says
// why there is none (unreachable server, timeout, HTTP error, malformed or refused answer).
struct RemoteResult {
    bool ok = false;
    Variant result;
    std::string error;

    // A successful answer carrying `value`.
    static RemoteResult success(Variant value) { return RemoteResult{true, std::move(value), {}}; }
    // A failed answer with a message for the operator.
    static RemoteResult failure(std::string message) {
        return RemoteResult{false, Variant(), std::move(message)};
    }

    bool failed() const noexcept { return !ok; }
};
