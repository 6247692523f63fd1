// The products of an expense item, opened from the main screen's toolbar as the host's loader
// would open the other module, against the real server with the shared fixture.
#include "tests/screens/SaveFixture.h"

#include "products/Cli_fyn10395.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TLabel.h"

namespace {

class Products : public SaveFixture {
protected:
    Products() {
        host.onLoadBPL = [](const std::string& code, const std::vector<Variant>& params) {
            if (code == "FYN10395") criaProdDesp(params);
        };
    }

    // The entry-expense page on a branch: its one item of the page's kind is current.
    TfrmCalcOrcaOper& onEntries(const std::string& branch) {
        TfrmCalcOrcaOper& screen = loaded();
        page(screen.tshEntradas);
        event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant(branch)}); });
        EXPECT_EQ(screen.cdsItensOrcamento.FieldByName("CDDESPPREV").AsString(), "005");
        return screen;
    }

    // Types a quantity into a product's month and leaves the cell.
    void typeQuantity(TfrmProdDesp& d, int row, const std::string& month, const std::string& text) {
        event([&] { d.FocusControl(d.dbgProdutos); });
        event([&] {
            d.dbgProdutos->ClickCell(
                row, d.dbgProdutos->ColumnByFieldName("QTPRODUTO" + month)->Index());
        });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
        event([&] { d.PressKey(VK_TAB); });
    }

    static double monthTotal(TfrmProdDesp& d, const std::string& month) {
        return d.cdsTotais.FieldByName("VRTOTAL" + month).AsFloat();
    }
};

TEST_F(Products, GivenAnExpenseItem_WhenQuantitiesAreConfirmed_ThenTheItemTakesTheirMonthValues) {
    TfrmCalcOrcaOper& screen = onEntries("0001");
    const std::string sequence = screen.cdsItensOrcamento.FieldByName("NRSEQITEMORCA").AsString();
    bool shown = false;
    platform.onModal("TfrmProdDesp", [&](TForm& form) {
        auto& d = static_cast<TfrmProdDesp&>(form);
        shown = true;
        EXPECT_EQ(codes(d.cdsProdutos, "CDPRODUTO"), "TRA01 TRA02");
        EXPECT_EQ(d.stFilial, "0001");
        EXPECT_EQ(d.stTela, "FYN10000");
        EXPECT_TRUE(d.sbtConfirma->Enabled());
        typeQuantity(d, 0, "JAN", "2");
        EXPECT_DOUBLE_EQ(monthTotal(d, "JAN"), 700);
        typeQuantity(d, 1, "JAN", "1,5");
        EXPECT_DOUBLE_EQ(monthTotal(d, "JAN"), 1030);
        EXPECT_DOUBLE_EQ(d.cdsTotais.FieldByName("VRTOTAL").AsFloat(), 1030);
        event([&] { d.sbtConfirma->Click(); });
    });
    ASSERT_TRUE(screen.sbtProdDesp->Enabled());
    event([&] { screen.sbtProdDesp->Click(); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(messages(), "");
    EXPECT_DOUBLE_EQ(stored("0001", "E", "JAN", sequence), 1030);
    EXPECT_DOUBLE_EQ(stored("0001", "E", "FEV", sequence), 0);
    // The main screen read the budget again and shows the item's new months.
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshEntradas);
    ASSERT_TRUE(screen.cdsItensOrcamento.Locate("NRSEQITEMORCA", {Variant(sequence)}));
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcamento.FieldByName("VRORCAMENTOJAN").AsFloat(), 1030);
}

TEST_F(Products, GivenTheScreenLeftWithoutConfirming_ThenTheItemKeepsItsValues) {
    TfrmCalcOrcaOper& screen = onEntries("0002");
    const std::string sequence = screen.cdsItensOrcamento.FieldByName("NRSEQITEMORCA").AsString();
    const double before = stored("0002", "E", "MAR", sequence);
    platform.onModal("TfrmProdDesp", [&](TForm& form) {
        auto& d = static_cast<TfrmProdDesp&>(form);
        typeQuantity(d, 0, "MAR", "9");
        event([&] { d.sbtCancel->Click(); });
    });
    event([&] { screen.sbtProdDesp->Click(); });
    EXPECT_DOUBLE_EQ(stored("0002", "E", "MAR", sequence), before);
}

TEST_F(Products, GivenAnEffectedItem_ThenTheProductsOpenReadOnly) {
    TfrmCalcOrcaOper& screen = onEntries("0003");
    platform.onModal("TfrmProdDesp", [&](TForm& form) {
        auto& d = static_cast<TfrmProdDesp&>(form);
        EXPECT_FALSE(d.sbtConfirma->Enabled());
        EXPECT_NE(d.lblItem->Caption().find("somente consulta"), std::string::npos);
        const std::string before = codes(d.cdsProdutos, "QTPRODUTOJAN");
        typeQuantity(d, 0, "JAN", "5");
        EXPECT_EQ(codes(d.cdsProdutos, "QTPRODUTOJAN"), before);
        event([&] { d.sbtCancel->Click(); });
    });
    event([&] { screen.sbtProdDespClick(screen.sbtProdDesp); });
    ASSERT_EQ(host.loaded.size(), 1u);
    EXPECT_EQ(host.loaded[0].second.at(6).toText(), "E");
}

TEST_F(Products, GivenAnItemWithoutExpenseType_ThenTheButtonSaysSoAndOpensNothing) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    event([&] { screen.sbtProdDespClick(screen.sbtProdDesp); });
    EXPECT_EQ(messages(),
              "error: Escolha um item com tipo de despesa para ver os seus produtos.\n");
    EXPECT_TRUE(host.loaded.empty());
}

} // namespace
