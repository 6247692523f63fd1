// The server through real HTTP on loopback: the protocol, its error answers, keep-alive and
// concurrent clients.
#include "server/ServerInstance.h"
#include "server/methods/Methods.h"
#include "server/rpc/RpcRequest.h"
#include "server/rpc/Sessions.h"
#include "tests/server/RpcTestClient.h"
#include "tests/store/TestDatabases.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <ctime>
#include <thread>

namespace {

const std::string kBudget = std::string("/rpc/") + srv::kModuleCalcOrcaOper;

class OverHttp : public ::testing::Test {
protected:
    void SetUp() override {
        // A refusal sent before an oversized body is read closes the connection under the
        // client's writes.
        std::signal(SIGPIPE, SIG_IGN);
        srv::ServerOptions options;
        options.db = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
        options.testFixture = true;
        options.maxBodyBytes = 1 << 20;
        options.threads = 4;
        m_server = std::make_unique<srv::ServerInstance>(options);
        m_client = std::make_unique<httplib::Client>("127.0.0.1", m_server->port());
        m_client->set_keep_alive(true);
        Answer login = post("/login", R"({"operator":"teste","password":"teste"})", "", 200);
        ASSERT_TRUE(login.ok) << login.error;
        m_token = login.token;
    }

    // Posts a body, checks the status, and decodes the JSON answer that every status carries.
    Answer post(const std::string& path, const std::string& body, const std::string& token,
                int status) {
        httplib::Headers headers;
        if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
        auto res = m_client->Post(path.c_str(), headers, body, "application/json");
        if (!res) {
            ADD_FAILURE() << "no answer for " << path;
            return {};
        }
        EXPECT_EQ(res->status, status) << path << " " << res->body;
        EXPECT_EQ(res->get_header_value("Content-Type").rfind("application/json", 0), 0u);
        return Answer::parse(res->body);
    }

    std::string request(const std::string& method, std::vector<srv::RpcParam> params) {
        return srv::RpcRequest{method, std::move(params)}.toJson();
    }

    std::string januaryOf0001() {
        Answer a =
            post(kBudget,
                 request("GetDadosOrcamento", {val("2026"), val(2), val("teste"), byref("_0001_"),
                                               byref("T"), byref("T"), byref("T")}),
                 m_token, 200);
        return dumpRows(a.packet(2), {"NRSEQITEMORCA", "VRORCAMENTOJAN"});
    }

