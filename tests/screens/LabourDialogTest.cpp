#include "tests/screens/EntryFixture.h"

#include "server/store/Store.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10360.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDateEditPlus.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TfrmPadraoGrid.h"
#include "services/ui/TfrmPesquisaLista.h"

// The labour dialog opened from the main screen's labour page over version 2026/2 (whose
// period is the year 2026, its last day excluded). Branch 0001's labour lines start at 6.800,00
// (type 01) and 7.650,00 (type 02) a month, what its budget "MO0001" gives; tests that expect a
// write first raise that budget's headcount so that the write shows.
// The two questions before generating, answered Yes and then `clear`.
std::string asked(const char* clear) {
    return "confirm: Confirma cálculo de mão de obra por lista de orçamentos selecionada? -> Yes\n"
           "confirm: Deseja recarregar os dados das mãos de obra selecionadas? -> " +
           std::string(clear) + "\n";
}

class LabourDialog : public EntryFixture {
protected:
    void SetUp() override {
        loaded();
        page(form->tshMaoObra);
    }

    // Marks a branch on the labour page for generation, as a double click on its check does.
    void checkBranch(const std::string& branch) {
        TDBGrid* list = form->dbgFilialMaoObra;
        if (valueOf(form->cdsOrcamentoFilial, branch, "IDCHECKO") == "S") return;
        event([&] { list->SetFocus(); });
        event([&] { list->DblClickCell(rowOf(list, branch), columnOf(list, "IDCHECKO")); });
        ASSERT_EQ(valueOf(form->cdsOrcamentoFilial, branch, "IDCHECKO"), "S") << messages();
    }

    void exec(const std::string& sql) {
        startServer().store().transaction([&](srv::Database& db) { return db.execute(sql); });
    }

    // Three employees of type 01 in "MO0001" instead of two: 10.200,00 a month once generated.
    void raiseHeadcount() {
        exec("UPDATE ORCAMENTOMOTIPO SET QTFUNCIONARIO = 3 WHERE CDORCAMENTOMO = 'MO0001' AND "
             "CDDESPADMFAT = '01'");
    }

    // The budget picker confirms with the rows of these keys (CHAVE) marked.
    void pickWhenAsked(const std::vector<std::string>& keys) {
        platform.onModal("TfrmPesquisaLista", [keys](TForm& f) {
            auto& picker = static_cast<TfrmPesquisaLista&>(f);
            TClientDataSet* cds = picker.dbgLista->DataSet();
            for (const std::string& key : keys) {
                EXPECT_TRUE(cds->Locate("CHAVE", {Variant(key)})) << key;
                picker.ToggleMark();
            }
            picker.sbtConfirma->Click();
        });
    }

    // Runs the toolbar button with `steps` acting inside the dialog.
    void runFromButton(std::function<void(TfrmcalMOOrca&)> steps) {
        platform.onModal("TfrmcalMOOrca",
                         [steps](TForm& d) { steps(static_cast<TfrmcalMOOrca&>(d)); });
        ASSERT_TRUE(form->sbtOrcMaoObra->Enabled());
        event([&] { form->sbtOrcMaoObra->Click(); });
    }

    // Labour lines of a branch as the screen holds them: "type|January|December".
    std::string labourLines(const std::string& branch) {
        const DataPacket p = form->cdsItensOrcamento.Data();
        std::string out;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "CDFILIAL").toText() != branch) continue;
            if (p.value(r, "IDTIPOORCAOP").toText() != "O") continue;
            out += p.value(r, "CDDESPADMFAT").toText() + "|" +
                   p.value(r, "VRORCAMENTOJAN").toText() + "|" +
                   p.value(r, "VRORCAMENTODEZ").toText() + "\n";
        }
        return out;
    }
};

TEST_F(LabourDialog, GivenACheckedBranchAndItsBudget_WhenGenerated_ThenTheReloadShowsTheNewValues) {
    checkBranch("0001");
    ASSERT_EQ(labourLines("0001"), "01|6800|6800\n02|7650|7650\n");
    raiseHeadcount();
    pickWhenAsked({"0001MO0001"});
    platform.answerNext(mrYes); // confirm
    platform.answerNext(mrNo);  // keep the other labour data
    runFromButton([this](TfrmcalMOOrca& d) {
        event([&] { d.btnOrca->Click(); });
        EXPECT_EQ(stMaoObraOrca, "_0001MO0001_");
        event([&] { d.chkPeriodoComp->SetChecked(true); });
        EXPECT_FALSE(d.depDtIni->Enabled());
        event([&] { d.sbtConfirma->Click(); });
    });
    EXPECT_EQ(messages(), asked("No") + "info: Cálculo realizado com sucesso!\n");
    EXPECT_EQ(labourLines("0001"), "01|10200|10200\n02|7650|7650\n");
    // The picked list is offered again next time.
    EXPECT_EQ(stMaoObraOrca, "_0001MO0001_");
}

TEST_F(LabourDialog, GivenARange_WhenGenerated_ThenOnlyItsMonthsChange) {
    checkBranch("0001");
    raiseHeadcount();
    stMaoObraOrca = "_0001MO0001_";
    platform.answerNext(mrYes);
    platform.answerNext(mrNo);
    runFromButton([this](TfrmcalMOOrca& d) {
        EXPECT_TRUE(d.depDtIni->Enabled());
        event([&] { d.depDtIni->SetText("01/12/2026"); });
        event([&] { d.depDtFin->SetText("30/12/2026"); });
        event([&] { d.sbtConfirma->Click(); });
    });
    EXPECT_EQ(messages(), asked("No") + "info: Cálculo realizado com sucesso!\n");
    // January keeps its value, December takes the budget's.
    EXPECT_EQ(labourLines("0001"), "01|6800|10200\n02|7650|7650\n");
}

