#pragma once

#include "services/data/Variant.h"
#include "services/net/Arg.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The JSON bodies of remote calls and logins (docs/PROTOCOL.md).
class RpcCodec {
public:
    struct Answer {
        bool ok = false;
        Variant result;
        std::string error;
        // Parameter index and new value of each by-reference argument the server returned.
        std::vector<std::pair<int, Variant>> byRef;
    };

    struct LoginAnswer {
        bool ok = false;
        std::string token;
        std::string name;
        std::string error;
    };

    // {"method": name, "params": [{"value": v, "byref": b}, ...]}
    static std::string encodeCall(std::string_view method, const std::vector<Arg>& params);
    // Throws std::runtime_error naming the problem when the body is not a call answer.
    static Answer decodeAnswer(std::string_view body);
    // The binary form of a successful answer (binarywire::kContentType); throws
    // std::runtime_error naming the problem when the body is not one.
    static Answer decodeBinaryAnswer(std::string_view body);

    // {"operator": code, "password": text}
    static std::string encodeLogin(std::string_view op, std::string_view password);
    // Throws std::runtime_error naming the problem when the body is not a login answer.
    static LoginAnswer decodeLogin(std::string_view body);
};
