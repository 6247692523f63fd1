#include "server/rpc/RpcResponse.h"

#include "services/data/BinaryWire.h"
#include "services/data/BinaryWriter.h"
#include "services/data/DataPacket.h"
#include "services/data/JsonWriter.h"

namespace srv {

std::string RpcResponse::success(const Variant& result, const std::map<int, Variant>& byref) {
    std::string out;
    JsonWriter w(out);
    w.beginObject().key("ok").boolean(true).key("result");
    writeVariant(w, result);
    w.key("byref").beginObject();
    for (const auto& [index, value] : byref) {
        w.key(std::to_string(index));
        writeVariant(w, value);
    }
    w.endObject().endObject();
    return out;
}

std::string RpcResponse::successBinary(const Variant& result, const std::map<int, Variant>& byref) {
    std::string out;
    BinaryWriter w(out);
    w.raw(binarywire::kMagic);
    writeVariantBinary(w, result);
    w.varint(byref.size());
    for (const auto& [index, value] : byref) {
        w.varint(static_cast<std::uint64_t>(index));
        writeVariantBinary(w, value);
    }
    return out;
}

std::string RpcResponse::failure(const std::string& message) {
    std::string out;
    JsonWriter w(out);
    w.beginObject().key("ok").boolean(false).key("error").string(message).endObject();
    return out;
}

std::string RpcResponse::loggedIn(const std::string& token, const std::string& name) {
    std::string out;
    JsonWriter w(out);
    w.beginObject().key("ok").boolean(true).key("token").string(token).key("name").string(name);
    w.endObject();
    return out;
}

std::string RpcResponse::loggedOut() {
    return R"({"ok":true})";
}

} // namespace srv
