// Percentage reductions of the result simulation and saving it into the budget, against the
// real server on the fixture's budget 2026/2.
#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"

#include <cmath>
#include <functional>

namespace {

std::string money(double v) {
    return FormatFloat("#,##0.00", v);
}

const char* const kOrcFat = "confirm: Filial possui orçamento por Faturamento realizado.  A "
                            "confirmação desta alteração irá sobrepor os valores existentes. "
                            "Confirma operação?";
const char* const kOrcCons = "confirm: Filial possui orçamento por Consumo realizado. A "
                             "confirmação desta alteração irá sobrepor os valores existentes. "
                             "Confirma operação?";
const char* const kOrcImp = "confirm: Filial possui orçamento por Imposto realizado.  A "
                            "confirmação desta alteração irá sobrepor os valores existentes. "
                            "Confirma operação?";
const char* const kConfSimulacao = "confirm: Confirma alteração no orçamento da filial?";

} // namespace

class ResultReduction : public EntryFixture {
protected:
    // The next percentage dialog: `text` typed and confirmed (left open when refused, then
    // closed), or closed at once when `text` is empty.
    void percent(const std::string& text) {
        platform.onModal("TfrmReduConsFat", [this, text](TForm& f) {
            auto& d = static_cast<TfrmReduConsFat&>(f);
            EXPECT_EQ(d.Caption(), "% Redução x Faturamento");
            if (!text.empty()) {
                event([&] { d.edtValor->SetText(text); });
                event([&] { d.sbtConfirma->Click(); });
                m_dialogStayedOpen = d.ModalResult() == mrNone;
            }
            if (d.ModalResult() == mrNone) event([&] { d.sbtCancel->Click(); });
        });
    }

    void reduce(TButtonFlat* button, const std::string& text) {
        percent(text);
        event([&] { button->Click(); });
    }

    double year(TClientDataSet& ds, const std::set<std::string>& branches, char type) {
        double sum = 0;
        for (int m = 1; m <= 12; ++m)
            sum += budgetMonth(ds, branches, type, m);
        return sum;
    }

    void typeInto(TfrmSimulaResult& s, TNumberEdit* edit, const std::string& text) {
        event([&] { edit->SetFocus(); });
        event([&] { edit->SetText(""); });
        for (char c : text)
            event([&] { s.TypeChar(static_cast<unsigned char>(c)); });
        event([&] { s.nbeOrcO->SetFocus(); });
    }

    bool m_dialogStayedOpen = false;
};

TEST_F(ResultReduction, GivenTaxes_WhenReduced_ThenTheLineKeepsTheTypedShareOnce) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double taxes = s.nbeOrcImp->GetNumber();
        ASSERT_GT(taxes, 0);
        EXPECT_TRUE(s.btnReduImp->Enabled());
        // Closing the dialog, 0 and a refused 150 change nothing.
        reduce(s.btnReduImp, "");
        reduce(s.btnReduImp, "0");
        reduce(s.btnReduImp, "150");
        EXPECT_TRUE(m_dialogStayedOpen);
        EXPECT_EQ(messages(), "error: O percentual informado deve estar entre 0 e 100.\n");
        platform.clearMessages();
        EXPECT_EQ(s.nbeOrcImp->GetNumber(), taxes);
        EXPECT_TRUE(s.btnReduImp->Enabled());
        EXPECT_FALSE(s.sbtConfirma->Enabled());

        reduce(s.btnReduImp, "25");
        EXPECT_FALSE(m_dialogStayedOpen);
        EXPECT_NEAR(s.nbeOrcImp->GetNumber(), taxes * 0.25, 0.01 * s.cdsImpRecu.RecordCount());
        EXPECT_FALSE(s.btnReduImp->Enabled());
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_TRUE(s.sbtAtualizar->Enabled());
        EXPECT_FALSE(s.chkPeriodo->Enabled());
        // The result follows: net billing is gross less the reduced taxes.
        EXPECT_EQ(s.nbeOrcL->Text(), money(s.nbeOrcF->GetNumber() - s.nbeOrcImp->GetNumber()));

        // 100 keeps the values but still marks the line as reduced.
        const std::string depreciation = s.nbeOrcP->Text();
        reduce(s.btnReduDeprec, "100");
        EXPECT_EQ(s.nbeOrcP->Text(), depreciation);
        EXPECT_FALSE(s.btnReduDeprec->Enabled());
        EXPECT_TRUE(s.boSimulaPercDeprec);

        // Discarding brings the budget's values back and frees the buttons.
        platform.answerNext(mrYes);
        event([&] { s.sbtAtualizar->Click(); });
        EXPECT_EQ(s.nbeOrcImp->GetNumber(), taxes);
        EXPECT_TRUE(s.btnReduImp->Enabled());
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
}

