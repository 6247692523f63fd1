// Ending sessions: logout, a deactivated operator, a deleted session row, seen by every server
// on the database within seconds.
#include "server/ServerInstance.h"
#include "server/methods/Methods.h"
#include "server/rpc/RpcRequest.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "tests/server/RpcTestClient.h"
#include "tests/store/TestDatabases.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

using namespace std::chrono_literals;
const std::string kBudget = std::string("/rpc/") + srv::kModuleCalcOrcaOper;
const std::string kCall = srv::RpcRequest{"GetParametro", {}}.toJson();

// Two servers on one database of the backend under test, each reading a known session's row
// again after 200 ms.
class TwoServers : public ::testing::TestWithParam<TestDatabases::Kind> {
protected:
    void SetUp() override {
        std::signal(SIGPIPE, SIG_IGN);
        srv::ServerOptions options;
        options.db = TestDatabases::newSpec(GetParam());
        if (options.db.empty()) GTEST_SKIP() << "no PostgreSQL server for this run";
        options.testFixture = true;
        options.threads = 2;
        options.sessionRecheck = 200ms;
        m_a = std::make_unique<srv::ServerInstance>(options);
        m_b = std::make_unique<srv::ServerInstance>(options);
    }

    // The HTTP status of a call with `token` on a server.
    static int call(srv::ServerInstance& server, const std::string& token) {
        httplib::Client c("127.0.0.1", server.port());
        auto res = c.Post(kBudget.c_str(), {{"Authorization", "Bearer " + token}}, kCall,
                          "application/json");
        return res ? res->status : 0;
    }

    static int logout(srv::ServerInstance& server, const std::string& token) {
        httplib::Client c("127.0.0.1", server.port());
        auto res =
            c.Post("/logout", {{"Authorization", "Bearer " + token}}, "", "application/json");
        return res ? res->status : 0;
    }

    // Polls until both servers refuse the token; the seconds it took, or -1 after 5 s.
    double secondsUntilRefusedByBoth(const std::string& token) {
        const auto t0 = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - t0 < 5s) {
            if (call(*m_a, token) == 401 && call(*m_b, token) == 401)
                return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            std::this_thread::sleep_for(50ms);
        }
        return -1;
    }

    void onDatabase(const std::string& sql) {
        m_a->store().transaction([&](srv::Database& db) { db.execute(sql); });
    }

    std::unique_ptr<srv::ServerInstance> m_a, m_b;
};

TEST_P(TwoServers, GivenALogoutOnOneServer_WhenTheTokenIsUsedOnEither_ThenItIsRefused) {
    const std::string token = m_a->loginToken("teste", "teste");
    const std::string other = m_a->loginToken("teste", "teste");
    // Both servers know the token before the logout.
    ASSERT_EQ(call(*m_a, token), 200);
    ASSERT_EQ(call(*m_b, token), 200);
    EXPECT_EQ(logout(*m_a, token), 200);
    EXPECT_EQ(call(*m_a, token), 401); // at once where it was ended
    const double took = secondsUntilRefusedByBoth(token);
    EXPECT_GE(took, 0.0) << "the other server still accepts the token";
    // Logging out twice is refused; the operator's other session lives on.
    EXPECT_EQ(logout(*m_b, token), 401);
    EXPECT_EQ(call(*m_b, other), 200);
}

TEST_P(TwoServers, GivenADeactivatedOperatorOrADeletedSession_WhenUsed_ThenRefusedWithinSeconds) {
    const std::string deleted = m_a->loginToken("teste", "teste");
    const std::string deactivated = m_a->loginToken("fase", "fase");
    ASSERT_EQ(call(*m_a, deleted), 200);
    ASSERT_EQ(call(*m_b, deleted), 200);
    ASSERT_EQ(call(*m_a, deactivated), 200);
    ASSERT_EQ(call(*m_b, deactivated), 200);

    onDatabase("DELETE FROM SESSAOOPERADOR WHERE CDSESSAO = '" + deleted + "'");
    EXPECT_GE(secondsUntilRefusedByBoth(deleted), 0.0);
    onDatabase("UPDATE OPERADOR SET IDATIVO = 'N' WHERE CDOPERADOR = 'fase'");
    EXPECT_GE(secondsUntilRefusedByBoth(deactivated), 0.0);
    // Nor can the deactivated operator log in again.
    EXPECT_THROW(m_b->loginToken("fase", "fase"), std::runtime_error);
}

INSTANTIATE_TEST_SUITE_P(Backends, TwoServers,
                         ::testing::Values(TestDatabases::Kind::SqliteFile,
                                           TestDatabases::Kind::Postgres),
                         [](const auto& info) { return TestDatabases::name(info.param); });

} // namespace
