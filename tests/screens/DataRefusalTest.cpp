// The main screen's refusals that protect the budget: an older version, effected and approved
// rows, months closed to the operator's phase, branches without calculation access and a phase
// closed to calculation. Each case types into (or toggles) exactly one cell and checks what the
// operator is told and that the dataset holds no change to send.
#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"

namespace {

struct Refusal {
    const char* what;
    const char* op;
    int version;
    TTabSheet* TfrmCalcOrcaOper::*page;
    TDBGrid* TfrmCalcOrcaOper::*grid;
    const char* branch;
    const char* field;
    const char* keys; // typed into the cell; empty: the cell is clicked (a check toggles)
    const char* told; // the messages shown, in order
};

// One cell of a value grid, reached the way the operator reaches it.
class CellGestures : public EntryFixture {
protected:
    TClientDataSet& dataSetOf(TfrmCalcOrcaOper& screen, TDBGrid* grid) {
        return grid == screen.dbgItOrcFatur || grid == screen.dbgItConsumo
                   ? screen.cdsItensOrcFatCons
                   : screen.cdsItensOrcamento;
    }

    // Makes the branch current: on an item page the branch is chosen in the branch list.
    void chooseBranch(TfrmCalcOrcaOper& screen, TDBGrid* grid, const std::string& branch) {
        TClientDataSet& ds = dataSetOf(screen, grid);
        TClientDataSet& list = &ds == &screen.cdsItensOrcFatCons ? ds : screen.cdsOrcamentoFilial;
        event([&] { list.Locate("CDFILIAL", {Variant(branch)}); });
        ASSERT_EQ(ds.FieldByName("CDFILIAL").AsString(), branch);
    }

