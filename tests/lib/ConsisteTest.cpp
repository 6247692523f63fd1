#include "services/lib/Consiste.h"
#include "services/data/DataPacket.h"
#include "services/data/EAbort.h"
#include "services/lib/RemoteResult.h"
#include "tests/lib/FixedHost.h"

#include <gtest/gtest.h>

TEST(LibAjusta, GivenCodesAndTexts_WhenAdjustingToAWidth_ThenTheyAreFilledOnTheLeft) {
    EXPECT_EQ(Ajusta("3", 2), "03");
    EXPECT_EQ(Ajusta("12", 2), "12");
    EXPECT_EQ(Ajusta("1", 4), "0001");
    EXPECT_EQ(Ajusta(" 25 ", 4), "0025");
    EXPECT_EQ(Ajusta("AB", 4), "  AB");
    EXPECT_EQ(Ajusta("ÇÃ", 3), " ÇÃ"); // characters, not bytes
    // A longer code is never cut: cutting would turn 00012 into another branch.
    EXPECT_EQ(Ajusta("00012", 4), "00012");
}

TEST(LibTexts, GivenBlankAndNonBlankTexts_WhenTesting_ThenOnlyBlanksCountAsEmpty) {
    EXPECT_TRUE(EmptyString(""));
    EXPECT_TRUE(EmptyString("  \t "));
    EXPECT_FALSE(EmptyString(" x "));
    EXPECT_FALSE(EmptyString("0"));
}

TEST(LibTexts, GivenATextWithRepeats_WhenReplacing_ThenEveryOccurrenceChangesOnce) {
    EXPECT_EQ(Replace("_0001_0002_", "_", ","), ",0001,0002,");
    EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(Replace("1.234,56", ".", ""), "1234,56");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
    EXPECT_EQ(Replace("abc", "zz", "x"), "abc");
}

TEST(LibMensErro, GivenStop_WhenShowingAnError_ThenTheBoxShowsAndTheOperationEnds) {
    HeadlessHost env;
    bool after = false;
    const bool completed = env.app.dispatch([&] {
        MensErro("Ano deve ser informado.");
        after = true;
    });
    EXPECT_FALSE(completed);
    EXPECT_FALSE(after);
    EXPECT_EQ(env.platform.messagesText(), "error: Ano deve ser informado.\n");
}

TEST(LibMensErro, GivenNoStop_WhenShowingAnError_ThenTheHandlerGoesOn) {
    HeadlessHost env;
    bool after = false;
    EXPECT_TRUE(env.app.dispatch([&] {
        MensErro("Aviso de erro.", false);
        after = true;
    }));
    EXPECT_TRUE(after);
    EXPECT_EQ(env.platform.messagesText(), "error: Aviso de erro.\n");
}

TEST(LibMensErro, GivenNoApplicationYet_WhenShowingAnError_ThenItGoesToStandardErrorAndStillStops) {
    ASSERT_FALSE(Application::installed());
    testing::internal::CaptureStderr();
    EXPECT_THROW(MensErro("Servidor de aplicação inacessível."), EAbort);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Erro: Servidor de aplicação inacessível.\n");
}

TEST(LibCheckResultServ,
     GivenASuccessfulAnswer_WhenChecking_ThenThePayloadComesBackAndNothingShows) {
    HeadlessHost env;
    const Variant packets(std::vector<Variant>{Variant(DataPacket{}), Variant(DataPacket{})});
    EXPECT_EQ(CheckResultServ(RemoteResult::success(Variant("x")), true, 0), Variant("x"));
    EXPECT_EQ(CheckResultServ(RemoteResult::success(packets), true, 2), packets);
    EXPECT_EQ(env.platform.messagesText(), "");
}

TEST(LibCheckResultServ, GivenAFailedAnswer_WhenChecking_ThenItsMessageShowsAndTheOperationEnds) {
    HeadlessHost env;
    EXPECT_THROW(CheckResultServ(RemoteResult::failure("Versão inexistente."), true, 0), EAbort);
    // Without the flag the operation still ends, silently.
    EXPECT_THROW(CheckResultServ(RemoteResult::failure("Outra."), false, 0), EAbort);
    // A failure without a message still says something.
    EXPECT_THROW(CheckResultServ(RemoteResult::failure(""), true, 0), EAbort);
    EXPECT_EQ(env.platform.messagesText(),
              "error: Versão inexistente.\n"
              "error: O servidor de aplicação não concluiu a operação.\n");
}

TEST(LibCheckResultServ, GivenFewerPacketsThanRequired_WhenChecking_ThenItCountsAsAFailure) {
    HeadlessHost env;
    const Variant two(std::vector<Variant>{Variant(DataPacket{}), Variant(DataPacket{})});
    EXPECT_THROW(CheckResultServ(RemoteResult::success(two), true, 6), EAbort);
    EXPECT_THROW(CheckResultServ(RemoteResult::success(Variant(DataPacket{})), true, 1), EAbort);
    EXPECT_EQ(env.platform.messages().size(), 2u);
    EXPECT_NE(env.platform.messages()[0].text.find("6"), std::string::npos);
}
