#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/dialogs/Cli_fyn10100.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TRadioButton.h"

// The filter dialog's search buttons: usable whenever "Lista" is checked, and telling the
// operator when there is nothing to pick.
class FilterPickers : public ScreenFixture {
protected:
    // The main screen open, then the dialog with `steps` acting inside it.
    void openDialog(std::function<void(TfrmFiltroCalculoOrc&)> steps) {
        if (!form) openScreen();
        platform.onModal("TfrmFiltroCalculoOrc",
                         [steps](TForm& d) { steps(static_cast<TfrmFiltroCalculoOrc&>(d)); });
        event([] { criaFiltroCalculo(); });
    }
    // "Lista" checked and search enabled, per group: "fil:on agr:off reg:off seg:on".
    static std::string searchState(TfrmFiltroCalculoOrc& d) {
        std::string out;
        const std::pair<const char*, std::pair<TRadioButton*, TButtonFlat*>> groups[] = {
            {"fil", {d.rbtListFil, d.btnListaFil}},
            {"agr", {d.rbtListaAgrupFil, d.btpListaAgrupFil}},
            {"reg", {d.rbtListReg, d.BtnPesqReg}},
            {"seg", {d.rbtListaSeg, d.btpListaSeg}},
        };
        for (const auto& [name, controls] : groups)
            out += std::string(out.empty() ? "" : " ") + name +
                   (controls.first->Checked() ? ":lista" : ":todas") +
                   (controls.second->Enabled() ? "/on" : "/off");
        return out;
    }
};

TEST_F(FilterPickers, GivenListsRestoredByReopeningOrLoadingOptions_ThenTheirSearchIsUsable) {
    openScreen();
    form->stListaFil = "_0002_";
    form->stListaSeg = "_S1_";
    openDialog([](TfrmFiltroCalculoOrc& d) {
        EXPECT_EQ(searchState(d), "fil:lista/on agr:todas/off reg:todas/off seg:lista/on");
        d.btfSaveOpc->Click();
        // Back to "all" for every group, then the saved lists come back.
        for (TRadioButton* all : {d.rbtTdListFil, d.rbtTodosSeg})
            all->Click();
        EXPECT_EQ(searchState(d), "fil:todas/off agr:todas/off reg:todas/off seg:todas/off");
        d.btfLoadOpc->Click();
        EXPECT_EQ(searchState(d), "fil:lista/on agr:todas/off reg:todas/off seg:lista/on");
        // Loading again, with "Lista" already checked, leaves the search usable.
        d.btfLoadOpc->Click();
        EXPECT_EQ(searchState(d), "fil:lista/on agr:todas/off reg:todas/off seg:lista/on");
        d.sbtCancel->Click();
    });
    EXPECT_EQ(form->stListaFil, "_0002_");
}

TEST_F(FilterPickers, GivenNothingToPick_ThenEachPickerSaysWhatIsMissing) {
    // The operator no longer sees any branch: no group, region or segment holds one of his.
    startServer().store().transaction([](srv::Database& db) {
        db.execute("DELETE FROM OPERADORFILIAL WHERE CDOPERADOR = 'teste'", {});
    });
    openDialog([this](TfrmFiltroCalculoOrc& d) {
        for (TRadioButton* list : {d.rbtListFil, d.rbtListaAgrupFil, d.rbtListReg, d.rbtListaSeg})
            list->Click();
        for (TButtonFlat* search : {d.btpListaAgrupFil, d.BtnPesqReg, d.btpListaSeg})
            event([&] { search->Click(); });
        event([&] { d.btnListaFil->Click(); });
        d.sbtCancel->Click();
    });
    EXPECT_EQ(messages(), "info: Não há agrupamento cadastrado.\n"
                          "info: Não há agrupamento cadastrado.\n"
                          "info: Não há segmento cadastrado.\n"
                          "error: Não há filial parametrizada para o operador.\n");
    EXPECT_EQ(platform.modalsRun().size(), 1u) << "no picker opens on an empty list";
}
