// The real server over real sockets against clients that do not play fair: slow, silent,
// crowding, unauthenticated, with ambiguous framing, bad text and bad dates.
#include "server/ServerInstance.h"
#include "server/methods/Methods.h"
#include "server/rpc/RpcRequest.h"
#include "tests/server/RawConnection.h"
#include "tests/server/RpcTestClient.h"
#include "tests/server/ServerFixture.h"
#include "tests/server/ServerProcess.h"
#include "tests/store/TestDatabases.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
const std::string kBudget = std::string("/rpc/") + srv::kModuleCalcOrcaOper;

std::string request(const std::string& method, std::vector<srv::RpcParam> params) {
    return srv::RpcRequest{method, std::move(params)}.toJson();
}

const std::string kLoad =
    request("GetDadosOrcamento",
            {val("2026"), val(2), val("teste"), byref("T"), byref("T"), byref("T"), byref("T")});

// An HTTP request as bytes: the header lines given, then the body.
std::string raw(const std::string& start, const std::vector<std::string>& headers,
                const std::string& body = {}) {
    std::string s = start + "\r\nHost: 127.0.0.1\r\n";
    for (const std::string& h : headers)
        s += h + "\r\n";
    return s + "\r\n" + body;
}

class HostileClients : public ::testing::Test {
protected:
    void SetUp() override {
        std::signal(SIGPIPE, SIG_IGN);
        m_options.db = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
        m_options.testFixture = true;
        m_options.maxBodyBytes = 1 << 20;
        m_options.threads = 4;
    }

    void start() {
        m_server = std::make_unique<srv::ServerInstance>(m_options);
        m_token = m_server->loginToken("teste", "teste");
    }

    // POSTs with an HTTP library, as the module does; the status and the decoded answer.
    std::pair<int, Answer> post(const std::string& path, const std::string& body,
                                const std::string& token, httplib::Headers headers = {},
                                const std::string& type = "application/json") {
        httplib::Client c("127.0.0.1", m_server->port());
        c.set_read_timeout(30, 0);
        if (!token.empty()) headers.emplace("Authorization", "Bearer " + token);
        auto res = c.Post(path.c_str(), headers, body, type.c_str());
        if (!res) return {0, Answer{}};
        return {res->status, Answer::parse(res->body)};
    }

    std::string auth() const { return "Authorization: Bearer " + m_token; }
    int port() const { return m_server->port(); }

    srv::ServerOptions m_options;
    std::unique_ptr<srv::ServerInstance> m_server;
    std::string m_token;
};

TEST_F(HostileClients,
       GivenHundredsOfIdleAndDrippingConnections_WhenAClientLoadsTheBudget_ThenItIsServed) {
    start();
    auto [quietStatus, quiet] = post(kBudget, kLoad, m_token);
    ASSERT_EQ(quietStatus, 200);
    const std::string expected = dumpRows(quiet.packet(1));
    // 400 connections from 10 addresses (under the per-address cap): half never send a byte,
    // half send a header line now and then but never finish.
    std::vector<std::unique_ptr<RawConnection>> idle, dripping;
    for (int i = 0; i < 400; ++i) {
        auto c = std::make_unique<RawConnection>(port(), "127.0.0." + std::to_string(2 + i % 10));
        ASSERT_TRUE(c->connected()) << i;
        if (i % 2) {
            c->send("POST " + kBudget + " HTTP/1.1\r\nHost: x\r\n");
            dripping.push_back(std::move(c));
        } else {
            idle.push_back(std::move(c));
        }
    }
    std::atomic<bool> done{false};
    std::thread drip([&] {
        while (!done) {
            for (auto& c : dripping)
                c->send("X-Slow: 1\r\n");
            std::this_thread::sleep_for(200ms);
        }
    });
    int served = 0;
    double slowest = 0;
    for (int i = 0; i < 5; ++i) {
        const auto t0 = Clock::now();
        auto [status, answer] = post(kBudget, kLoad, m_token);
        slowest = std::max(slowest, std::chrono::duration<double>(Clock::now() - t0).count());
        if (status == 200 && answer.ok && dumpRows(answer.packet(1)) == expected) ++served;
    }
    done = true;
    drip.join();
    EXPECT_EQ(served, 5);
    // Generous: a thread-per-connection server held every call for tens of seconds.
    EXPECT_LT(slowest, 5.0);
}

