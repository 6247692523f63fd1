#include "services/net/RpcCodec.h"

#include "services/data/BinaryReader.h"
#include "services/data/BinaryWire.h"
#include "services/data/DataPacket.h"
#include "services/data/JsonReader.h"
#include "services/data/JsonWriter.h"

#include <charconv>
#include <stdexcept>

namespace {

int parseIndex(const std::string& key) {
    int index = -1;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (ec != std::errc() || end != key.data() + key.size() || index < 0)
        throw std::runtime_error("índice de parâmetro inválido \"" + key + "\"");
    return index;
}

} // namespace

std::string RpcCodec::encodeCall(std::string_view method, const std::vector<Arg>& params) {
    std::string body;
    JsonWriter out(body);
    out.beginObject().key("method").string(method).key("params").beginArray();
    for (const Arg& arg : params) {
        out.beginObject().key("value");
        writeVariant(out, arg.value());
        out.key("byref").boolean(arg.byRef()).endObject();
    }
    out.endArray().endObject();
    return body;
}

RpcCodec::Answer RpcCodec::decodeAnswer(std::string_view body) {
    Answer answer;
    bool sawOk = false;
    bool sawResult = false;
    JsonReader in(body);
    if (in.peek() != JsonReader::Token::Object)
        throw std::runtime_error("a resposta não é um objeto");
    in.beginObject();
    std::string key;
    while (in.nextMember(key)) {
        if (key == "ok") {
            answer.ok = in.readBool();
            sawOk = true;
        } else if (key == "result") {
            answer.result = readVariant(in);
            sawResult = true;
        } else if (key == "error") {
            answer.error = in.readString();
        } else if (key == "byref") {
            in.beginObject();
            std::string index;
            while (in.nextMember(index)) {
                const int i = parseIndex(index);
                answer.byRef.emplace_back(i, readVariant(in));
            }
        } else {
            in.skip();
        }
    }
    in.finish();
    if (!sawOk) throw std::runtime_error("falta o campo \"ok\"");
    if (answer.ok && !sawResult) throw std::runtime_error("falta o campo \"result\"");
    return answer;
}

RpcCodec::Answer RpcCodec::decodeBinaryAnswer(std::string_view body) {
    Answer answer;
    try {
        BinaryReader in(body);
        if (in.raw(binarywire::kMagic.size(), "the start of the answer") != binarywire::kMagic)
            throw std::runtime_error("a resposta binária não começa pela marca esperada");
        answer.result = readVariantBinary(in);
        const std::uint64_t count = in.varint("the by-reference values", 256);
        for (std::uint64_t i = 0; i < count; ++i) {
            const auto index = static_cast<int>(in.varint("a parameter index", 255));
            answer.byRef.emplace_back(index, readVariantBinary(in));
        }
        in.finish();
    } catch (const BinaryError& e) {
        throw std::runtime_error(std::string("resposta binária malformada: ") + e.what());
    } catch (const PacketError& e) {
        throw std::runtime_error(std::string("resposta binária malformada: ") + e.what());
    }
    answer.ok = true;
    return answer;
}

std::string RpcCodec::encodeLogin(std::string_view op, std::string_view password) {
    std::string body;
    JsonWriter out(body);
    out.beginObject().key("operator").string(op).key("password").string(password).endObject();
    return body;
}

RpcCodec::LoginAnswer RpcCodec::decodeLogin(std::string_view body) {
    LoginAnswer answer;
    bool sawOk = false;
    JsonReader in(body);
    if (in.peek() != JsonReader::Token::Object)
        throw std::runtime_error("a resposta não é um objeto");
    in.beginObject();
    std::string key;
    while (in.nextMember(key)) {
        if (key == "ok") {
            answer.ok = in.readBool();
            sawOk = true;
        } else if (key == "token") {
            answer.token = in.readString();
        } else if (key == "name") {
            answer.name = in.readString();
        } else if (key == "error") {
            answer.error = in.readString();
        } else {
            in.skip();
        }
    }
    in.finish();
    if (!sawOk) throw std::runtime_error("falta o campo \"ok\"");
    if (answer.ok && answer.token.empty()) throw std::runtime_error("falta o token de acesso");
    return answer;
}
