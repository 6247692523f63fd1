#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Appends compact JSON to a string; commas are placed by the writer.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : m_out(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);

    JsonWriter& string(std::string_view text);
    JsonWriter& number(double value);
    JsonWriter& integer(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    // Inserts an already encoded JSON value.
    JsonWriter& raw(std::string_view json);

private:
    void separate();

    std::string& m_out;
    bool m_needComma = false;
};
