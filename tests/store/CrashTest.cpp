// A writer killed in the middle of its work: every acknowledged transaction survives and no
// half-written one shows.
#include "server/store/Store.h"
#include "tests/store/TestDatabases.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

using srv::Database;
using srv::Store;

namespace {

constexpr int kRowsPerTransaction = 5;

// The child: writes transactions of five rows plus a counter until killed, and reports each
// one on `ack` only after its commit returned.
[[noreturn]] void writeUntilKilled(const std::string& spec, Store::Options options, int ack) {
    try {
        auto store = Store::open(spec, options);
        for (int n = 1;; ++n) {
            store->transaction([&](Database& db) {
                for (int r = 0; r < kRowsPerTransaction; ++r)
                    db.execute("INSERT INTO CRASH (TX, R, PAYLOAD) VALUES (?, ?, ?)",
                               {n, r, std::string(200, static_cast<char>('a' + r))});
                db.execute("UPDATE CRASHCOUNT SET N = ?", {n});
            });
            if (::write(ack, &n, sizeof n) != sizeof n) ::_exit(3);
        }
    } catch (...) {
        ::_exit(2);
    }
}

class StoreCrash : public ::testing::TestWithParam<bool> {};

} // namespace

// Both sync levels: a killed process loses nothing it acknowledged (only a power cut tells
// them apart, which a test cannot bring about).
TEST_P(StoreCrash, GivenAWriterKilledMidStream_WhenReopened_ThenEveryAcknowledgedWriteIsWhole) {
    Store::Options options;
    options.syncEachCommit = GetParam();
    const std::string spec = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
    {
        auto store = Store::open(spec);
        store->transaction([](Database& db) {
            db.executeScript("CREATE TABLE CRASH (TX INTEGER NOT NULL, R INTEGER NOT NULL, "
                             "PAYLOAD VARCHAR(300), PRIMARY KEY (TX, R)); "
                             "CREATE TABLE CRASHCOUNT (N INTEGER NOT NULL); "
                             "INSERT INTO CRASHCOUNT VALUES (0);");
        });
    }
    int pipes[2];
    ASSERT_EQ(::pipe(pipes), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipes[0]);
        writeUntilKilled(spec, options, pipes[1]);
    }
    ::close(pipes[1]);
    int acknowledged = 0;
    int n = 0;
    while (acknowledged < 150 && ::read(pipes[0], &n, sizeof n) == sizeof n)
        acknowledged = n;
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    // Acknowledgements already in the pipe when the writer died count too.
    while (::read(pipes[0], &n, sizeof n) == sizeof n)
        acknowledged = n;
    ::close(pipes[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself: " << status;
    ASSERT_GE(acknowledged, 150);

    auto store = Store::open(spec);
    const auto counts = store->read([](Database& db) {
        return db.query("SELECT (SELECT N FROM CRASHCOUNT) AS LAST, COUNT(DISTINCT TX) AS TXS, "
                        "COUNT(*) AS ROWSN, MAX(TX) AS MAXTX FROM CRASH");
    });
    const int last = counts.at(0, "LAST").toInt();
    EXPECT_GE(last, acknowledged);
    EXPECT_EQ(counts.at(0, "TXS").toInt(), last);
    EXPECT_EQ(counts.at(0, "MAXTX").toInt(), last);
    EXPECT_EQ(counts.at(0, "ROWSN").toInt(), last * kRowsPerTransaction);
    // The database takes writes again after the crash.
    store->transaction([](Database& db) { db.execute("UPDATE CRASHCOUNT SET N = N + 1"); });
}

INSTANTIATE_TEST_SUITE_P(SyncLevels, StoreCrash, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "sync_each_commit" : "sync_at_checkpoint";
                         });
