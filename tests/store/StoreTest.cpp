// Store behaviour beyond one connection: the pool, migrations run by several servers at once,
// databases from a newer server, writers that wait too long.
#include "server/store/Store.h"
#include "server/store/DatabaseError.h"
#include "server/store/Schema.h"
#include "tests/store/ResultDump.h"
#include "tests/store/TestDatabases.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using srv::Database;
using srv::DatabaseError;
using srv::Store;
using Kind = TestDatabases::Kind;

namespace {

class StoreTest : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        m_spec = TestDatabases::newSpec(GetParam());
        if (m_spec.empty()) GTEST_SKIP() << "no PostgreSQL server for this run";
    }
    std::string m_spec;
};

std::string paramName(const ::testing::TestParamInfo<Kind>& info) {
    return TestDatabases::name(info.param);
}

} // namespace

TEST_P(StoreTest, GivenSeveralServersStartingAtOnce_ThenTheSchemaIsMigratedOnce) {
    std::vector<std::future<int>> servers;
    for (int i = 0; i < 4; ++i)
        servers.push_back(std::async(std::launch::async, [&] {
            auto store = Store::open(m_spec);
            return store->schemaVersion();
        }));
    for (auto& s : servers)
        EXPECT_EQ(s.get(), srv::Schema::latestVersion());
    auto store = Store::open(m_spec);
    EXPECT_EQ(store->read([](Database& db) {
        return db.query("SELECT COUNT(*) FROM SCHEMA_VERSION").scalar().toInt();
    }),
              srv::Schema::latestVersion());
}

TEST_P(StoreTest, GivenADatabaseOfANewerServer_WhenOpened_ThenItIsRefusedUntouched) {
    Store::open(m_spec)->transaction([](Database& db) {
        db.execute("INSERT INTO SCHEMA_VERSION (VERSION, DTAPLICACAO) VALUES (?, 0)",
                   {srv::Schema::latestVersion() + 1});
    });
    try {
        Store::open(m_spec);
        FAIL() << "opened";
    } catch (const DatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("newer"), std::string::npos) << e.what();
    }
    Store::Options plain;
    plain.migrate = false;
    EXPECT_EQ(Store::open(m_spec, plain)->schemaVersion(), srv::Schema::latestVersion() + 1);
}

// A database made before the budget lines were kept in key order keeps every line, its key and
// its checks when a newer server opens it.
TEST_P(StoreTest, GivenBudgetLinesOfAnOlderSchema_WhenMigrated_ThenEveryLineAndRuleIsKept) {
    Store::Options plain;
    plain.migrate = false;
    auto store = TestDatabases::open(GetParam(), plain);
    const auto& migrations = srv::Schema::migrations(store->backend());
    ASSERT_GE(migrations.size(), 3u);
    store->transaction([&](Database& db) {
        db.executeScript("CREATE TABLE SCHEMA_VERSION (VERSION INT NOT NULL PRIMARY KEY, "
                         "DTAPLICACAO DOUBLE PRECISION NOT NULL)");
        for (int v = 1; v <= 2; ++v) {
            db.executeScript(migrations[static_cast<std::size_t>(v - 1)]);
            db.execute("INSERT INTO SCHEMA_VERSION (VERSION, DTAPLICACAO) VALUES (?, 0)", {v});
        }
        const char* insert =
            "INSERT INTO ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, "
            "NRSEQITEMORCA, CDDESPPREV, VRORCAMENTOJAN, VRORCAMENTODEZ) VALUES (?, ?, ?, ?, ?, ?, "
            "?, ?)";
        db.execute(insert, {"2026", 2, "0002", "D", "2", "010", 10.5, Variant()});
        db.execute(insert, {"2026", 2, "0001", "F", "1", Variant(), 1234.25, 0.01});
        db.execute(insert, {"2025", 1, "0001", "D", "1", "011", Variant(), -3.0});
    });
    const std::string sql = "SELECT NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, "
                            "NRSEQITEMORCA, CDDESPPREV, VRORCAMENTOJAN, VRORCAMENTODEZ FROM "
                            "ITEMORCAMENTO ORDER BY NRANOORCAOP, CDVERSORCAOP, CDFILIAL";
    const std::string before = dump(store->read([&](Database& db) { return db.query(sql); }));

    EXPECT_EQ(store->migrate(), srv::Schema::latestVersion());
    EXPECT_EQ(dump(store->read([&](Database& db) { return db.query(sql); })), before);
    auto refused = [&](const std::vector<Variant>& row) {
        try {
            store->transaction([&](Database& db) {
                db.execute("INSERT INTO ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, "
                           "IDTIPOORCAOP, NRSEQITEMORCA) VALUES (?, ?, ?, ?, ?)",
                           row);
            });
        } catch (const DatabaseError& e) {
            return e.kind() == DatabaseError::Kind::Constraint;
        }
        return false;
    };
    EXPECT_TRUE(refused({"2026", 2, "0001", "F", "1"})) << "a key twice";
    EXPECT_TRUE(refused({"2026", 2, "00001", "F", "9"})) << "a branch code too long";
    EXPECT_TRUE(refused({"2026", 2, "0001", "X", "9"})) << "an unknown type letter";
    EXPECT_FALSE(refused({"2026", 2, "0001", "F", "9"}));
    if (store->backend() == Database::Backend::SQLite) {
        EXPECT_EQ(dump(store->read([](Database& db) {
                      return db.query("SELECT name, sql LIKE '%WITHOUT ROWID' AS clustered FROM "
                                      "sqlite_master WHERE tbl_name = 'ITEMORCAMENTO' AND name NOT "
                                      "LIKE 'sqlite_%' ORDER BY name");
                  })),
                  "NAME|CLUSTERED\nt:'ITEMORCAMENTO'|i:1\nt:'ITEMORCAMENTO_TIPO'|i:0\n");
    }
}

