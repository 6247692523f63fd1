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

// The body must be UTF-8 throughout: a stored text that is not would make every later answer
// carrying it unreadable. A NUL escape is refused too: the database would cut the text there.
void checkText(std::string_view json) {
    const auto* p = reinterpret_cast<const unsigned char*>(json.data());
    const std::size_t n = json.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c == '\\' && i + 1 < n) {
            if (p[i + 1] == 'u' && json.substr(i + 2, 4) == "0000")
                malformed("caractere nulo (\\u0000) em um texto");
            i += 2;
            continue;
        }
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned min = 0, cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2, min = 0x80, cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3, min = 0x800, cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4, min = 0x10000, cp = c & 0x07;
        }
        bool valid = length > 0 && i + length <= n;
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (p[i + k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (!valid || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            malformed("texto que não é UTF-8 válido (byte " + std::to_string(i) + ")");
        i += length;
    }
}

void checkDate(double days) {
    if (!plausibleDate(days))
        malformed("data fora do intervalo de 1900 a 9999 (" + std::to_string(days) + ")");
}

void checkDates(const Variant& v) {
    switch (v.type()) {
    case VarType::DateTime:
        checkDate(v.toDouble());
        break;
    case VarType::Array:
        for (const Variant& e : v.array())
            checkDates(e);
        break;
    case VarType::Packet: {
        const DataPacket& p = v.packet();
        auto checkRow = [&](const std::vector<Variant>& row) {
            for (std::size_t f = 0; f < p.fields.size() && f < row.size(); ++f)
                if (p.fields[f].type == FieldType::DateTime && !row[f].isNull())
                    checkDate(row[f].toDouble());
        };
        for (const auto& row : p.rows)
            checkRow(row);
        for (const RowChange& c : p.changes)
            checkRow(c.original);
        break;
    }
    default:
        break;
    }
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

bool plausibleDate(double days) noexcept {
    // Day 0 is the zero date, "not informed"; otherwise 01/01/1900 to 31/12/9999.
    return days == 0.0 || (days >= 2.0 && days < 2958466.0);
}

RpcRequest RpcRequest::parse(std::string_view json) {
    checkText(json);
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
    for (const RpcParam& p : request.params)
        checkDates(p.value);
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
    checkText(json);
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
