#include "server/methods/CodeList.h"

#include "server/rpc/RpcError.h"
#include "services/data/BlankTrim.h"

namespace srv {

CodeList CodeList::parse(std::string_view text, std::string_view what) {
    CodeList list;
    text = trimBlanks(text);
    if (text.empty() || text == "T") return list;
    list.m_all = false;
    if (text.front() != '_') {
        list.m_codes.emplace(text);
        return list;
    }
    if (text.size() < 2 || text.back() != '_')
        throw RpcError("Lista de " + std::string(what) + " inválida: " + std::string(text) + ".",
                       RpcError::BadRequest);
    std::size_t pos = 1;
    while (pos < text.size()) {
        const std::size_t next = text.find('_', pos);
        const std::string_view code = trimBlanks(text.substr(pos, next - pos));
        if (code.empty())
            throw RpcError("Lista de " + std::string(what) + " inválida: " + std::string(text) +
                               ".",
                           RpcError::BadRequest);
        list.m_codes.emplace(code);
        pos = next + 1;
    }
    return list;
}

} // namespace srv