TEST_P(StoreTest, GivenAFullPool_WhenAnotherThreadAsks_ThenItWaitsForALeaseToComeBack) {
    Store::Options options;
    options.poolSize = 2;
    auto store = Store::open(m_spec, options);
    auto first = std::make_unique<Store::Lease>(store->acquire());
    auto second = store->acquire();
    std::atomic<bool> got{false};
    std::thread third([&] {
        auto lease = store->acquire();
        got = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(got.load());
    first.reset();
    third.join();
    EXPECT_TRUE(got.load());
}

TEST(StorePostgres, GivenPooledConnectionsTheServerDropped_ThenTheNextTransactionsReconnect) {
    const std::string spec = TestDatabases::newSpec(Kind::Postgres);
    if (spec.empty()) GTEST_SKIP() << "no PostgreSQL server for this run";
    auto store = Store::open(spec);
    {
        // Fill the pool with three idle connections.
        auto a = store->acquire();
        auto b = store->acquire();
        auto c = store->acquire();
    }
    auto admin = Database::openPostgres(spec);
    admin->query("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                 "current_database() AND pid <> pg_backend_pid()");
    for (int i = 0; i < 4; ++i)
        store->transaction([&](Database& db) {
            db.execute("INSERT INTO REGIAO (CDREGIAO, NMREGIAO) VALUES (?, 'R')",
                       {"R" + std::to_string(i)});
        });
    EXPECT_EQ(store->read([](Database& db) {
        return db.query("SELECT COUNT(*) FROM REGIAO").scalar().toInt();
    }),
              4);
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreTest, ::testing::Values(Kind::SqliteFile, Kind::Postgres),
                         paramName);

TEST(StoreMemory, GivenAnInMemoryStore_ThenEveryThreadSeesTheSameDatabase) {
    auto store = Store::open(":memory:");
    std::thread writer([&] {
        store->transaction([](Database& db) {
            db.execute("INSERT INTO REGIAO (CDREGIAO, NMREGIAO) VALUES ('R1', 'Um')");
        });
    });
    writer.join();
    std::thread reader([&] {
        EXPECT_EQ(store->read([](Database& db) {
            return db.query("SELECT NMREGIAO FROM REGIAO").scalar().toText();
        }),
                  "Um");
    });
    reader.join();
}

TEST(StoreBusy, GivenAWriterHoldingTheDatabase_WhenAnotherWaitsPastTheTimeout_ThenItIsToldBusy) {
    Store::Options options;
    options.busyTimeoutMs = 150;
    auto store = Store::open(TestDatabases::newSpec(Kind::SqliteFile), options);
    auto holder = store->acquire();
    holder->begin();
    holder->execute("INSERT INTO REGIAO (CDREGIAO, NMREGIAO) VALUES ('R1', 'Um')");
    try {
        store->transaction([](Database& db) {
            db.execute("INSERT INTO REGIAO (CDREGIAO, NMREGIAO) VALUES ('R2', 'Dois')");
        });
        FAIL() << "written while another writer held the database";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.kind(), DatabaseError::Kind::Busy) << e.what();
    }
    holder->commit();
    EXPECT_EQ(store->read([](Database& db) {
        return db.query("SELECT COUNT(*) FROM REGIAO").scalar().toInt();
    }),
              1);
}
