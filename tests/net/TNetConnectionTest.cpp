#include "services/net/TNetConnection.h"
#include "services/data/DataPacket.h"
#include "tests/net/ProtocolTestServer.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Reply = ProtocolTestServer::Reply;

// A connection to the test server with a fixed token, as the main screen would have it.
void aim(TNetConnection& net, int port, const std::string& module = "FYN10000.rdmCalcOrcaOper") {
    net.ServerName = module;
    net.Token = "tok-123";
    net.BeforeConnect = [port](TNetConnection& c) {
        c.Host = "127.0.0.1";
        c.Port = port;
    };
    net.ConnectTimeoutMs = 1000;
    net.ReadTimeoutMs = 2000;
}

} // namespace

// --- what goes on the wire -------------------------------------------------------------------

TEST(NetWire, GivenMixedArguments_WhenCalling_ThenRequestCarriesModulePathTokenAndTypedParams) {
    ProtocolTestServer server(
        [](const httplib::Request&) { return ProtocolTestServer::ok(R"({"type":"null"})"); });
    TNetConnection net;
    aim(net, server.port());
    std::string year = "2026";
    double version = 3;
    Variant kind("T");

    const RemoteResult r =
        net.AppServer("GetVersao", {Arg::ref(year), Arg::ref(version), Arg::ref(kind), 7, true,
                                    Variant::fromDate(46000), Variant()});

    ASSERT_TRUE(r.ok) << r.error;
    const auto seen = server.last();
    EXPECT_EQ(seen.path, "/rpc/FYN10000.rdmCalcOrcaOper");
    EXPECT_EQ(seen.authorization, "Bearer tok-123");
    EXPECT_EQ(seen.body, R"({"method":"GetVersao","params":[)"
                         R"({"value":{"type":"text","value":"2026"},"byref":true},)"
                         R"({"value":{"type":"double","value":3},"byref":true},)"
                         R"({"value":{"type":"text","value":"T"},"byref":true},)"
                         R"({"value":{"type":"integer","value":7},"byref":false},)"
                         R"({"value":{"type":"boolean","value":true},"byref":false},)"
                         R"({"value":{"type":"datetime","value":46000},"byref":false},)"
                         R"({"value":{"type":"null"},"byref":false}]})");
}

// --- by-reference arguments ------------------------------------------------------------------

TEST(NetByRef, GivenByRefArguments_WhenServerReturnsNewValues_ThenEachCallerVariableIsUpdated) {
    ProtocolTestServer server([](const httplib::Request&) {
        return ProtocolTestServer::ok(R"({"type":"integer","value":1})",
                                      R"("0":{"type":"text","value":"2025"},)"
                                      R"("1":{"type":"integer","value":4},)"
                                      R"("2":{"type":"double","value":2.5},)"
                                      R"("3":{"type":"text","value":"_0001_"})");
    });
    TNetConnection net;
    aim(net, server.port());
    std::string year = "2026";
    int version = 3;
    double rate = 0;
    Variant list("T");
    std::string byValue = "unchanged";

    const RemoteResult r = net.AppServer(
        "M", {Arg::ref(year), Arg::ref(version), Arg::ref(rate), Arg::ref(list), byValue});

    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(year, "2025");
    EXPECT_EQ(version, 4);
    EXPECT_EQ(rate, 2.5);
    EXPECT_EQ(list, Variant("_0001_"));
    EXPECT_EQ(byValue, "unchanged");
}

TEST(NetByRef, GivenAnAnswerWithOneBadWriteBack_WhenCalling_ThenCallFailsAndNoVariableChanges) {
    // The first write-back is fine, the second puts a text into an integer variable.
    ProtocolTestServer server([](const httplib::Request&) {
        return ProtocolTestServer::ok(R"({"type":"null"})",
                                      R"("0":{"type":"text","value":"2025"},)"
                                      R"("1":{"type":"text","value":"four"})");
    });
    TNetConnection net;
    aim(net, server.port());
    std::string year = "2026";
    int version = 3;

    const RemoteResult r = net.AppServer("M", {Arg::ref(year), Arg::ref(version)});

    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("Resposta inválida"), std::string::npos) << r.error;
    EXPECT_EQ(year, "2026");
    EXPECT_EQ(version, 3);
}

TEST(NetByRef, GivenAWriteBackToAByValueOrMissingParameter_WhenCalling_ThenCallFails) {
    for (const std::string index : {"0", "5", "-1", "x"}) {
        ProtocolTestServer server([&](const httplib::Request&) {
            return ProtocolTestServer::ok(R"({"type":"null"})",
                                          "\"" + index + R"(":{"type":"text","value":"?"})");
        });
        TNetConnection net;
        aim(net, server.port());
        std::string kept = "keep";

        const RemoteResult r = net.AppServer("M", {kept});

        EXPECT_FALSE(r.ok) << "index " << index;
        EXPECT_EQ(kept, "keep");
    }
}

TEST(NetByRef, GivenAServerRefusal_WhenCalling_ThenByRefVariablesAreLeftAlone) {
    ProtocolTestServer server([](const httplib::Request&) {
        return Reply{
            200,
            R"({"ok":false,"error":"Versão não é a mais recente.","byref":{"0":{"type":"text","value":"x"}}})"};
    });
    TNetConnection net;
    aim(net, server.port());
    std::string year = "2026";

    const RemoteResult r = net.AppServer("M", {Arg::ref(year)});

    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "Versão não é a mais recente.");
    EXPECT_EQ(year, "2026");
}
