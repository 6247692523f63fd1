#pragma once

#include "server/store/QueryResult.h"

#include <string>
#include <string_view>

namespace srv {

// Helpers the two backends share to describe result columns the same way.
struct ColumnNames {
    // Upper-cases a name that has no upper-case letter (an unquoted identifier, which
    // PostgreSQL folds to lower case); a name with any upper-case letter is kept as written.
    static std::string normalise(std::string_view name);
    // Kind and width from a declared SQL type ("VARCHAR(4)", "DOUBLE PRECISION", "INTEGER").
    static ColumnInfo fromDeclaredType(std::string name, std::string_view declared);
};

} // namespace srv