TEST_F(HostileClients, GivenAHeaderThatNeverEnds_WhenTheDeadlinePasses_ThenTheServerHangsUp) {
    m_options.http.headerTimeoutSeconds = 1;
    start();
    RawConnection silent(port());
    RawConnection partial(port());
    partial.send("POST /login HTTP/1.1\r\nHost: x\r\n");
    RawConnection dripping(port());
    dripping.send("POST /login HTTP/1.1\r\n");
    const auto t0 = Clock::now();
    for (int i = 0; i < 20 && dripping.send("X-Slow: 1\r\n"); ++i)
        std::this_thread::sleep_for(200ms);
    EXPECT_TRUE(dripping.closedWithin(3s));
    EXPECT_TRUE(partial.closedWithin(1s));
    EXPECT_TRUE(silent.closedWithin(1s));
    // Not refused on sight: the deadline ran first.
    EXPECT_GE(Clock::now() - t0, 900ms);
    // A prompt client is still served.
    EXPECT_EQ(post("/login", R"({"operator":"teste","password":"teste"})", "").first, 200);
}

TEST_F(HostileClients, GivenABodyThatStopsArriving_WhenItFallsBelowTheRate_ThenTheServerHangsUp) {
    m_options.http.headerTimeoutSeconds = 1;
    start();
    RawConnection stalled(port());
    stalled.send(raw("POST " + kBudget + " HTTP/1.1",
                     {auth(), "Content-Type: application/json", "Content-Length: 1000000"},
                     R"({"method":"GetParametro",)"));
    const auto t0 = Clock::now();
    EXPECT_TRUE(stalled.closedWithin(5s));
    EXPECT_GE(Clock::now() - t0, 900ms);
    // A body announced beyond the limit is refused at once, before a byte of it is read.
    RawConnection huge(port());
    huge.send(raw("POST " + kBudget + " HTTP/1.1", {auth(), "Content-Type: application/json",
                                                    "Content-Length: 1000000000000000000"}));
    EXPECT_EQ(huge.status(2s), 413);
}

TEST_F(HostileClients, GivenNoSession_WhenALargeBodyIsAnnounced_ThenTheRefusalComesBeforeTheBody) {
    start();
    struct Case {
        const char* what;
        std::string header;
        int status;
    };
    const Case cases[] = {
        {"no token",
         raw("POST " + kBudget + " HTTP/1.1",
             {"Content-Type: application/json", "Content-Length: 63000000"}),
         401},
        {"forged token",
         raw("POST " + kBudget + " HTTP/1.1",
             {"Authorization: Bearer " + std::string(32, 'a'), "Content-Type: application/json",
              "Content-Length: 63000000"}),
         401},
        {"large login",
         raw("POST /login HTTP/1.1",
             {"Content-Type: application/json", "Content-Length: 63000000"}),
         413},
        {"chunked without session",
         raw("POST " + kBudget + " HTTP/1.1",
             {"Content-Type: application/json", "Transfer-Encoding: chunked"}),
         401},
    };
    for (const Case& c : cases) {
        RawConnection conn(port());
        conn.send(c.header);
        EXPECT_EQ(conn.status(3s), c.status) << c.what;
        const std::string answer = conn.receive(1s);
        EXPECT_NE(answer.find("\"ok\":false"), std::string::npos) << c.what << ": " << answer;
    }
}