    std::unique_ptr<srv::ServerInstance> m_server;
    std::unique_ptr<httplib::Client> m_client;
    std::string m_token;
};

TEST_F(OverHttp, GivenALoggedInClient_WhenCallingOverOneConnection_ThenAnswersAndByrefComeBack) {
    for (int i = 0; i < 3; ++i) {
        Answer a = post(kBudget, request("GetMaiorVersao", {byref("2026")}), m_token, 200);
        ASSERT_TRUE(a.ok) << a.error;
        EXPECT_EQ(dumpRows(a.packet()), "2|01\n");
        EXPECT_EQ(a.byref.at(0).toText(), "2026");
    }
    // An array of packets and two by-reference arguments travel back on the same connection.
    Answer services =
        post(kBudget, request("GetSimulaFat", {byref("_0001_"), val("2026"), val(2), byref("3")}),
             m_token, 200);
    ASSERT_TRUE(services.ok) << services.error;
    EXPECT_EQ(dumpRows(services.packet(1), {"CDFILIAL", "CDSERVFILI"}),
              "0001|S01\n0001|S02\n0001|S03\n");
    EXPECT_EQ(services.byref.at(0).toText(), "_0001_");
    EXPECT_EQ(services.byref.at(3).toText(), "3");
}

TEST_F(OverHttp, GivenBadRequests_WhenPosted_ThenEachGetsAnErrorAnswerAndNothingIsWritten) {
    const std::string before = januaryOf0001();
    const std::string save = request(
        "SetItensOrcFatCons", {byref(Variant()), val("N"), val("2026"), val(2), val("teste"),
                               val("N"), val(false), val(false), val(Variant()), val(""),
                               val(Variant::fromDate(46000)), val(Variant::fromDate(46000))});
    struct Case {
        const char* what;
        std::string path;
        std::string body;
        std::string token;
        int status;
        const char* error;
    };
    const std::string forged(32, 'a');
    const Case cases[] = {
        {"no token", kBudget, save, "", 401, "Sessão não informada"},
        {"forged token", kBudget, save, forged, 401, "Sessão inválida"},
        {"junk token", kBudget, save, "x y", 401, "Sessão inválida"},
        {"malformed JSON", kBudget, "{\"method\":", m_token, 400, "Requisição inválida"},
        {"unknown module", "/rpc/FYN99999.rdmNada", save, m_token, 404,
         "Módulo remoto desconhecido"},
        {"unknown method", kBudget, request("Apagar", {}), m_token, 404, "Método desconhecido"},
        {"too few arguments", kBudget, request("GetVersao", {byref("2026")}), m_token, 400,
         "GetVersao: número de argumentos inválido (esperado 3, recebido 1)."},
        {"wrong kind", kBudget, request("GetVersao", {byref(2026), byref(1.0), byref("")}), m_token,
         400, "GetVersao: argumento 1 deve ser texto (recebido inteiro)."},
        {"delta not a packet", kBudget,
         request("SetItensOrcFatCons",
                 {byref("x"), val("N"), val("2026"), val(2), val("teste"), val("N"), val(false),
                  val(false), val(Variant()), val(""), val(Variant::fromDate(46000)),
                  val(Variant::fromDate(46000))}),
         m_token, 400, "pacote de dados ou nulo"},
        {"bad login body", "/login", "{}", "", 400, "Requisição inválida"},
        {"unknown path", "/rpc", "{}", m_token, 404, "Endereço não atendido"},
        {"oversized body", kBudget, std::string(2 << 20, ' '), m_token, 413, "tamanho máximo"},
    };
    for (const Case& c : cases) {
        Answer a = post(c.path, c.body, c.token, c.status);
        EXPECT_FALSE(a.ok) << c.what;
        EXPECT_NE(a.error.find(c.error), std::string::npos) << c.what << ": " << a.error;
    }
    // The server is still there and nothing changed.
    EXPECT_EQ(januaryOf0001(), before);
}

TEST_F(OverHttp, GivenManyClients_WhenLoadingAtOnce_ThenEveryoneGetsTheSameBudget) {
    const std::string expected = januaryOf0001();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            httplib::Client c("127.0.0.1", m_server->port());
            c.set_keep_alive(true);
            httplib::Headers h{{"Authorization", "Bearer " + m_token}};
            const std::string body =
                request("GetDadosOrcamento", {val("2026"), val(2), val("teste"), byref("_0001_"),
                                              byref("T"), byref("T"), byref("T")});
            for (int i = 0; i < 10; ++i) {
                auto res = c.Post(kBudget.c_str(), h, body, "application/json");
                if (!res || res->status != 200 ||
                    dumpRows(Answer::parse(res->body).packet(2),
                             {"NRSEQITEMORCA", "VRORCAMENTOJAN"}) != expected)
                    ++failures;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(ServerStart, GivenABadListenAddressOrDatabase_WhenStarting_ThenItThrowsWithTheReason) {
    srv::ServerOptions bad;
    bad.listen = "127.0.0.1";
    EXPECT_THROW(srv::ServerInstance{bad}, std::runtime_error);
    bad.listen = "127.0.0.1:99999";
    EXPECT_THROW(srv::ServerInstance{bad}, std::runtime_error);
    bad.listen = "127.0.0.1:0";
    bad.db = "/nonexistent-folder/company.sqlite";
    EXPECT_THROW(srv::ServerInstance{bad}, std::runtime_error);
    bad.db = "postgresql://nobody@127.0.0.1:1/none";
    EXPECT_THROW(srv::ServerInstance{bad}, std::runtime_error);

    srv::ServerOptions first;
    srv::ServerInstance a(first);
    srv::ServerOptions clash;
    clash.listen = "127.0.0.1:" + std::to_string(a.port());
    EXPECT_THROW(srv::ServerInstance{clash}, std::runtime_error);
    a.stop();
    a.stop(); // idempotent
}

} // namespace

namespace {

TEST(Sessions, GivenTwoServersOnOneDatabase_WhenATokenOfOneIsUsedOnTheOther_ThenItIsAccepted) {
    srv::ServerOptions options;
    options.db = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
    options.testFixture = true;
    srv::ServerInstance first(options);
    srv::ServerInstance second(options); // same file, already filled: not filled again
    const std::string token = first.loginToken("teste", "teste");
    const std::string call = srv::RpcRequest{"GetParametro", {}}.toJson();
    EXPECT_TRUE(Answer::parse(second.dispatch(token, srv::kModuleCalcOrcaOper, call)).ok);
    // A token that no server issued is refused by both.
    const std::string forged(32, '0');
    EXPECT_FALSE(Answer::parse(first.dispatch(forged, srv::kModuleCalcOrcaOper, call)).ok);
    EXPECT_FALSE(Answer::parse(second.dispatch(forged, srv::kModuleCalcOrcaOper, call)).ok);
}

TEST(Sessions, GivenAnExpiredSession_WhenUsed_ThenItIsRefused) {
    srv::ServerOptions options;
    options.db = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
    options.testFixture = true;
    srv::ServerInstance server(options);
    srv::Sessions shortLived(server.store(), std::chrono::seconds(0));
    const std::string token = shortLived.login("teste", "teste").token;
    EXPECT_FALSE(shortLived.operatorFor(token).has_value());
    // Nor does another server accept it from the database.
    const std::string call = srv::RpcRequest{"GetParametro", {}}.toJson();
    EXPECT_FALSE(Answer::parse(server.dispatch(token, srv::kModuleCalcOrcaOper, call)).ok);
    srv::Sessions normal(server.store());
    const std::string live = normal.login("teste", "teste").token;
    EXPECT_EQ(normal.operatorFor(live).value_or(""), "teste");
}

} // namespace

namespace {

TEST(ServerStart, GivenTheDemoOption_WhenStartingOnAnEmptyDatabase_ThenTheDemoCompanyIsServed) {
    srv::ServerOptions options;
    options.db = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
    options.demo = true;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const std::string year = std::to_string(tm.tm_year + 1900);
    {
        srv::ServerInstance server(options);
        RpcTestClient demo(server, "demo", "demo");
        Answer latest = demo.budget("GetMaiorVersao", {byref(year)});
        ASSERT_TRUE(latest.ok) << latest.error;
        EXPECT_EQ(dumpRows(latest.packet()), "3|01\n");
        Answer budget =
            demo.budget("GetDadosOrcamento", {val(year), val(3), val("demo"), byref("T"),
                                              byref("T"), byref("T"), byref("T")});
        ASSERT_TRUE(budget.ok) << budget.error;
        EXPECT_EQ(budget.packet(0).rows.size(), 20u); // 0021..0024 have no budget
    }
    // A second start on the same file keeps what is there instead of filling again.
    srv::ServerInstance again(options);
    RpcTestClient demo(again, "demo", "demo");
    EXPECT_EQ(demo.budget("GetListaFilial", {val("demo"), byref("T"), byref("T"), val("N")})
                  .packet()
                  .rows.size(),
              24u);
}

} // namespace
