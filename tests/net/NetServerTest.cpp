#include "server/ServerInstance.h"
#include "services/data/DataPacket.h"
#include "services/data/EAbort.h"
#include "services/lib/Consiste.h"
#include "services/lib/Velmora.h"
#include "services/net/Lib00600.h"
#include "services/net/Login.h"
#include "services/net/TNetConnection.h"
#include "tests/lib/FixedHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The real application server on loopback with the shared test company, and a headless host
// logged in as `op`.
class NetServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        srv::ServerOptions options;
        options.testFixture = true;
        s_server = std::make_unique<srv::ServerInstance>(options);
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void logIn(const std::string& op, const std::string& password) {
        const LoginResult login = Login("127.0.0.1", s_server->port(), op, password);
        ASSERT_TRUE(login.ok) << login.error;
        env.host.op = op;
        env.host.name = login.name;
        env.host.token = login.token;
        env.host.port = s_server->port();
    }

    // A connection set up like the screens': the host gives the address at every connect.
    void aim(TNetConnection& net, const std::string& module) {
        net.ServerName = module;
        net.BeforeConnect = [](TNetConnection& c) {
            c.Host = WebURL();
            c.Port = WebPort();
        };
    }

    static std::unique_ptr<srv::ServerInstance> s_server;
    HeadlessHost env;
};

std::unique_ptr<srv::ServerInstance> NetServer::s_server;

} // namespace

TEST_F(NetServer, GivenRightAndWrongPasswords_WhenLoggingIn_ThenATokenOrARefusal) {
    const LoginResult good = Login("127.0.0.1", s_server->port(), "teste", "teste");
    EXPECT_TRUE(good.ok) << good.error;
    EXPECT_FALSE(good.token.empty());

    const LoginResult bad = Login("127.0.0.1", s_server->port(), "teste", "errada");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.empty());
    EXPECT_TRUE(bad.token.empty());
}

TEST_F(NetServer, GivenALoggedInShell_WhenItLogsOut_ThenTheTokenIsEndedOnTheServer) {
    const LoginResult session = Login("127.0.0.1", s_server->port(), "teste", "teste");
    ASSERT_TRUE(session.ok) << session.error;
    EXPECT_TRUE(Logout("127.0.0.1", s_server->port(), session.token));
    // The server no longer knows it: a second logout is refused.
    EXPECT_FALSE(Logout("127.0.0.1", s_server->port(), session.token));
    // A server that is gone is no failure of the shell's closing.
    EXPECT_FALSE(Logout("127.0.0.1", 1, "0123456789abcdef0123456789abcdef", 500));
}

TEST_F(NetServer, GivenALoggedInOperator_WhenReadingTheModuleParameters_ThenOnePacketComesBack) {
    logIn("teste", "teste");
    TNetConnection netCalcOrcaOper;
    aim(netCalcOrcaOper, "FYN10000.rdmCalcOrcaOper");
    netCalcOrcaOper.SetConnected(true);

    const Variant payload = CheckResultServ(netCalcOrcaOper.AppServer("GetParametro", {}), true, 0);

    ASSERT_EQ(payload.type(), VarType::Packet);
    EXPECT_GE(payload.packet().fieldIndex("IDTIPOSIMULARESULTFAT"), 0);
    EXPECT_GE(payload.packet().fieldIndex("IDORCDESPENTROP"), 0);
    EXPECT_EQ(env.platform.messagesText(), "");
}

TEST_F(NetServer, GivenByRefArguments_WhenCheckingAVersion_ThenTheRealServerAnswersAndWritesBack) {
    logIn("teste", "teste");
    TNetConnection net;
    aim(net, "FYN10000.rdmCalcOrcaOper");
    std::string year = "2026";
    double version = 2;
    std::string kind;

    const Variant payload = CheckResultServ(
        net.AppServer("GetVersao", {Arg::ref(year), Arg::ref(version), Arg::ref(kind)}), true, 0);

    ASSERT_EQ(payload.type(), VarType::Packet);
    ASSERT_EQ(payload.packet().rows.size(), 1u);
    EXPECT_EQ(payload.packet().value(0, "NRMESINIVERORC"), Variant("01"));
    // The server may rewrite by-reference values; these stay meaningful either way.
    EXPECT_EQ(year, "2026");
    EXPECT_EQ(version, 2.0);
}

