#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/ScopeGuards.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

class PageViews : public ScreenFixture {
protected:
    TfrmCalcOrcaOper& loaded(int version = 2) {
        TfrmCalcOrcaOper& screen = openScreen();
        confirmFilterWhenAsked();
        loadBudget(2026, version);
        EXPECT_EQ(messages(), "");
        return screen;
    }
    bool choose(TTabSheet* page) {
        bool chosen = false;
        event([&] { chosen = form->pgcOrcamento->SelectPage(page); });
        return chosen;
    }
    // "branch/type/operation" of each visible item row.
    std::string items() {
        TClientDataSet& cds = form->cdsItensOrcamento;
        std::string out;
        for (int row = 0; row < cds.RecordCount(); ++row) {
            auto value = [&](const char* f) {
                return cds.RowValue(row, cds.FieldByName(f).Index()).toText();
            };
            out += (out.empty() ? "" : " ") + value("CDFILIAL") + "/" + value("IDTIPOORCAOP") +
                   "/" + value("CDTIPOOPER");
        }
        return out;
    }
    void setEntryMode(const char* mode) {
        startServer().store().transaction([&](srv::Database& db) {
            db.execute("UPDATE PARAMORCAOPERAC SET IDORCDESPENTROP = ?", {Variant(mode)});
        });
    }
};

TEST_F(PageViews,
       GivenBillingAndConsumptionPages_ThenEachShowsItsOwnRowsAndWorkingDaysFollowTheRow) {
    TfrmCalcOrcaOper& screen = loaded();
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons, "IDTIPOORCAOP"), "F F F F F");
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0004")}); });
    EXPECT_EQ(codes(screen.cdsFeriadoFil), "0004");
    ASSERT_TRUE(choose(screen.tshConsumo));
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons, "IDTIPOORCAOP"), "C C C C C");
    // The consumption page opens on the branch the operator was on.
    EXPECT_EQ(screen.cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString(), "0004");
    EXPECT_EQ(stFiliSelec, "0004");
}

TEST_F(PageViews, GivenAllBranchPageOnBranch0003_WhenLabourPageIsChosen_ThenItOpensOnBranch0003) {
    TfrmCalcOrcaOper& screen = loaded();
    ASSERT_TRUE(choose(screen.tshDeprec));
    EXPECT_EQ(items(), "0001/P/ 0002/P/ 0003/P/ 0004/P/ 0005/P/");
    event([&] { screen.cdsItensOrcamento.Locate("CDFILIAL", {Variant("0003")}); });
    ASSERT_TRUE(choose(screen.tshMaoObra));
    EXPECT_EQ(screen.cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString(), "0003");
    EXPECT_EQ(items(), "0003/O/ 0003/O/");
    EXPECT_EQ(screen.cdsItensOrcamento.Filter(), "IDTIPOORCAOP = 'O'AND CDFILIAL = '0003'");
    // Moving in the branch list shows that branch's items.
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0001")}); });
    EXPECT_EQ(items(), "0001/O/ 0001/O/");
    EXPECT_EQ(stFiliSelec, "0001");
}

TEST_F(PageViews, GivenEntryExpensesByOperationType_ThenTheyShowWithoutTheVKind) {
    setEntryMode("O");
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0001")}); });
    ASSERT_TRUE(choose(screen.tshEntradas));
    EXPECT_EQ(screen.dbgEntradas->Column(0)->TitleCaption(), "Tipo de Operação");
    EXPECT_EQ(screen.dbgEntradas->Column(0)->FieldName(), "NMTIPOOPER");
    EXPECT_EQ(items(), "0001/E/01");
}

TEST_F(PageViews, GivenEntryExpensesByExpenseType_ThenOnlyTheVKindShows) {
    setEntryMode("D");
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0001")}); });
    ASSERT_TRUE(choose(screen.tshEntradas));
    EXPECT_EQ(screen.dbgEntradas->Column(0)->TitleCaption(), "Tipo de Despesa");
    EXPECT_EQ(screen.dbgEntradas->Column(0)->FieldName(), "NMDESPPREV");
    EXPECT_EQ(items(), "0001/E/V");
}

TEST_F(PageViews, GivenBranchWithEffectedLabour_ThenItsBranchRowSummarisesIt) {
    TfrmCalcOrcaOper& screen = loaded();
    ASSERT_TRUE(choose(screen.tshMaoObra));
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial, "IDITEMORCAMENTO"), "P P E A P");
}

TEST_F(PageViews, GivenOlderVersion_WhenWorkingDaysGridIsLeft_ThenEditingStaysOff) {
    TfrmCalcOrcaOper& screen = loaded(1);
    focus("dbgDiaUtilFilFat");
    EXPECT_FALSE(screen.sbtAlterar->Enabled());
    focus("dbgItOrcFatur");
    EXPECT_FALSE(screen.sbtAlterar->Enabled());
    EXPECT_FALSE(screen.mnuAlterar->Enabled());
}

TEST_F(PageViews, GivenLatestVersion_WhenWorkingDaysGridHasTheFocus_ThenEditIsOffUntilItIsLeft) {
    TfrmCalcOrcaOper& screen = loaded();
    focus("dbgDiaUtilFilFat");
    EXPECT_FALSE(screen.sbtAlterar->Enabled());
    focus("dbgItOrcFatur");
    EXPECT_TRUE(screen.sbtAlterar->Enabled());
}

