#include "tests/screens/EntryFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/dialogs/Cli_fyn10200.h"
#include "services/lib/Consiste.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TEdit.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TfrmPesquisaLista.h"

#include <functional>

// Replication over budget 2026/2 of the fixture. Miscellaneous expenses ("D", item 001) are
// 4.500,00 + 150,00 x the branch's number a month, 10 % more from June to August: branch 0001
// 4.650,00, 0002 4.800,00. 0003 is effected, 0004 approved, 0005 without calculation access.
namespace {

const char* const kMes[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                              "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

} // namespace

class Replication : public EntryFixture {
protected:
    // The choices the dialog is given before Confirm.
    struct Choice {
        int operation = 0;
        std::string value = "10";
        std::vector<int> months; // 1-12; empty: none
        bool allMonths = false;
    };

    void checkBranch(TDBGrid* list, TClientDataSet& ds, const std::string& field,
                     const std::string& branch) {
        event([&] { list->SetFocus(); });
        event([&] { list->DblClickCell(rowOf(list, branch), columnOf(list, field)); });
        ASSERT_EQ(valueOf(ds, branch, field), "S") << messages();
    }

    static void choose(TfrmReplicaVal& d, const Choice& c) {
        d.cbbOperac->Select(c.operation);
        d.dbeValor->SetText(c.value);
        if (c.allMonths) {
            if (!d.ckbTdMes->Checked()) d.ckbTdMes->Click();
        } else {
            for (int m : c.months)
                d.ckbMes[static_cast<std::size_t>(m - 1)]->Click();
        }
    }

    // Clicks "Replica Valores" with `steps` acting inside the dialog.
    void replicate(const std::function<void(TfrmReplicaVal&)>& steps) {
        platform.onModal("TfrmReplicaVal",
                         [this, steps](TForm& f) { steps(static_cast<TfrmReplicaVal&>(f)); });
        ASSERT_TRUE(form->sbtRepliVal->Enabled());
        event([&] { form->sbtRepliVal->Click(); });
    }

    void replicate(const Choice& c) {
        replicate([this, c](TfrmReplicaVal& d) {
            choose(d, c);
            event([&] { d.sbtConfirma->Click(); });
        });
    }

    // Rows of a line letter: "branch|item|JAN|FEV|MAR|ABR|JUN|total" per row.
    std::string lines(char letter, const char* item = "CDDESPPREV",
                      std::vector<int> months = {1, 2, 3, 4, 6}) {
        const bool fatCons = letter == 'F' || letter == 'C';
        TClientDataSet& ds = fatCons ? form->cdsItensOrcFatCons : form->cdsItensOrcamento;
        const DataPacket p = ds.Data();
        std::string out;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "IDTIPOORCAOP").toText() != std::string(1, letter)) continue;
            out += p.value(r, "CDFILIAL").toText() + "|" + p.value(r, item).toText();
            for (int m : months)
                out += "|" + p.value(r, std::string("VRORCAMENTO") + kMes[m - 1]).toText();
            out += "|" + p.value(r, fatCons ? "TOTAL" : "SOMAT").toText() + "\n";
        }
        return out;
    }

    std::string screenState() {
        return std::string("confirm=") + (form->sbtConfirmar->Enabled() ? "1" : "0") +
               " cancel=" + (form->sbtCancelar->Enabled() ? "1" : "0") +
               " billing page=" + (form->tshFaturBruto->Enabled() ? "1" : "0") +
               " replicate=" + (form->sbtRepliVal->Enabled() ? "1" : "0");
    }

    void miscPageWithTwoBranches() {
        loaded();
        page(form->tshDiversas);
        checkBranch(form->dbgFilialDiversas, form->cdsOrcamentoFilial, "IDCHECKD", "0001");
        checkBranch(form->dbgFilialDiversas, form->cdsOrcamentoFilial, "IDCHECKD", "0002");
    }
};

