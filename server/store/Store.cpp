#include "server/store/Store.h"

#include "server/store/Schema.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <ctime>
#include <functional>
#include <random>
#include <thread>

namespace srv {

namespace {

// The store whose transaction this thread is running, to catch nested use (which would
// deadlock on a one-connection pool).
thread_local const Store* t_running = nullptr;

// Writers that all touch one row can lose to each other many times in a row: allow many
// attempts, spread out by a random pause so that they stop colliding.
constexpr int kConflictAttempts = 40;

void pauseBeforeRetry(int attempt) {
    thread_local std::minstd_rand random(
        static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())));
    const int ceiling = std::min(64, 1 << std::min(attempt, 6));
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % ceiling + 1));
}
// Any constant of our own: the session lock that serialises migrations of several servers.
constexpr const char* kMigrationLock = "715517";

bool isPostgresSpec(const std::string& spec) {
    return spec.starts_with("postgresql://") || spec.starts_with("postgres://");
}

double nowDays() {
    // Days since 30/12/1899, the date convention of every stored date.
    return static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
}

} // namespace

Store::Lease::Lease(Lease&& other) noexcept : m_store(other.m_store), m_db(std::move(other.m_db)) {}

Store::Lease::~Lease() {
    if (m_db) m_store->giveBack(std::move(m_db));
}

Store::Store(std::string spec, Options options)
    : m_spec(std::move(spec)), m_options(options),
      m_backend(isPostgresSpec(m_spec) ? Database::Backend::PostgreSQL : Database::Backend::SQLite),
      m_memory(m_spec == ":memory:") {
    if (m_memory || m_options.poolSize < 1) m_options.poolSize = 1;
}

Store::~Store() {
    std::lock_guard lock(m_mutex);
    assert(static_cast<int>(m_idle.size()) == m_open && "a lease outlives its store");
}

std::unique_ptr<Store> Store::open(const std::string& spec, Options options) {
    if (spec.empty()) throw DatabaseError(DatabaseError::Kind::Connection, "no database given");
    std::unique_ptr<Store> store(new Store(spec, options));
    // Open one connection now so that a wrong spec fails here, not on the first request.
    store->m_idle.push_back(store->connect());
    store->m_open = 1;
    if (store->m_options.migrate) store->migrate();
    return store;
}

std::unique_ptr<Database> Store::connect() {
    if (m_backend == Database::Backend::PostgreSQL) return Database::openPostgres(m_spec);
    return Database::openSqlite(m_spec, m_options.busyTimeoutMs, m_options.syncEachCommit);
}

Store::Lease Store::acquire() {
    std::unique_lock lock(m_mutex);
    m_freed.wait(lock, [&] { return !m_idle.empty() || m_open < m_options.poolSize; });
    if (!m_idle.empty()) {
        std::unique_ptr<Database> db = std::move(m_idle.back());
        m_idle.pop_back();
        return Lease(this, std::move(db));
    }
    ++m_open;
    lock.unlock();
    try {
        return Lease(this, connect());
    } catch (...) {
        lock.lock();
        --m_open;
        m_freed.notify_one();
        throw;
    }
}

void Store::giveBack(std::unique_ptr<Database> db) noexcept {
    if (db->inTransaction()) db->rollback();
    std::lock_guard lock(m_mutex);
    // The only copy of an in-memory database lives in its one connection: keep it whatever.
    if (db->healthy() || m_memory)
        m_idle.push_back(std::move(db));
    else
        --m_open;
    m_freed.notify_one();
}

void Store::dropIdle() noexcept {
    if (m_memory) return; // its one connection is the database itself
    std::lock_guard lock(m_mutex);
    m_open -= static_cast<int>(m_idle.size());
    m_idle.clear();
    m_freed.notify_all();
}

