#include "GridForm.h"

#include "services/data/EAbort.h"
#include "services/data/NumberFormat.h"
#include "services/lib/Consiste.h"
#include "services/ui/ScreenRoutines.h"
#include "services/ui/testing/ScreenDriver.h"

#include <gtest/gtest.h>

namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = &driver.open<TfrmGrade>(nullptr);
        ds = &form->cdsItens;
        grid = form->dbgItens;
        driver.clickCell("dbgItens", 0, "VRORCAMENTOJAN");
        form->log.take();
    }
    double jan() const { return ds->FieldByName("VRORCAMENTOJAN").AsFloat(); }

    ScreenDriver driver;
    TfrmGrade* form = nullptr;
    TClientDataSet* ds = nullptr;
    TDBGrid* grid = nullptr;
};

TEST_F(
    GridTest,
    GivenAMonthCellWithASetTextHandler_WhenTheOperatorTypesAndTabsOut_ThenTheHandlerStoresTheTextBeforeTheColumnIsLeft) {
    // As the screens do: the handler reads the typed text through GridText, not its argument.
    ds->FieldByName("VRORCAMENTOJAN").OnSetText = [this](TField& field, const std::string&) {
        std::string typed;
        GridText(grid, "VRORCAMENTOJAN", true, typed);
        form->log.add("settext [" + typed + "]");
        bool ok = false;
        double value = typed.empty() ? 0.0 : TextToFloat(typed, ok);
        field.SetAsFloat(value);
    };
    driver.type("1.234,5");
    EXPECT_EQ(ds->State(), dsEdit);
    EXPECT_EQ(grid->EditorText(), "1.234,5");
    driver.press("Tab");
    EXPECT_EQ(form->log.take(),
              "settext [1.234,5], colexit VRORCAMENTOJAN [1.234,5], colenter DTMESBASEITEM");
    EXPECT_DOUBLE_EQ(jan(), 1234.5);

    // Emptying a cell and leaving it hands the handler an empty text.
    driver.press("Shift+Tab");
    driver.press("Del");
    driver.press("Enter");
    EXPECT_EQ(form->log.take(),
              "colexit DTMESBASEITEM [  /    ], colenter VRORCAMENTOJAN, settext []");
    EXPECT_DOUBLE_EQ(jan(), 0.0);
    EXPECT_FALSE(ds->FieldByName("VRORCAMENTOJAN").IsNull());
}

TEST_F(GridTest,
       GivenAGridKeyPressHandler_WhenItDropsOrChangesKeys_ThenOnlyWhatItLetsThroughIsTyped) {
    grid->OnKeyPress = [](TObject*, TKeyChar& key) {
        if (key == U'-' || key == U'e' || key == U'E' || key == U'+') key = 0;
        if (key == U'.') key = U',';
    };
    driver.type("-1e2.5");
    EXPECT_EQ(grid->EditorText(), "12,5");
    driver.press("Enter");
    EXPECT_DOUBLE_EQ(jan(), 12.5);
}

TEST_F(
    GridTest,
    GivenABeforeEditHandlerThatRefuses_WhenTheOperatorTypes_ThenNothingIsTypedAndTheReasonIsShown) {
    ds->BeforeEdit = [](TClientDataSet&) { MensErro("Item já efetivado!"); };
    EXPECT_FALSE(driver.type("7"));
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_FALSE(grid->EditorModified());
    EXPECT_EQ(driver.messages(), "error: Item já efetivado!\n");
}

TEST_F(GridTest,
       GivenCellsThatCannotBeTyped_WhenTheOperatorTypes_ThenTheKeysAreDroppedWithoutEditing) {
    driver.clickCell("dbgItens", 0, "CDFILIAL");
    driver.type("9");
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->FieldByName("CDFILIAL").AsString(), "0001");

    driver.clickCell("dbgItens", 0, "VRORCAMENTOJAN");
    grid->RemoveOption(dgEditing);
    driver.type("9");
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_TRUE(ds->FieldByName("VRORCAMENTOJAN").IsNull());
}

TEST_F(GridTest,
       GivenTextBeingTyped_WhenTheProgramPostsTheDataset_ThenTheTextIsStoredBeforeThePostsChecks) {
    std::string seenByBeforePost;
    ds->BeforePost = [this, &seenByBeforePost](TClientDataSet&) {
        seenByBeforePost = ds->FieldByName("VRORCAMENTOJAN").AsString();
    };
    driver.type("77");
    driver.act([this] { ds->Post(); });
    EXPECT_EQ(seenByBeforePost, "77");
    EXPECT_DOUBLE_EQ(jan(), 77.0);
}

TEST_F(GridTest,
       GivenTypedText_WhenEscapeIsPressedTwice_ThenTheTextIsDroppedAndThenTheEditCancelled) {
    driver.type("55");
    driver.press("Esc");
    EXPECT_FALSE(grid->EditorModified());
    EXPECT_EQ(ds->State(), dsEdit);
    driver.press("Esc");
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_TRUE(ds->FieldByName("VRORCAMENTOJAN").IsNull());
}

TEST_F(
    GridTest,
    GivenTypedText_WhenTheOperatorMovesToAnotherRowOrLeavesTheGrid_ThenTheTextIsStoredAndPosted) {
    driver.type("10");
    driver.press("Down");
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->First();
    EXPECT_DOUBLE_EQ(jan(), 10.0);

    driver.clickCell("dbgItens", 1, "VRORCAMENTOJAN");
    driver.type("20");
    form->log.take();
    driver.focus("edtOutro");
    EXPECT_EQ(form->log.take(), "grid exit");
    EXPECT_DOUBLE_EQ(jan(), 20.0);
}