TEST_F(ResultReduction, GivenAMonth_WhenLabourAndEntryAreReduced_ThenOnlyThatMonthMoves) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        chooseMonth(s, "03/2026");
        ASSERT_EQ(s.stMes, "3");
        const double labour = budgetMonth(form->cdsItensOrcamento, {"0001"}, 'O', 3);
        ASSERT_GT(labour, 0);
        ASSERT_EQ(s.nbeOrcO->Text(), money(labour));
        reduce(s.btnReduMaoObra, "50");
        EXPECT_EQ(s.nbeOrcO->Text(), money(labour / 2));
        // April of the labour items is untouched.
        double april = 0;
        for (s.cdsItensMo.First(); !s.cdsItensMo.Eof(); s.cdsItensMo.Next())
            april += s.cdsItensMo.FieldByName("VRORCAMENTOABR").AsFloat();
        EXPECT_NEAR(april, budgetMonth(form->cdsItensOrcamento, {"0001"}, 'O', 4), 0.001);

        // Taxes: March is reduced and the line shows March, April stays as the budget holds it.
        const double taxes = budgetMonth(form->cdsItensOrcamento, {"0001"}, 'I', 3);
        ASSERT_GT(taxes, 0);
        reduce(s.btnReduImp, "25");
        EXPECT_NEAR(s.nbeOrcImp->GetNumber(), taxes / 4, 0.01 * s.cdsImpRecu.RecordCount());
        double taxApril = 0;
        for (s.cdsImpRecu.First(); !s.cdsImpRecu.Eof(); s.cdsImpRecu.Next())
            if (s.cdsImpRecu.FieldByName("IDTIPOORCAOP").AsString() == "I" &&
                s.cdsImpRecu.FieldByName("CDFILIAL").AsString() == "0001")
                taxApril += s.cdsImpRecu.FieldByName("VRORCAMENTOABR").AsFloat();
        EXPECT_NEAR(taxApril, budgetMonth(form->cdsItensOrcamento, {"0001"}, 'I', 4), 0.001);

        const double entry = budgetMonth(form->cdsItensOrcamento, {"0001"}, 'E', 3);
        ASSERT_GT(entry, 0);
        reduce(s.btnReduDespEntr, "10");
        EXPECT_EQ(s.nbeOrcE->Text(), money(entry * 0.1));
        // Miscellaneous expenses: reduced once, month rows from the version's first month.
        const double misc = budgetMonth(form->cdsItensOrcamento, {"0001"}, 'D', 3);
        ASSERT_GT(misc, 0);
        reduce(s.btnReduDespDiv, "50");
        EXPECT_EQ(s.nbeOrcD->Text(), money(misc / 2));
        // Branch 0001 has one expense: twelve month rows from January.
        ASSERT_EQ(s.cdsMes.RecordCount(), 12);
        s.cdsMes.First();
        EXPECT_EQ(s.cdsMes.FieldByName("NMMES").AsString(), "Janeiro");
        s.cdsMes.Next();
        s.cdsMes.Next();
        // March halved once, April as the budget holds it.
        EXPECT_EQ(s.cdsMes.FieldByName("NMMES").AsString(), "Março");
        EXPECT_EQ(s.cdsMes.FieldByName("IDORDENA").AsInteger(), 3);
        EXPECT_NEAR(s.cdsMes.FieldByName("VALOR").AsFloat(), misc / 2, 0.005);
        s.cdsMes.Next();
        EXPECT_NEAR(s.cdsMes.FieldByName("VALOR").AsFloat(),
                    budgetMonth(form->cdsItensOrcamento, {"0001"}, 'D', 4), 0.001);
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultReduction, GivenTaxesYesAndConsumptionNo_WhenSaved_ThenOnlyTaxesAreWritten) {
    loaded();
    const double taxes = year(form->cdsItensOrcamento, {"0001"}, 'I');
    const double consumption = year(form->cdsItensOrcFatCons, {"0001"}, 'C');
    simulate([&](TfrmSimulaResult& s) {
        reduce(s.btnReduConsumo, "90");
        reduce(s.btnReduImp, "50");
        platform.clearMessages();
        platform.answerNext(mrNo);  // consumption
        platform.answerNext(mrYes); // taxes
        platform.answerNext(mrYes); // the budget
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), std::string(kOrcCons) + " -> No\n" + kOrcImp + " -> Yes\n" +
                                  kConfSimulacao + " -> Yes\n");
        // Saved: the simulation is over and the screen shows the budget again.
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_TRUE(s.btnReduImp->Enabled());
        EXPECT_EQ(s.nbeOrcImp->Text(), money(year(form->cdsItensOrcamento, {"0001"}, 'I')));
    });
    EXPECT_NEAR(year(form->cdsItensOrcamento, {"0001"}, 'I'), taxes / 2, 0.06);
    EXPECT_EQ(year(form->cdsItensOrcFatCons, {"0001"}, 'C'), consumption);
    EXPECT_EQ(savedSimulations(), 1);
}

