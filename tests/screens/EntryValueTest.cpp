#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "services/ui/TSpeedButton.h"

class EntryValues : public EntryFixture {};

TEST_F(EntryValues,
       GivenOpenBillingRow_WhenTypingWithThousandsDotAndDecimalComma_ThenTheNumberIsStored) {
    TfrmCalcOrcaOper& screen = loaded();
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOJAN");
    typeText("1.234,5");
    press(VK_TAB);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcFatCons.FieldByName("VRORCAMENTOJAN").AsFloat(), 1234.5);
    double sum = 0;
    for (const char* month : CalcOrcaOperData::kMeses)
        sum += screen.cdsItensOrcFatCons.FieldByName(std::string("VRORCAMENTO") + month).AsFloat();
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcFatCons.FieldByName("TOTAL").AsFloat(), sum)
        << "leaving the column recomputes the row total";
}

TEST_F(EntryValues, GivenMonthCell_WhenEmptiedAndLeft_ThenZeroIsStoredNotNull) {
    TfrmCalcOrcaOper& screen = loaded();
    clickCell(screen.dbgItOrcFatur, "0002", "VRORCAMENTOMAR");
    typeText("\b");
    press(VK_TAB);
    const TField& mar = screen.cdsItensOrcFatCons.FieldByName("VRORCAMENTOMAR");
    EXPECT_FALSE(mar.IsNull());
    EXPECT_DOUBLE_EQ(mar.AsFloat(), 0);
    EXPECT_EQ(messages(), "");
}

TEST_F(EntryValues, GivenMonthCell_WhenTypingSignsOrExponent_ThenTheyAreDropped) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = valueOf(screen.cdsItensOrcFatCons, "0001", "VRORCAMENTOFEV");
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOFEV");
    typeText("-e+E");
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse) << "no key reached the cell";
    typeText("7-e");
    EXPECT_EQ(screen.dbgItOrcFatur->EditorText(), "7");
    press(VK_TAB);
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcFatCons.FieldByName("VRORCAMENTOFEV").AsFloat(), 7);
    EXPECT_NE(before, "7");

    // The same on an item page.
    page(screen.tshMaoObra);
    clickCell(screen.dbgMaoObra, "0001", "VRORCAMENTOABR");
    typeText("-");
    EXPECT_EQ(screen.cdsItensOrcamento.State(), dsBrowse);
}

TEST_F(EntryValues, GivenTextThatIsNoNumber_WhenTheCellIsLeft_ThenItIsRefusedAndNothingChanges) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = valueOf(screen.cdsItensOrcFatCons, "0001", "VRORCAMENTOJUN");
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOJUN");
    typeText("1,2,3");
    press(VK_TAB);
    EXPECT_EQ(messages(), "error: Valor inválido.\n");
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0001", "VRORCAMENTOJUN"), before);
}

TEST_F(EntryValues, GivenBaseMonthTypedAsMonthAndYear_ThenTheFirstDayOfThatMonthIsStored) {
    TfrmCalcOrcaOper& screen = loaded();
    clickCell(screen.dbgItOrcFatur, "0001", "DTMESBASEITEM");
    typeText("032009");
    press(VK_TAB);
    EXPECT_EQ(messages(), "");
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcFatCons.FieldByName("DTMESBASEITEM").AsDateTime(),
                     EncodeDate(2009, 3, 1));
    EXPECT_EQ(screen.cdsItensOrcFatCons.FieldByName("DTMESBASEITEM").DisplayText(), "03/2009");
}

TEST_F(EntryValues, GivenBaseMonthThatIsNoMonth_ThenItIsRefusedWithTheTypedText) {
    TfrmCalcOrcaOper& screen = loaded();
    const double before = screen.cdsItensOrcFatCons.FieldByName("DTMESBASEITEM").AsDateTime();
    clickCell(screen.dbgItOrcFatur, "0001", "DTMESBASEITEM");
    typeText("132009");
    press(VK_TAB);
    EXPECT_EQ(messages(), "error: \"1/13/2009\" não é uma data válida.\n");
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcFatCons.FieldByName("DTMESBASEITEM").AsDateTime(), before);
}

