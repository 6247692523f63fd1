// Taxes, the administrative fee page and its calculation, and the depreciation import, on the
// main screen against the real server with the shared fixture (budget 2026/2).
#include "tests/screens/SaveFixture.h"
#include "tests/server/FixtureBudget.h"

#include "budget/dialogs/Cli_fyn10390.h"
#include "server/store/DayNumber.h"
#include "server/store/Schema.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TMenuItem.h"

namespace {

class FeeTaxes : public SaveFixture {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        startServer().store().transaction(
            [&](srv::Database& db) { return db.execute(sql, params); });
    }

    // Every month of a branch's lines of one type set to `value` on the server.
    void setMonths(const std::string& branch, const std::string& type, double value) {
        FixtureBudget::setMonths(startServer().store(), branch, type, value);
    }

    // The twelve months of a branch's line as the server keeps them: "7|7|...".
    std::string months(const std::string& branch, const std::string& type) {
        std::string out;
        for (const char* m : CalcOrcaOperData::kMeses) {
            out += (out.empty() ? "" : "|") + Variant(stored(branch, type, m)).toText();
        }
        return out;
    }

    // The letters of the pages the operator can reach.
    std::string reachable() {
        std::string out;
        for (char letter : std::string("FICOTMDERSNP"))
            if (form->PaginaDaLetra(letter)->Enabled()) out += letter;
        return out;
    }

    // Double click on the check column of the branch's row.
    void toggle(TDBGrid* grid, const std::string& branch, const std::string& field) {
        event([&] { grid->SetFocus(); });
        const int row = rowOf(grid, branch);
        ASSERT_GE(row, 0) << branch;
        event([&] { grid->DblClickCell(row, columnOf(grid, field)); });
    }

    void clickTitle(TDBGrid* grid, const std::string& field) {
        event([&] { grid->ClickTitle(columnOf(grid, field)); });
    }

    // The period dialog confirmed with a range, as an earlier calculation left it.
    void confirmPeriod(const std::string& from, const std::string& to) {
        platform.onModal("TfrmPerCalc", [this, from, to](TForm& dialog) {
            auto& d = static_cast<TfrmPerCalc&>(dialog);
            event([&] { d.chbPerTot->SetChecked(false); });
            event([&] { d.depPerDe->SetText(from); });
            event([&] { d.depPerAte->SetText(to); });
            event([&] { d.sbtConfirma->Click(); });
        });
    }

    // Types a fee month of a branch and leaves the cell.
    void typeFee(const std::string& branch, const std::string& month, const std::string& text) {
        typeMonth(form->dbgTxAdm, branch, month, text);
        press(VK_TAB);
    }
};

// --- Taxes ----------------------------------------------------------------------------------

TEST_F(FeeTaxes, GivenTwoCheckedBranches_WhenTaxesAreCalculated_ThenEachMonthIsBillingTimesRate) {
    setMonths("0001", "F", 1000);
    setMonths("0002", "F", 1000);
    exec("UPDATE IMPOSTOFILIAL SET VRPERCALIQUOTA = 5 WHERE CDIMPOSTO = '01' AND "
         "NRANOORCAOP = '2026' AND CDFILIAL IN ('0001', '0002')");
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshImposto);
    toggle(screen.dbgFilImpo, "0001", "IDCHECKI");
    toggle(screen.dbgFilImpo, "0002", "IDCHECKI");
    ASSERT_EQ(messages(), "");
    const int shows = platform.progressShows();
    platform.answerNext(mrYes);
    event([&] { screen.btnCalcImpo->Click(); });
    EXPECT_EQ(messages(), "confirm: Confirma cálculo de imposto para as Filiais selecionadas? -> "
                          "Yes\ninfo: Cálculo realizado com sucesso.\n");
    EXPECT_EQ(months("0001", "I"), "50|50|50|50|50|50|50|50|50|50|50|50");
    EXPECT_EQ(months("0002", "I"), "50|50|50|50|50|50|50|50|50|50|50|50");
    EXPECT_EQ(platform.progressShows(), shows + 2) << "the calculation, then one reading";
    EXPECT_FALSE(platform.progressVisible());
    // The screen shows what the server wrote, still on the tax page.
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshImposto);
    ASSERT_TRUE(screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0002")}));
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcamento.FieldByName("VRORCAMENTOJAN").AsFloat(), 50);
}