TEST_F(ResultReduction, GivenATypedBillingTotal_WhenSaved_ThenTheMonthsAddUpToItInProportion) {
    loaded();
    const double january = budgetMonth(form->cdsItensOrcFatCons, {"0001"}, 'F', 1);
    const double before = year(form->cdsItensOrcFatCons, {"0001"}, 'F');
    simulate([&](TfrmSimulaResult& s) {
        // The total the budget already holds: nothing to ask, nothing sent.
        typeInto(s, s.nbeOrcF, FormatFloat("0.00", before));
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        platform.clearMessages();
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), "");
        EXPECT_EQ(savedSimulations(), 0);

        typeInto(s, s.nbeOrcF, "1200000");
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), std::string(kOrcFat) + " -> Yes\n" + kConfSimulacao + " -> Yes\n");
        EXPECT_EQ(s.nbeOrcF->Text(), "1.200.000,00");
    });
    EXPECT_NEAR(year(form->cdsItensOrcFatCons, {"0001"}, 'F'), 1200000, 0.001);
    EXPECT_NEAR(budgetMonth(form->cdsItensOrcFatCons, {"0001"}, 'F', 1), january * 1200000 / before,
                0.02);
}

TEST_F(ResultReduction, GivenAServerRefusal_WhenSaved_ThenItsMessageShowsAndTheSimulationStays) {
    // The phase of "fase" closes January to March: a whole-year save is refused.
    loaded("fase");
    const double taxes = year(form->cdsItensOrcamento, {"0001"}, 'I');
    simulate([&](TfrmSimulaResult& s) {
        reduce(s.btnReduImp, "50");
        const std::string reduced = s.nbeOrcImp->Text();
        platform.clearMessages();
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_NE(messages().find("error: Mês JAN fechado para a fase do operador"),
                  std::string::npos)
            << messages();
        EXPECT_EQ(s.nbeOrcImp->Text(), reduced);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_TRUE(s.boSimulaPercImp);
    });
    EXPECT_EQ(year(form->cdsItensOrcamento, {"0001"}, 'I'), taxes);
    EXPECT_EQ(savedSimulations(), 0);
}

TEST_F(ResultReduction,
       GivenAVersionStartingInApril_WhenExpensesAreReduced_ThenMonthsStartInApril) {
    versionFromApril();
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        reduce(s.btnReduDespDiv, "100");
        ASSERT_EQ(s.cdsMes.RecordCount(), 12);
        std::string months;
        for (s.cdsMes.First(); !s.cdsMes.Eof(); s.cdsMes.Next())
            months += std::to_string(s.cdsMes.FieldByName("IDORDENA").AsInteger()) + ":" +
                      s.cdsMes.FieldByName("NMMES").AsString() + " ";
        EXPECT_EQ(months, "1:Abril 2:Maio 3:Junho 4:Julho 5:Agosto 6:Setembro 7:Outubro "
                          "8:Novembro 9:Dezembro 10:Janeiro 11:Fevereiro 12:Março ");
        // 100 keeps the line and still marks it reduced.
        EXPECT_EQ(s.nbeOrcD->GetNumber(), year(form->cdsItensOrcamento, {"0001"}, 'D'));
        EXPECT_FALSE(s.btnReduDespDiv->Enabled());
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(ResultReduction, GivenYesToConsumptionThenNoToLabour_WhenSaved_ThenConsumptionIsStillSent) {
    loaded();
    const double consumption = year(form->cdsItensOrcFatCons, {"0001"}, 'C');
    const double labour = year(form->cdsItensOrcamento, {"0001"}, 'O');
    simulate([&](TfrmSimulaResult& s) {
        reduce(s.btnReduConsumo, "50");
        reduce(s.btnReduMaoObra, "50");
        platform.clearMessages();
        platform.answerNext(mrYes); // consumption
        platform.answerNext(mrNo);  // labour
        platform.answerNext(mrYes); // the budget
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(platform.messages().size(), 3u) << messages();
        EXPECT_EQ(platform.messages().back().text, "Confirma alteração no orçamento da filial?");
    });
    EXPECT_NEAR(year(form->cdsItensOrcFatCons, {"0001"}, 'C'), consumption / 2, 0.5);
    EXPECT_EQ(year(form->cdsItensOrcamento, {"0001"}, 'O'), labour);
}
