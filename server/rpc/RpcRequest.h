#pragma once

#include "services/data/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace srv {

// Whether a day number (days since 30/12/1899) is a date the server keeps: the zero date or a
// day of the years 1900 to 9999.
bool plausibleDate(double days) noexcept;

// One positional argument of a remote call; by-reference ones go back in the answer.
struct RpcParam {
    Variant value;
    bool byref = false;
};

// The body of POST /rpc/<module>: {"method": name, "params": [{"value": v, "byref": b}, ...]}.
struct RpcRequest {
    std::string method;
    std::vector<RpcParam> params;

    // Decodes a request body; throws RpcError (BadRequest) naming what is wrong, including
    // invalid UTF-8, a NUL in a text and a date outside plausibleDate.
    static RpcRequest parse(std::string_view json);
    // Encodes a request body (clients and tests).
    std::string toJson() const;
};

// The body of POST /login: {"operator": code, "password": text}.
struct LoginRequest {
    std::string operatorCode;
    std::string password;

    // Decodes a login body; throws RpcError (BadRequest) naming what is wrong.
    static LoginRequest parse(std::string_view json);
};

} // namespace srv
