#include "services/net/TNetConnection.h"
#include "tests/net/ProtocolTestServer.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

ProtocolTestServer::Reply answerWithPort(int port) {
    return ProtocolTestServer::ok(R"({"type":"integer","value":)" + std::to_string(port) + "}");
}

} // namespace

TEST(NetConnection, GivenBeforeConnect_WhenConnecting_ThenItRunsEveryTimeAndDecidesTheServer) {
    ProtocolTestServer first([&](const httplib::Request&) { return answerWithPort(1); });
    ProtocolTestServer second([&](const httplib::Request&) { return answerWithPort(2); });
    int target = first.port();
    int runs = 0;
    TNetConnection net;
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.Token = "t";
    net.BeforeConnect = [&](TNetConnection& c) {
        ++runs;
        c.Host = "http://127.0.0.1/";
        c.Port = target;
    };

    EXPECT_FALSE(net.Connected());
    net.SetConnected(true);
    EXPECT_TRUE(net.Connected());
    EXPECT_EQ(net.AppServer("Which", {}).result, Variant(1));

    // The host moved the server: the next connect follows it.
    target = second.port();
    net.SetConnected(false);
    EXPECT_FALSE(net.Connected());
    net.SetConnected(true);
    EXPECT_EQ(net.AppServer("Which", {}).result, Variant(2));
    EXPECT_EQ(runs, 2);
}

TEST(NetConnection, GivenSeveralCalls_WhenMadeOnOneConnection_ThenTheyShareOneSocket) {
    ProtocolTestServer server([&](const httplib::Request&) { return answerWithPort(0); });
    TNetConnection net;
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.Token = "t";
    net.Host = "127.0.0.1";
    net.Port = server.port();

    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(net.AppServer("GetParametro", {}).ok);

    const auto seen = server.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].remotePort, seen[1].remotePort);
    EXPECT_EQ(seen[1].remotePort, seen[2].remotePort);
}

TEST(NetConnection, GivenTheServerDroppedAnIdleKeptSocket_WhenCallingAgain_ThenTheCallSucceeds) {
    ProtocolTestServer server([&](const httplib::Request&) { return answerWithPort(0); },
                              /*keepAliveSeconds=*/1);
    TNetConnection net;
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.Token = "t";
    net.Host = "127.0.0.1";
    net.Port = server.port();

    ASSERT_TRUE(net.AppServer("GetParametro", {}).ok);
    std::this_thread::sleep_for(std::chrono::milliseconds(1600));
    const RemoteResult r = net.AppServer("GetParametro", {});

    EXPECT_TRUE(r.ok) << r.error;
}

TEST(NetConnection, GivenABeforeConnectThatFails_WhenCalling_ThenTheCallFailsWithoutThrowing) {
    TNetConnection net;
    net.ServerName = "FYN10000.rdmCalcOrcaOper";
    net.BeforeConnect = [](TNetConnection&) { throw std::logic_error("sem endereço"); };

    RemoteResult r;
    EXPECT_NO_THROW(r = net.AppServer("GetParametro", {}));

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Não foi possível conectar ao servidor de aplicação: sem endereço");
    EXPECT_FALSE(net.Connected());
}
