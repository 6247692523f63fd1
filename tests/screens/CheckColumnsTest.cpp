#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "services/ui/TCellStyle.h"

class CheckColumns : public EntryFixture {
protected:
    void clickTitle(TDBGrid* grid, const std::string& field) {
        event([&] { grid->ClickTitle(columnOf(grid, field)); });
    }
};

TEST_F(CheckColumns, GivenBillingPage_WhenSelectingAll_ThenOnlyOpenAccessibleRowsAreMarked) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    const std::string before = column(fc, "IDCHECKF");
    platform.answerNext(mrYes);
    clickTitle(screen.dbgItOrcFatur, "IDCHECKF");
    EXPECT_EQ(messages(), "confirm: Deseja selecionar todas as filais? -> Yes\n");
    // 0003 effected, 0004 approved, 0005 without calculation access keep what they had.
    const auto mark = [&](const char* branch) { return valueOf(fc, branch, "IDCHECKF"); };
    EXPECT_EQ(mark("0001"), "S");
    EXPECT_EQ(mark("0002"), "S");
    for (const char* branch : {"0003", "0004", "0005"}) {
        const std::string was = before.substr(before.find(std::string(branch) + "=") + 5);
        EXPECT_EQ(mark(branch), was.substr(0, was.find(' '))) << branch;
    }
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0001") << "back on the first row";
    EXPECT_EQ(fc.State(), dsBrowse);
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(boEditItemOrca) << "bulk marks are not an edit session";

    // The first row marked now: the title clears them all.
    platform.clearMessages();
    platform.answerNext(mrYes);
    clickTitle(screen.dbgItOrcFatur, "IDCHECKF");
    EXPECT_EQ(messages(),
              "confirm: Deseja desmarcar de todas filiais selecionadas para efetivar? -> Yes\n");
    EXPECT_EQ(mark("0001"), "N");
    EXPECT_EQ(mark("0002"), "N");
}

TEST_F(CheckColumns, GivenSelectAllQuestion_WhenAnsweredNo_ThenNoRowChanges) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = column(screen.cdsItensOrcFatCons, "IDCHECKF");
    platform.answerNext(mrNo);
    clickTitle(screen.dbgItOrcFatur, "IDCHECKF");
    EXPECT_EQ(column(screen.cdsItensOrcFatCons, "IDCHECKF"), before);
    EXPECT_EQ(screen.cdsItensOrcFatCons.ChangeCount(), 0);
    EXPECT_FALSE(boCheck);
}

TEST_F(CheckColumns, GivenEffectedLabourBranch_ThenItIsGreyAndRefusesTheToggle) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    TDBGrid* list = screen.dbgFilialMaoObra;
    const int effected = rowOf(list, "0003");
    const int open = rowOf(list, "0002");
    ASSERT_GE(effected, 0);
    const int check = columnOf(list, "IDCHECKO");
    const int name = columnOf(list, "NMFILIAL");
    EXPECT_EQ(list->CellStyle(effected, name).textColor, clGray);
    EXPECT_NE(list->CellStyle(open, name).textColor, clGray);
    EXPECT_NE(list->CellStyle(open, check).picture, TCheckPicture::None);

    event([&] { list->SetFocus(); });
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0003")}); });
    const std::string before = valueOf(screen.cdsOrcamentoFilial, "0003", "IDCHECKO");
    press(VK_SPACE);
    EXPECT_EQ(messages(), "error: Item já efetivado!\n");
    EXPECT_EQ(valueOf(screen.cdsOrcamentoFilial, "0003", "IDCHECKO"), before);
    EXPECT_FALSE(boCheck);

    // An open branch toggles, and toggles back.
    platform.clearMessages();
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0002")}); });
    const std::string open0002 = valueOf(screen.cdsOrcamentoFilial, "0002", "IDCHECKO");
    event([&] { list->DblClickCell(open, check); });
    const std::string toggled = valueOf(screen.cdsOrcamentoFilial, "0002", "IDCHECKO");
    EXPECT_EQ(toggled, open0002 == "S" ? "N" : "S");
    EXPECT_EQ(list->CellStyle(open, check).picture,
              toggled == "S" ? TCheckPicture::Checked : TCheckPicture::Unchecked);
    press(VK_SPACE);
    EXPECT_EQ(valueOf(screen.cdsOrcamentoFilial, "0002", "IDCHECKO"), open0002 == "S" ? "S" : "N");
    EXPECT_EQ(messages(), "");
}

