#include "LoadClient.h"

#include "server/methods/Methods.h"
#include "server/rpc/RpcRequest.h"
#include "services/data/JsonReader.h"

#include <httplib.h>

namespace {

const std::string kPath = std::string("/rpc/") + srv::kModuleCalcOrcaOper;

srv::RpcParam val(Variant v) {
    return {std::move(v), false};
}
srv::RpcParam inout(Variant v) {
    return {std::move(v), true};
}

} // namespace

LoadClient::LoadClient(int port, const std::string& op, const std::string& password)
    : m_http(std::make_unique<httplib::Client>("127.0.0.1", port)), m_operator(op) {
    m_http->set_keep_alive(true);
    m_http->set_read_timeout(60, 0);
    auto res =
        m_http->Post("/login", "{\"operator\":\"" + op + "\",\"password\":\"" + password + "\"}",
                     "application/json");
    if (!res) {
        m_error = "login: no answer (" + httplib::to_string(res.error()) + ")";
        return;
    }
    m_error = "login: " + res->body;
    JsonReader in(res->body);
    in.beginObject();
    std::string key;
    while (in.nextMember(key))
        if (key == "token")
            m_token = in.readString();
        else
            in.skip();
}

LoadClient::~LoadClient() = default;

std::optional<Variant> LoadClient::call(const std::string& method, const std::string& body) {
    auto res = m_http->Post(kPath.c_str(), {{"Authorization", "Bearer " + m_token}}, body,
                            "application/json");
    if (!res) {
        m_error = method + ": no answer (" + httplib::to_string(res.error()) + ")";
        return std::nullopt;
    }
    JsonReader in(res->body);
    in.beginObject();
    std::string key;
    bool ok = false;
    Variant result;
    while (in.nextMember(key)) {
        if (key == "ok")
            ok = in.readBool();
        else if (key == "result")
            result = readVariant(in);
        else if (key == "error")
            m_error = method + ": " + in.readString();
        else
            in.skip();
    }
    if (!ok) return std::nullopt;
    return result;
}

std::optional<std::vector<DataPacket>> LoadClient::load(const std::string& branches) {
    const std::string body = srv::RpcRequest{
        "GetDadosOrcamento",
        {val("2026"), val(1), val(m_operator), inout(branches), inout("T"), inout("T"),
         inout("T")}}.toJson();
    std::optional<Variant> result = call("GetDadosOrcamento", body);
    if (!result) return std::nullopt;
    std::vector<DataPacket> packets;
    for (const Variant& v : result->array())
        packets.push_back(v.packet());
    return packets;
}

bool LoadClient::saveMonth(const DataPacket& items, std::size_t row, double value) {
    DataPacket delta;
    delta.fields = items.fields;
    std::vector<Variant> now = items.rows[row];
    now[static_cast<std::size_t>(items.fieldIndex("VRORCAMENTOMAI"))] = Variant(value);
    delta.rows.push_back(now);
    delta.changes.push_back({UpdateKind::Modified, 0, items.rows[row]});
    const Variant today = Variant::fromDate(46000);
    const std::string body = srv::RpcRequest{
        "SetItensOrcFatCons",
        {inout(Variant(std::move(delta))), val("N"), val("2026"), val(1), val(m_operator), val("N"),
         val(false), val(false), val(Variant()), val(""), val(today),
         val(today)}}.toJson();
    return call("SetItensOrcFatCons", body).has_value();
}