TEST_F(EntryValues, GivenEditedRow_WhenMovingDown_ThenNextRowIsInEditAndKeepsItsOwnValues) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string next = column(screen.cdsItensOrcFatCons, "VRORCAMENTOJAN");
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOJAN");
    typeText("55");
    press(VK_DOWN);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(screen.cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString(), "0002");
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_TRUE(boEditItemOrca);
    // Only the typed cell changed: the edit did not travel with the cursor.
    std::string expected = next;
    expected.replace(expected.find('=') + 1, expected.find(' ') - expected.find('=') - 1, "55");
    EXPECT_EQ(column(screen.cdsItensOrcFatCons, "VRORCAMENTOJAN"), expected);
    EXPECT_EQ(codes(screen.cdsItensOrcFatCons), "0001 0002 0003 0004 0005");
}

TEST_F(EntryValues, GivenEditedItem_WhenMovingToTheNextItem_ThenItIsInEditToo) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    ASSERT_EQ(screen.cdsItensOrcamento.RecordCount(), 2) << "two labour lines per branch";
    event([&] { screen.dbgMaoObra->SetFocus(); });
    event([&] { screen.dbgMaoObra->ClickCell(0, columnOf(screen.dbgMaoObra, "VRORCAMENTOMAI")); });
    const std::string second =
        screen.cdsItensOrcamento
            .RowValue(1, screen.cdsItensOrcamento.FieldByName("CDDESPADMFAT").Index())
            .toText();
    typeText("12,5");
    press(VK_DOWN);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(screen.cdsItensOrcamento.State(), dsEdit);
    EXPECT_EQ(screen.cdsItensOrcamento.FieldByName("CDDESPADMFAT").AsString(), second);
    EXPECT_DOUBLE_EQ(
        screen.cdsItensOrcamento
            .RowValue(0, screen.cdsItensOrcamento.FieldByName("VRORCAMENTOMAI").Index())
            .toDouble(),
        12.5);
    EXPECT_NE(screen.cdsItensOrcamento.FieldByName("VRORCAMENTOMAI").AsFloat(), 12.5);
}

TEST_F(EntryValues, GivenLabourGrid_WhenDeletePressed_ThenOnlyAnEnabledEditButtonLetsItThrough) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    clickCell(screen.dbgMaoObra, "0001", "VRORCAMENTOJUL");
    const std::string text = screen.dbgMaoObra->EditorText();
    ASSERT_FALSE(text.empty());
    // In edit the edit button is disabled: Delete is swallowed.
    press(VK_F3);
    ASSERT_EQ(screen.cdsItensOrcamento.State(), dsEdit);
    ASSERT_FALSE(screen.sbtAlterar->Enabled());
    event([&] { screen.dbgMaoObra->SetFocus(); });
    press(VK_DELETE);
    EXPECT_EQ(screen.dbgMaoObra->EditorText(), text);
    EXPECT_EQ(messages(), "");
}

TEST_F(EntryValues, GivenLabourGridBrowsingWithEditButtonEnabled_ThenDeleteReachesTheCell) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    clickCell(screen.dbgMaoObra, "0001", "VRORCAMENTOJUL");
    ASSERT_TRUE(screen.sbtAlterar->Enabled());
    press(VK_DELETE);
    EXPECT_EQ(screen.dbgMaoObra->EditorText(), "");
}

TEST_F(EntryValues,
       GivenRowWithoutAccessOrClosedPhase_WhenTyping_ThenTheKeyIsRefusedWithItsReason) {
    TfrmCalcOrcaOper& screen = loaded();
    clickCell(screen.dbgItOrcFatur, "0005", "VRORCAMENTOJAN");
    const std::string before = valueOf(screen.cdsItensOrcFatCons, "0005", "VRORCAMENTOJAN");
    typeText("9");
    EXPECT_EQ(messages(),
              "error: Gerente não tem permissão para realizar o cálculo do orçamento desta "
              "filial.\n");
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0005", "VRORCAMENTOJAN"), before);
}

TEST_F(EntryValues, GivenPhaseClosedToCalculation_WhenEditingAnItem_ThenThePhaseIsNamed) {
    TfrmCalcOrcaOper& screen = loaded("bloq");
    page(screen.tshMaoObra);
    event([&] { screen.cdsItensOrcamento.Edit(); });
    const std::string shown = messages();
    EXPECT_EQ(shown.rfind("error: Atenção! Fase ", 0), 0u) << shown;
    EXPECT_NE(shown.find("não habilitada para cálculo do orçamento."), std::string::npos);
    EXPECT_EQ(shown.find("%s"), std::string::npos);
    EXPECT_EQ(screen.cdsItensOrcamento.State(), dsBrowse);
    EXPECT_FALSE(boEditItemOrca);
}

