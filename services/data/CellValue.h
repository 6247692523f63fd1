#pragma once

#include "services/data/DataPacket.h"
#include "services/data/NumberFormat.h"
#include "services/data/Variant.h"

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
    // "inf" and "nan(1)" are not numbers a cell or a filter means.
    if (s.find(',') == std::string_view::npos &&
        s.find_first_of("0123456789") != std::string_view::npos &&
        s.find_first_of("nN") == std::string_view::npos && tryParseCDouble(s, out))
        return true;
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