TEST_F(GridTest,
       GivenAMaskedBaseMonthCell_WhenDigitsAreTyped_ThenTheMaskPlacesThemAndColExitReadsTheText) {
    ds->FieldByName("DTMESBASEITEM").OnSetText = [this](TField& field, const std::string&) {
        std::string typed;
        GridText(grid, "DTMESBASEITEM", true, typed);
        double days = 0;
        if (TryParseDate("01/" + typed, days)) field.SetAsDateTime(days);
    };
    driver.press("Tab");
    driver.type("032009");
    EXPECT_EQ(grid->EditorText(), "03/2009");
    form->log.take();
    driver.press("Shift+Tab");
    EXPECT_EQ(form->log.take(), "colexit DTMESBASEITEM [03/2009], colenter VRORCAMENTOJAN");
    EXPECT_DOUBLE_EQ(ds->FieldByName("DTMESBASEITEM").AsDateTime(), EncodeDate(2009, 3, 1));
}

TEST_F(GridTest, GivenAColouredGrid_WhenCellsAreDrawn_ThenTheColourIsBehindAllButTheSelectedCell) {
    EXPECT_EQ(grid->CellStyle(1, 1).background, clWindow);
    grid->SetColor(RGB(255, 255, 225));
    EXPECT_EQ(grid->CellStyle(1, 1).background, RGB(255, 255, 225));
    const int current = grid->CurrentRow();
    EXPECT_EQ(grid->CellStyle(current, grid->SelectedIndex()).background, clHighlight);
    // A handler still has the last word on a cell.
    grid->OnDrawColumnCell = [](TObject*, const TGridDrawCell&, TCellStyle& style) {
        style.background = clInfoBk;
    };
    EXPECT_EQ(grid->CellStyle(1, 1).background, clInfoBk);
}

TEST_F(
    GridTest,
    GivenACellStyleHandler_WhenRowsAreDrawn_ThenEachRowIsStyledFromItsOwnValuesWithoutMovingTheCursor) {
    int scrolls = 0;
    ds->AfterScroll = [&scrolls](TClientDataSet&) { ++scrolls; };
    grid->OnDrawColumnCell = [](TObject*, const TGridDrawCell& cell, TCellStyle& style) {
        if (cell.Column().FieldName() != "IDCHECKF") return;
        Variant v = cell.Value("IDCHECKF");
        style.picture = v.isNull()          ? TCheckPicture::Grayed
                        : v.toText() == "S" ? TCheckPicture::Checked
                                            : TCheckPicture::Unchecked;
        if (cell.Text("CDFILIAL") == "0002") style.textColor = clGray;
    };
    EXPECT_EQ(grid->CellStyle(0, 0).picture, TCheckPicture::Checked);
    EXPECT_EQ(grid->CellStyle(1, 0).picture, TCheckPicture::Unchecked);
    EXPECT_EQ(grid->CellStyle(1, 0).textColor, clGray);
    EXPECT_EQ(grid->CellStyle(2, 0).picture, TCheckPicture::Grayed);
    EXPECT_EQ(grid->CellText(1, 1), "0002");
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(ds->RecNo(), 1);
}

TEST_F(GridTest, GivenTextBeingTypedInACell_WhenTheCaretMoves_ThenEditingHappensAtTheCaret) {
    driver.type("125");
    driver.press("Left");
    driver.type(",");
    EXPECT_EQ(grid->EditorText(), "12,5");
    driver.press("Home");
    driver.press("Del");
    EXPECT_EQ(grid->EditorText(), "2,5");
    // Arrows move the caret while typing, so the column stays.
    EXPECT_EQ(grid->SelectedField()->FieldName(), "VRORCAMENTOJAN");
    driver.press("Enter");
    EXPECT_DOUBLE_EQ(ds->FieldByName("VRORCAMENTOJAN").AsFloat(), 2.5);
}

TEST_F(GridTest,
       GivenAColumnBoundByName_WhenItsFieldNameChangesAtRunTime_ThenItShowsAndEditsTheOtherField) {
    ds->Edit();
    ds->FieldByName("VRORCAMENTOFEV").SetAsFloat(3);
    ds->Post();
    grid->Column(2)->SetFieldName("VRORCAMENTOFEV");
    EXPECT_EQ(grid->SelectedField(), &ds->FieldByName("VRORCAMENTOFEV"));
    EXPECT_EQ(grid->CellText(0, 2), "3");
    driver.type("4");
    driver.press("Enter");
    EXPECT_DOUBLE_EQ(ds->FieldByName("VRORCAMENTOFEV").AsFloat(), 4.0);
    EXPECT_TRUE(ds->FieldByName("VRORCAMENTOJAN").IsNull());
}

TEST_F(GridTest,
       GivenGridPointerEvents_WhenTheOperatorClicks_ThenSelectionMovesBeforeTheHandlersRun) {
    grid->OnCellClick = [this](TColumn* c) {
        form->log.add("cell " + c->FieldName() + " row " + std::to_string(ds->RecNo()));
    };
    grid->OnDblClick = [this](TObject*) { form->log.add("dblclick"); };
    grid->OnTitleClick = [this](TColumn* c) { form->log.add("title " + c->FieldName()); };
    driver.dblClickCell("dbgItens", 2, "IDCHECKF");
    driver.clickTitle("dbgItens", "IDCHECKF");
    EXPECT_EQ(form->log.take(), "colexit VRORCAMENTOJAN [], colenter IDCHECKF, cell IDCHECKF row "
                                "3, dblclick, title IDCHECKF");
    EXPECT_THROW(driver.clickCell("dbgItens", 3, "IDCHECKF"), ScriptError);
    EXPECT_THROW(driver.clickTitle("dbgItens", "NMFILIAL"), ScriptError);
}

} // namespace
