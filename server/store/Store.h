#pragma once

#include "server/store/Database.h"
#include "server/store/DatabaseError.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace srv {

// The company database as the server's request threads see it: opened from a spec, schema
// brought up to date on open, connections lent out from a small pool.
//
// Spec: a `postgresql://` (or `postgres://`) URL for PostgreSQL; ":memory:" for a private
// in-memory SQLite database (one connection shared under a mutex by every thread of the process
// that opened it); anything else is a SQLite file path (created when missing).
//
// Typical use from a remote method:
//     auto rows = store.read([&](Database& db) { return db.query("SELECT ...", {year}); });
//     store.transaction([&](Database& db) { db.execute("UPDATE ...", {...}); });
// transaction() commits when fn returns and rolls back when it throws (the exception goes on
// to the caller), so a write happens whole or not at all. On PostgreSQL a serialization conflict
// with a concurrent writer runs fn again (up to a few dozen times): fn must not have effects
// outside the database. A pooled connection found dead when the transaction begins (database
// server restarted) is replaced by a fresh one, once, before fn runs. Nesting transaction()/read()
// inside fn is a broken invariant (assert): fn gets the Database to use.
class Store {
public:
    struct Options {
        int poolSize = 8;          // connections at most (1 for ":memory:")
        int busyTimeoutMs = 15000; // SQLite: how long a writer waits for another
        bool migrate = true;       // bring the schema up to date on open
        // SQLite: a commit returns once on disk (true) or once handed to the operating system
        // (false: survives a killed server, may lose the last commits in a power cut; a commit
        // costs microseconds instead of a disk flush).
        bool syncEachCommit = true;
    };

    // Lends a connection for the lifetime of the lease and takes it back at the end.
    class Lease {
    public:
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        Database& operator*() const noexcept { return *m_db; }
        Database* operator->() const noexcept { return m_db.get(); }

    private:
        friend class Store;
        Lease(Store* store, std::unique_ptr<Database> db) : m_store(store), m_db(std::move(db)) {}
        Store* m_store;
        std::unique_ptr<Database> m_db;
    };

    // Opens the database named by `spec`; throws DatabaseError when it cannot.
    static std::unique_ptr<Store> open(const std::string& spec, Options options);
    static std::unique_ptr<Store> open(const std::string& spec) { return open(spec, Options{}); }
    ~Store();

    Database::Backend backend() const noexcept { return m_backend; }
    const std::string& spec() const noexcept { return m_spec; }

    // Runs the pending migrations (each in its own transaction; safe when several servers
    // start on one PostgreSQL at once). Returns the schema version reached.
    int migrate();
    // The schema version stored in the database (0 for an empty database).
    int schemaVersion();
    // True when the company has no branch yet (a new database: the demo may fill it).
    bool isEmpty();

    // Waits for a free connection (opening a new one while below the pool size).
    Lease acquire();

    // Runs fn(Database&) in one write transaction and returns what fn returns.
    template <class Fn> auto transaction(Fn&& fn) -> std::invoke_result_t<Fn&, Database&> {
        return run<std::invoke_result_t<Fn&, Database&>>(Database::TxMode::Write, fn);
    }
    // Runs fn(Database&) over one consistent snapshot; nothing it writes is kept.
    template <class Fn> auto read(Fn&& fn) -> std::invoke_result_t<Fn&, Database&> {
        return run<std::invoke_result_t<Fn&, Database&>>(Database::TxMode::Read, fn);
    }

private:
    Store(std::string spec, Options options);
    std::unique_ptr<Database> connect();
    void giveBack(std::unique_ptr<Database> db) noexcept;
    // Closes the idle connections (after one of them turned out to be dead).
    void dropIdle() noexcept;
    // Runs body in one transaction of `mode` with the retry rule above.
    void runBody(Database::TxMode mode, const std::function<void(Database&)>& body);

    template <class R, class Fn> R run(Database::TxMode mode, Fn& fn) {
        if constexpr (std::is_void_v<R>) {
            runBody(mode, [&](Database& db) { fn(db); });
        } else {
            std::optional<R> result;
            runBody(mode, [&](Database& db) { result.emplace(fn(db)); });
            return std::move(*result);
        }
    }

    std::string m_spec;
    Options m_options;
    Database::Backend m_backend;
    bool m_memory = false;

    // SQLite takes one writer at a time; writers of this process queue here rather than on
    // the busy handler's sleep-and-retry, which starves some of them for seconds.
    std::mutex m_writers;
    std::mutex m_mutex;
    std::condition_variable m_freed;
    std::vector<std::unique_ptr<Database>> m_idle;
    int m_open = 0; // connections in existence (idle + lent)
};

} // namespace srv
