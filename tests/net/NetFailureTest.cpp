#include "services/net/TNetConnection.h"
#include "tests/net/ProtocolTestServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Reply = ProtocolTestServer::Reply;

void aim(TNetConnection& net, int port) {
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.Token = "tok";
    net.Host = "127.0.0.1";
    net.Port = port;
    net.ConnectTimeoutMs = 1000;
    net.ReadTimeoutMs = 400;
}

RemoteResult callAgainst(const Reply& reply) {
    ProtocolTestServer server([&](const httplib::Request&) { return reply; });
    TNetConnection net;
    aim(net, server.port());
    return net.AppServer("GetParametro", {});
}

} // namespace

TEST(NetFailure, GivenNoServerListening_WhenCalling_ThenAFailedAnswerNamesTheAddress) {
    const int port = closedLoopbackPort();
    TNetConnection net;
    aim(net, port);

    const RemoteResult r = net.AppServer("GetParametro", {});

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error,
              "Servidor de aplicação inacessível em 127.0.0.1:" + std::to_string(port) + ".");
}

TEST(NetFailure, GivenAServerSlowerThanTheReadTimeout_WhenCalling_ThenATimeoutIsReported) {
    ProtocolTestServer server([](const httplib::Request&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1200));
        return ProtocolTestServer::ok(R"({"type":"null"})");
    });
    TNetConnection net;
    aim(net, server.port());

    const RemoteResult r = net.AppServer("GetParametro", {});

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "O servidor de aplicação em 127.0.0.1:" + std::to_string(server.port()) +
                           " não respondeu a tempo.");
}

TEST(NetFailure, GivenATimedOutCall_WhenCallingAgain_ThenTheLateAnswerIsNotTakenForTheNewOne) {
    std::atomic<int> calls{0};
    ProtocolTestServer server([&](const httplib::Request&) {
        const int n = ++calls;
        if (n == 1) std::this_thread::sleep_for(std::chrono::milliseconds(900));
        return ProtocolTestServer::ok(R"({"type":"integer","value":)" + std::to_string(n) + "}");
    });
    TNetConnection net;
    aim(net, server.port());

    EXPECT_FALSE(net.AppServer("Slow", {}).ok);
    // Let the late answer reach the socket it was meant for.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    const RemoteResult second = net.AppServer("Fast", {});

    EXPECT_TRUE(second.ok) << second.error;
    EXPECT_EQ(second.result, Variant(2));
}

TEST(NetFailure,
     GivenHttpErrorsAndMalformedBodies_WhenCalling_ThenEachIsAFailedAnswerWithItsReason) {
    struct Case {
        Reply reply;
        std::string expectedStart;
    };
    const std::vector<Case> cases = {
        // A refusal with our JSON body: its message wins whatever the status.
        {{401, R"({"ok":false,"error":"Sessão expirada."})"}, "Sessão expirada."},
        {{404, R"({"ok":false,"error":"Método desconhecido: X."})"}, "Método desconhecido: X."},
        // Anything else: the status.
        {{500, "<html>Internal error</html>", "text/html"},
         "O servidor de aplicação em 127.0.0.1:"},
        {{502, ""}, "O servidor de aplicação em 127.0.0.1:"},
        // 200 but not our shape.
        {{200, "not json"}, "Resposta inválida do servidor de aplicação para GetParametro"},
        {{200, R"({"result":{"type":"null"}})"},
         "Resposta inválida do servidor de aplicação para GetParametro"},
        {{200, R"({"ok":true})"}, "Resposta inválida do servidor de aplicação para GetParametro"},
        {{200, R"({"ok":true,"result":{"type":"integer","value":"x"}})"},
         "Resposta inválida do servidor de aplicação para GetParametro"},
        {{200, R"({"ok":true,"result":{"type":"null"}} trailing)"},
         "Resposta inválida do servidor de aplicação para GetParametro"},
        {{200, R"([1,2])"}, "Resposta inválida do servidor de aplicação para GetParametro"},
        {{200, R"({"ok":false})"},
         "O servidor de aplicação recusou GetParametro sem informar o motivo."},
    };
    for (const Case& c : cases) {
        const RemoteResult r = callAgainst(c.reply);
        EXPECT_FALSE(r.ok) << c.reply.body;
        EXPECT_EQ(r.error.rfind(c.expectedStart, 0), 0u) << c.reply.body << " -> " << r.error;
    }
    const RemoteResult http500 = callAgainst({500, "<html/>", "text/html"});
    EXPECT_NE(http500.error.find("erro HTTP 500"), std::string::npos) << http500.error;
}

TEST(NetFailure, GivenThrowExceptionSet_WhenTheCallFails_ThenENetErrorCarriesTheMessage) {
    ProtocolTestServer server(
        [](const httplib::Request&) { return ProtocolTestServer::error("Falhou."); });
    TNetConnection net;
    aim(net, server.port());
    net.ThrowException = true;

    try {
        net.AppServer("GetParametro", {});
        FAIL() << "no exception";
    } catch (const ENetError& e) {
        EXPECT_STREQ(e.what(), "Falhou.");
    }
}

TEST(NetFailure, GivenAnInvalidAddressOrNoModule_WhenCalling_ThenAFailedAnswerSaysWhy) {
    TNetConnection noPort;
    noPort.ServerName = "FYN10000.rdmCalcOrcaOper";
    noPort.Host = "127.0.0.1";
    noPort.Port = 0;
    EXPECT_EQ(noPort.AppServer("M", {}).error,
              "Endereço do servidor de aplicação inválido: 127.0.0.1:0.");

    TNetConnection noModule;
    noModule.Host = "127.0.0.1";
    noModule.Port = 8080;
    EXPECT_EQ(noModule.AppServer("M", {}).error, "Conexão sem módulo remoto definido.");
}