TEST_F(NetServer, GivenABudgetLoadAndASaveWithoutChanges_WhenSent_ThenBothReachTheServerWhole) {
    logIn("teste", "teste");
    TNetConnection net;
    aim(net, "FYN10000.rdmCalcOrcaOper");
    std::string branches = "_0001_0002_";
    std::string groups = "T", regions = "T", segments = "T";

    const Variant budget =
        CheckResultServ(net.AppServer("GetDadosOrcamento",
                                      {"2026", 2, Operador(), Arg::ref(branches), Arg::ref(groups),
                                       Arg::ref(regions), Arg::ref(segments)}),
                        true, 6);
    const DataPacket& orcamentoFilial = budget.array()[0].packet();
    ASSERT_EQ(orcamentoFilial.rows.size(), 2u);
    EXPECT_EQ(orcamentoFilial.value(0, "CDFILIAL"), Variant("0001"));

    // No pending changes: null goes as the changes and the server still answers.
    Variant changes;
    const double today = 46152;
    const Variant saved = CheckResultServ(
        net.AppServer("SetItensOrcFatCons",
                      {Arg::ref(changes), "N", "2026", 2, Operador(), "N", false, false,
                       budget.array()[4], "", Variant::fromDate(today), Variant::fromDate(today)}),
        true, 0);
    ASSERT_EQ(saved.type(), VarType::Packet);
    EXPECT_EQ(saved.packet().value(0, "Retorno"), Variant("OK"));
    EXPECT_EQ(env.platform.messagesText(), "");
}

TEST_F(NetServer, GivenAnOperatorWithAPhase_WhenCheckingIt_ThenTheMonthsClosedToItComeBack) {
    logIn("fase", "fase");
    TNetConnection netGestaoOperac;
    aim(netGestaoOperac, "Fyn00000.rdmGestaoOperac");

    const Variant phase = Verifica_Fase_Operador(netGestaoOperac, "2026");

    ASSERT_EQ(phase.type(), VarType::Packet);
    ASSERT_EQ(phase.packet().rows.size(), 1u);
    EXPECT_EQ(phase.packet().value(0, "IDFASECALCORCA"), Variant("S"));
    EXPECT_EQ(phase.packet().value(0, "IDPERMCALCJAN"), Variant("N"));
    EXPECT_EQ(phase.packet().value(0, "IDPERMCALCABR"), Variant("S"));
}

TEST_F(NetServer, GivenBadCalls_WhenSent_ThenEachIsAFailedAnswerWithTheServersMessage) {
    logIn("teste", "teste");
    TNetConnection net;
    aim(net, "FYN10000.rdmCalcOrcaOper");

    const RemoteResult unknown = net.AppServer("NaoExiste", {});
    EXPECT_FALSE(unknown.ok);
    EXPECT_FALSE(unknown.error.empty());

    TNetConnection otherModule;
    aim(otherModule, "FYN99999.rdmNenhum");
    EXPECT_FALSE(otherModule.AppServer("GetParametro", {}).ok);

    TNetConnection forged;
    aim(forged, "FYN10000.rdmCalcOrcaOper");
    forged.Token = "forjado";
    const RemoteResult refused = forged.AppServer("GetParametro", {});
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.empty());

    // Another operator's code as an argument is refused, and the screen's operation ends.
    EXPECT_THROW(CheckResultServ(net.AppServer("GetListaAgrupFil", {"fase"}), true, 0), EAbort);
    EXPECT_EQ(env.platform.messages().size(), 1u);
}

// The client asks for binary answers unless told otherwise; a client that does not ask (a proxy
// log, a script) gets JSON. Both must carry the same budget, by-reference values included.
TEST_F(NetServer, GivenBinaryAndJsonAnswers_WhenTheSameBudgetIsLoaded_ThenBothCarryTheSameValues) {
    logIn("teste", "teste");
    std::string texts[2];
    for (const bool binary : {true, false}) {
        TNetConnection net;
        aim(net, "FYN10000.rdmCalcOrcaOper");
        net.BinaryAnswers = binary;
        std::string branches = "T", groups = "T", regions = "T", segments = "T";
        const Variant budget = CheckResultServ(
            net.AppServer("GetDadosOrcamento",
                          {"2026", 2, Operador(), Arg::ref(branches), Arg::ref(groups),
                           Arg::ref(regions), Arg::ref(segments)}),
            true, 6);
        ASSERT_FALSE(budget.array()[2].packet().rows.empty());
        texts[binary ? 0 : 1] = variantToJson(budget) + " " + branches + groups;
        // A refusal still comes back as the server's message.
        const RemoteResult unknown = net.AppServer("NaoExiste", {});
        EXPECT_FALSE(unknown.ok);
        EXPECT_NE(unknown.error.find("NaoExiste"), std::string::npos) << unknown.error;
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_EQ(env.platform.messagesText(), "");
}