TEST_F(HostileClients, GivenManyConnectionsFromOneAddress_WhenOverTheCap_ThenOnlyThatAddressWaits) {
    m_options.http.maxConnectionsPerAddress = 4;
    start();
    // The status of an empty login from an address (400: it was heard), 0 when unanswered.
    auto loginFrom = [&](const std::string& from) {
        RawConnection c(port(), from);
        c.send(raw("POST /login HTTP/1.1", {"Content-Type: application/json", "Content-Length: 2"},
                   "{}"));
        return c.status(2s);
    };
    std::vector<std::unique_ptr<RawConnection>> held;
    for (int i = 0; i < 4; ++i)
        held.push_back(std::make_unique<RawConnection>(port(), "127.0.0.7"));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(loginFrom("127.0.0.7"), 0);
    EXPECT_EQ(loginFrom("127.0.0.8"), 400);
    // Once one of the four leaves, the address is served again.
    held.pop_back();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(loginFrom("127.0.0.7"), 400);
}

TEST_F(HostileClients, GivenAmbiguousFramingOrAnotherContentType_WhenPosted_ThenItIsRefused) {
    start();
    const std::string body = request("GetParametro", {});
    const std::string length = "Content-Length: " + std::to_string(body.size());
    struct Case {
        const char* what;
        std::vector<std::string> headers;
        int status;
    };
    const Case cases[] = {
        {"two lengths", {auth(), "Content-Type: application/json", length, length}, 400},
        {"length and chunked",
         {auth(), "Content-Type: application/json", length, "Transfer-Encoding: chunked"},
         400},
        {"form", {auth(), "Content-Type: application/x-www-form-urlencoded", length}, 415},
        {"plain text", {auth(), "Content-Type: text/plain", length}, 415},
        {"no type", {auth(), length}, 415},
        {"json with charset",
         {auth(), "Content-Type: application/json; charset=utf-8", length},
         200},
    };
    for (const Case& c : cases) {
        RawConnection conn(port());
        conn.send(raw("POST " + kBudget + " HTTP/1.1", c.headers, body));
        EXPECT_EQ(conn.status(3s), c.status) << c.what;
    }
    // The same refusal in the JSON shape, through an ordinary client.
    auto [status, answer] =
        post(kBudget, "operator=teste", m_token, {}, "application/x-www-form-urlencoded");
    EXPECT_EQ(status, 415);
    EXPECT_NE(answer.error.find("application/json"), std::string::npos) << answer.error;
}

TEST_F(HostileClients, GivenARangeHeader_WhenCalling_ThenTheWholeAnswerComesBack) {
    start();
    auto [plainStatus, plain] = post(kBudget, kLoad, m_token);
    auto [rangeStatus, ranged] = post(kBudget, kLoad, m_token, {{"Range", "bytes=0-99"}});
    ASSERT_EQ(plainStatus, 200);
    EXPECT_EQ(rangeStatus, 200);
    ASSERT_TRUE(ranged.ok) << ranged.error;
    EXPECT_EQ(dumpRows(ranged.packet(1)), dumpRows(plain.packet(1)));
}

