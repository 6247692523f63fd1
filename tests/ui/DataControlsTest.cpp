#include "GridForm.h"

#include "services/data/NumberFormat.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TDBText.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TMenu.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

namespace {

class TfrmNavegar : public TfrmGrade {
public:
    explicit TfrmNavegar(TComponent* owner) : TfrmGrade(owner) {
        dbnPadrao = Add<TDBNavigator>("dbnPadrao", this);
        dbnPadrao->SetDataSource(&dtsItens);
        dbtNome = Add<TDBText>("dbtNome", this);
        dbtNome->SetDataSource(&dtsItens);
        dbtNome->SetDataField("NMFILIAL");
        depData = Add<TDateEditPlus>("depData", this);
        mnuArquivo = Add<TMenuItem>("mnuArquivo");
        mnuRecarregar = Add<TMenuItem>("mnuRecarregar");
        mnuArquivo->Add(mnuRecarregar);
        mnuRecarregar->SetShortCut(TextToShortCut("F5"));
        mnuRecarregar->OnClick = [this](TObject*) { log.add("reload"); };
        pmnGrade = Add<TPopupMenu>("pmnGrade");
        mnuMarcar = Add<TMenuItem>("mnuMarcar");
        pmnGrade->Items().Add(mnuMarcar);
        mnuMarcar->SetShortCut(TextToShortCut("Ctrl+M"));
        mnuMarcar->OnClick = [this](TObject*) { log.add("mark"); };
        dbgItens->SetPopupMenu(pmnGrade);
    }
    TDBNavigator* dbnPadrao;
    TDBText* dbtNome;
    TDateEditPlus* depData;
    TMenuItem* mnuArquivo;
    TMenuItem* mnuRecarregar;
    TPopupMenu* pmnGrade;
    TMenuItem* mnuMarcar;
};

class DataControlsTest : public ::testing::Test {
protected:
    void SetUp() override { form = &driver.open<TfrmNavegar>(nullptr); }
    ScreenDriver driver;
    TfrmNavegar* form = nullptr;
};

TEST_F(
    DataControlsTest,
    GivenANavigatorAndADataLabel_WhenTheOperatorMoves_ThenTheLabelFollowsAndButtonsMatchThePosition) {
    TDBNavigator& nav = *form->dbnPadrao;
    EXPECT_FALSE(nav.ButtonEnabled(nbPrior));
    EXPECT_TRUE(nav.ButtonEnabled(nbNext));
    EXPECT_FALSE(nav.ButtonEnabled(nbPost));
    EXPECT_EQ(driver.textOf("dbtNome"), "Centro");
    driver.act([&nav] { nav.BtnClick(nbLast); });
    EXPECT_EQ(driver.textOf("dbtNome"), "Sul");
    EXPECT_FALSE(nav.ButtonEnabled(nbNext));
    driver.act([&nav] { nav.BtnClick(nbEdit); });
    EXPECT_TRUE(nav.ButtonEnabled(nbCancel));
    EXPECT_FALSE(nav.ButtonEnabled(nbEdit));
    driver.act([&nav] { nav.BtnClick(nbCancel); });
    EXPECT_EQ(form->cdsItens.State(), dsBrowse);
    // The grid moved with the dataset.
    EXPECT_EQ(form->dbgItens->CurrentRow(), 2);
}

TEST_F(DataControlsTest,
       GivenTheGridsLastColumn_WhenTabIsPressed_ThenTheNextRowStartsAtItsFirstColumn) {
    driver.clickCell("dbgItens", 0, "DTMESBASEITEM");
    driver.press("Tab");
    EXPECT_EQ(form->cdsItens.RecNo(), 2);
    EXPECT_EQ(form->dbgItens->SelectedIndex(), 0);
    driver.press("Shift+Tab");
    EXPECT_EQ(form->cdsItens.RecNo(), 1);
    EXPECT_EQ(form->dbgItens->SelectedField()->FieldName(), "DTMESBASEITEM");
    // Without the tab option Tab leaves the grid.
    form->dbgItens->RemoveOption(dgTabs);
    driver.press("Tab");
    EXPECT_EQ(driver.focusedName(), "edtOutro");
}

TEST_F(DataControlsTest,
       GivenAMenuItemUnderADisabledParent_WhenItsShortcutIsPressed_ThenNothingRuns) {
    EXPECT_EQ(ShortCutToText(form->mnuRecarregar->ShortCut()), "F5");
    EXPECT_EQ(ShortCutToText(TextToShortCut("Ctrl+Shift+L")), "Ctrl+Shift+L");
    EXPECT_EQ(TextToShortCut("Ctrl+Nada"), 0u);
    driver.press("F5");
    form->mnuArquivo->SetEnabled(false);
    driver.press("F5");
    form->mnuArquivo->SetEnabled(true);
    form->mnuRecarregar->SetVisible(false);
    driver.press("F5");
    EXPECT_EQ(form->log.take(), "reload");

    // The grid's popup shortcut works only while the grid has the focus.
    driver.focus("edtOutro");
    driver.press("Ctrl+M");
    driver.focus("dbgItens");
    driver.press("Ctrl+M");
    EXPECT_EQ(form->log.take(), "grid exit, mark");
}

TEST_F(DataControlsTest,
       GivenADateBoxWithACaret_WhenAPartIsRetyped_ThenOnlyThatPartChangesAndTheLiteralsStay) {
    driver.typeInto("depData", "05032009");
    form->depData->SetSelStart(3);
    form->depData->SetSelLength(2);
    driver.type("04");
    EXPECT_EQ(form->depData->Text(), "05/04/2009");
    driver.press("End");
    driver.press("Backspace");
    driver.press("Backspace");
    EXPECT_EQ(form->depData->Text(), "05/04/20  ");
    EXPECT_FALSE(form->depData->IsValidDate());
    driver.type("10");
    EXPECT_DOUBLE_EQ(form->depData->GetDate(), EncodeDate(2010, 4, 5));
    // A character the place does not take is refused.
    driver.press("Home");
    driver.type("x");
    EXPECT_EQ(form->depData->Text(), "05/04/2010");
}

TEST(ApplicationClockTest, GivenAFixedDay_ThenTodayAndNowAreThatDayUntilTheSystemClockIsBack) {
    ScreenDriver driver;
    driver.app().setToday(EncodeDate(2026, 5, 10) + 0.75);
    EXPECT_DOUBLE_EQ(driver.app().today(), EncodeDate(2026, 5, 10));
    EXPECT_DOUBLE_EQ(driver.app().now(), EncodeDate(2026, 5, 10));
    driver.app().useSystemClock();
    EXPECT_GT(driver.app().today(), EncodeDate(2020, 1, 1));
    EXPECT_GE(driver.app().now(), driver.app().today());
    EXPECT_LT(driver.app().now(), driver.app().today() + 1);
}

} // namespace
