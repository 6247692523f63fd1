#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "services/ui/TEdit.h"
#include "services/ui/TForm.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "services/ui/TTabSheet.h"

extern "C" void IniProc();
extern "C" void ModuleFinalization();

class ScreenLifecycle : public ScreenFixture {};

TEST_F(ScreenLifecycle, GivenNoScreen_WhenEntryRuns_ThenScreenShowsTodaysYearAndItsLatestVersion) {
    TfrmCalcOrcaOper& screen = openScreen();
    EXPECT_EQ(screen.Caption(), "Cálculo Orçamento Operacional");
    EXPECT_EQ(screen.speAno->Text(), "2026");
    EXPECT_EQ(screen.edtVersao->Text(), "2");
    EXPECT_EQ(screen.edtCodOperador->Text(), "teste");
    EXPECT_EQ(screen.edtNmOperador->Text(), "Operador de Teste");
    EXPECT_TRUE(screen.edtCodOperador->ReadOnly());
    EXPECT_FALSE(screen.edtNmOperador->Enabled());
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshFaturBruto);
    EXPECT_EQ(screen.ActiveControl(), screen.speAno);
    // Module parameters come from the server at creation.
    EXPECT_TRUE(screen.cdsParametros.Active());
    EXPECT_FALSE(screen.cdsParametros.IsEmpty());
    EXPECT_TRUE(boStCriado);
    EXPECT_EQ(messages(), "");
}

TEST_F(ScreenLifecycle, GivenShownScreen_ThenNothingThatNeedsALoadedBudgetIsEnabled) {
    TfrmCalcOrcaOper& screen = openScreen();
    for (TMenuItem* item :
         {screen.mnuVerificar, screen.mnuCancelar, screen.mnuConfirmar, screen.mnuProcurar,
          screen.mnuListagem, screen.mnuOrdenar, screen.mnuIncluir, screen.mnuExcluir,
          screen.mnuRepliVal, screen.mnuSimulaRes, screen.mnuOrcMaoObra})
        EXPECT_FALSE(item->Enabled()) << item->Name();
    for (TSpeedButton* button :
         {screen.sbtVerificar, screen.sbtCancelar, screen.sbtConfirmar, screen.sbtRepliVal,
          screen.sbtCalcEfet, screen.sbtSimulaRes, screen.sbtOrcMaoObra, screen.sbtEfetivar,
          screen.sbtIncluir, screen.sbtExcluir, screen.sbtImprimir})
        EXPECT_FALSE(button->Enabled()) << button->Name();
    EXPECT_TRUE(screen.sbtFiltro->Enabled());
}

TEST_F(ScreenLifecycle,
       GivenOpenScreen_WhenIniProcRunsAgain_ThenSameScreenWithoutReadingParameters) {
    TfrmCalcOrcaOper& first = openScreen();
    // Were the parameters read again, the emptied dataset would be filled once more.
    first.cdsParametros.EmptyDataSet();
    IniProc();
    EXPECT_EQ(frmCalcOrcaOper, &first);
    EXPECT_TRUE(first.cdsParametros.IsEmpty());
    EXPECT_EQ(platform.shownForms().size(), 1u);
}

TEST_F(ScreenLifecycle, GivenOpenScreen_WhenClosed_ThenNextEntryCreatesAFreshOne) {
    TfrmCalcOrcaOper& first = openScreen();
    event([&] { first.Close(); });
    app.freeReleasedForms();
    EXPECT_FALSE(boStCriado);
    EXPECT_EQ(frmCalcOrcaOper, nullptr);
    TfrmCalcOrcaOper& second = openScreen();
    EXPECT_TRUE(boStCriado);
    EXPECT_FALSE(second.cdsParametros.IsEmpty());
}

TEST_F(ScreenLifecycle,
       GivenServerRefusingParameters_WhenEntryRuns_ThenItsMessageShowsAndScreenStays) {
    openScreen();
    event([&] { form->Close(); });
    app.freeReleasedForms();
    host.token = "not-a-session";
    event([] { CriaCalcOrcaOper(); });
    ASSERT_NE(frmCalcOrcaOper, nullptr);
    EXPECT_TRUE(frmCalcOrcaOper->cdsParametros.IsEmpty());
    EXPECT_NE(messages().find("error: "), std::string::npos) << messages();
}

TEST_F(ScreenLifecycle,
       GivenFormsOfTheModuleTheHostAndAnotherModule_WhenShutDown_ThenOnlyItsOwnGo) {
    openScreen();
    TForm* hostForm = app.createForm<TForm>(nullptr);
    TForm* otherModule = app.createModuleForm<TForm>("FYN20000", nullptr);
    TForm* sameModule = app.createModuleForm<TForm>(kModuleCode, nullptr);
    ASSERT_EQ(app.forms().size(), 4u);
    EXPECT_EQ(sameModule->Module(), "FYN10000");

    ModuleFinalization();

    EXPECT_EQ(app.forms(), (std::vector<TForm*>{hostForm, otherModule}));
    EXPECT_EQ(frmCalcOrcaOper, nullptr);
    EXPECT_FALSE(boStCriado);
}
