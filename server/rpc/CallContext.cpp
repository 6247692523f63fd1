#include "server/rpc/CallContext.h"

#include "server/rpc/RpcError.h"

namespace srv {

void CallContext::requireSelf(std::size_t index) const {
    std::string sent = params.at(index).value.toText();
    // Codes may come padded from a fixed-width field.
    while (!sent.empty() && sent.back() == ' ')
        sent.pop_back();
    if (sent != operatorCode)
        throw RpcError("Operador " + sent + " não corresponde ao operador conectado (" +
                       operatorCode + ").");
}

} // namespace srv
