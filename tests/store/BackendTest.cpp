// The Database/Store contract, run the same on every backend.
#include "server/store/DatabaseError.h"
#include "server/store/RowPipeline.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "tests/store/ResultDump.h"
#include "tests/store/TestDatabases.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

using srv::Database;
using srv::DatabaseError;
using srv::QueryResult;
using srv::Store;
using Kind = TestDatabases::Kind;

namespace {

class BackendTest : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        m_spec = TestDatabases::newSpec(GetParam());
        if (m_spec.empty()) GTEST_SKIP() << "no PostgreSQL server for this run";
        m_store = Store::open(m_spec);
        m_store->transaction([](Database& db) {
            db.executeScript("CREATE TABLE T (K INT NOT NULL PRIMARY KEY, TX VARCHAR(20), "
                             "N INTEGER, D DOUBLE PRECISION)");
        });
    }

    long long count(const std::string& table) {
        return m_store->read([&](Database& db) {
            return db.query("SELECT COUNT(*) FROM " + table).scalar().toInt();
        });
    }

    std::string m_spec;
    std::unique_ptr<Store> m_store;
};

std::string paramName(const ::testing::TestParamInfo<Kind>& info) {
    return TestDatabases::name(info.param);
}

} // namespace

TEST_P(BackendTest, GivenAnOpenedStore_WhenMigratedAgainOrReopened_ThenNothingChanges) {
    const int latest = srv::Schema::latestVersion();
    EXPECT_EQ(m_store->schemaVersion(), latest);
    EXPECT_EQ(m_store->migrate(), latest);
    EXPECT_EQ(count("SCHEMA_VERSION"), latest);
    if (GetParam() != Kind::SqliteMemory) {
        m_store.reset();
        auto again = Store::open(m_spec);
        EXPECT_EQ(again->schemaVersion(), latest);
        EXPECT_EQ(again->read([](Database& db) {
            return db.query("SELECT COUNT(*) FROM SCHEMA_VERSION").scalar().toInt();
        }),
                  latest);
        EXPECT_TRUE(again->isEmpty());
    }
}

TEST_P(BackendTest, GivenATransactionThatThrows_ThenNoneOfItsWritesRemain) {
    m_store->transaction([](Database& db) { db.execute("INSERT INTO T (K, N) VALUES (1, 10)"); });
    // A plain exception after two writes.
    EXPECT_THROW(m_store->transaction([](Database& db) {
        db.execute("INSERT INTO T (K, N) VALUES (2, 20)");
        db.execute("UPDATE T SET N = 11 WHERE K = 1");
        throw std::runtime_error("refused");
    }),
                 std::runtime_error);
    // A failure of the last statement (duplicate key) after good ones.
    try {
        m_store->transaction([](Database& db) {
            db.execute("INSERT INTO T (K, N) VALUES (3, 30)");
            db.execute("UPDATE T SET N = 12 WHERE K = 1");
            db.execute("INSERT INTO T (K, N) VALUES (1, 99)");
        });
        FAIL() << "duplicate key accepted";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.kind(), DatabaseError::Kind::Constraint) << e.what();
    }
    const auto rows = m_store->read([](Database& db) { return db.query("SELECT K, N FROM T"); });
    EXPECT_EQ(dump(rows), "K|N\ni:1|i:10\n");
    // The connection that failed is usable again.
    m_store->transaction([](Database& db) { db.execute("INSERT INTO T (K, N) VALUES (4, 40)"); });
    EXPECT_EQ(count("T"), 2);
}

