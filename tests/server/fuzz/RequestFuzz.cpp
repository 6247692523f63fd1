// Fuzz target: the decoders of request bodies (remote calls and logins). Any input must either
// decode or raise RpcError; a decoded request must encode and decode to the same request.
#include "server/rpc/RpcError.h"
#include "server/rpc/RpcRequest.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        srv::RpcRequest request = srv::RpcRequest::parse(text);
        srv::RpcRequest again = srv::RpcRequest::parse(request.toJson());
        if (again.method != request.method || again.params.size() != request.params.size())
            std::abort();
        for (std::size_t i = 0; i < request.params.size(); ++i)
            if (again.params[i].byref != request.params[i].byref ||
                again.params[i].value.type() != request.params[i].value.type())
                std::abort();
    } catch (const srv::RpcError&) {
    }
    try {
        srv::LoginRequest::parse(text);
    } catch (const srv::RpcError&) {
    }
    return 0;
}
