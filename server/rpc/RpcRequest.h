#pragma once

#include "services/data/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace srv {

// One positional argument of a remote call; by-reference ones go back in the answer.
struct RpcParam {
    Variant value;
    bool byref = false;
};

// The body of POST /rpc/<module>: {"method": name, "params": [{"value": v, "byref": b}, ...]}.
struct RpcRequest {
    std::string method;
    std::vector<RpcParam> params;

    // Decodes a request body; throws RpcError (BadRequest) naming what is wrong.
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
