#pragma once

#include <stdexcept>
#include <string>

namespace srv {

// Raised by a Database for any failure of the backend. `kind` tells the callers that react
// differently (a transaction retried after a serialization conflict, a busy database reported
// as such); `message` is the backend's own text, for the log.
class DatabaseError : public std::runtime_error {
public:
    enum class Kind {
        Connection, // could not open or lost the connection
        Busy,       // another writer held the database longer than the busy timeout
        Conflict,   // a concurrent transaction won; running the whole transaction again helps
        Constraint, // a key, unique, not-null or check constraint refused the write
        Sql,        // the statement itself is wrong (syntax, unknown column, wrong type)
        Misuse,     // the API was used wrongly (commit without begin, nested begin)
    };

    DatabaseError(Kind kind, const std::string& message)
        : std::runtime_error(message), m_kind(kind) {}

    Kind kind() const noexcept { return m_kind; }

private:
    Kind m_kind;
};

} // namespace srv