TEST_F(HostileClients, GivenBadTextsAndDates_WhenSent_ThenTheDecoderRefusesThemAndNothingIsStored) {
    start();
    RpcTestClient teste(*m_server, "teste", "teste");
    Answer loaded =
        teste.budget("GetDadosOrcamento", {val("2026"), val(2), val("teste"), byref("_0001_"),
                                           byref("T"), byref("T"), byref("T")});
    ASSERT_TRUE(loaded.ok) << loaded.error;
    const DataPacket& lines = loaded.packet(1);
    const int row = rowOf(lines, "0001", "F");
    ASSERT_GE(row, 0);
    auto save = [&](const Variant& delta) {
        const Variant day = Variant::fromDate(46000);
        return request("SetItensOrcFatCons",
                       {byref(delta), val("N"), val("2026"), val(2), val("teste"), val("N"),
                        val(false), val(false), val(Variant()), val(""), val(day), val(day)});
    };
    const std::string stored = dumpRows(lines);
    // A text with a NUL: the JSON escape survives encoding, the decoder must refuse it.
    const std::string withNul =
        save(Variant(modifiedDelta(lines, {{row,
                                            {{"IDALTERADO", Variant(std::string("S\0"
                                                                                "xxxx",
                                                                                6))}}}})));
    const std::string tooLong =
        save(Variant(modifiedDelta(lines, {{row, {{"IDALTERADO", Variant("SSSS")}}}})));
    const std::string farBaseMonth =
        save(Variant(modifiedDelta(lines, {{row, {{"DTMESBASEITEM", Variant::fromDate(1e300)}}}})));
    std::string badUtf8 =
        save(Variant(modifiedDelta(lines, {{row, {{"IDALTERADO", Variant("Q")}}}})));
    badUtf8.replace(badUtf8.find("\"Q\""), 3, "\"\xC3\x28\"");
    const Variant day = Variant::fromDate(46000);
    const std::string farPeriod =
        request("SetItensOrcFatCons",
                {byref(Variant()), val("N"), val("2026"), val(2), val("teste"), val("N"),
                 val(false), val(false), val(Variant()), val(""), val(1e300), val(day)});
    struct Case {
        const char* what;
        std::string body;
        const char* error;
    };
    const Case cases[] = {
        {"NUL in a text", withNul, "caractere nulo"},
        {"text longer than its column", tooLong, "Texto longo demais em IDALTERADO"},
        {"base month in year 1e300", farBaseMonth, "data fora do intervalo de 1900 a 9999"},
        {"invalid UTF-8", badUtf8, "UTF-8"},
        {"period start in year 1e300", farPeriod, "data fora do intervalo de 1900 a 9999"},
        {"login with invalid UTF-8", "", "UTF-8"},
    };
    for (const Case& c : cases) {
        const bool login = c.body.empty();
        auto [status, answer] =
            login ? post("/login", "{\"operator\":\"\xFF\",\"password\":\"x\"}", "")
                  : post(kBudget, c.body, m_token);
        EXPECT_EQ(status, 400) << c.what << ": " << answer.error;
        EXPECT_NE(answer.error.find(c.error), std::string::npos) << c.what << ": " << answer.error;
    }
    Answer after =
        teste.budget("GetDadosOrcamento", {val("2026"), val(2), val("teste"), byref("_0001_"),
                                           byref("T"), byref("T"), byref("T")});
    EXPECT_EQ(dumpRows(after.packet(1)), stored);
}

TEST_F(HostileClients, GivenRepeatedWrongPasswords_WhenLoggingInAgain_ThenTheOperatorMustWait) {
    start();
    const std::string wrong = R"({"operator":"teste","password":"errada"})";
    std::string statuses;
    for (int i = 0; i < 5; ++i)
        statuses += std::to_string(post("/login", wrong, "").first) + " ";
    // Even the right password waits now; the message says for how long.
    auto [status, answer] = post("/login", R"({"operator":"teste","password":"teste"})", "");
    statuses += std::to_string(status);
    EXPECT_EQ(statuses, "401 401 401 401 401 429");
    EXPECT_EQ(answer.error,
              "Muitas tentativas de login sem sucesso. Aguarde 1 segundo e tente novamente.");
    // Another operator from the same address is not held up by it.
    EXPECT_EQ(post("/login", R"({"operator":"fase","password":"fase"})", "").first, 200);
    std::this_thread::sleep_for(1100ms);
    EXPECT_EQ(post("/login", R"({"operator":"teste","password":"teste"})", "").first, 200);
}

TEST_F(HostileClients,
       GivenGuessesFromOneAddress_WhenTheyRunOverManyOperators_ThenTheAddressWaits) {
    start();
    int refused = 0;
    for (int i = 0; i < 20; ++i) {
        auto [status, answer] =
            post("/login", "{\"operator\":\"x" + std::to_string(i) + "\",\"password\":\"y\"}", "");
        refused += status == 401;
    }
    EXPECT_EQ(refused, 20);
    // The address waits whoever it tries, even with the right password.
    EXPECT_EQ(post("/login", R"({"operator":"teste","password":"teste"})", "").first, 429);
}

