#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "services/ui/TSpeedButton.h"

// Loops over many rows and single toggles of the check columns: no per-row reaction moves the
// cursor or runs away, and nothing of a gesture lingers into the next one.
class BulkLoops : public EntryFixture {
protected:
    // The depreciation page with the grid focused.
    TfrmCalcOrcaOper& depreciation() {
        TfrmCalcOrcaOper& screen = loaded();
        page(screen.tshDeprec);
        event([&] { screen.dbgDeprec->SetFocus(); });
        return screen;
    }
    std::string current(TClientDataSet& ds) { return ds.FieldByName("CDFILIAL").AsString(); }
};

TEST_F(BulkLoops, GivenDepreciationPage_WhenSelectAllIsAnsweredYes_ThenEveryOpenRowIsMarkedOnce) {
    TfrmCalcOrcaOper& screen = depreciation();
    TClientDataSet& items = screen.cdsItensOrcamento;
    ASSERT_EQ(column(items, "IDCHECK"), "0001=N 0002=N 0003=N 0004=N 0005=N");
    platform.answerNext(mrYes);
    event([&] { screen.dbgDeprec->ClickTitle(columnOf(screen.dbgDeprec, "IDCHECK")); });
    EXPECT_EQ(messages(), "confirm: Deseja selecionar todas as filais? -> Yes\n");
    // The effected (0003) and approved (0004) rows are left as they were.
    EXPECT_EQ(column(items, "IDCHECK"), "0001=S 0002=S 0003=N 0004=N 0005=S");
    EXPECT_EQ(codes(items, "IDTIPOORCAOP"), "P P P P P") << "the page keeps its own rows";
    EXPECT_EQ(items.State(), dsBrowse);
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(boEditItemOrca);
    EXPECT_FALSE(items.ControlsDisabled());

    // Once the first open row is marked, the title clears them all.
    platform.clearMessages();
    platform.answerNext(mrYes);
    event([&] { screen.dbgDeprec->ClickTitle(columnOf(screen.dbgDeprec, "IDCHECK")); });
    EXPECT_EQ(messages(),
              "confirm: Deseja desmarcar de todas filiais selecionadas para efetivar? -> Yes\n");
    EXPECT_EQ(column(items, "IDCHECK"), "0001=N 0002=N 0003=N 0004=N 0005=N");
}

TEST_F(BulkLoops, GivenDepreciationRow_WhenToggledByDoubleClickOrSpace_ThenTheCursorStaysOnIt) {
    TfrmCalcOrcaOper& screen = depreciation();
    TClientDataSet& items = screen.cdsItensOrcamento;
    const int check = columnOf(screen.dbgDeprec, "IDCHECK");
    const int row = rowOf(screen.dbgDeprec, "0002");
    event([&] { screen.dbgDeprec->ClickCell(row, check); });
    ASSERT_EQ(current(items), "0002");
    event([&] { screen.dbgDeprec->DblClickCell(row, check); });
    EXPECT_EQ(valueOf(items, "0002", "IDCHECK"), "S");
    EXPECT_EQ(current(items), "0002");
    press(VK_SPACE);
    EXPECT_EQ(valueOf(items, "0002", "IDCHECK"), "N");
    EXPECT_EQ(current(items), "0002");
    // A second double click ends on the same row, the other rows' marks untouched.
    event([&] { screen.dbgDeprec->DblClickCell(row, check); });
    EXPECT_EQ(current(items), "0002");
    EXPECT_EQ(column(items, "IDCHECK"), "0001=N 0002=S 0003=N 0004=N 0005=N");
    EXPECT_EQ(messages(), "");
}

TEST_F(BulkLoops, GivenABranchListToggle_WhenAClosedConsumptionRowIsClicked_ThenNothingToggles) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    // The space bar in the labour branch list toggles its check, from whatever column.
    page(screen.tshMaoObra);
    event([&] { screen.dbgFilialMaoObra->SetFocus(); });
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0002")}); });
    press(VK_SPACE);
    ASSERT_EQ(valueOf(screen.cdsOrcamentoFilial, "0002", "IDCHECKO"), "S");
    EXPECT_FALSE(boCheckar);

    // A plain click on a month of the effected branch on the consumption page is no toggle.
    page(screen.tshConsumo);
    const std::string before = column(fc, "IDCHECKC");
    clickCell(screen.dbgItConsumo, "0003", "VRORCAMENTOJAN");
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(column(fc, "IDCHECKC"), before);
    clickCell(screen.dbgItConsumo, "0002", "VRORCAMENTOJAN");
    EXPECT_EQ(column(fc, "IDCHECKC"), before);
    EXPECT_TRUE(screen.dbgItConsumo->HasOption(dgEditing)) << "an open row's month is typed in";
}

TEST_F(BulkLoops, GivenBillingSelectAll_ThenTheScreenIsRefreshedOnceForTheWholeLoop) {
    TfrmCalcOrcaOper& screen = loaded();
    int passes = 0;
    const auto pass = screen.dtsPadrao.OnStateChange;
    screen.dtsPadrao.OnStateChange = [&](TDataSource& s) {
        ++passes;
        pass(s);
    };
    platform.answerNext(mrYes);
    event([&] { screen.dbgItOrcFatur->ClickTitle(columnOf(screen.dbgItOrcFatur, "IDCHECKF")); });
    EXPECT_EQ(column(screen.cdsItensOrcFatCons, "IDCHECKF"), "0001=S 0002=S 0003=N 0004=N 0005=N");
    // Two rows were edited and posted: no state change reached the screen while the loop ran.
    EXPECT_EQ(passes, 0);
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
    EXPECT_TRUE(screen.sbtEfetivar->Enabled());
    screen.dtsPadrao.OnStateChange = pass;
}
