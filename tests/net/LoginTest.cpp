#include "services/net/Login.h"
#include "tests/net/ProtocolTestServer.h"

#include <gtest/gtest.h>

TEST(NetLogin, GivenRightAndWrongPasswords_WhenLoggingIn_ThenTokenAndNameOrTheServersRefusal) {
    ProtocolTestServer server([](const httplib::Request& req) {
        if (req.body == R"({"operator":"demo","password":"s3nh@\"x"})")
            return ProtocolTestServer::Reply{200,
                                             R"({"ok":true,"token":"abc","name":"Operador Demo"})"};
        return ProtocolTestServer::error("Operador ou senha inválidos.", 401);
    });

    const LoginResult good = Login("127.0.0.1", server.port(), "demo", "s3nh@\"x");
    EXPECT_TRUE(good.ok) << good.error;
    EXPECT_EQ(good.token, "abc");
    EXPECT_EQ(good.name, "Operador Demo");
    EXPECT_EQ(server.last().path, "/login");

    const LoginResult bad = Login("127.0.0.1", server.port(), "demo", "wrong");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.error, "Operador ou senha inválidos.");
    EXPECT_TRUE(bad.token.empty());
}

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