TEST_F(EntryValues, GivenEffectedOrApprovedItem_WhenTyping_ThenNothingHappensSilently) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    for (const char* branch : {"0003", "0004"}) {
        event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(branch)}); });
        event([&] { screen.dbgMaoObra->SetFocus(); });
        event([&] {
            screen.dbgMaoObra->ClickCell(0, columnOf(screen.dbgMaoObra, "VRORCAMENTOJAN"));
        });
        typeText("4");
        EXPECT_EQ(screen.cdsItensOrcamento.State(), dsBrowse) << branch;
    }
    EXPECT_EQ(messages(), "");
    EXPECT_FALSE(boEditItemOrca);
}

TEST_F(EntryValues, GivenRowsWithEmptyMonths_ThenTheFilledMonthsTestDependsOnTheBillingKind) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    auto emptyMarch = [&](const char* branch) {
        event([&] {
            fc.Locate("CDFILIAL", {Variant(branch)});
            boCheck = true;
            fc.Edit();
            boCheck = false;
            fc.FieldByName("VRORCAMENTOMAR").Clear();
        });
    };
    bool flag = true;
    ASSERT_EQ(valueOf(screen.cdsParDROFilial, "0001", "IDFATUROP"), "FE");
    // 0001 bills "FE": its months may stay empty.
    emptyMarch("0001");
    EXPECT_TRUE(event([&] { flag = screen.TestaValores(fc); }));
    EXPECT_FALSE(flag);
    event([&] { fc.Cancel(); });
    // 0002 bills "FS": every month must be filled.
    emptyMarch("0002");
    EXPECT_FALSE(event([&] { flag = screen.TestaValores(fc); }));
    EXPECT_EQ(messages(),
              "error: Operação bloqueada! Existem itens de orçamento sem valor informado.\n");
    event([&] { fc.Cancel(); });
    // A consumption row always passes.
    page(screen.tshConsumo);
    platform.clearMessages();
    emptyMarch("0002");
    EXPECT_TRUE(event([&] { flag = screen.TestaValores(fc); }));
    EXPECT_FALSE(flag);
    EXPECT_EQ(messages(), "");
}

TEST_F(EntryValues, GivenTypedTexts_ThenResultValorReadsThemTheOperatorsWay) {
    TfrmCalcOrcaOper& screen = loaded();
    EXPECT_DOUBLE_EQ(screen.resultValor(""), 0);
    EXPECT_DOUBLE_EQ(screen.resultValor("  "), 0);
    EXPECT_DOUBLE_EQ(screen.resultValor("1.234.567,89"), 1234567.89);
    EXPECT_DOUBLE_EQ(screen.resultValor("0,5"), 0.5);
    EXPECT_DOUBLE_EQ(screen.resultValor("12"), 12);
    EXPECT_FALSE(event([&] { screen.resultValor("abc"); }));
    EXPECT_EQ(messages(), "error: Valor inválido.\n");
}

TEST_F(EntryValues, GivenMonthTextOverAHundredCharacters_ThenTheNextKeyIsRefused) {
    TfrmCalcOrcaOper& screen = loaded();
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOAGO");
    typeText(std::string(101, '1'));
    EXPECT_EQ(messages(), "");
    typeText("1");
    EXPECT_EQ(messages(), "error: Valor inválido.\n");
    EXPECT_EQ(screen.dbgItOrcFatur->EditorText().size(), 101u);
}

TEST_F(EntryValues, GivenFixedColumns_ThenDeleteAndBackspaceAreSwallowed) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshConsumo);
    clickCell(screen.dbgItConsumo, "0001", "NMFILIAL");
    const std::string name = screen.dbgItConsumo->EditorText();
    press(VK_DELETE);
    press(VK_BACK);
    EXPECT_EQ(screen.dbgItConsumo->EditorText(), name);
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
    // An effected consumption row swallows them in every column.
    clickCell(screen.dbgItConsumo, "0003", "VRORCAMENTOJAN");
    const std::string value = screen.dbgItConsumo->EditorText();
    press(VK_DELETE);
    EXPECT_EQ(screen.dbgItConsumo->EditorText(), value);

    page(screen.tshMatriz);
    clickCell(screen.dbgMatriz, "0001", "NMDESPPREV");
    const std::string expense = screen.dbgMatriz->EditorText();
    press(VK_DELETE);
    press(VK_BACK);
    EXPECT_EQ(screen.dbgMatriz->EditorText(), expense);
    EXPECT_EQ(messages(), "");
}