    // Clicks the cell of the current row in the field's column, as the operator does.
    void clickCurrentCell(TDBGrid* grid, const std::string& field) {
        event([&] { grid->SetFocus(); });
        const int row = grid->CurrentRow();
        // A refused click ends in its error message, after the cell was selected.
        event([&] { grid->ClickCell(row, columnOf(grid, field)); });
        ASSERT_EQ(grid->SelectedField()->FieldName(), field);
    }
};

class DataRefusals : public CellGestures, public ::testing::WithParamInterface<Refusal> {};

TEST_P(DataRefusals,
       GivenAProtectedCell_WhenTheOperatorChangesIt_ThenTheReasonIsToldAndNothingIsPending) {
    const Refusal& c = GetParam();
    TfrmCalcOrcaOper& screen = loaded(c.op, c.version);
    if (c.page != nullptr) page(screen.*c.page);
    TDBGrid* grid = screen.*c.grid;
    TClientDataSet& ds = dataSetOf(screen, grid);
    chooseBranch(screen, grid, c.branch);
    const std::string before = valueOf(ds, c.branch, c.field);
    ASSERT_NE(before, "(no row)");

    clickCurrentCell(grid, c.field);
    if (*c.keys != '\0') {
        typeText(c.keys);
        press(VK_TAB);
    }

    EXPECT_EQ(messages(), c.told);
    EXPECT_EQ(valueOf(ds, c.branch, c.field), before);
    EXPECT_EQ(ds.State(), dsBrowse);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_FALSE(boCheck);
}

constexpr const char* kNoAccess =
    "error: Gerente não tem permissão para realizar o cálculo do orçamento desta filial.\n";
constexpr const char* kPhaseClosed =
    "error: Atenção! Fase Fase sem cálculo não habilitada para cálculo do orçamento.\n";

using F = TfrmCalcOrcaOper;

INSTANTIATE_TEST_SUITE_P(
    Cells, DataRefusals,
    ::testing::Values(
        // An older version of the year is read-only, silently.
        Refusal{"OlderVersionBilling", "teste", 1, nullptr, &F::dbgItOrcFatur, "0001",
                "VRORCAMENTOJUL", "9", ""},
        Refusal{"OlderVersionLabour", "teste", 1, &F::tshMaoObra, &F::dbgMaoObra, "0001",
                "VRORCAMENTOJUL", "9", ""},
        // Effected and approved rows take no keys.
        Refusal{"EffectedBillingRow", "teste", 2, nullptr, &F::dbgItOrcFatur, "0003",
                "VRORCAMENTOJUL", "9", ""},
        Refusal{"ApprovedBillingRow", "teste", 2, nullptr, &F::dbgItOrcFatur, "0004",
                "VRORCAMENTOJUL", "9", ""},
        Refusal{"EffectedLabourItem", "teste", 2, &F::tshMaoObra, &F::dbgMaoObra, "0003",
                "VRORCAMENTOJUL", "9", ""},
        Refusal{"ApprovedLabourItem", "teste", 2, &F::tshMaoObra, &F::dbgMaoObra, "0004",
                "VRORCAMENTOJUL", "9", ""},
        // Their checks do not toggle, and say why.
        Refusal{"EffectedBillingCheck", "teste", 2, nullptr, &F::dbgItOrcFatur, "0003", "IDCHECKF",
                "", "error: Item já efetivado!\n"},
        Refusal{"ApprovedBillingCheck", "teste", 2, nullptr, &F::dbgItOrcFatur, "0004", "IDCHECKF",
                "", "error: Item já aprovado!\n"},
        // Months the operator's phase closes cannot be typed into.
        Refusal{"ClosedMonthBilling", "fase", 2, nullptr, &F::dbgItOrcFatur, "0001",
                "VRORCAMENTOJAN", "9", ""},
        Refusal{"ClosedMonthLabour", "fase", 2, &F::tshMaoObra, &F::dbgMaoObra, "0001",
                "VRORCAMENTOMAR", "9", ""},
        // A branch without calculation access and a phase closed to calculation are named.
        Refusal{"NoAccessBilling", "teste", 2, nullptr, &F::dbgItOrcFatur, "0005", "VRORCAMENTOJUL",
                "9", kNoAccess},
        Refusal{"NoAccessLabour", "teste", 2, &F::tshMaoObra, &F::dbgMaoObra, "0005",
                "VRORCAMENTOJUL", "9", kNoAccess},
        Refusal{"NoAccessBillingCheck", "teste", 2, nullptr, &F::dbgItOrcFatur, "0005", "IDCHECKF",
                "", kNoAccess},
        Refusal{"PhaseClosedBilling", "bloq", 2, nullptr, &F::dbgItOrcFatur, "0001",
                "VRORCAMENTOJUL", "9", kPhaseClosed},
        Refusal{"PhaseClosedBillingCheck", "bloq", 2, nullptr, &F::dbgItOrcFatur, "0001",
                "IDCHECKF", "", kPhaseClosed},
        Refusal{"PhaseClosedLabour", "bloq", 2, &F::tshMaoObra, &F::dbgMaoObra, "0001",
                "VRORCAMENTOJUL", "9", kPhaseClosed}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.what); });

// The same gestures on an open cell of the latest version go through, so the refusals above
// are the cells' own and not a gesture that never reaches them.
class OpenCells : public CellGestures {
protected:
    // Types 9 into July of branch 0001 on a page, as fase, whose phase leaves July open.
    void typeIntoJuly(TTabSheet* TfrmCalcOrcaOper::*sheet, TDBGrid* TfrmCalcOrcaOper::*grid) {
        TfrmCalcOrcaOper& screen = loaded("fase", 2);
        page(screen.*sheet);
        TClientDataSet& ds = dataSetOf(screen, screen.*grid);
        chooseBranch(screen, screen.*grid, "0001");
        clickCurrentCell(screen.*grid, "VRORCAMENTOJUL");
        typeText("9");
        press(VK_TAB);
        EXPECT_EQ(messages(), "");
        EXPECT_DOUBLE_EQ(ds.FieldByName("VRORCAMENTOJUL").AsFloat(), 9);
    }
};

TEST_F(OpenCells, GivenAnOpenBillingCell_WhenTheOperatorTypesIntoIt_ThenTheValueIsPending) {
    typeIntoJuly(&TfrmCalcOrcaOper::tshFaturBruto, &TfrmCalcOrcaOper::dbgItOrcFatur);
}

TEST_F(OpenCells, GivenAnOpenLabourCell_WhenTheOperatorTypesIntoIt_ThenTheValueIsPending) {
    typeIntoJuly(&TfrmCalcOrcaOper::tshMaoObra, &TfrmCalcOrcaOper::dbgMaoObra);
}

} // namespace