TEST_F(PageViews, GivenReplicationOrSimulationJustRan_ThenTheReloadKeepsTheActivePage) {
    TfrmCalcOrcaOper& screen = loaded();
    // A button-ordered reload through the panel, as the replication and simulation do.
    auto reloadThroughPanel = [&] {
        boclique = true;
        screen.boConfirmou = true;
        event([&] { screen.panFiltroExit(&screen); });
        boclique = false;
    };
    for (bool* flag : {&screen.boReplicacao, &screen.boSimulacao}) {
        ASSERT_TRUE(choose(screen.tshMaoObra));
        *flag = true;
        reloadThroughPanel();
        *flag = false;
        EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshMaoObra);
        EXPECT_EQ(items().substr(0, 6), "0001/O");
    }
    reloadThroughPanel();
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshFaturBruto);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(platform.modalsRun().size(), 1u) << "a button-ordered reload skips the filter";
}

TEST_F(PageViews, GivenEffectedBranch_WhenConsumptionPageOpensOnIt_ThenEditingIsNotOffered) {
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0003")}); });
    ASSERT_TRUE(choose(screen.tshConsumo));
    ASSERT_EQ(screen.cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString(), "0003");
    EXPECT_FALSE(screen.sbtAlterar->Enabled());
    EXPECT_FALSE(screen.mnuAlterar->Enabled());
    ASSERT_TRUE(choose(screen.tshFaturBruto));
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0001")}); });
    ASSERT_TRUE(choose(screen.tshConsumo));
    EXPECT_TRUE(screen.sbtAlterar->Enabled());
}

// The item pages come back to orders they had before; what changed in the meantime must show
// in place, and the branch summary must count it.
TEST_F(PageViews, GivenPagesVisitedBefore_WhenItemsChangeOrReload_ThenRowsAndSummaryAreCurrent) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& cds = screen.cdsItensOrcamento;
    // "sequence:expense" of the visible items.
    auto shown = [&](const char* key) {
        std::string out;
        for (int row = 0; row < cds.RecordCount(); ++row) {
            auto value = [&](const char* f) {
                const Variant& v = cds.RowValue(row, cds.FieldByName(f).Index());
                return v.isNull() ? std::string("-") : v.toText();
            };
            out += (out.empty() ? "" : " ") + value("NRSEQITEMORCA") + ":" + value(key);
        }
        return out;
    };
    auto visit = [&](TTabSheet* page) {
        ASSERT_TRUE(choose(screen.tshMatriz));
        ASSERT_TRUE(choose(page));
    };
    // Changes made while another page's order is in force, with the row handlers detached as
    // bulk operations detach them (the operator's own insertions and deletions are refused).
    auto onLabourItem = [&](const char* expense, const std::function<void()>& change) {
        ASSERT_TRUE(choose(screen.tshMatriz));
        ASSERT_TRUE(event([&] {
            boCheck = true;
            HandlerGuard state(screen.dtsItensOrcamento.OnStateChange);
            HandlerGuard edit(cds.BeforeEdit), before(cds.BeforePost), after(cds.AfterPost),
                scroll(cds.AfterScroll), leave(cds.BeforeScroll), insert(cds.BeforeInsert),
                remove(cds.BeforeDelete);
            cds.SetFiltered(false);
            ASSERT_TRUE(cds.Locate("CDFILIAL;IDTIPOORCAOP;CDDESPADMFAT",
                                   {Variant("0001"), Variant("O"), Variant(expense)}));
            change();
            cds.SetFiltered(true);
            boCheck = false;
        }));
    };
    auto set = [&](const char* field, const Variant& value) {
        cds.Edit();
        cds.FieldByName(field).SetAsVariant(value);
        cds.Post();
    };
    const std::string summary = "P P E A P";
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0001")}); });
    visit(screen.tshMaoObra);
    EXPECT_EQ(shown("CDDESPADMFAT"), "0000000003:01 0000000004:02");
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial, "IDITEMORCAMENTO"), summary);

    onLabourItem("01", [&] { set("CDDESPADMFAT", Variant("03")); });
    visit(screen.tshMaoObra);
    EXPECT_EQ(shown("CDDESPADMFAT"), "0000000004:02 0000000003:03");

    onLabourItem("02", [&] { set("VRORCAMENTOJAN", Variant(1234.5)); });
    visit(screen.tshMaoObra);
    EXPECT_EQ(shown("VRORCAMENTOJAN"), "0000000004:1234.5 0000000003:6800");

    onLabourItem("02", [&] { set("IDITEMORCAMENTO", Variant("E")); });
    visit(screen.tshMaoObra);
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial, "IDITEMORCAMENTO"), "E P E A P");

    onLabourItem("02", [&] {
        cds.Append();
        cds.FieldByName("CDFILIAL").SetAsString("0001");
        cds.FieldByName("IDTIPOORCAOP").SetAsString("O");
        cds.FieldByName("NRSEQITEMORCA").SetAsString("0000000099");
        cds.FieldByName("CDDESPADMFAT").SetAsString("00");
        cds.Post();
    });
    visit(screen.tshMaoObra);
    EXPECT_EQ(shown("CDDESPADMFAT"), "0000000099:00 0000000004:02 0000000003:03");

    onLabourItem("02", [&] { cds.Delete(); });
    visit(screen.tshMaoObra);
    EXPECT_EQ(shown("CDDESPADMFAT"), "0000000099:00 0000000003:03");
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial, "IDITEMORCAMENTO"), summary);

    // Another branch is another filter over the same order.
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0003")}); });
    EXPECT_EQ(shown("CDDESPADMFAT"), "0000000003:01 0000000004:02");

    // A reload brings the server's rows back, in the page's order.
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0001")}); });
    ASSERT_TRUE(event([&] { screen.PressKey(VK_F5); }));
    visit(screen.tshMaoObra);
    EXPECT_EQ(shown("CDDESPADMFAT"), "0000000003:01 0000000004:02");
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial, "IDITEMORCAMENTO"), summary);
    EXPECT_EQ(messages(), "");
}