TEST_F(
    Replication,
    GivenTwoCheckedBranches_WhenRaisingTheFirstQuarterByTenPercent_ThenOnlyThoseMonthsChangeUntilCancelled) {
    miscPageWithTwoBranches();
    const std::string before = lines('D');
    ASSERT_EQ(before, "0001|001|4650|4650|4650|4650|5115|57195\n"
                      "0002|001|4800|4800|4800|4800|5280|59040\n"
                      "0003|001|4950|4950|4950|4950|5445|60885\n"
                      "0004|001|5100|5100|5100|5100|5610|62730\n"
                      "0005|001|5250|5250|5250|5250|5775|64575\n");
    replicate([&](TfrmReplicaVal& d) {
        EXPECT_EQ(d.edtDescItemOrc->Text(), "Despesas Diversas");
        EXPECT_EQ(d.grbItemOrc->Caption(), "Tipo de Despesas");
        EXPECT_TRUE(d.rbtListFil->Checked());
        EXPECT_TRUE(d.btnListaFil->Enabled());
        EXPECT_EQ(stFilial, "_0001_0002_");
        choose(d, {3, "10", {1, 2, 3}});
        event([&] { d.sbtConfirma->Click(); });
    });
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(lines('D'), "0001|001|5115|5115|5115|4650|5115|58590\n"
                          "0002|001|5280|5280|5280|4800|5280|60480\n"
                          "0003|001|4950|4950|4950|4950|5445|60885\n"
                          "0004|001|5100|5100|5100|5100|5610|62730\n"
                          "0005|001|5250|5250|5250|5250|5775|64575\n");
    EXPECT_EQ(screenState(), "confirm=1 cancel=1 billing page=0 replicate=0");
    // The picked list is whole for the next opening.
    EXPECT_EQ(stFilial, "_0001_0002_");

    platform.answerNext(mrYes);
    event([&] { form->sbtCancelar->Click(); });
    EXPECT_EQ(lines('D'), before);
    EXPECT_EQ(screenState(), "confirm=0 cancel=0 billing page=1 replicate=1");
}

TEST_F(Replication, GivenReplicatedValues_WhenConfirmed_ThenTheyAreStoredAndReadBack) {
    miscPageWithTwoBranches();
    replicate({3, "10", {1, 2, 3}});
    platform.answerNext(mrYes);
    event([&] { form->sbtConfirmar->Click(); });
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    event([&] { form->sbtVerificar->Click(); });
    EXPECT_EQ(lines('D'), "0001|001|5115|5115|5115|4650|5115|58590\n"
                          "0002|001|5280|5280|5280|4800|5280|60480\n"
                          "0003|001|4950|4950|4950|4950|5445|60885\n"
                          "0004|001|5100|5100|5100|5100|5610|62730\n"
                          "0005|001|5250|5250|5250|5250|5775|64575\n");
}

TEST_F(Replication, GivenEachOperation_WhenAppliedToMarchAndApril_ThenTheMonthsFollowItsRule) {
    miscPageWithTwoBranches();
    struct Case {
        int operation;
        const char* value;
        const char* branch0001;
    };
    // January, March, April and the total of branch 0001 (4.650,00 a month before).
    const Case cases[] = {
        {0, "100", "0001|001|4650|100|100|48095"},
        {1, "100", "0001|001|4650|4750|4750|57395"},
        {2, "1000", "0001|001|4650|3650|3650|55195"},
        {3, "3,33", "0001|001|4650|4804.85|4804.85|57504.7"},
        {4, "3,33", "0001|001|4650|4495.16|4495.16|56885.32"},
    };
    for (const Case& c : cases) {
        replicate({c.operation, c.value, {3, 4}});
        const std::string all = lines('D', "CDDESPPREV", {1, 3, 4});
        EXPECT_EQ(all.substr(0, all.find('\n')), c.branch0001) << c.operation;
        platform.answerNext(mrYes);
        event([&] { form->sbtCancelar->Click(); });
    }
    EXPECT_EQ(messages().find("error"), std::string::npos) << messages();
}

