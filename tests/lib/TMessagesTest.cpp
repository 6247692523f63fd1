#include "services/lib/TMessages.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const char* const kCatalog =
    "conf_orcR|Confirma a gravação do orçamento?\n"
    "imposto_recup|Impostos recuperáveis\n"
    "Perm_Fase|Atenção! Fase %s não habilitada para cálculo do orçamento.\n"
    "\n"
    "dois|De %s até %s: %d%%\r\n"
    "barra|a|b\n";

} // namespace

TEST(LibMessages, GivenACatalog_WhenAskingInAnotherLetterCase_ThenTheTextIsFound) {
    const TMessages msg(kCatalog);
    EXPECT_EQ(msg.Msg("conf_OrcR"), "Confirma a gravação do orçamento?");
    EXPECT_EQ(msg.Msg("Imposto_recup"), "Impostos recuperáveis");
    EXPECT_EQ(msg.Msg("IMPOSTO_RECUP"), "Impostos recuperáveis");
    // Only the first bar separates: the rest belongs to the text.
    EXPECT_EQ(msg.Msg("barra"), "a|b");
}

TEST(LibMessages, GivenAPlaceholderText_WhenFilling_ThenArgumentsGoInOrderAndGapsStayVisible) {
    const TMessages msg(kCatalog);
    EXPECT_EQ(msg.Msg("perm_fase", "CÁLCULO"),
              "Atenção! Fase CÁLCULO não habilitada para cálculo do orçamento.");
    EXPECT_EQ(msg.Msg("dois", "JAN", std::string("MAR"), 40), "De JAN até MAR: 40%");
    // A missing argument leaves its placeholder, so the gap shows on screen.
    EXPECT_EQ(msg.Msg("dois", "JAN"), "De JAN até %s: %d%");
    EXPECT_EQ(TMessages::Format("100%", {}), "100%");
}

TEST(LibMessages, GivenAnyCatalog_WhenAskingMonthNumbers_ThenTheAbbreviationsComeBack) {
    const TMessages empty;
    const TMessages loaded(kCatalog);
    std::string months;
    for (int m = 1; m <= 12; ++m)
        months += empty.Msg(std::to_string(m)) + " ";
    EXPECT_EQ(months, "JAN FEV MAR ABR MAI JUN JUL AGO SET OUT NOV DEZ ");
    EXPECT_EQ(loaded.Msg("4"), "ABR");
    EXPECT_EQ("VRORCAMENTO" + loaded.Msg("12"), "VRORCAMENTODEZ");
}

TEST(LibMessages, GivenAnUnknownKey_WhenAsking_ThenTheKeyItselfShows) {
    const TMessages msg(kCatalog);
    EXPECT_EQ(msg.Msg("Nao_Existe"), "Nao_Existe");
    EXPECT_FALSE(msg.Has("Nao_Existe"));
    EXPECT_TRUE(msg.Has("CONF_ORCR"));
}

TEST(LibMessages, GivenLinesAddedLater_WhenAKeyRepeats_ThenTheLaterTextWins) {
    TMessages msg(kCatalog);
    msg.Add("CONF_ORCR|Gravar?\nnova|Nova");
    EXPECT_EQ(msg.Msg("conf_orcR"), "Gravar?");
    EXPECT_EQ(msg.Msg("NOVA"), "Nova");
    msg.Add("Dados", "Carregando dados do orçamento.");
    EXPECT_EQ(msg.Msg("dados"), "Carregando dados do orçamento.");
}

TEST(LibMessages, GivenABadLine_WhenAdding_ThenTheWholeTextIsRefusedAndTheCatalogUnchanged) {
    TMessages msg(kCatalog);
    const std::size_t before = msg.Count();
    try {
        msg.Add("boa|Boa\nsem barra aqui\nconf_orcR|Outra");
        FAIL() << "accepted a line without a bar";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("Linha 2"), std::string::npos) << e.what();
    }
    EXPECT_THROW(msg.Add("|texto sem chave"), std::invalid_argument);
    EXPECT_EQ(msg.Count(), before);
    EXPECT_FALSE(msg.Has("boa"));
    EXPECT_EQ(msg.Msg("conf_orcR"), "Confirma a gravação do orçamento?");
}