TEST_P(BackendTest, GivenValuesOfEveryKind_WhenStoredAndRead_ThenTheyComeBackUnchanged) {
    const std::string accented = "Mão de obra 'x' ? ç";
    m_store->transaction([&](Database& db) {
        const char* insert = "INSERT INTO T (K, TX, N, D) VALUES (?, ?, ?, ?)";
        db.execute(insert, {1, accented, -2147483647 - 1, 0.1});
        db.execute(insert, {2, "", 2147483647, 1e-9});
        db.execute(insert, {3, Variant(), Variant(), Variant::fromDate(46113.75)});
        db.execute(insert, {4, "2026", true, -123456789.25});
        db.execute(insert, {5, "x", false, 999999999.99});
    });
    const auto rows = m_store->read(
        [](Database& db) { return db.query("SELECT K, TX, N, D FROM T ORDER BY K"); });
    EXPECT_EQ(dump(rows), "K|TX|N|D\n"
                          "i:1|t:'Mão de obra 'x' ? ç'|i:-2147483648|d:0.1\n"
                          "i:2|t:''|i:2147483647|d:1e-09\n"
                          "i:3|null|null|d:46113.75\n"
                          "i:4|t:'2026'|i:1|d:-123456789.25\n"
                          "i:5|t:'x'|i:0|d:999999999.99\n");
    // A parameter compares with a column of another kind the way SQLite does.
    const auto byText = m_store->read(
        [](Database& db) { return db.query("SELECT K FROM T WHERE TX = ?", {"2026"}); });
    EXPECT_EQ(dump(byText), "K\ni:4\n");
    EXPECT_EQ(rows.columns[1].kind, srv::ColumnInfo::Kind::Text);
    EXPECT_EQ(rows.columns[1].size, 20);
    EXPECT_EQ(rows.columns[2].kind, srv::ColumnInfo::Kind::Integer);
    EXPECT_EQ(rows.columns[3].kind, srv::ColumnInfo::Kind::Double);
}

// A large read hands its rows over one at a time: the same rows, columns and kinds as a query,
// and nothing at all for a read without rows.
TEST_P(BackendTest, GivenRowsReadOneAtATime_ThenTheyAreTheQuerysRowsInOrder) {
    m_store->transaction([&](Database& db) {
        const char* insert = "INSERT INTO T (K, TX, N, D) VALUES (?, ?, ?, ?)";
        for (int k = 1; k <= 300; ++k)
            db.execute(insert, {k, k % 7 ? Variant("Mão " + std::to_string(k)) : Variant(), k * 3,
                                k * 0.25});
    });
    const std::string sql = "SELECT K, TX, N, D FROM T WHERE K > ? ORDER BY K DESC";
    const auto whole = m_store->read([&](Database& db) { return db.query(sql, {Variant(10)}); });
    const auto streamed = m_store->read([&](Database& db) {
        QueryResult out;
        db.forEachRow(sql, {Variant(10)},
                      [&](const QueryResult& columns, std::vector<Variant>& row) {
                          if (out.columns.empty()) out.columns = columns.columns;
                          EXPECT_TRUE(columns.rows.empty());
                          out.rows.push_back(std::move(row));
                      });
        return out;
    });
    ASSERT_EQ(streamed.size(), 290u);
    EXPECT_EQ(dump(streamed), dump(whole));
    EXPECT_EQ(streamed.columns[1].kind, srv::ColumnInfo::Kind::Text);
    int calls = 0;
    m_store->read([&](Database& db) {
        db.forEachRow(sql, {Variant(1000)},
                      [&](const QueryResult&, std::vector<Variant>&) { ++calls; });
        // The connection is free again for the next statement.
        EXPECT_EQ(db.query("SELECT COUNT(*) FROM T").scalar().toInt(), 300);
    });
    EXPECT_EQ(calls, 0);
}

