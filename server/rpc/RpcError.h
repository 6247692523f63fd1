#pragma once

#include <stdexcept>
#include <string>

namespace srv {

// A refused request: the message is for the operator (in Portuguese), the status for HTTP.
// Thrown anywhere in a method ends the call with {"ok": false, "error": message}; a method's
// transaction is rolled back on the way out.
class RpcError : public std::runtime_error {
public:
    enum Status {
        Refused = 200,
        BadRequest = 400,
        Unauthorized = 401,
        NotFound = 404,
        TooLarge = 413,
        TooManyRequests = 429,
        Internal = 500
    };

    explicit RpcError(const std::string& message, Status status = Refused)
        : std::runtime_error(message), m_message(message), m_status(status) {}

    // The whole message: what() stops at the first NUL byte a quoted value may carry.
    const std::string& message() const noexcept { return m_message; }
    Status status() const noexcept { return m_status; }

private:
    std::string m_message;
    Status m_status;
};

} // namespace srv
