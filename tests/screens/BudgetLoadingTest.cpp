#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/ui/TBtnPesquisa.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"
#include "services/ui/TfrmPesquisa.h"

class BudgetLoading : public ScreenFixture {
protected:
    std::string monthColumns(TDBGrid* grid, int first) {
        std::string out;
        for (int c = first; c < first + 12; ++c)
            out += (out.empty() ? "" : " ") + grid->Column(c)->FieldName().substr(11);
        return out;
    }
};

TEST_F(BudgetLoading, GivenEmptyVersion_WhenYearIsLeft_ThenLatestVersionFillsItAndIsMarkedLatest) {
    TfrmCalcOrcaOper& screen = openScreen();
    event([&] { screen.edtVersao->SetText(""); });
    boMaiorVersao = false;
    focus("edtVersao");
    EXPECT_EQ(screen.edtVersao->Text(), "2");
    EXPECT_TRUE(boMaiorVersao);
}

TEST_F(BudgetLoading, GivenOlderVersionTyped_WhenYearIsLeft_ThenItIsNotTheLatest) {
    TfrmCalcOrcaOper& screen = openScreen();
    event([&] { screen.edtVersao->SetText("1"); });
    focus("edtVersao");
    focus("speAno");
    EXPECT_EQ(screen.edtVersao->Text(), "1");
    EXPECT_FALSE(boMaiorVersao);
}

TEST_F(BudgetLoading, GivenLatestVersion_WhenFilterConfirmed_ThenBudgetLoadsEditable) {
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 2);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial), "0001 0002 0003 0004 0005");
    // The billing page shows the billing rows only.
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons), "0001 0002 0003 0004 0005");
    EXPECT_EQ(screen.cdsItensOrcFatCons.Filter(), "[IDTIPOORCAOP] = 'F'");
    EXPECT_TRUE(boMaiorVersao);
    // A month cell of an open row takes typing.
    event([&] { screen.dbgItOrcFatur->SetSelectedIndex(4); });
    EXPECT_TRUE(screen.dbgItOrcFatur->HasOption(dgEditing));
    EXPECT_TRUE(screen.dbgMaoObra->HasOption(dgEditing));
    EXPECT_TRUE(screen.tshDeprec->Enabled());
    EXPECT_TRUE(screen.mnuVerificar->Enabled());
    EXPECT_TRUE(screen.sbtEfetivar->Enabled());
    EXPECT_FALSE(platform.progressVisible());
}

TEST_F(BudgetLoading, GivenOlderVersion_WhenLoaded_ThenEverythingThatChangesIsDisabledButSearch) {
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 1);
    ASSERT_EQ(messages(), "");
    ASSERT_FALSE(screen.cdsItensOrcFatCons.IsEmpty());
    EXPECT_FALSE(boMaiorVersao);
    event([&] { screen.dbgItOrcFatur->SetSelectedIndex(4); });
    for (TDBGrid* grid : {screen.dbgItOrcFatur, screen.dbgItConsumo, screen.dbgTxAdm,
                          screen.dbgDeprec, screen.dbgImposto})
        EXPECT_FALSE(grid->HasOption(dgEditing)) << grid->Name();
    for (TControl* control :
         {static_cast<TControl*>(screen.sbtEfetivar), static_cast<TControl*>(screen.sbtRepliVal),
          static_cast<TControl*>(screen.sbtSimulaRes), static_cast<TControl*>(screen.sbtCalcEfet),
          static_cast<TControl*>(screen.sbtCalcCard), static_cast<TControl*>(screen.btnCalcImpo),
          static_cast<TControl*>(screen.btnMesBaseFat), static_cast<TControl*>(screen.sbtAlterar),
          static_cast<TControl*>(screen.sbtOrcMaoObra), static_cast<TControl*>(screen.sbtTxAdm)})
        EXPECT_FALSE(control->Enabled()) << control->Name();
    EXPECT_TRUE(screen.mnuProcurar->Enabled());
    EXPECT_TRUE(screen.sbtProcurar->Enabled());
    // Switching pages keeps it read-only.
    event([&] { screen.pgcOrcamento->SelectPage(screen.tshMaoObra); });
    EXPECT_FALSE(screen.sbtRepliVal->Enabled());
    EXPECT_FALSE(screen.sbtOrcMaoObra->Enabled());
    EXPECT_TRUE(screen.mnuProcurar->Enabled());
}

TEST_F(BudgetLoading, GivenVersionStartingInApril_ThenMonthColumnsWrapFromAbrToMar) {
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 1);
    EXPECT_EQ(monthColumns(screen.dbgItOrcFatur, 4),
              "ABR MAI JUN JUL AGO SET OUT NOV DEZ JAN FEV MAR");
    EXPECT_EQ(monthColumns(screen.dbgDeprec, 3), "ABR MAI JUN JUL AGO SET OUT NOV DEZ JAN FEV MAR");
    // The fee grid keeps its design-time order.
    EXPECT_EQ(monthColumns(screen.dbgTxAdm, 3), "JAN FEV MAR ABR MAI JUN JUL AGO SET OUT NOV DEZ");
    loadBudget(2026, 2);
    EXPECT_EQ(monthColumns(screen.dbgItOrcFatur, 4),
              "JAN FEV MAR ABR MAI JUN JUL AGO SET OUT NOV DEZ");
}

