#include "services/net/Login.h"
#include "tests/net/ProtocolTestServer.h"

#include <gtest/gtest.h>

TEST(NetLogin, GivenNoServerOrAMalformedAnswer_WhenLoggingIn_ThenAFailureSaysWhy) {
    const int closed = closedLoopbackPort();
    const LoginResult unreachable = Login("127.0.0.1", closed, "demo", "x", 1000);
    EXPECT_FALSE(unreachable.ok);
    EXPECT_EQ(unreachable.error,
              "Servidor de aplicação inacessível em 127.0.0.1:" + std::to_string(closed) + ".");

    ProtocolTestServer noToken([](const httplib::Request&) {
        return ProtocolTestServer::Reply{200, R"({"ok":true,"name":"x"})"};
    });
    const LoginResult malformed = Login("127.0.0.1", noToken.port(), "demo", "x");
    EXPECT_FALSE(malformed.ok);
    EXPECT_EQ(malformed.error.rfind("Resposta inválida do servidor de aplicação ao login", 0), 0u)
        << malformed.error;
}
