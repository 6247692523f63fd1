#pragma once

#include "server/store/QueryResult.h"

#include <string>

// The whole of a query result as one text, to compare in a single assertion:
// a header line of column names, then one line per row; cells are written with their kind,
// i:42, d:0.1, t:'text', b:true, null.
inline std::string dump(const srv::QueryResult& result) {
    std::string out;
    for (std::size_t c = 0; c < result.columns.size(); ++c)
        out += (c ? "|" : "") + result.columns[c].name;
    out += '\n';
    for (const auto& row : result.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out += '|';
            const Variant& v = row[c];
            switch (v.type()) {
            case VarType::Null:
                out += "null";
                break;
            case VarType::Boolean:
                out += v.toBool() ? "b:true" : "b:false";
                break;
            case VarType::Integer:
                out += "i:" + v.toText();
                break;
            case VarType::Double:
                out += "d:" + v.toText();
                break;
            case VarType::DateTime:
                out += "dt:" + v.toText();
                break;
            case VarType::Text:
                out += "t:'" + v.toText() + "'";
                break;
            default:
                out += "?";
                break;
            }
        }
        out += '\n';
    }
    return out;
}
