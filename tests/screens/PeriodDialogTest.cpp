#include "tests/screens/ScreenFixture.h"

#include "budget/Cli_fyn10000.h"
#include "budget/ModuleState.h"
#include "budget/dialogs/Cli_fyn10390.h"
#include "services/data/NumberFormat.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDateEditPlus.h"

// The period dialog over the loaded version 2026/2, whose period runs from 01/01/2026 to
// 31/12/2026; a date must lie before the period's last day.
class PeriodDialog : public ScreenFixture {
protected:
    void SetUp() override {
        openScreen();
        confirmFilterWhenAsked();
        loadBudget(2026, 2);
        platform.clearMessages();
    }

    // Opens the dialog; `steps` run inside it, as the operator would act.
    void runDialog(std::function<void(TfrmPerCalc&)> steps) {
        platform.onModal("TfrmPerCalc",
                         [steps](TForm& dialog) { steps(static_cast<TfrmPerCalc&>(dialog)); });
        event([] { criaPerCalc(); });
    }

    // The range typed with "Período Completo" cleared, then confirmed.
    void confirmRange(TfrmPerCalc& d, const std::string& from, const std::string& to) {
        event([&] { d.chbPerTot->SetChecked(false); });
        event([&] { d.depPerDe->SetText(from); });
        event([&] { d.depPerAte->SetText(to); });
        event([&] { d.sbtConfirma->Click(); });
    }

    // The four period variables as one text.
    static std::string period() {
        return StrOperac + "|" + DataTCalc + "|" + FormatDate("dd/mm/yyyy", DataIniCalc) + "|" +
               FormatDate("dd/mm/yyyy", DataFinCalc);
    }
};

TEST_F(PeriodDialog, GivenCompletePeriod_WhenConfirmed_ThenTodayIsBothDatesWithKindS) {
    runDialog([](TfrmPerCalc& d) {
        // It opens on the complete period, the range boxes empty and out of reach.
        EXPECT_TRUE(d.chbPerTot->Checked());
        EXPECT_FALSE(d.depPerDe->Enabled());
        EXPECT_FALSE(d.depPerAte->Enabled());
        EXPECT_EQ(d.depPerDe->GetDate(), 0);
        EXPECT_EQ(d.cdsVersaoOrca.FieldByName("CDVERSAOORCA").AsString(), "2");
        d.sbtConfirma->Click();
    });
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(period(), "S|S|10/05/2026|10/05/2026");
}

TEST_F(PeriodDialog, GivenClearedCompletePeriod_ThenDateBoxesOpenWithTheirHighlight) {
    runDialog([this](TfrmPerCalc& d) {
        event([&] { d.chbPerTot->Click(); });
        EXPECT_TRUE(d.depPerDe->Enabled());
        EXPECT_TRUE(d.depPerAte->Enabled());
        EXPECT_EQ(d.depPerDe->Color(), clInfoBk);
        event([&] { d.chbPerTot->Click(); });
        EXPECT_FALSE(d.depPerAte->Enabled());
        EXPECT_NE(d.depPerAte->Color(), clInfoBk);
        d.sbtCancel->Click();
    });
}

TEST_F(PeriodDialog, GivenRangeInsideTheVersion_WhenConfirmed_ThenItsDatesWithKindN) {
    // The version's first day is allowed.
    runDialog([this](TfrmPerCalc& d) { confirmRange(d, "01/01/2026", "30/12/2026"); });
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(period(), "S|N|01/01/2026|30/12/2026");
}

TEST_F(PeriodDialog, GivenBadRanges_WhenConfirmed_ThenEachHasItsMessageAndTheDialogStaysOpen) {
    const struct {
        const char* from;
        const char* to;
        const char* message;
        const char* focused;
    } cases[] = {
        {"", "31/03/2026", "Data inicial deve ser informada.", "depPerDe"},
        {"01/02/2026", "", "Data Final deve ser informada.", "depPerAte"},
        {"01/03/2026", "01/02/2026", "Data inicial não pode ser maior que data final.", "depPerDe"},
        {"31/12/2025", "01/02/2026", "Data de início deve estar dentro do período do orçamento.",
         "depPerDe"},
        // The version's last day is refused.
        {"01/02/2026", "31/12/2026", "Data de final deve estar dentro do período do orçamento.",
         "depPerAte"},
    };
    for (const auto& c : cases) {
        StrOperac = "S";
        DataTCalc = "S";
        DataIniCalc = DataFinCalc = EncodeDate(2026, 5, 10);
        platform.clearMessages();
        bool stayedOpen = false;
        runDialog([&](TfrmPerCalc& d) {
            confirmRange(d, c.from, c.to);
            stayedOpen = d.ModalResult() == mrNone;
            ASSERT_NE(d.ActiveControl(), nullptr);
            EXPECT_EQ(d.ActiveControl()->Name(), c.focused) << c.message;
            d.sbtCancel->Click();
        });
        EXPECT_EQ(messages(), std::string("error: ") + c.message + "\n");
        EXPECT_TRUE(stayedOpen) << c.message;
        // Only the confirmation is withdrawn; the last confirmed period stays.
        EXPECT_EQ(period(), "N|S|10/05/2026|10/05/2026") << c.message;
    }
}

TEST_F(PeriodDialog, GivenAConfirmedPeriod_WhenTheNextDialogIsCancelled_ThenOnlyStrOperacTurnsN) {
    runDialog([this](TfrmPerCalc& d) { confirmRange(d, "01/02/2026", "28/02/2026"); });
    EXPECT_EQ(period(), "S|N|01/02/2026|28/02/2026");
    runDialog([](TfrmPerCalc& d) { d.sbtCancel->Click(); });
    EXPECT_EQ(period(), "N|N|01/02/2026|28/02/2026");
    // Esc leaves the same way.
    StrOperac = "S";
    runDialog([](TfrmPerCalc& d) { d.PressKey(VK_ESCAPE); });
    EXPECT_EQ(StrOperac, "N");
    EXPECT_EQ(frmPerCalc, nullptr);
}

TEST_F(PeriodDialog, GivenATypedDateThatIsNoDate_WhenLeavingTheBox_ThenItIsRefused) {
    runDialog([this](TfrmPerCalc& d) {
        event([&] { d.chbPerTot->SetChecked(false); });
        event([&] { d.depPerDe->SetFocus(); });
        event([&] { d.depPerDe->SetText("31/02/2026"); });
        EXPECT_FALSE(event([&] { d.depPerAte->SetFocus(); }));
        EXPECT_NE(messages(), "");
        EXPECT_EQ(d.ActiveControl(), d.depPerDe);
        d.sbtCancel->Click();
    });
}