TEST_F(Replication, GivenAResultTheFieldsRefuse_ThenItIsNamedAndNoRowKeepsAPartOfIt) {
    miscPageWithTwoBranches();
    const std::string before = lines('D');
    // Raised by 21.499.900 %, 0001 stays within the field's range and 0002, next, does not.
    replicate({3, "21499900", {3}});
    EXPECT_EQ(messages(), "error: cdsItensOrcamento: 1032000000 não é um valor válido para o "
                          "campo VRORCAMENTOMAR. O intervalo permitido é de 0 a 999999999.\n");
    EXPECT_EQ(lines('D'), before);
    EXPECT_EQ(screenState(), "confirm=0 cancel=0 billing page=1 replicate=1");
}

TEST_F(Replication, GivenMissingChoices_WhenConfirming_ThenEachIsNamedAndNothingChanges) {
    miscPageWithTwoBranches();
    const std::string before = lines('D');
    replicate([&](TfrmReplicaVal& d) {
        event([&] { d.sbtConfirma->Click(); });
        event([&] { d.ckbMes[0]->Click(); });
        // "Lista" of branches without a pick.
        event([&] { d.rbtTdListFil->Click(); });
        event([&] { d.rbtListFil->Click(); });
        event([&] { d.sbtConfirma->Click(); });
        event([&] { d.rbtTdListFil->Click(); });
        event([&] { d.rbtListaItemOrc->Click(); });
        event([&] { d.sbtConfirma->Click(); });
        event([&] { d.sbtCancel->Click(); });
    });
    EXPECT_EQ(messages(), "error: Mês deve ser informado.\n"
                          "error: Lista de filiais deve ser informada.\n"
                          "error: Lista de Itens de Orçamento deve ser informada.\n");
    EXPECT_EQ(lines('D'), before);
    EXPECT_EQ(screenState(), "confirm=0 cancel=0 billing page=1 replicate=1");
}

TEST_F(Replication, GivenAllBranchesOnBilling_ThenEffectedApprovedAndNoAccessRowsKeepTheirValues) {
    loaded();
    const std::string before = lines('F', "CDFILIAL", {5});
    replicate([&](TfrmReplicaVal& d) {
        EXPECT_TRUE(d.rbtTdListFil->Checked());
        EXPECT_FALSE(d.grbItemOrc->Enabled());
        EXPECT_EQ(d.edtDescItemOrc->Text(), "Faturamento Bruto");
        // Only the branches the operator may change are offered.
        EXPECT_EQ(stFilialOrc, "_0001_0002_");
        choose(d, {0, "1234,5", {5}});
        event([&] { d.sbtConfirma->Click(); });
    });
    std::string expected;
    for (std::size_t at = 0; at < before.size();) {
        const std::size_t end = before.find('\n', at);
        std::string row = before.substr(at, end - at);
        if (row.rfind("0001", 0) == 0 || row.rfind("0002", 0) == 0) {
            // branch|branch|May|total: May becomes 1.234,50 and the total follows.
            const std::size_t p1 = row.find('|', 5), p2 = row.find('|', p1 + 1);
            const double may = parseCDouble(row.substr(p1 + 1, p2 - p1 - 1));
            const double total = parseCDouble(row.substr(p2 + 1));
            row = row.substr(0, p1) + "|1234.5|" +
                  Variant(RoundDec(total - may + 1234.5, 2)).toText();
        }
        expected += row + "\n";
        at = end + 1;
    }
    EXPECT_EQ(lines('F', "CDFILIAL", {5}), expected);
    platform.answerNext(mrYes);
    event([&] { form->sbtConfirmar->Click(); });
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
}

