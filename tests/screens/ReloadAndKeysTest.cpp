#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"

class ReloadAndKeys : public ScreenFixture {
protected:
    TfrmCalcOrcaOper& loaded(int version = 2) {
        TfrmCalcOrcaOper& screen = openScreen();
        confirmFilterWhenAsked();
        loadBudget(2026, version);
        EXPECT_EQ(messages(), "");
        return screen;
    }
};

TEST_F(ReloadAndKeys, GivenLoadedBudget_WhenF5Anywhere_ThenBudgetIsReadAgainOnTheSameBranch) {
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0002")}); });
    // A local change the server does not know disappears with the reload.
    event([&] { screen.cdsItensOrcFatCons.EmptyDataSet(); });
    const int shows = platform.progressShows();
    focus("dbgItOrcFatur");
    event([&] { screen.PressKey(VK_F5); });
    EXPECT_EQ(platform.progressShows(), shows + 1);
    EXPECT_FALSE(platform.progressVisible());
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons), "0001 0002 0003 0004 0005");
    EXPECT_EQ(platform.modalsRun().size(), 1u) << "the reload keeps the filter";
    EXPECT_EQ(messages(), "");
}

TEST_F(ReloadAndKeys, GivenServerFailureWhileReloading_ThenItsMessageShowsAndDataStays) {
    TfrmCalcOrcaOper& screen = loaded();
    host.token = "expired";
    event([&] { screen.PressKey(VK_F5); });
    EXPECT_NE(messages().find("error: "), std::string::npos);
    EXPECT_FALSE(platform.progressVisible());
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons), "0001 0002 0003 0004 0005");
    EXPECT_EQ(codes(screen.cdsOrcamentoFilial), "0001 0002 0003 0004 0005");
}

TEST_F(ReloadAndKeys, GivenLatestVersion_WhenF3OnAnOpenRow_ThenItIsEditedAndOtherPagesLock) {
    TfrmCalcOrcaOper& screen = loaded();
    ASSERT_TRUE(screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0001")}));
    ASSERT_TRUE(screen.sbtAlterar->Enabled());
    focus("dbgItOrcFatur");
    event([&] { screen.PressKey(VK_F3); });
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_TRUE(screen.mnuConfirmar->Enabled());
    EXPECT_TRUE(screen.sbtCancelar->Enabled());
    EXPECT_FALSE(screen.mnuFiltroOrc->Enabled());
    EXPECT_FALSE(screen.speAno->Enabled());
    EXPECT_FALSE(screen.tshConsumo->Enabled());
    EXPECT_FALSE(screen.tshDeprec->Enabled());
    EXPECT_TRUE(screen.dbgItOrcFatur->Enabled());
    EXPECT_FALSE(screen.mnuIncluir->Enabled());
    EXPECT_FALSE(screen.mnuExcluir->Enabled());
    EXPECT_FALSE(screen.sbtImprimir->Enabled());
}

TEST_F(ReloadAndKeys, GivenOlderVersion_WhenF3_ThenNothingIsEdited) {
    TfrmCalcOrcaOper& screen = loaded(1);
    ASSERT_FALSE(screen.sbtAlterar->Enabled());
    focus("dbgItOrcFatur");
    event([&] { screen.PressKey(VK_F3); });
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
    EXPECT_TRUE(screen.tshConsumo->Enabled());
}

TEST_F(ReloadAndKeys, GivenEffectedRow_ThenNeitherEditNorCalculationIsOffered) {
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0003")}); });
    EXPECT_FALSE(screen.sbtAlterar->Enabled());
    EXPECT_FALSE(screen.sbtRepliVal->Enabled());
    EXPECT_FALSE(screen.sbtCalcEfet->Enabled());
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0001")}); });
    EXPECT_TRUE(screen.sbtAlterar->Enabled());
    EXPECT_TRUE(screen.sbtRepliVal->Enabled());
}

TEST_F(ReloadAndKeys, GivenFilterShortcut_ThenDialogOpensAgainAndBudgetReloads) {
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.PressKey('L', ssCtrl); });
    EXPECT_EQ(platform.modalsRun().size(), 2u);
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons), "0001 0002 0003 0004 0005");
    EXPECT_EQ(messages(), "");
}

TEST_F(ReloadAndKeys, GivenNothingLoadedYet_WhenF5_ThenNothingIsAskedOfTheServer) {
    TfrmCalcOrcaOper& screen = openScreen();
    const int shows = platform.progressShows();
    event([&] { screen.PressKey(VK_F5); });
    EXPECT_EQ(platform.progressShows(), shows);
    EXPECT_TRUE(screen.cdsItensOrcFatCons.IsEmpty());
    EXPECT_EQ(messages(), "");
}

TEST_F(ReloadAndKeys, GivenPanelEnteredAgain_WhenF5WhileTyping_ThenTheTypedYearIsNotLoaded) {
    TfrmCalcOrcaOper& screen = loaded();
    focus("speAno");
    EXPECT_TRUE(screen.cdsItensOrcFatCons.IsEmpty());
    event([&] { screen.speAno->SetText("2025"); });
    event([&] { screen.PressKey(VK_F5); });
    EXPECT_TRUE(screen.cdsItensOrcFatCons.IsEmpty());
    EXPECT_EQ(platform.modalsRun().size(), 1u);
}

TEST_F(ReloadAndKeys, GivenEmptyYear_WhenFilterButton_ThenOneMessageAndNoFilterDialog) {
    TfrmCalcOrcaOper& screen = loaded();
    event([&] { screen.speAno->SetText(""); });
    platform.clearMessages();
    event([&] { screen.sbtFiltro->Click(); });
    EXPECT_EQ(messages(), "error: Ano deve ser informado.\n");
    EXPECT_EQ(screen.ActiveControl(), screen.speAno);
    EXPECT_EQ(platform.modalsRun().size(), 1u);
}