TEST_F(BudgetLoading, GivenPhaseClosingFirstQuarter_ThenThoseMonthColumnsAreReadOnly) {
    loginAs("fase");
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 2);
    ASSERT_EQ(messages(), "");
    std::string readOnly;
    for (int c = 4; c < 16; ++c)
        if (screen.dbgItOrcFatur->Column(c)->ReadOnly())
            readOnly += screen.dbgItOrcFatur->Column(c)->FieldName().substr(11) + " ";
    EXPECT_EQ(readOnly, "JAN FEV MAR ");
}

TEST_F(BudgetLoading, GivenBadChoices_WhenPanelIsLeft_ThenTheirMessageShowsAndNothingLoads) {
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 9);
    EXPECT_EQ(messages(), "error: Versão não cadastrada.\n");
    EXPECT_TRUE(screen.cdsItensOrcFatCons.IsEmpty());
    EXPECT_EQ(screen.ActiveControl(), screen.edtVersao);

    platform.clearMessages();
    focus("edtVersao");
    event([&] { screen.edtVersao->SetText(""); });
    focus("pgcOrcamento");
    EXPECT_EQ(messages(), "error: Versão deve ser informada.\n");

    platform.clearMessages();
    focus("speAno");
    event([&] { screen.speAno->SetText(""); });
    focus("pgcOrcamento");
    EXPECT_EQ(messages(), "error: Ano deve ser informado.\n");
    EXPECT_EQ(platform.modalsRun().size(), 0u);
}

TEST_F(BudgetLoading, GivenFilterCancelled_WhenPanelIsLeft_ThenNothingLoadsAndFocusReturns) {
    TfrmCalcOrcaOper& screen = openScreen();
    cancelFilterWhenAsked();
    loadBudget(2026, 2);
    EXPECT_EQ(platform.modalsRun().size(), 1u);
    EXPECT_FALSE(screen.boConfirmou);
    EXPECT_TRUE(screen.cdsItensOrcFatCons.IsEmpty());
    EXPECT_EQ(screen.ActiveControl(), screen.speAno);
    EXPECT_EQ(messages(), "");
}

TEST_F(BudgetLoading, GivenFixedBranchHost_ThenOnlyThatBranchIsAskedWhateverTheFilterChose) {
    host.fixedBranch = true;
    host.branch = "0002";
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 2);
    ASSERT_EQ(messages(), "");
    EXPECT_EQ(screen.stPesqFilial, "_0002_");
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial), "0002");
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons), "0002");
}

TEST_F(BudgetLoading, GivenOperatorPhaseForbiddingCalculation_ThenEffectingIsDisabled) {
    loginAs("bloq");
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2026, 2);
    ASSERT_EQ(messages(), "");
    EXPECT_FALSE(screen.cdsVerifFaseOper.IsEmpty());
    EXPECT_FALSE(boHabEfet);
    EXPECT_FALSE(screen.sbtEfetivar->Enabled());
    EXPECT_FALSE(screen.sbtRepliVal->Enabled());
}

TEST_F(BudgetLoading, GivenOperatorWithoutPhaseRow_ThenEffectingStaysAllowed) {
    TfrmCalcOrcaOper& screen = openScreen();
    confirmFilterWhenAsked();
    loadBudget(2025, 1);
    ASSERT_EQ(messages(), "");
    EXPECT_TRUE(screen.cdsVerifFaseOper.IsEmpty());
    EXPECT_TRUE(boHabEfet);
}

TEST_F(BudgetLoading, GivenTyping_ThenYearAndVersionBoxesDropWhatIsNotANumber) {
    TfrmCalcOrcaOper& screen = openScreen();
    focus("speAno");
    typeText("2,0e+2-5");
    EXPECT_EQ(screen.speAno->Text(), "2025");
    focus("edtVersao");
    typeText("1a.2 ");
    EXPECT_EQ(screen.edtVersao->Text(), "12");
}

TEST_F(BudgetLoading, GivenVersionPicker_ThenItListsTheYearsVersionsAndFillsThePickedOne) {
    TfrmCalcOrcaOper& screen = openScreen();
    std::string listed;
    platform.onModal("TfrmPesquisa", [&](TForm& picker) {
        listed = codes(screen.cdsVersaoOrca, "CDVERSAOORCA");
        screen.cdsVersaoOrca.Locate("CDVERSAOORCA", {Variant("1")});
        static_cast<TfrmPesquisa&>(picker).sbtConfirma->Click();
    });
    event([&] { screen.BtnPesqVer->Click(); });
    EXPECT_EQ(listed, "1 2");
    EXPECT_EQ(screen.edtVersao->Text(), "1");
    EXPECT_EQ(messages(), "");
}
