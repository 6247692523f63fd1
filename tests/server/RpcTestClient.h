#pragma once

#include "server/ServerInstance.h"
#include "server/rpc/RpcRequest.h"
#include "services/data/DataPacket.h"

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

// A decoded answer of /login or /rpc.
struct Answer {
    bool ok = false;
    std::string error;
    Variant result;
    std::map<int, Variant> byref;
    std::string token;
    std::string name;

    // The result as a packet, or the element `index` of an array result.
    const DataPacket& packet() const { return result.packet(); }
    const DataPacket& packet(std::size_t index) const { return result.array().at(index).packet(); }

    static Answer parse(const std::string& json);
};

inline srv::RpcParam val(Variant v) {
    return {std::move(v), false};
}
inline srv::RpcParam byref(Variant v) {
    return {std::move(v), true};
}

// Calls an in-process server the way a client does, as one operator.
class RpcTestClient {
public:
    RpcTestClient(srv::ServerInstance& server, const std::string& operatorCode,
                  const std::string& password);

    Answer call(const std::string& module, const std::string& method,
                std::vector<srv::RpcParam> params = {});
    // Shortcut for the budget module.
    Answer budget(const std::string& method, std::vector<srv::RpcParam> params = {});

    const std::string& token() const { return m_token; }
    const std::string& operatorCode() const { return m_operator; }

private:
    srv::ServerInstance& m_server;
    std::string m_operator;
    std::string m_token;
};

// Rows of a packet as text lines "v1|v2|..." of the named fields (all fields when empty), for
// comparing a whole answer at once. Numbers print shortest, nulls as "~".
std::string dumpRows(const DataPacket& packet, std::vector<std::string> fields = {});
// Field names and kinds: "NAME:type:size" joined by ",".
std::string dumpFields(const DataPacket& packet);
