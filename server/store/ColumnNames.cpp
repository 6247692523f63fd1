#include "server/store/ColumnNames.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace srv {

std::string ColumnNames::normalise(std::string_view name) {
    std::string out(name);
    const bool hasUpper =
        std::any_of(out.begin(), out.end(), [](unsigned char c) { return std::isupper(c); });
    if (!hasUpper)
        std::transform(out.begin(), out.end(), out.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

ColumnInfo ColumnNames::fromDeclaredType(std::string name, std::string_view declared) {
    ColumnInfo info;
    info.name = std::move(name);
    std::string type(declared);
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (type.find("CHAR") != std::string::npos || type == "TEXT") {
        info.kind = ColumnInfo::Kind::Text;
        const auto open = type.find('(');
        if (open != std::string::npos) info.size = std::atoi(type.c_str() + open + 1);
    } else if (type.find("INT") != std::string::npos) {
        info.kind = ColumnInfo::Kind::Integer;
    } else if (type.find("DOUBLE") != std::string::npos || type.find("REAL") != std::string::npos ||
               type.find("FLOA") != std::string::npos ||
               type.find("NUMERIC") != std::string::npos) {
        info.kind = ColumnInfo::Kind::Double;
    }
    return info;
}

} // namespace srv
