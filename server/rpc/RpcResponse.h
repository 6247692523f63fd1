#pragma once

#include "services/data/Variant.h"

#include <map>
#include <string>

namespace srv {

// Encodes the answers of POST /rpc and POST /login.
class RpcResponse {
public:
    // {"ok": true, "result": <result>, "byref": {"<index>": <value>, ...}}
    static std::string success(const Variant& result, const std::map<int, Variant>& byref);
    // The same answer in binary: the magic, the result, the number of by-reference values and
    // each one's index and value (binarywire::kContentType).
    static std::string successBinary(const Variant& result, const std::map<int, Variant>& byref);
    // {"ok": false, "error": <message>}
    static std::string failure(const std::string& message);
    // {"ok": true, "token": <token>, "name": <operator's name>}
    static std::string loggedIn(const std::string& token, const std::string& name);
    // {"ok": true}: the answer of POST /logout.
    static std::string loggedOut();
};

} // namespace srv
