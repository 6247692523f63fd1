#include "services/data/DataPacket.h"
#include "services/data/EAbort.h"
#include "services/lib/Velmora.h"
#include "services/net/Lib00600.h"
#include "services/net/TNetConnection.h"
#include "tests/lib/FixedHost.h"
#include "tests/net/ProtocolTestServer.h"

#include <gtest/gtest.h>

namespace {

// A connection set up the way the main screen does: the host decides address and port.
void aimThroughHost(TNetConnection& net, const std::string& module) {
    net.ServerName = module;
    net.BeforeConnect = [](TNetConnection& c) {
        c.Host = WebURL();
        c.Port = WebPort();
    };
}

DataPacket phasePacket(const char* calc) {
    DataPacket p;
    p.fields = {{"CDOPERADOR", FieldType::String, 12},
                {"IDFASECALCORCA", FieldType::String, 1},
                {"NMFASEORCOPERAC", FieldType::String, 100}};
    p.rows = {{Variant("demo"), Variant(calc), Variant("Elaboração")}};
    return p;
}

} // namespace

TEST(NetHost, GivenHostServices_WhenCalling_ThenAddressAndLoginTokenComeFromTheHost) {
    ProtocolTestServer server(
        [](const httplib::Request&) { return ProtocolTestServer::ok(R"({"type":"null"})"); });
    HeadlessHost env;
    env.host.port = server.port();
    env.host.token = "session-42";
    TNetConnection net;
    aimThroughHost(net, "FYN10000.rdmCalcOrcaOper");

    ASSERT_TRUE(net.AppServer("GetParametro", {}).ok);

    EXPECT_EQ(server.last().authorization, "Bearer session-42");
}

TEST(NetPhase,
     GivenTheOperatorsPhase_WhenChecking_ThenTheOperatorAndYearGoOutAndThePacketComesBack) {
    const DataPacket phase = phasePacket("S");
    ProtocolTestServer server([&](const httplib::Request&) {
        return ProtocolTestServer::ok(variantToJson(Variant(phase)));
    });
    HeadlessHost env;
    env.host.port = server.port();
    TNetConnection netGestaoOperac;
    aimThroughHost(netGestaoOperac, "Fyn00000.rdmGestaoOperac");

    const Variant answer = Verifica_Fase_Operador(netGestaoOperac, "2026");

    ASSERT_EQ(answer.type(), VarType::Packet);
    EXPECT_EQ(answer.packet(), phase);
    EXPECT_EQ(server.last().path, "/rpc/Fyn00000.rdmGestaoOperac");
    EXPECT_EQ(server.last().body, R"({"method":"VerificaFaseOperador","params":[)"
                                  R"({"value":{"type":"text","value":"demo"},"byref":false},)"
                                  R"({"value":{"type":"text","value":"2026"},"byref":false}]})");
    EXPECT_EQ(env.platform.messagesText(), "");
}

TEST(NetPhase, GivenARefusalOrANonPacket_WhenChecking_ThenTheMessageShowsAndTheOperationEnds) {
    std::string reply = R"({"ok":false,"error":"Operador sem acesso ao módulo."})";
    ProtocolTestServer server([&](const httplib::Request&) {
        return ProtocolTestServer::Reply{200, reply};
    });
    HeadlessHost env;
    env.host.port = server.port();
    TNetConnection net;
    aimThroughHost(net, "Fyn00000.rdmGestaoOperac");

    EXPECT_THROW(Verifica_Fase_Operador(net, "2026"), EAbort);
    reply = R"({"ok":true,"result":{"type":"text","value":"S"}})";
    EXPECT_THROW(Verifica_Fase_Operador(net, "2026"), EAbort);

    EXPECT_EQ(env.platform.messagesText(),
              "error: Operador sem acesso ao módulo.\n"
              "error: Resposta inválida do servidor de aplicação para VerificaFaseOperador: era "
              "esperado um pacote de dados.\n");
}

TEST(NetPhase, GivenAnUnreachableServer_WhenAScreenHandlerChecksThePhase_ThenItEndsWithTheMessage) {
    HeadlessHost env;
    env.host.port = closedLoopbackPort();
    TNetConnection net;
    aimThroughHost(net, "Fyn00000.rdmGestaoOperac");
    net.ConnectTimeoutMs = 1000;
    bool loaded = false;

    const bool completed = env.app.dispatch([&] {
        Verifica_Fase_Operador(net, "2026");
        loaded = true;
    });

    EXPECT_FALSE(completed);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(env.platform.messagesText(),
              "error: Servidor de aplicação inacessível em 127.0.0.1:" +
                  std::to_string(env.host.port) + ".\n");
}
