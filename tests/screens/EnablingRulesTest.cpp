#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"

// Which buttons the operator is offered: each follows one rule, whichever handler ran last.
class EnablingRules : public EntryFixture {
protected:
    void sql(const std::string& statement) {
        startServer().store().transaction([&](srv::Database& db) { db.execute(statement, {}); });
    }
    void branch(const char* code) {
        event([&] { form->cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(code)}); });
    }
    // "0001:on 0002:off ..." for a control as the operator walks the branch list.
    std::string walk(const std::function<bool()>& enabled) {
        std::string out;
        for (const char* code : {"0001", "0002", "0003", "0004", "0005", "0001"}) {
            branch(code);
            out += std::string(out.empty() ? "" : " ") + code + (enabled() ? ":on" : ":off");
        }
        return out;
    }
    std::string summaries() { return codes(form->cdsOrcamentoFilial, "IDITEMORCAMENTO"); }
};

TEST_F(EnablingRules, GivenLabourBranchList_WhenMoving_ThenGenerationFollowsTheBranchRow) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    // 0003 effected, 0004 approved, 0005 without calculation access.
    EXPECT_EQ(walk([&] { return screen.sbtOrcMaoObra->Enabled(); }),
              "0001:on 0002:on 0003:off 0004:off 0005:off 0001:on");
    EXPECT_EQ(walk([&] { return screen.mnuOrcMaoObra->Enabled(); }),
              "0001:on 0002:on 0003:off 0004:off 0005:off 0001:on");
    EXPECT_FALSE(screen.sbtProdDesp->Enabled()) << "products belong to the entry page";
}

TEST_F(EnablingRules, GivenEntryBranchList_WhenMoving_ThenProductsFollowTheBranchRow) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshEntradas);
    EXPECT_EQ(walk([&] { return screen.sbtProdDesp->Enabled(); }),
              "0001:on 0002:on 0003:off 0004:off 0005:off 0001:on");
    EXPECT_FALSE(screen.sbtOrcMaoObra->Enabled());
}

TEST_F(EnablingRules, GivenAnyHandlerRunningLast_ThenTheEffectButtonGivesTheSameAnswer) {
    TfrmCalcOrcaOper& screen = loaded();
    // Effecting works on the checked billing rows: the current row does not decide.
    for (TTabSheet* sheet : {screen.tshFaturBruto, screen.tshMaoObra, screen.tshDeprec}) {
        page(sheet);
        for (const char* code : {"0001", "0003", "0005"}) {
            event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(code)}); });
            branch(code);
            std::string seen;
            const auto note = [&] { seen += screen.sbtEfetivar->Enabled() ? "on " : "off "; };
            event([&] { screen.dtsPadraoStateChange(&screen); });
            note();
            event([&] { screen.dtsItensOrcamentoStateChange(&screen); });
            note();
            event([&] { screen.pgcOrcamentoChange(&screen); });
            note();
            EXPECT_EQ(seen, "on on on ") << sheet->Name() << " " << code;
        }
    }
    // While a row is edited nothing is effected; after the edit the button is back.
    page(screen.tshFaturBruto);
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0001")}); });
    focus("dbgItOrcFatur");
    press(VK_F3);
    ASSERT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_FALSE(screen.sbtEfetivar->Enabled());
    event([&] { screen.dtsItensOrcamentoStateChange(&screen); });
    EXPECT_FALSE(screen.sbtEfetivar->Enabled());
}

TEST_F(EnablingRules, GivenAPhaseThatForbidsEffecting_ThenNoPassOffersEffectingOrEditing) {
    TfrmCalcOrcaOper& screen = loaded("bloq");
    ASSERT_FALSE(boHabEfet);
    // The passes run after loads and saves, on the billing page and on an item page.
    for (TTabSheet* sheet : {screen.tshFaturBruto, screen.tshMaoObra}) {
        page(sheet);
        event([&] { screen.dtsPadraoStateChange(&screen); });
        EXPECT_FALSE(screen.sbtEfetivar->Enabled()) << sheet->Name();
        event([&] { screen.dtsItensOrcamentoStateChange(&screen); });
        EXPECT_FALSE(screen.sbtEfetivar->Enabled()) << sheet->Name();
        EXPECT_FALSE(screen.sbtAlterar->Enabled()) << sheet->Name();
        EXPECT_FALSE(screen.sbtCalcEfet->Enabled()) << sheet->Name();
    }
}

TEST_F(EnablingRules, GivenABranchWithOneEffectedLabourItem_ThenReloadAndPageChangeGreyItAlike) {
    // Branch 0002's first labour line is effected, its second still pending.
    sql("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E', IDSTATUSORCA = 'E' WHERE CDFILIAL = "
        "'0002' AND IDTIPOORCAOP = 'O' AND CDDESPADMFAT = (SELECT MIN(CDDESPADMFAT) FROM "
        "ITEMORCAMENTO WHERE CDFILIAL = '0002' AND IDTIPOORCAOP = 'O')");
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    EXPECT_EQ(summaries(), "P E E A P");
    branch("0001");
    press(VK_F5);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(summaries(), "P E E A P");
    // Both ways the branch refuses the check toggle with the same reason.
    event([&] { screen.dbgFilialMaoObra->SetFocus(); });
    branch("0002");
    press(VK_SPACE);
    EXPECT_EQ(messages(), "error: Item já efetivado!\n");
    EXPECT_EQ(valueOf(screen.cdsOrcamentoFilial, "0002", "IDCHECKO"), "N");
    EXPECT_EQ(screen.cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString(), "0002");
}