TEST_F(CheckColumns, GivenBillingCheckColumn_ThenClickAndSpaceToggleButApprovedRowsRefuse) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    clickCell(screen.dbgItOrcFatur, "0002", "IDCHECKF");
    const std::string first = valueOf(fc, "0002", "IDCHECKF");
    EXPECT_TRUE(first == "S" || first == "N") << first;
    EXPECT_FALSE(screen.dbgItOrcFatur->HasOption(dgEditing)) << "the check column is not typed in";
    press(VK_SPACE);
    EXPECT_EQ(valueOf(fc, "0002", "IDCHECKF"), first == "S" ? "N" : "S");
    EXPECT_EQ(fc.State(), dsBrowse) << "a toggle is no edit session";
    EXPECT_EQ(messages(), "");

    clickCell(screen.dbgItOrcFatur, "0004", "IDCHECKF");
    EXPECT_EQ(messages(), "error: Item já aprovado!\n");
    platform.clearMessages();
    clickCell(screen.dbgItOrcFatur, "0005", "IDCHECKF");
    EXPECT_EQ(messages(), "error: Gerente não tem permissão para realizar o cálculo do orçamento "
                          "desta filial.\n");
    // A month column of an open row takes typing again.
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOJAN");
    EXPECT_TRUE(screen.dbgItOrcFatur->HasOption(dgEditing));
}

TEST_F(CheckColumns, GivenDepreciationPage_ThenItsOwnCheckToggles) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshDeprec);
    TClientDataSet& items = screen.cdsItensOrcamento;
    ASSERT_FALSE(items.IsEmpty());
    event([&] { screen.dbgDeprec->SetFocus(); });
    const int row = rowOf(screen.dbgDeprec, "0001");
    const int check = columnOf(screen.dbgDeprec, "IDCHECK");
    event([&] { screen.dbgDeprec->ClickCell(row, check); });
    const std::string before = valueOf(items, "0001", "IDCHECK");
    event([&] { screen.dbgDeprec->DblClickCell(row, check); });
    EXPECT_EQ(valueOf(items, "0001", "IDCHECK"), before == "S" ? "N" : "S");
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(boEditItemOrca);
    EXPECT_EQ(messages(), "");
}

TEST_F(CheckColumns, GivenMarkedRows_ThenTestCheckFindsThemAndKeepsTheCurrentBranch) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    event([&] { fc.Locate("CDFILIAL", {Variant("0002")}); });
    platform.answerNext(mrYes);
    event([&] { screen.dbgItOrcFatur->ClickTitle(0); });
    if (valueOf(fc, "0001", "IDCHECKF") != "S") {
        platform.answerNext(mrYes);
        event([&] { screen.dbgItOrcFatur->ClickTitle(0); });
    }
    event([&] { fc.Locate("CDFILIAL", {Variant("0004")}); });
    bool found = false;
    event([&] { found = screen.TestCheck(fc); });
    EXPECT_TRUE(found);
    EXPECT_EQ(fc.FieldByName("CDFILIAL").AsString(), "0004");
    platform.answerNext(mrYes);
    event([&] { screen.dbgItOrcFatur->ClickTitle(0); });
    event([&] { found = screen.TestCheck(fc); });
    EXPECT_FALSE(found) << column(fc, "IDCHECKF");
}
