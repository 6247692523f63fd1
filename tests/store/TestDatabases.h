#pragma once

#include "server/store/Store.h"

#include <memory>
#include <string>

// Fresh databases for the tests: a SQLite file in a private temporary folder, or a new
// database on the PostgreSQL server of the test run (its URL is in the file named by
// FYN_TEST_PG_URL_FILE). Each call gives a database no other test uses.
class TestDatabases {
public:
    enum class Kind { SqliteFile, SqliteMemory, Postgres };

    // The store spec of a new empty database of that kind; "" for Postgres when the test run
    // has no PostgreSQL server (the binary run by hand).
    static std::string newSpec(Kind kind);
    // A new empty database of that kind, opened (and migrated unless told otherwise).
    static std::unique_ptr<srv::Store> open(Kind kind, srv::Store::Options options = {});
    // "sqlite-file", "sqlite-memory", "postgres": names for parameterised tests.
    static std::string name(Kind kind);
};
