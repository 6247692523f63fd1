#include "services/data/JsonWriter.h"

#include "services/data/Variant.h"

#include <cmath>
#include <stdexcept>

void JsonWriter::separate() {
    if (m_needComma) m_out += ',';
    m_needComma = true;
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    m_out += '{';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    m_out += '}';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    m_out += '[';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    m_out += ']';
    m_needComma = true;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    string(name);
    m_out += ':';
    m_needComma = false;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
    separate();
    m_out += '"';
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        m_out.append(text.data() + runStart, i - runStart);
        switch (c) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default: {
            static const char* hex = "0123456789abcdef";
            m_out += "\\u00";
            m_out += hex[c >> 4];
            m_out += hex[c & 15];
        }
        }
        runStart = i + 1;
    }
    m_out.append(text.data() + runStart, text.size() - runStart);
    m_out += '"';
    return *this;
}

JsonWriter& JsonWriter::number(double value) {
    // JSON has no NaN or infinity; a value like that is a fault upstream, not data to send.
    if (!std::isfinite(value))
        throw std::invalid_argument("a number that is not finite cannot be sent");
    separate();
    m_out += formatCDouble(value);
    return *this;
}

JsonWriter& JsonWriter::integer(std::int64_t value) {
    separate();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    separate();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    m_out += "null";
    return *this;
}

JsonWriter& JsonWriter::raw(std::string_view json) {
    separate();
    m_out += json;
    return *this;
}
