#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10100.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TfrmPesquisaLista.h"

// Each test scripts the dialog's steps and then looks at what it left on the main screen.
class FilterDialog : public ScreenFixture {
protected:
    void SetUp() override { openScreen(); }

    // Opens the dialog; `steps` run inside it, as the operator would act.
    void runDialog(std::function<void(TfrmFiltroCalculoOrc&)> steps) {
        platform.onModal("TfrmFiltroCalculoOrc", [steps](TForm& dialog) {
            steps(static_cast<TfrmFiltroCalculoOrc&>(dialog));
        });
        event([] { criaFiltroCalculo(); });
    }
    // The list picker confirms with the rows whose key is in `keys` marked.
    void pickWhenAsked(const std::vector<std::string>& keys) {
        platform.onModal("TfrmPesquisaLista", [keys](TForm& form) {
            auto& picker = static_cast<TfrmPesquisaLista&>(form);
            TClientDataSet* cds = picker.dbgLista->DataSet();
            for (const std::string& key : keys) {
                cds->Locate(cds->Fields()[1]->FieldName(), {Variant(key)});
                picker.ToggleMark();
            }
            picker.sbtConfirma->Click();
        });
    }
};

TEST_F(FilterDialog, GivenAllGroups_WhenConfirmed_ThenEveryListIsAllAndTheLoadMayProceed) {
    form->stListaFil = "";
    runDialog([](TfrmFiltroCalculoOrc& d) {
        EXPECT_TRUE(d.rbtTdListFil->Checked());
        EXPECT_FALSE(d.btnListaFil->Enabled());
        d.sbtConfirma->Click();
    });
    EXPECT_TRUE(form->boConfirmou);
    EXPECT_EQ(form->stListaFil + form->stListaAgrupFil + form->stListaReg + form->stListaSeg,
              "TTTT");
}

TEST_F(FilterDialog, GivenDialogClosedWithoutConfirming_ThenBoConfirmouIsUnchanged) {
    for (bool before : {true, false}) {
        form->boConfirmou = before;
        runDialog([](TfrmFiltroCalculoOrc& d) { d.sbtCancel->Click(); });
        EXPECT_EQ(form->boConfirmou, before);
    }
}

TEST_F(FilterDialog, GivenFixedBranchHost_ThenEveryRadioButtonIsDisabled) {
    host.fixedBranch = true;
    runDialog([](TfrmFiltroCalculoOrc& d) {
        for (TRadioButton* radio :
             {d.rbtTdListFil, d.rbtListFil, d.rbtTodosAgrupFil, d.rbtListaAgrupFil, d.rbtTdReg,
              d.rbtListReg, d.rbtTodosSeg, d.rbtListaSeg})
            EXPECT_FALSE(radio->Enabled()) << radio->Name();
        d.sbtCancel->Click();
    });
}

TEST_F(FilterDialog, GivenPickedLists_ThenDialogOpensWithListCheckedAndSearchEnabled) {
    form->stListaFil = "_0001_";
    form->stListaReg = "T";
    runDialog([](TfrmFiltroCalculoOrc& d) {
        EXPECT_TRUE(d.rbtListFil->Checked());
        EXPECT_TRUE(d.btnListaFil->Enabled());
        EXPECT_TRUE(d.rbtTdReg->Checked());
        EXPECT_FALSE(d.BtnPesqReg->Enabled());
        d.sbtCancel->Click();
    });
}

TEST_F(FilterDialog, GivenListCheckedButEmpty_WhenConfirming_ThenGroupMessageAndDialogStaysOpen) {
    runDialog([this](TfrmFiltroCalculoOrc& d) {
        d.rbtListaSeg->SetChecked(true);
        EXPECT_TRUE(d.btpListaSeg->Enabled());
        event([&] { d.sbtConfirma->Click(); });
        EXPECT_EQ(d.ModalResult(), mrNone);
        EXPECT_EQ(d.ActiveControl(), d.rbtListaSeg);
        d.sbtCancel->Click();
    });
    EXPECT_EQ(messages(), "error: Lista de segmento deve ser informada.\n");
    EXPECT_FALSE(form->boConfirmou);
}

TEST_F(FilterDialog, GivenGroupsAllChecked_WhenPickingBranches_ThenServerIsAskedForAllGroups) {
    // A group list picked earlier does not narrow the branches while "Todos" is checked.
    form->stListaAgrupFil = "_G2_";
    pickWhenAsked({"0001", "0003"});
    runDialog([this](TfrmFiltroCalculoOrc& d) {
        d.rbtTodosAgrupFil->SetChecked(true);
        d.rbtListFil->SetChecked(true);
        event([&] { d.btnListaFil->Click(); });
        EXPECT_EQ(codes(d.cdsListaFilial), "0001 0002 0003 0004 0005");
        d.sbtConfirma->Click();
    });
    EXPECT_EQ(form->stListaAgrupFil, "T");
    EXPECT_EQ(form->stListaFil, "_0001_0003_");
    EXPECT_EQ(messages(), "");
}

TEST_F(FilterDialog, GivenGroupListChecked_WhenPickingBranches_ThenOnlyItsBranchesAreOffered) {
    form->stListaAgrupFil = "_G1_";
    pickWhenAsked({});
    runDialog([this](TfrmFiltroCalculoOrc& d) {
        EXPECT_TRUE(d.rbtListaAgrupFil->Checked());
        d.rbtListFil->SetChecked(true);
        event([&] { d.btnListaFil->Click(); });
        EXPECT_EQ(codes(d.cdsListaFilial), "0001 0002 0003");
        d.sbtCancel->Click();
    });
}

TEST_F(FilterDialog, GivenChosenBranches_WhenBudgetLoads_ThenOnlyThoseBranchesCome) {
    pickWhenAsked({"0002", "0004"});
    platform.onModal("TfrmFiltroCalculoOrc", [this](TForm& dialog) {
        auto& d = static_cast<TfrmFiltroCalculoOrc&>(dialog);
        d.rbtListFil->SetChecked(true);
        event([&] { d.btnListaFil->Click(); });
        d.sbtConfirma->Click();
    });
    loadBudget(2026, 2);
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(codes(form->cdsOrcamentoFilial), "0002 0004");
}

TEST_F(FilterDialog, GivenSavedOptions_WhenLoadedLater_ThenListsAndRadioButtonsComeBack) {
    form->stListaFil = "_0001_";
    form->stListaSeg = "_S1_";
    runDialog([](TfrmFiltroCalculoOrc& d) {
        d.btfSaveOpc->Click();
        d.sbtCancel->Click();
    });
    form->stListaFil = "T";
    form->stListaSeg = "T";
    runDialog([](TfrmFiltroCalculoOrc& d) {
        EXPECT_TRUE(d.rbtTodosSeg->Checked());
        d.btfLoadOpc->Click();
        EXPECT_TRUE(d.rbtListaSeg->Checked());
        d.sbtConfirma->Click();
    });
    EXPECT_EQ(form->stListaFil, "_0001_");
    EXPECT_EQ(form->stListaSeg, "_S1_");
    EXPECT_EQ(form->stListaReg, "T");
}