// Rows read on one thread and used on another come in the query's order, every one of them
// across many batches; a failure on either side reaches the caller and frees the connection.
TEST_P(BackendTest, GivenRowsUsedWhileTheNextAreRead_ThenOrderAndFailuresAreAsOnOneThread) {
    m_store->transaction([&](Database& db) {
        const char* insert = "INSERT INTO T (K, TX, N, D) VALUES (?, ?, ?, ?)";
        for (int k = 1; k <= 6000; ++k)
            db.execute(insert, {k, k % 5 ? Variant("Filial " + std::to_string(k)) : Variant(),
                                k % 3 ? Variant(k) : Variant(), k * 0.5});
    });
    const std::string sql = "SELECT K, TX, N, D FROM T WHERE K > ? ORDER BY K DESC";
    const auto whole = m_store->read([&](Database& db) { return db.query(sql, {Variant(7)}); });
    const auto pipelined = m_store->read([&](Database& db) {
        QueryResult out;
        srv::RowPipeline::forEachRow(db, sql, {Variant(7)},
                                     [&](const QueryResult& columns, std::vector<Variant>& row) {
                                         if (out.columns.empty()) out.columns = columns.columns;
                                         out.rows.push_back(std::move(row));
                                     });
        return out;
    });
    ASSERT_EQ(pipelined.size(), 5993u);
    EXPECT_EQ(dump(pipelined), dump(whole));

    // The user fails part-way: its own error arrives and no row is used after it.
    int used = 0;
    m_store->read([&](Database& db) {
        try {
            srv::RowPipeline::forEachRow(
                db, sql, {Variant(0)}, [&](const QueryResult&, std::vector<Variant>& row) {
                    if (++used == 1500) throw std::runtime_error("linha " + row[0].toText());
                });
            ADD_FAILURE() << "the user's failure was lost";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "linha 4501");
        }
        EXPECT_EQ(db.query("SELECT COUNT(*) FROM T").scalar().toInt(), 6000);
    });
    EXPECT_EQ(used, 1500);

    // The reader fails: the database's error arrives and the user's thread has ended.
    EXPECT_THROW(m_store->read([&](Database& db) {
        srv::RowPipeline::forEachRow(db, "SELECT NOPE FROM T", {},
                                     [&](const QueryResult&, std::vector<Variant>&) { ++used; });
    }),
                 DatabaseError);
    int none = 0;
    m_store->read([&](Database& db) {
        srv::RowPipeline::forEachRow(db, sql, {Variant(6000)},
                                     [&](const QueryResult&, std::vector<Variant>&) { ++none; });
    });
    EXPECT_EQ(none, 0);
}

TEST_P(BackendTest, GivenOneDialect_ThenPlaceholdersNamesAndCastsBehaveAlike) {
    const auto rows = m_store->read([](Database& db) {
        return db.query("SELECT '?' AS lower_name, ? AS \"Retorno\", -- a ? in a comment\n"
                        "CAST(? AS DOUBLE PRECISION) * 2 AS twice, 'it''s ?' AS quoted",
                        {"S", 1.25});
    });
    EXPECT_EQ(dump(rows), "LOWER_NAME|Retorno|TWICE|QUOTED\nt:'?'|t:'S'|d:2.5|t:'it's ?'\n");
    EXPECT_EQ(rows.at(0, "retorno").toText(), "S");
    EXPECT_EQ(rows.scalar().toText(), "?");
}

TEST_P(BackendTest, GivenBadStatements_ThenTheErrorSaysWhatKindAndNothingIsWritten) {
    auto kindOf = [&](const std::function<void(Database&)>& fn) {
        try {
            m_store->transaction(fn);
        } catch (const DatabaseError& e) {
            return e.kind();
        }
        ADD_FAILURE() << "no error";
        return DatabaseError::Kind::Misuse;
    };
    EXPECT_EQ(kindOf([](Database& db) { db.execute("INSERT INTO T (K) VALUES (?)", {}); }),
              DatabaseError::Kind::Misuse);
    EXPECT_EQ(kindOf([](Database& db) {
                  db.execute("INSERT INTO T (K) VALUES (?)", {1, 2});
              }),
              DatabaseError::Kind::Misuse);
    EXPECT_EQ(kindOf([](Database& db) {
                  db.execute("INSERT INTO T (K, TX) VALUES (?, ?)",
                             {1, Variant(std::vector<Variant>{1, 2})});
              }),
              DatabaseError::Kind::Misuse);
    EXPECT_EQ(kindOf([](Database& db) { db.execute("INSERT INTO NOSUCHTABLE VALUES (1)"); }),
              DatabaseError::Kind::Sql);
    EXPECT_EQ(kindOf([](Database& db) { db.execute("INSERT INTO T (K) VALUES (NULL)"); }),
              DatabaseError::Kind::Constraint);
    // Foreign keys hold on both backends.
    EXPECT_EQ(kindOf([](Database& db) {
                  db.execute("INSERT INTO FILIAL (CDFILIAL, NMFILIAL, CDREGIAO) VALUES ('0001', "
                             "'X', 'NOP')");
              }),
              DatabaseError::Kind::Constraint);
    // A text longer than its column is refused alike.
    EXPECT_EQ(
        kindOf([](Database& db) {
            db.execute("INSERT INTO REGIAO (CDREGIAO, NMREGIAO) VALUES (?, ?)", {"ABCD", "Região"});
        }),
        DatabaseError::Kind::Constraint);
    EXPECT_EQ(count("T"), 0);
    EXPECT_EQ(count("FILIAL"), 0);
    EXPECT_EQ(count("REGIAO"), 0);

    auto lease = m_store->acquire();
    EXPECT_THROW(lease->commit(), DatabaseError);
    lease->begin();
    EXPECT_THROW(lease->begin(), DatabaseError);
    lease->rollback();
    EXPECT_FALSE(lease->inTransaction());
}