TEST_F(FeeTaxes, GivenACheckedBranchWithoutTax_WhenCalculated_ThenTheOthersAreStillComputed) {
    setMonths("0001", "F", 1000);
    exec("UPDATE IMPOSTOFILIAL SET VRPERCALIQUOTA = 5 WHERE CDIMPOSTO = '01' AND CDFILIAL = "
         "'0001'");
    exec("DELETE FROM IMPOSTOFILIAL WHERE CDFILIAL = '0002'");
    const std::string before = months("0002", "I");
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshImposto);
    toggle(screen.dbgFilImpo, "0001", "IDCHECKI");
    toggle(screen.dbgFilImpo, "0002", "IDCHECKI");
    platform.answerNext(mrYes);
    event([&] { screen.btnCalcImpo->Click(); });
    const std::string shown = messages();
    EXPECT_NE(shown.find("info: Algumas operações não foram realizadas. Favor verificar o cadastro "
                         "do orçamento de impostos e refazer a operação. \n"),
              std::string::npos)
        << shown;
    EXPECT_NE(shown.find("0002"), std::string::npos) << "the server says which branch: " << shown;
    EXPECT_EQ(months("0001", "I"), "50|50|50|50|50|50|50|50|50|50|50|50");
    EXPECT_EQ(months("0002", "I"), before);
}

TEST_F(FeeTaxes, GivenRecoverableTaxPage_WhenCalculated_ThenConsumptionTimesRateWithItsOwnChecks) {
    setMonths("0001", "C", 2000);
    exec("UPDATE IMPOSTOFILIAL SET VRPERCALIQUOTA = 1.65 WHERE CDIMPOSTO = '04' AND CDFILIAL = "
         "'0001'");
    TfrmCalcOrcaOper& screen = loaded();
    // A branch checked on the tax page is not checked for recoverable taxes.
    page(screen.tshImposto);
    toggle(screen.dbgFilImpo, "0002", "IDCHECKI");
    page(screen.tshImpRecup);
    event([&] { screen.btnCalcImpCons->Click(); });
    EXPECT_EQ(messages(), "error: Filial a calcular deve ser informada.\n");

    platform.clearMessages();
    toggle(screen.dbgFilImpRec, "0001", "IDCHECKR");
    platform.answerNext(mrYes);
    event([&] { screen.btnCalcImpCons->Click(); });
    EXPECT_EQ(messages(), "confirm: Confirma cálculo de imposto para as Filiais selecionadas? -> "
                          "Yes\ninfo: Cálculo realizado com sucesso.\n");
    EXPECT_EQ(months("0001", "R"), "33|33|33|33|33|33|33|33|33|33|33|33");
}

TEST_F(FeeTaxes, GivenTheServerRefusingTheCall_WhenTaxesAreCalculated_ThenItsMessageAndNoSuccess) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshImposto);
    toggle(screen.dbgFilImpo, "0001", "IDCHECKI");
    const std::string before = months("0001", "I");
    host.token = "expired";
    platform.answerNext(mrYes);
    event([&] { screen.btnCalcImpo->Click(); });
    const std::string shown = messages();
    EXPECT_NE(shown.find("error: "), std::string::npos) << shown;
    EXPECT_EQ(shown.find("info: "), std::string::npos) << shown;
    EXPECT_EQ(months("0001", "I"), before);
    EXPECT_FALSE(platform.progressVisible());
    EXPECT_EQ(valueOf(screen.cdsOrcamentoFilial, "0001", "IDCHECKI"), "S") << "marks kept";
}

// --- The fee page ---------------------------------------------------------------------------