void Store::runBody(Database::TxMode mode, const std::function<void(Database&)>& body) {
    assert(t_running != this && "transaction() or read() nested in another on the same store");
    std::unique_lock<std::mutex> writer(m_writers, std::defer_lock);
    if (mode == Database::TxMode::Write && m_backend == Database::Backend::SQLite) writer.lock();
    std::optional<Lease> lease(acquire());
    t_running = this;
    struct Unmark {
        ~Unmark() { t_running = nullptr; }
    } unmark;
    bool reconnected = false;
    for (int attempt = 1;; ++attempt) {
        try {
            (*lease)->begin(mode);
        } catch (const DatabaseError& e) {
            // A pooled connection the server dropped (restart, idle timeout) shows only now;
            // nothing was done yet, so a fresh connection may take over, once.
            if (e.kind() != DatabaseError::Kind::Connection || reconnected) throw;
            reconnected = true;
            lease.reset();
            dropIdle(); // they went the same way, most likely
            lease.emplace(acquire());
            --attempt;
            continue;
        }
        Database& db = **lease;
        try {
            body(db);
            if (mode == Database::TxMode::Write)
                db.commit();
            else
                db.rollback();
            return;
        } catch (const DatabaseError& e) {
            db.rollback();
            if (e.kind() != DatabaseError::Kind::Conflict || attempt == kConflictAttempts) throw;
        } catch (...) {
            db.rollback();
            throw;
        }
        pauseBeforeRetry(attempt);
    }
}

int Store::migrate() {
    Lease lease = acquire();
    Database& db = *lease;
    const bool postgres = m_backend == Database::Backend::PostgreSQL;
    // On PostgreSQL several servers may start at once: a session lock taken outside the
    // transactions makes the second wait and then see the first one's work. On SQLite the
    // write transaction itself serialises them.
    if (postgres) db.query(std::string("SELECT pg_advisory_lock(") + kMigrationLock + ")");
    struct Unlock {
        Database& db;
        bool postgres;
        ~Unlock() {
            if (!postgres) return;
            try {
                db.query(std::string("SELECT pg_advisory_unlock(") + kMigrationLock + ")");
            } catch (...) {
                // The lock ends with the session anyway.
            }
        }
    } unlock{db, postgres};

    const auto& migrations = Schema::migrations(m_backend);
    for (;;) {
        db.begin(Database::TxMode::Write);
        try {
            db.executeScript("CREATE TABLE IF NOT EXISTS SCHEMA_VERSION (VERSION INT NOT NULL "
                             "PRIMARY KEY, DTAPLICACAO DOUBLE PRECISION NOT NULL)");
            const int current =
                db.query("SELECT COALESCE(MAX(VERSION), 0) FROM SCHEMA_VERSION").scalar().toInt();
            if (current > static_cast<int>(migrations.size()))
                throw DatabaseError(DatabaseError::Kind::Misuse,
                                    "the database has schema version " + std::to_string(current) +
                                        ", newer than this server knows (" +
                                        std::to_string(migrations.size()) + ")");
            if (current == static_cast<int>(migrations.size())) {
                db.commit();
                return current;
            }
            db.executeScript(migrations[static_cast<std::size_t>(current)]);
            db.execute("INSERT INTO SCHEMA_VERSION (VERSION, DTAPLICACAO) VALUES (?, ?)",
                       {current + 1, nowDays()});
            db.commit();
        } catch (...) {
            db.rollback();
            throw;
        }
    }
}

int Store::schemaVersion() {
    Lease lease = acquire();
    try {
        return lease->query("SELECT COALESCE(MAX(VERSION), 0) FROM SCHEMA_VERSION")
            .scalar()
            .toInt();
    } catch (const DatabaseError& e) {
        if (e.kind() == DatabaseError::Kind::Sql) return 0; // no table yet
        throw;
    }
}

bool Store::isEmpty() {
    return read(
        [](Database& db) { return db.query("SELECT COUNT(*) FROM FILIAL").scalar().toInt() == 0; });
}

} // namespace srv