TEST_F(LabourDialog, GivenABudgetOfAnotherBranch_WhenGenerated_ThenNadaIsExplained) {
    checkBranch("0001");
    const std::string before = labourLines("0001");
    raiseHeadcount();
    stMaoObraOrca = "_0002MO0002_";
    platform.answerNext(mrYes);
    platform.answerNext(mrYes);
    runFromButton([this](TfrmcalMOOrca& d) {
        event([&] { d.chkPeriodoComp->SetChecked(true); });
        event([&] { d.sbtConfirma->Click(); });
    });
    EXPECT_EQ(messages(),
              asked("Yes") +
                  "info: Nenhuma operação foi efetuada. Favor verificar se as filiais selecionadas "
                  "correspondem aos orçamentos de mão de obra selecionados.\n");
    EXPECT_EQ(labourLines("0001"), before);
}

TEST_F(LabourDialog, GivenABranchEffectedMeanwhile_WhenGenerated_ThenTheRefusalIsShown) {
    checkBranch("0001");
    const std::string before = labourLines("0001");
    // Another operator effects the branch after this screen loaded it.
    exec("UPDATE ORCAMENTOFILIAL SET IDSTATUSORCA = 'E' WHERE CDFILIAL = '0001'");
    raiseHeadcount();
    stMaoObraOrca = "_0001MO0001_";
    platform.answerNext(mrYes);
    platform.answerNext(mrNo);
    runFromButton([this](TfrmcalMOOrca& d) {
        event([&] { d.chkPeriodoComp->SetChecked(true); });
        event([&] { d.sbtConfirma->Click(); });
    });
    EXPECT_EQ(messages(),
              asked("No") +
                  "error: O orçamento da filial 0001 está efetivado e não pode ser alterado.\n");
    // Reloaded all the same: the screen now shows the branch effected, values untouched.
    EXPECT_EQ(valueOf(form->cdsOrcamentoFilial, "0001", "IDSTATUSORCA"), "E");
    EXPECT_EQ(labourLines("0001"), before);
}

TEST_F(LabourDialog, GivenMissingChoices_WhenConfirming_ThenNothingIsSentAndTheDialogStaysOpen) {
    const struct {
        const char* list;
        bool check;
        const char* from;
        const char* message;
    } cases[] = {
        // No branch checked yet: the first case only.
        {"_0001MO0001_", false, "01/02/2026",
         "error: Filiais a calcular orçamento de mão de obra devem ser selecionadas.\n"},
        {"", true, "01/02/2026", "error: Lista de orçamentos deve ser informada.\n"},
        {"_0001MO0001_", true, "", "error: Data inicial deve ser informada.\n"},
        {"_0001MO0001_", true, "31/12/2025",
         "error: Data inicial deve estar dentro do periodo de orçamento.\n"},
    };
    raiseHeadcount();
    for (const auto& c : cases) {
        if (c.check) checkBranch("0001");
        const std::string before = labourLines("0001");
        stMaoObraOrca = c.list;
        platform.clearMessages();
        bool stayedOpen = false;
        runFromButton([&](TfrmcalMOOrca& d) {
            event([&] { d.depDtIni->SetText(c.from); });
            event([&] { d.depDtFin->SetText("31/03/2026"); });
            event([&] { d.sbtConfirma->Click(); });
            stayedOpen = d.ModalResult() == mrNone;
            d.sbtCancel->Click();
        });
        EXPECT_EQ(messages(), c.message);
        EXPECT_TRUE(stayedOpen) << c.message;
        EXPECT_EQ(labourLines("0001"), before) << c.message;
    }
}

TEST_F(LabourDialog, GivenTheLabourPage_WhenOtherPagesAreChosen_ThenOnlyItOffersTheLabourButton) {
    EXPECT_TRUE(form->sbtOrcMaoObra->Enabled());
    EXPECT_TRUE(form->mnuOrcMaoObra->Enabled());
    page(form->tshDiversas);
    EXPECT_FALSE(form->sbtOrcMaoObra->Enabled());
    page(form->tshMaoObra);
    EXPECT_TRUE(form->sbtOrcMaoObra->Enabled());
}

TEST_F(LabourDialog, GivenTheConfirmationDeclinedOrTheDialogCancelled_ThenNoReloadHappens) {
    checkBranch("0001");
    raiseHeadcount();
    stMaoObraOrca = "_0001MO0001_";
    const std::string before = labourLines("0001");
    // The row the operator stands on stays, which a reload would not keep untouched.
    event([&] { form->cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0002")}); });
    platform.answerNext(mrNo);
    runFromButton([this](TfrmcalMOOrca& d) {
        event([&] { d.chkPeriodoComp->SetChecked(true); });
        event([&] { d.sbtConfirma->Click(); });
        d.sbtCancel->Click();
    });
    EXPECT_EQ(messages(),
              "confirm: Confirma cálculo de mão de obra por lista de orçamentos selecionada? -> "
              "No\n");
    EXPECT_EQ(form->cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString(), "0002");
    EXPECT_EQ(labourLines("0001"), before);
    EXPECT_FALSE(boAlterado);
    // The menu item runs the same dialog; Esc leaves it with nothing done.
    platform.onModal("TfrmcalMOOrca", [](TForm& d) { d.PressKey(VK_ESCAPE); });
    event([&] { form->mnuOrcMaoObra->Click(); });
    EXPECT_EQ(frmcalMOOrca, nullptr);
    EXPECT_FALSE(boAlterado);
    EXPECT_EQ(labourLines("0001"), before);
}
