#include "tests/server/RpcTestClient.h"

#include "server/methods/Methods.h"
#include "services/data/JsonReader.h"

#include <stdexcept>

Answer Answer::parse(const std::string& json) {
    Answer a;
    JsonReader in(json);
    in.beginObject();
    std::string key;
    while (in.nextMember(key)) {
        if (key == "ok")
            a.ok = in.readBool();
        else if (key == "error")
            a.error = in.readString();
        else if (key == "result")
            a.result = readVariant(in);
        else if (key == "token")
            a.token = in.readString();
        else if (key == "name")
            a.name = in.readString();
        else if (key == "byref") {
            in.beginObject();
            std::string index;
            while (in.nextMember(index))
                a.byref[std::stoi(index)] = readVariant(in);
        } else
            in.skip();
    }
    in.finish();
    return a;
}

RpcTestClient::RpcTestClient(srv::ServerInstance& server, const std::string& operatorCode,
                             const std::string& password)
    : m_server(server), m_operator(operatorCode),
      m_token(server.loginToken(operatorCode, password)) {}

Answer RpcTestClient::call(const std::string& module, const std::string& method,
                           std::vector<srv::RpcParam> params) {
    srv::RpcRequest request{method, std::move(params)};
    return Answer::parse(m_server.dispatch(m_token, module, request.toJson()));
}

Answer RpcTestClient::budget(const std::string& method, std::vector<srv::RpcParam> params) {
    return call(srv::kModuleCalcOrcaOper, method, std::move(params));
}

namespace {

std::string cellText(const Variant& v) {
    switch (v.type()) {
    case VarType::Null:
        return "~";
    case VarType::Double:
    case VarType::DateTime:
        return formatCDouble(v.toDouble());
    default:
        return v.toText();
    }
}

} // namespace

std::string dumpRows(const DataPacket& packet, std::vector<std::string> fields) {
    if (fields.empty())
        for (const FieldDef& f : packet.fields)
            fields.push_back(f.name);
    std::string out;
    for (std::size_t r = 0; r < packet.rows.size(); ++r) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i) out += '|';
            out += cellText(packet.value(r, fields[i]));
        }
        out += '\n';
    }
    return out;
}

std::string dumpFields(const DataPacket& packet) {
    std::string out;
    for (const FieldDef& f : packet.fields) {
        if (!out.empty()) out += ',';
        out += f.name + ":" + DataPacket::typeName(f.type);
        if (f.size) out += ":" + std::to_string(f.size);
    }
    return out;
}