TEST_F(FeeTaxes, GivenTheFeePage_WhenSelectingAll_ThenOpenRowsAreMarkedAndTheNextClickClears) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    TClientDataSet& fee = screen.cdsTxAdm;
    const std::string before = column(fee, "IDCHECK");
    platform.answerNext(mrYes);
    clickTitle(screen.dbgTxAdm, "IDCHECK");
    EXPECT_EQ(messages(), "confirm: Deseja selecionar todas as filais? -> Yes\n");
    // 0003 effected, 0004 approved and 0005 out of the operator's reach keep their marks.
    const std::string after = column(fee, "IDCHECK");
    EXPECT_EQ(after.substr(0, after.find(" 0003")), "0001=S 0002=S");
    EXPECT_EQ(after.substr(after.find(" 0003")), before.substr(before.find(" 0003")));
    EXPECT_EQ(fee.FieldByName("CDFILIAL").AsString(), "0001");
    EXPECT_EQ(fee.State(), dsBrowse);
    EXPECT_FALSE(boEditTxAdm) << "marks are no edit session";
    EXPECT_EQ(reachable(), "FICOTMDERSNP");

    // Both open rows marked, which is more than half: the title now offers to clear.
    platform.clearMessages();
    platform.answerNext(mrNo);
    clickTitle(screen.dbgTxAdm, "IDCHECK");
    EXPECT_EQ(messages(),
              "confirm: Deseja desmarcar de todas filiais selecionadas para efetivar? -> No\n");
    EXPECT_EQ(column(fee, "IDCHECK"), after);
}

TEST_F(FeeTaxes, GivenClosedFeeRows_WhenToggledOrEdited_ThenEachIsRefusedWithItsMessage) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    TClientDataSet& fee = screen.cdsTxAdm;
    toggle(screen.dbgTxAdm, "0003", "IDCHECK");
    toggle(screen.dbgTxAdm, "0004", "IDCHECK");
    EXPECT_EQ(messages(), "error: Item já efetivado!\nerror: Item já aprovado!\n");
    EXPECT_EQ(fee.ChangeCount(), 0);

    platform.clearMessages();
    typeMonth(screen.dbgTxAdm, "0005", "JAN", "9");
    EXPECT_EQ(messages(), "error: Gerente não tem permissão para realizar o cálculo do orçamento "
                          "desta filial.\n");
    EXPECT_EQ(fee.State(), dsBrowse);
    EXPECT_EQ(reachable(), "FICOTMDERSNP");

    // An open row toggles back and forth.
    platform.clearMessages();
    const std::string was = valueOf(fee, "0002", "IDCHECK");
    toggle(screen.dbgTxAdm, "0002", "IDCHECK");
    EXPECT_NE(valueOf(fee, "0002", "IDCHECK"), was);
    EXPECT_EQ(fee.State(), dsBrowse) << "a mark opens no edit session";
    EXPECT_EQ(reachable(), "FICOTMDERSNP");
    event([&] { screen.dbgTxAdm->SetSelectedIndex(columnOf(screen.dbgTxAdm, "IDCHECK")); });
    press(VK_SPACE);
    EXPECT_EQ(valueOf(fee, "0002", "IDCHECK"), was);
    EXPECT_EQ(messages(), "");
}

TEST_F(FeeTaxes, GivenAFeeMonthTyped_ThenTotalAndLockAndConfirmKeepsItAfterAReload) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    TClientDataSet& fee = screen.cdsTxAdm;
    ASSERT_TRUE(fee.Locate("CDFILIAL", {Variant("0001")}));
    const double total = fee.FieldByName("SOMAT").AsFloat();
    const double march = fee.FieldByName("VRORCAMENTOMAR").AsFloat();
    typeFee("0001", "MAR", "1.500,5");
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(fee.State(), dsEdit);
    EXPECT_DOUBLE_EQ(fee.FieldByName("VRORCAMENTOMAR").AsFloat(), 1500.5);
    EXPECT_DOUBLE_EQ(fee.FieldByName("SOMAT").AsFloat(), total - march + 1500.5);
    EXPECT_TRUE(screen.sbtConfirmar->Enabled());
    EXPECT_TRUE(screen.sbtCancelar->Enabled());
    EXPECT_EQ(reachable(), "T");
    EXPECT_TRUE(boEditTxAdm);

    // Moving to another row keeps the session.
    event([&] { screen.dbgTxAdm->ClickCell(rowOf(screen.dbgTxAdm, "0002"), 4); });
    EXPECT_EQ(fee.State(), dsEdit);
    EXPECT_EQ(reachable(), "T");

    clickConfirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0001", "T", "MAR"), 1500.5);
    EXPECT_EQ(fee.State(), dsBrowse);
    EXPECT_EQ(fee.ChangeCount(), 0);
    EXPECT_FALSE(screen.sbtConfirmar->Enabled());
    EXPECT_EQ(reachable(), "FICOTMDERSNP");

    event([&] { screen.sbtVerificar->Click(); });
    EXPECT_EQ(valueOf(fee, "0001", "VRORCAMENTOMAR"), "1500.5");
}