TEST_F(EnablingRules, GivenApprovedAndEffectedItemsInABranch_ThenItIsEffectedWhateverTheirOrder) {
    // 0001's first labour line effected and its last approved; 0005's the other way round.
    const auto mark = [this](const std::string& code, const std::string& which,
                             const std::string& state) {
        sql("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = '" + state + "', IDSTATUSORCA = '" + state +
            "' WHERE CDFILIAL = '" + code + "' AND IDTIPOORCAOP = 'O' AND CDDESPADMFAT = (SELECT " +
            which + "(CDDESPADMFAT) FROM ITEMORCAMENTO WHERE CDFILIAL = '" + code +
            "' AND IDTIPOORCAOP = 'O')");
    };
    mark("0001", "MIN", "E");
    mark("0001", "MAX", "A");
    mark("0005", "MIN", "A");
    mark("0005", "MAX", "E");
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    EXPECT_EQ(summaries(), "E P E A E");
    page(screen.tshDiversas);
    page(screen.tshMaoObra);
    EXPECT_EQ(summaries(), "E P E A E");
}

TEST_F(EnablingRules, GivenTheEntryModeCannotBeRead_ThenTheEntryPageKeepsItsPreviousMode) {
    sql("UPDATE PARAMORCAOPERAC SET IDORCDESPENTROP = 'O'");
    TfrmCalcOrcaOper& screen = loaded();
    branch("0001");
    page(screen.tshEntradas);
    const std::string filter = screen.cdsItensOrcamento.Filter();
    ASSERT_EQ(filter, "IDTIPOORCAOP = 'E' AND CDFILIAL = '0001' AND CDTIPOOPER <> 'V'");
    const std::string rows = codes(screen.cdsItensOrcamento, "CDTIPOOPER");
    page(screen.tshMaoObra);
    sql("ALTER TABLE PARAMORCAOPERAC RENAME TO PARAMORCAOPERAC_FORA");
    page(screen.tshEntradas);
    EXPECT_EQ(messages().rfind("error: ", 0), 0u) << messages();
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshEntradas);
    EXPECT_EQ(screen.cdsItensOrcamento.Filter(), filter);
    EXPECT_TRUE(screen.cdsItensOrcamento.Filtered());
    EXPECT_EQ(codes(screen.cdsItensOrcamento, "CDTIPOOPER"), rows);
    EXPECT_EQ(screen.dbgEntradas->Column(0)->TitleCaption(), "Tipo de Operação");
    sql("ALTER TABLE PARAMORCAOPERAC_FORA RENAME TO PARAMORCAOPERAC");
}

TEST_F(EnablingRules, GivenARowBeingEdited_WhenEitherPassRuns_ThenTheScreenStaysLocked) {
    TfrmCalcOrcaOper& screen = loaded();
    // "filter year reload pages confirm" as the operator finds them.
    const auto locks = [&] {
        std::string out;
        const auto add = [&](const char* name, bool enabled) {
            out += std::string(out.empty() ? "" : " ") + name + (enabled ? ":on" : ":off");
        };
        add("filter", screen.mnuFiltroOrc->Enabled());
        add("year", screen.speAno->Enabled());
        add("reload", screen.sbtVerificar->Enabled());
        add("pages", screen.tshDeprec->Enabled() && screen.tshConsumo->Enabled());
        add("confirm", screen.sbtConfirmar->Enabled());
        return out;
    };
    const std::string locked = "filter:off year:off reload:off pages:off confirm:on";
    // A billing row in edit, then the item pass (as a save's posts run it).
    focus("dbgItOrcFatur");
    press(VK_F3);
    ASSERT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_EQ(locks(), locked);
    event([&] { screen.dtsItensOrcamentoStateChange(&screen); });
    EXPECT_EQ(locks(), locked);
    platform.answerNext(mrYes);
    event([&] { screen.sbtCancelarClick(&screen); });
    ASSERT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
    EXPECT_EQ(locks(), "filter:on year:on reload:on pages:on confirm:off");

    // A labour row in edit, then the billing pass.
    page(screen.tshMaoObra);
    event([&] { screen.dbgMaoObra->SetFocus(); });
    press(VK_F3);
    ASSERT_EQ(screen.cdsItensOrcamento.State(), dsEdit);
    event([&] { screen.dtsPadraoStateChange(&screen); });
    EXPECT_EQ(locks(), locked);
    EXPECT_FALSE(screen.dbgFilialMaoObra->Enabled()) << "the branch stays while its row is edited";
}

TEST_F(EnablingRules, GivenRowsMoved_ThenTheSimulationFollowsThePendingOrReleasedStateOfTheRow) {
    TfrmCalcOrcaOper& screen = loaded();
    // Billing rows: 0003 effected, 0004 approved; the move's later passes do not override.
    std::string billing;
    for (const char* code : {"0001", "0003", "0004", "0002"}) {
        event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant(code)}); });
        billing += std::string(billing.empty() ? "" : " ") + code +
                   (screen.sbtSimulaRes->Enabled() ? ":on" : ":off") +
                   (screen.mnuSimulaRes->Enabled() ? "/on" : "/off");
    }
    EXPECT_EQ(billing, "0001:on/on 0003:off/off 0004:off/off 0002:on/on");
    page(screen.tshMaoObra);
    EXPECT_EQ(walk([&] { return screen.sbtSimulaRes->Enabled(); }),
              "0001:on 0002:on 0003:off 0004:off 0005:on 0001:on");
}