TEST_F(Replication, GivenAPhaseClosingTheFirstQuarter_ThenThoseMonthsCannotBeChosen) {
    loaded("fase");
    page(form->tshDiversas);
    replicate([&](TfrmReplicaVal& d) {
        std::string enabled;
        for (TCheckBox* box : d.ckbMes)
            enabled += box->Enabled() ? "1" : "0";
        EXPECT_EQ(enabled, "000111111111");
        EXPECT_FALSE(d.ckbTdMes->Enabled());
        EXPECT_FALSE(d.ckbTdMes->Checked());
        event([&] { d.sbtCancel->Click(); });
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(Replication, GivenAnItemList_ThenWholeCodesAreMatched) {
    loaded();
    page(form->tshMaoObra);
    checkBranch(form->dbgFilialMaoObra, form->cdsOrcamentoFilial, "IDCHECKO", "0001");
    const std::string before = lines('O', "CDDESPADMFAT", {1});
    ASSERT_EQ(before.substr(0, before.find('\n', before.find('\n') + 1) + 1),
              "0001|01|6800|81600\n0001|02|7650|91800\n");
    platform.onModal("TfrmPesquisaLista", [](TForm& f) {
        auto& picker = static_cast<TfrmPesquisaLista&>(f);
        TClientDataSet* cds = picker.dbgLista->DataSet();
        EXPECT_EQ(codes(*cds, "CODIGO"), "01 02");
        EXPECT_TRUE(cds->Locate("CODIGO", {Variant("02")}));
        picker.ToggleMark();
        picker.sbtConfirma->Click();
    });
    replicate([&](TfrmReplicaVal& d) {
        EXPECT_EQ(d.grbItemOrc->Caption(), "Tipo de Mão de Obra");
        event([&] { d.rbtListaItemOrc->Click(); });
        event([&] { d.btnListaItemOrc->Click(); });
        EXPECT_EQ(stItens, "_02_");
        choose(d, {1, "40", {1}});
        event([&] { d.sbtConfirma->Click(); });
    });
    const std::string after = lines('O', "CDDESPADMFAT", {1});
    EXPECT_EQ(after.substr(0, after.find('\n', after.find('\n') + 1) + 1),
              "0001|01|6800|81600\n0001|02|7690|91840\n");

    // A list holding "010" must not take the rows of item "01".
    form->stReplicItens = "_010_";
    stFilial = "_0001_";
    form->v_vrItem = 1;
    form->boTdMes = true;
    stOperac = "AT";
    const std::string beforeWhole = lines('O', "CDDESPADMFAT", {1});
    form->setValores(form->cdsItensOrcamento, 'O');
    EXPECT_EQ(lines('O', "CDDESPADMFAT", {1}), beforeWhole);
}

TEST_F(Replication,
       GivenTheFeePage_WhenSettingJanuaryForAllBranches_ThenOpenRowsTakeItAndAreSaved) {
    loaded();
    page(form->tshTxAdm);
    const std::string before = column(form->cdsTxAdm, "VRORCAMENTOJAN");
    replicate([&](TfrmReplicaVal& d) {
        // The fee page has no item choice of its own: every fee row of the branches.
        EXPECT_TRUE(d.rbtTdListFil->Checked());
        choose(d, {0, "321,45", {1}});
        event([&] { d.sbtConfirma->Click(); });
    });
    EXPECT_EQ(messages(), "");
    const std::string after = column(form->cdsTxAdm, "VRORCAMENTOJAN");
    EXPECT_NE(before, after);
    EXPECT_EQ(after.substr(0, after.find(" 0003")), "0001=321.45 0002=321.45");
    EXPECT_EQ(after.substr(after.find(" 0003")), before.substr(before.find(" 0003")));
    EXPECT_TRUE(form->sbtConfirmar->Enabled());
    platform.answerNext(mrYes);
    event([&] { form->sbtConfirmar->Click(); });
    event([&] { form->sbtVerificar->Click(); });
    EXPECT_EQ(column(form->cdsTxAdm, "VRORCAMENTOJAN"), after);
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
}
