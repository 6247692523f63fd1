#include "server/rpc/RpcRequest.h"

#include "server/rpc/RpcError.h"
#include "services/data/DataPacket.h"
#include "services/data/JsonReader.h"
#include "services/data/JsonWriter.h"

namespace srv {

namespace {

[[noreturn]] void malformed(const std::string& detail) {
    throw RpcError("Requisição inválida: " + detail + ".", RpcError::BadRequest);
}

RpcParam readParam(JsonReader& in) {
    RpcParam param;
    bool haveValue = false;
    in.beginObject();
    std::string key;
    while (in.nextMember(key)) {
        if (key == "value") {
            param.value = readVariant(in);
            haveValue = true;
        } else if (key == "byref") {
            param.byref = in.readBool();
        } else {
            in.skip();
        }
    }
    if (!haveValue) malformed("parâmetro sem \"value\"");
    return param;
}

} // namespace

RpcRequest RpcRequest::parse(std::string_view json) {
    RpcRequest request;
    bool haveMethod = false;
    try {
        JsonReader in(json);
        if (in.peek() != JsonReader::Token::Object) malformed("o corpo deve ser um objeto JSON");
        in.beginObject();
        std::string key;
        while (in.nextMember(key)) {
            if (key == "method") {
                request.method = in.readString();
                haveMethod = true;
            } else if (key == "params") {
                request.params.clear();
                in.beginArray();
                while (in.nextElement())
                    request.params.push_back(readParam(in));
            } else {
                in.skip();
            }
        }
        in.finish();
    } catch (const RpcError&) {
        throw;
    } catch (const std::exception& e) {
        // JsonError, PacketError and VariantError all say what was expected and where.
        malformed(e.what());
    }
    if (!haveMethod || request.method.empty()) malformed("método não informado");
    return request;
}

std::string RpcRequest::toJson() const {
    std::string out;
    JsonWriter w(out);
    w.beginObject().key("method").string(method).key("params").beginArray();
    for (const RpcParam& p : params) {
        w.beginObject().key("value");
        writeVariant(w, p.value);
        w.key("byref").boolean(p.byref).endObject();
    }
    w.endArray().endObject();
    return out;
}

LoginRequest LoginRequest::parse(std::string_view json) {
    LoginRequest request;
    bool haveOperator = false;
    bool havePassword = false;
    try {
        JsonReader in(json);
        if (in.peek() != JsonReader::Token::Object) malformed("o corpo deve ser um objeto JSON");
        in.beginObject();
        std::string key;
        while (in.nextMember(key)) {
            if (key == "operator") {
                request.operatorCode = in.readString();
                haveOperator = true;
            } else if (key == "password") {
                request.password = in.readString();
                havePassword = true;
            } else {
                in.skip();
            }
        }
        in.finish();
    } catch (const RpcError&) {
        throw;
    } catch (const std::exception& e) {
        malformed(e.what());
    }
    if (!haveOperator || !havePassword) malformed("operador e senha devem ser informados");
    return request;
}

} // namespace srv