TEST_F(FeeTaxes, GivenAFeeMonthTyped_WhenCancelled_ThenTheServerValueReturnsAndPagesOpen) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    TClientDataSet& fee = screen.cdsTxAdm;
    const std::string before = valueOf(fee, "0002", "VRORCAMENTOJUL");
    typeFee("0002", "JUL", "77");
    ASSERT_EQ(valueOf(fee, "0002", "VRORCAMENTOJUL"), "77");
    platform.answerNext(mrYes);
    event([&] { screen.sbtCancelar->Click(); });
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n");
    EXPECT_EQ(valueOf(fee, "0002", "VRORCAMENTOJUL"), before);
    EXPECT_EQ(fee.State(), dsBrowse);
    EXPECT_FALSE(boEditTxAdm);
    EXPECT_EQ(reachable(), "FICOTMDERSNP");
    EXPECT_FALSE(screen.sbtConfirmar->Enabled());
}

// --- The fee calculation --------------------------------------------------------------------

TEST_F(FeeTaxes, GivenAConfirmedPeriod_WhenTheFeeIsCalculated_ThenOnlyThoseMonthsAreWritten) {
    setMonths("0001", "F", 1000);
    setMonths("0001", "T", 7);
    exec("UPDATE TAXAADMFILIAL SET VRPERCTXADM = 12.5 WHERE CDFILIAL = '0001'");
    TfrmCalcOrcaOper& screen = loaded();
    confirmPeriod("01/04/2026", "30/06/2026");
    event([] { criaPerCalc(); });
    page(screen.tshTxAdm);
    toggle(screen.dbgTxAdm, "0001", "IDCHECK");
    ASSERT_TRUE(screen.sbtTxAdm->Enabled());
    event([&] { screen.sbtTxAdm->Click(); });
    EXPECT_EQ(messages(), "info: Cálculo realizado com sucesso.\n");
    EXPECT_EQ(months("0001", "T"), "7|7|7|125|125|125|7|7|7|7|7|7");
    // The page shows the server's figures, unmarked and out of any loop.
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshTxAdm);
    EXPECT_EQ(valueOf(screen.cdsTxAdm, "0001", "VRORCAMENTOMAI"), "125");
    EXPECT_EQ(screen.cdsTxAdm.ChangeCount(), 0);
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());
}

TEST_F(FeeTaxes, GivenNoMarkedFeeRow_WhenCalculated_ThenBranchRequiredAndNothingSent) {
    setMonths("0001", "T", 7);
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    event([&] { screen.sbtTxAdmClick(screen.sbtTxAdm); });
    EXPECT_EQ(messages(), "error: Filial deve ser informada.\n");
    EXPECT_EQ(months("0001", "T"), "7|7|7|7|7|7|7|7|7|7|7|7");
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());
}

