#include "services/lib/Velmora.h"
#include "tests/lib/FixedHost.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(LibVelmora, GivenInstalledHostServices_WhenAsking_ThenTheHostsValuesComeBack) {
    HeadlessHost env;
    env.host.op = "ana";
    env.host.name = "Ana Souza";
    env.host.url = "srv.local";
    env.host.port = 9090;
    env.host.fixedBranch = true;
    env.host.branch = "0007";

    EXPECT_EQ(Operador(), "ana");
    EXPECT_EQ(NomeOperador(), "Ana Souza");
    EXPECT_EQ(WebURL(), "srv.local");
    EXPECT_EQ(WebPort(), 9090);
    EXPECT_TRUE(ModuFili());
    EXPECT_EQ(FiliProc(), "0007");
    EXPECT_EQ(LoginToken(), "host-token");

    LoadBPL("FYN10395", {Variant("2026"), Variant(3)});
    ASSERT_EQ(env.host.loaded.size(), 1u);
    EXPECT_EQ(env.host.loaded[0].first, "FYN10395");
    EXPECT_EQ(env.host.loaded[0].second, (std::vector<Variant>{Variant("2026"), Variant(3)}));
}

TEST(LibVelmora, GivenNoHostServices_WhenAsking_ThenItIsAClearErrorAndTheTokenIsEmpty) {
    HeadlessPlatform platform;
    Application app(platform, nullptr);
    ApplicationScope scope(app);
    EXPECT_THROW(Operador(), std::logic_error);
    EXPECT_THROW(WebPort(), std::logic_error);
    EXPECT_EQ(LoginToken(), "");
}