TEST(LoginTiming, GivenUnknownAndKnownOperators_WhenTheLoginFails_ThenBothTakeAlike) {
    std::signal(SIGPIPE, SIG_IGN);
    srv::ServerOptions options;
    options.db = TestDatabases::newSpec(TestDatabases::Kind::SqliteFile);
    options.demo = true; // passwords hashed at full strength, as in production
    srv::ServerInstance server(options);
    httplib::Client c("127.0.0.1", server.port());
    auto timed = [&](const std::string& op) {
        const auto t0 = Clock::now();
        auto res = c.Post("/login", "{\"operator\":\"" + op + "\",\"password\":\"errada\"}",
                          "application/json");
        EXPECT_TRUE(res && res->status == 401) << op;
        return std::chrono::duration<double>(Clock::now() - t0).count();
    };
    std::vector<double> known, unknown;
    for (int round = 0; round < 2; ++round)
        for (const char* op : {"demo", "filial", "fase"}) {
            known.push_back(timed(op));
            unknown.push_back(timed("ninguem" + std::to_string(known.size())));
        }
    std::sort(known.begin(), known.end());
    std::sort(unknown.begin(), unknown.end());
    const double ratio = unknown[unknown.size() / 2] / known[known.size() / 2];
    // Skipping the password work answered unknown operators about 50 times sooner.
    EXPECT_GT(ratio, 0.5) << "unknown " << unknown[3] << " s, known " << known[3] << " s";
}

TEST(ServerMemory, GivenLargeBodiesWithoutASession_WhenSentAtOnce_ThenTheServerDoesNotHoldThem) {
    std::signal(SIGPIPE, SIG_IGN);
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("fyn-memory-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ServerProcess server((dir / "company.sqlite").string(), dir / "server.log");
    ASSERT_GT(server.port(), 0) << "server did not start";
    const long before = server.residentKiB();
    // 16 clients each pushing a 63 MB body at a call without a token, all at once.
    const std::string chunk(1 << 20, '[');
    std::vector<std::thread> clients;
    std::atomic<int> refused{0};
    for (int i = 0; i < 16; ++i)
        clients.emplace_back([&] {
            RawConnection c(server.port());
            c.send(raw("POST " + kBudget + " HTTP/1.1",
                       {"Content-Type: application/json", "Content-Length: 66060288"}));
            for (int mb = 0; mb < 63 && c.send(chunk); ++mb) {
            }
            refused += c.status(5s) == 401;
        });
    for (auto& t : clients)
        t.join();
    const long after = server.residentKiB();
    EXPECT_EQ(refused.load(), 16);
    ASSERT_GT(before, 0);
    // Reading the bodies first had taken the server from 78 MB to 797 MB.
    EXPECT_LT(after - before, 64 * 1024) << before << " KiB before, " << after << " KiB after";
    fs::remove_all(dir);
}

TEST(ServerStop, GivenSlowAndSilentClients_WhenSigtermArrives_ThenTheServerExitsWithinFiveSeconds) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("fyn-stop-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ServerProcess server((dir / "company.sqlite").string(), dir / "server.log");
    ASSERT_GT(server.port(), 0) << "server did not start";
    RawConnection silent(server.port());
    RawConnection partial(server.port());
    partial.send("POST /login HTTP/1.1\r\nHost: x\r\nContent-Le");
    RawConnection body(server.port());
    body.send(raw("POST /login HTTP/1.1",
                  {"Content-Type: application/json", "Content-Length: 5000"}, "{\"oper"));
    std::atomic<bool> done{false};
    RawConnection dripping(server.port());
    dripping.send("POST /login HTTP/1.1\r\n");
    std::thread drip([&] {
        while (!done && dripping.send("X: 1\r\n"))
            std::this_thread::sleep_for(100ms);
    });
    std::this_thread::sleep_for(300ms);
    const auto t0 = Clock::now();
    const std::optional<int> status = server.signalAndWaitFor(SIGTERM, 5.0);
    done = true;
    drip.join();
    ASSERT_TRUE(status.has_value()) << "still running 5 s after SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
    EXPECT_LT(Clock::now() - t0, 5s);
    fs::remove_all(dir);
}

} // namespace