TEST_F(FeeTaxes, GivenTypedFeeValuesPending_WhenTheFeeIsCalculated_ThenRefusedAndTheyAreKept) {
    setMonths("0001", "F", 1000);
    exec("UPDATE TAXAADMFILIAL SET VRPERCTXADM = 10 WHERE CDFILIAL = '0001'");
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    toggle(screen.dbgTxAdm, "0001", "IDCHECK");
    typeFee("0002", "FEV", "321");
    const std::string before = months("0001", "T");
    event([&] { screen.sbtTxAdmClick(screen.sbtTxAdm); });
    EXPECT_EQ(messages(), "error: Existem valores da taxa administrativa não confirmados. "
                          "Confirme ou cancele antes do cálculo.\n");
    EXPECT_EQ(months("0001", "T"), before);
    EXPECT_EQ(valueOf(screen.cdsTxAdm, "0002", "VRORCAMENTOFEV"), "321");
    EXPECT_EQ(screen.cdsTxAdm.State(), dsEdit) << "the session goes on";

    // Once confirmed, the calculation runs and the typed value is on the server.
    clickConfirm();
    platform.clearMessages();
    event([&] { screen.sbtTxAdmClick(screen.sbtTxAdm); });
    EXPECT_EQ(messages(), "info: Cálculo realizado com sucesso.\n");
    EXPECT_EQ(months("0001", "T"), "100|100|100|100|100|100|100|100|100|100|100|100");
    EXPECT_DOUBLE_EQ(stored("0002", "T", "FEV"), 321);
}

TEST_F(FeeTaxes, GivenTheServerRefusingTheFee_WhenCalculated_ThenItsMessageAndTheMarksStay) {
    setMonths("0001", "T", 7);
    exec("DELETE FROM TAXAADMFILIAL WHERE CDFILIAL = '0001'");
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    toggle(screen.dbgTxAdm, "0001", "IDCHECK");
    event([&] { screen.sbtTxAdmClick(screen.sbtTxAdm); });
    const std::string shown = messages();
    EXPECT_NE(shown.find("error: "), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Cálculo realizado"), std::string::npos) << shown;
    EXPECT_EQ(months("0001", "T"), "7|7|7|7|7|7|7|7|7|7|7|7");
    EXPECT_EQ(valueOf(screen.cdsTxAdm, "0001", "IDCHECK"), "S");
    EXPECT_GT(screen.cdsTxAdm.ChangeCount(), 0);
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());
}

// --- Depreciation ---------------------------------------------------------------------------

TEST_F(FeeTaxes, GivenNoMarkedDepreciationRow_WhenImported_ThenRefusedWithoutAsking) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshDeprec);
    bool asked = false;
    platform.onModal("TfrmPerCalc", [&](TForm& d) {
        asked = true;
        d.Close();
    });
    event([&] { screen.btnCalcDeprecClick(screen.btnCalcDeprec); });
    EXPECT_EQ(messages(), "error: Nenhuma filial foi selecionada para a importação\n");
    EXPECT_FALSE(asked);
}

TEST_F(FeeTaxes, GivenAssets_WhenDepreciationIsImportedOverAPeriod_ThenTheWorkedExample) {
    exec("DELETE FROM BEMFILIAL WHERE CDFILIAL = '0001'");
    exec("INSERT INTO BEMFILIAL (CDFILIAL, CDBEM, DSBEM, VRCUSTOBEM, DTINICIOBEM, QTMESESVIDA) "
         "VALUES ('0001', 'B1', 'Fogão', 1200, ?, 12), ('0001', 'B2', 'Balcão', 600, ?, 3)",
         {Variant(srv::DayNumber::fromCivil(2026, 3, 1)),
          Variant(srv::DayNumber::fromCivil(2025, 11, 1))});
    setMonths("0001", "P", 9);
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshDeprec);
    toggle(screen.dbgDeprec, "0001", "IDCHECK");

    // Leaving the period dialog sends nothing.
    platform.onModal("TfrmPerCalc", [](TForm& d) { d.Close(); });
    event([&] { screen.btnCalcDeprecClick(screen.btnCalcDeprec); });
    EXPECT_EQ(months("0001", "P"), "9|9|9|9|9|9|9|9|9|9|9|9");

    confirmPeriod("01/01/2026", "30/11/2026");
    event([&] { screen.btnCalcDeprecClick(screen.btnCalcDeprec); });
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(months("0001", "P"), "200|0|100|100|100|100|100|100|100|100|100|9");
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshDeprec);
    EXPECT_EQ(valueOf(screen.cdsItensOrcamento, "0001", "VRORCAMENTOJAN"), "200");
}

} // namespace
