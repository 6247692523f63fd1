#pragma once

#include "services/data/DataPacket.h"
#include "services/data/NumberFormat.h"
#include "services/data/Variant.h"

#include <cstdlib>
#include <string>
#include <string_view>

// How filters and lookups read a cell: null is "" in text fields and 0 in numeric ones.
namespace cell {

inline std::string_view text(const Variant& v) {
    return v.type() == VarType::Text ? v.textView() : std::string_view();
}

// A text as a number: "010", "-1.5", or the operator's "1.234,5". False when it is neither.
inline bool textAsNumber(std::string_view s, double& out) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    if (s.empty()) return false;
    if (s.find(',') == std::string_view::npos) {
        const std::string plain(s);
        char* stop = nullptr;
        out = std::strtod(plain.c_str(), &stop);
        if (*stop == '\0' && plain.find_first_of("0123456789") != std::string::npos &&
            plain.find_first_of("xXnN") == std::string::npos)
            return true;
    }
    bool ok = false;
    out = TextToFloat(s, ok);
    return ok;
}

inline bool number(const Variant& v, double& out) {
    switch (v.type()) {
    case VarType::Null:
        out = 0;
        return true;
    case VarType::Boolean:
        out = v.toBool() ? 1 : 0;
        return true;
    case VarType::Integer:
    case VarType::Double:
    case VarType::DateTime:
        out = v.toDouble();
        return true;
    case VarType::Text:
        return textAsNumber(v.textView(), out);
    default:
        return false;
    }
}

inline bool isNumericType(FieldType t) {
    return t != FieldType::String;
}

} // namespace cell