TEST_P(BackendTest, GivenConcurrentWriters_WhenEachIncrementsOneCounter_ThenNoWriteIsLost) {
    m_store->transaction([](Database& db) { db.execute("INSERT INTO T (K, N) VALUES (1, 0)"); });
    constexpr int kThreads = 6;
    constexpr int kIncrements = 25;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kIncrements; ++i) {
                try {
                    // Read, then write what was read plus one: a lost update shows in the total.
                    m_store->transaction([&](Database& db) {
                        const int n = db.query("SELECT N FROM T WHERE K = 1").scalar().toInt();
                        db.execute("UPDATE T SET N = ? WHERE K = 1", {n + 1});
                        db.execute("INSERT INTO T (K, N) VALUES (?, ?)",
                                   {1000 + t * kIncrements + i, n});
                    });
                } catch (const std::exception& e) {
                    ++failures;
                    ADD_FAILURE() << e.what();
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    const int total = m_store->read(
        [](Database& db) { return db.query("SELECT N FROM T WHERE K = 1").scalar().toInt(); });
    EXPECT_EQ(total, kThreads * kIncrements);
    // Every increment saw a distinct previous value.
    EXPECT_EQ(m_store->read([](Database& db) {
        return db.query("SELECT COUNT(DISTINCT N) FROM T WHERE K >= 1000").scalar().toInt();
    }),
              kThreads * kIncrements);
}

TEST_P(BackendTest, GivenAReadSnapshot_ThenItsWritesAreNotKept) {
    m_store->read([](Database& db) { db.execute("INSERT INTO T (K, N) VALUES (1, 1)"); });
    EXPECT_EQ(count("T"), 0);
}

TEST_P(BackendTest, GivenManyDistinctStatements_ThenTheCacheStaysBoundedAndAllStillRun) {
    const int distinct = static_cast<int>(Database::kStatementCache) + 60;
    m_store->transaction([&](Database& db) {
        for (int i = 0; i < distinct; ++i)
            db.execute("INSERT INTO T (K, N) VALUES (?, " + std::to_string(i) + ")", {i});
        EXPECT_LE(db.cachedStatements(), Database::kStatementCache);
        // The first texts were dropped from the cache: they are prepared again.
        db.execute("INSERT INTO T (K, N) VALUES (?, 0)", {distinct});
        EXPECT_EQ(db.query("SELECT SUM(N) FROM T").scalar().toInt(), (distinct - 1) * distinct / 2);
    });
    EXPECT_EQ(count("T"), distinct + 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, BackendTest,
                         ::testing::Values(Kind::SqliteFile, Kind::SqliteMemory, Kind::Postgres),
                         paramName);

TEST(StoreOpen, GivenASpecThatCannotBeOpened_ThenTheErrorSaysSo) {
    try {
        Store::open("/nonexistent-folder/x/company.sqlite");
        FAIL() << "opened";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.kind(), DatabaseError::Kind::Connection);
        EXPECT_NE(std::string(e.what()).find("/nonexistent-folder"), std::string::npos);
    }
    try {
        Store::open("postgresql://nobody@127.0.0.1:1/none?connect_timeout=2");
        FAIL() << "connected";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.kind(), DatabaseError::Kind::Connection);
    }
    EXPECT_THROW(Store::open(""), DatabaseError);
    // A file that is not a database is reported, not overwritten.
    const std::string spec = TestDatabases::newSpec(Kind::SqliteFile);
    const std::string garbage(8192, 'x');
    {
        std::ofstream out(spec, std::ios::binary);
        out << garbage;
    }
    try {
        Store::open(spec);
        FAIL() << "opened";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.kind(), DatabaseError::Kind::Connection) << e.what();
    }
    std::ifstream in(spec, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}
