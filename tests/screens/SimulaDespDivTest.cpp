// The miscellaneous expenses dialog opened from the result simulation, against the real server
// on the fixture's budget 2026/2: what it shows, what a typed month changes, the reload and
// what the save writes into the budget.
#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/lib/Consiste.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TSpinEdit.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"
#include "simulation/items/Cli_fyn10340.h"

#include <functional>
#include <set>

namespace {

std::string money(double v) {
    return FormatFloat("#,##0.00", v);
}

std::string share(double v) {
    return FormatFloat("#,##0.0", v);
}

} // namespace

class SimulaDespDiv : public EntryFixture {
protected:
    // The expenses dialog opened from the result screen's button, `steps` run on it, then
    // closed as its window's close does.
    void expenses(TfrmSimulaResult& s, const std::function<void(TfrmSimulaDespDiv&)>& steps) {
        platform.onModal("TfrmSimulaDespDiv", [this, steps](TForm& f) {
            auto& d = static_cast<TfrmSimulaDespDiv&>(f);
            steps(d);
            event([&] { d.Close(); });
        });
        ASSERT_TRUE(s.btnDespDiv->Enabled());
        event([&] { s.btnDespDiv->Click(); });
    }

    // March alone on the result screen.
    void march(TfrmSimulaResult& s) {
        chooseMonth(s, "03/2026");
        ASSERT_EQ(s.stMes, "3");
    }

    double misc(const std::string& branch, int month) {
        return budgetMonth(form->cdsItensOrcamento, {branch}, 'D', month);
    }
    double miscYear(const std::string& branch) {
        double sum = 0;
        for (int m = 1; m <= 12; ++m)
            sum += misc(branch, m);
        return sum;
    }
    double billing(const std::string& branch, int month) {
        return budgetMonth(form->cdsItensOrcFatCons, {branch}, 'F', month);
    }

    // The month row shown under that name, as "name|value|share|permission".
    static std::string month(TfrmSimulaDespDiv& d, const std::string& name) {
        const std::string all = shown(d.cdsMes, {"NMMES", "VALOR", "FATURAMENTO", "IDPERMCALC"});
        const std::size_t at = all.find(name + "|");
        return at == std::string::npos ? "(none)" : all.substr(at, all.find('\n', at) - at);
    }

    // Clicks the value cell of a month row and types the text into it.
    void typeMonth(TfrmSimulaDespDiv& d, const std::string& name, const std::string& text) {
        int row = -1;
        const int field = d.cdsMes.FieldByName("NMMES").Index();
        for (int r = 0; r < d.cdsMes.RecordCount(); ++r)
            if (d.cdsMes.RowValue(r, field).toText() == name) row = r;
        ASSERT_GE(row, 0) << name;
        event([&] { d.dbgMes->SetFocus(); });
        event([&] { d.dbgMes->ClickCell(row, d.dbgMes->ColumnByFieldName("VALOR")->Index()); });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
    }

    void confirm(TfrmSimulaDespDiv& d) {
        platform.answerNext(mrYes);
        event([&] { d.sbtConfirmar->Click(); });
    }

    // Chooses the expense of a branch in the upper grid.
    void chooseBranch(TfrmSimulaDespDiv& d, const std::string& branch) {
        event([&] { d.dbgPadrao->SetFocus(); });
        event([&] { d.dbgPadrao->ClickCell(rowOf(d.dbgPadrao, branch), 0); });
    }
};

TEST_F(SimulaDespDiv, GivenOneBranch_WhenOpened_ThenItsExpenseAndMonthsShowTheBudget) {
    loaded();
    const double july = misc("0001", 7);
    ASSERT_GT(july, 0);
    simulate([&](TfrmSimulaResult& s) {
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(d.Caption(), "Simulação Despesas Diversas");
            EXPECT_EQ(d.lblCodTela->Caption(), "FYN10340");
            EXPECT_EQ(shown(d.cdsDespesas,
                            {"CDFILIAL", "CDDESPPREV", "NMDESPPREV", "VRTOTAL", "PORCDESP"}),
                      "0001|001|Aluguel|" + money(miscYear("0001")) + "|100,00\n");
            // The code is a text: quoted in the filter of the month rows.
            EXPECT_EQ(d.cdsMes.Filter(), "CDDESPPREV = '001' AND CDFILIAL = '0001'");
            EXPECT_EQ(shown(d.cdsMes, {"IDORDENA"}), "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n");
            EXPECT_EQ(month(d, "Janeiro").substr(0, 8), "Janeiro|");
            EXPECT_EQ(month(d, "Julho"), "Julho|" + money(july) + "|" +
                                             share(RoundDec(july * 100 / billing("0001", 7), 2)) +
                                             "|S");
            EXPECT_FALSE(platform.progressVisible());
            // The month grid takes the focus: edit is offered, the search is not.
            event([&] { d.dbgMes->SetFocus(); });
            EXPECT_TRUE(d.sbtAlterar->Enabled());
            EXPECT_FALSE(d.sbtProcurar->Enabled());
            EXPECT_FALSE(d.sbtConfirmar->Enabled());
        });
        // Only looking changes nothing.
        EXPECT_FALSE(s.boSimulaDd);
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_EQ(s.nbeOrcD->Text(), money(miscYear("0001")));
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaDespDiv, GivenAMonthTyped_WhenConfirmed_ThenTotalSharesAndTheResultLineFollow) {
    loaded();
    const double year = miscYear("0001");
    const double total = year - misc("0001", 3) + 1234.56;
    simulate([&](TfrmSimulaResult& s) {
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            // Letters and signs are dropped as they are typed.
            typeMonth(d, "Março", "12x34,5-6");
            EXPECT_EQ(d.cdsMes.State(), dsEdit);
            EXPECT_TRUE(s.boSimulou && s.boSimulaDd);
            EXPECT_TRUE(d.sbtConfirmar->Enabled());
            EXPECT_FALSE(d.dbgPadrao->Enabled());
            confirm(d);
            EXPECT_EQ(messages(), "confirm: Confirmar operação? -> Yes\n");
            platform.clearMessages();
            EXPECT_EQ(d.cdsMes.State(), dsBrowse);
            EXPECT_EQ(d.cdsMesDados.FieldByName("VRORCAMENTOMAR").AsFloat(), 1234.56);
            EXPECT_EQ(month(d, "Março"),
                      "Março|1.234,56|" + share(RoundDec(123456 / billing("0001", 3), 2)) + "|S");
            EXPECT_EQ(shown(d.cdsDespesas, {"VRTOTAL", "PORCDESP", "PORCFAT"}),
                      money(total) + "|100,00|" + money(total * 100 / s.vrsimulacao) + "\n");

            // A second month typed and cancelled keeps its value.
            const std::string april = month(d, "Abril");
            typeMonth(d, "Abril", "99");
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(messages(), "confirm: Cancelar operação? -> Yes\n");
            EXPECT_EQ(month(d, "Abril"), april);
            EXPECT_EQ(d.cdsMes.State(), dsBrowse);
        });
        EXPECT_EQ(s.nbeOrcD->Text(), money(total));
        EXPECT_TRUE(s.boSimulaDd);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_FALSE(s.btnReduDespDiv->Enabled());
        // Reopened: the values left at closing, not the budget's.
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(month(d, "Março").substr(0, 16), "Março|1.234,56|");
            EXPECT_EQ(shown(d.cdsDespesas, {"VRTOTAL"}), money(total) + "\n");
        });
    });
    platform.clearMessages();
}

TEST_F(SimulaDespDiv, GivenTwoBranchesInMarch_WhenOneIsPosted_ThenItsTotalIsTheYearAndShares100) {
    loaded();
    checkOnMiscPage({"0001", "0002"});
    const double first = misc("0001", 3);
    const double total = miscYear("0002") - misc("0002", 3) + 1000;
    simulate([&](TfrmSimulaResult& s) {
        march(s);
        ASSERT_EQ(s.stCdFilial, "_0001_0002_");
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(shown(d.cdsDespesas, {"CDFILIAL", "VRTOTAL"}),
                      "0001|" + money(first) + "\n0002|" + money(misc("0002", 3)) + "\n");
            // One month row per expense: March, third of the budget year.
            EXPECT_EQ(shown(d.cdsMes, {"NMMES", "IDORDENA", "CDFILIAL"}), "Março|3|0001\n");
            chooseBranch(d, "0002");
            EXPECT_EQ(d.cdsMes.Filter(), "CDDESPPREV = '001' AND CDFILIAL = '0002'");
            typeMonth(d, "Março", "1000");
            confirm(d);
            // The total is the twelve months; the share of billing sets March against March.
            EXPECT_EQ(shown(d.cdsDespesas, {"CDFILIAL", "VRTOTAL", "PORCFAT"}),
                      "0001|" + money(first) + "|" +
                          money(RoundDec(first * 100 / s.vrsimulacao, 2)) + "\n0002|" +
                          money(total) + "|" + money(1000 * 100 / s.vrsimulacao) + "\n");
            double shares = 0;
            for (d.cdsDespesas.First(); !d.cdsDespesas.Eof(); d.cdsDespesas.Next())
                shares += d.cdsDespesas.FieldByName("PORCDESP").AsFloat();
            EXPECT_NEAR(shares, 100, 1e-9);
            EXPECT_EQ(d.cdsDespesas.FieldByName("CDFILIAL").AsString(), "0002");
        });
        // The line is the period's: both Marches.
        EXPECT_EQ(s.nbeOrcD->Text(), money(first + 1000));
        EXPECT_EQ(s.cdsMes.RecordCount(), 2);
    });
    platform.clearMessages();
}

TEST_F(SimulaDespDiv, GivenAVersionStartingInApril_WhenOpened_ThenTheMonthsRunAprilToMarch) {
    versionFromApril();
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            std::string months;
            for (int row = 0; row < d.cdsMes.RecordCount(); ++row)
                months += d.cdsMes.RowDisplayText(row, d.cdsMes.FieldByName("NMMES").Index()) + " ";
            EXPECT_EQ(months, "Abril Maio Junho Julho Agosto Setembro Outubro Novembro Dezembro "
                              "Janeiro Fevereiro Março ");
        });
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaDespDiv, GivenAClosedQuarter_WhenVerified_ThenTheListAndPermissionsAreKept) {
    // The phase of "fase" closes January to March.
    loaded("fase");
    checkOnMiscPage({"0001", "0002"});
    simulate([&](TfrmSimulaResult& s) {
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(month(d, "Março").substr(month(d, "Março").size() - 2), "|N");
            EXPECT_EQ(month(d, "Abril").substr(month(d, "Abril").size() - 2), "|S");
            // A closed month takes no typing and no toolbar edit.
            typeMonth(d, "Fevereiro", "5");
            EXPECT_FALSE(d.dbgMes->HasOption(dgEditing));
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsMes.State(), dsBrowse);
            EXPECT_FALSE(s.boSimulaDd);

            typeMonth(d, "Abril", "777");
            confirm(d);
            ASSERT_EQ(month(d, "Abril").substr(0, 13), "Abril|777,00|");
            platform.clearMessages();
            // No keeps the simulation; Yes brings the budget back for the same branches.
            platform.answerNext(mrNo);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(month(d, "Abril").substr(0, 13), "Abril|777,00|");
            EXPECT_TRUE(s.boSimulaDd);
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(messages(), "confirm: Com a atualização os valores alterados serão "
                                  "substituídos pelos lançados no orçamento. Confirma "
                                  "atualização? -> No\nconfirm: Com a atualização os valores "
                                  "alterados serão substituídos pelos lançados no orçamento. "
                                  "Confirma atualização? -> Yes\n");
            EXPECT_EQ(month(d, "Abril").substr(0, 6 + money(misc("0001", 4)).size()),
                      "Abril|" + money(misc("0001", 4)));
            EXPECT_EQ(shown(d.cdsDespesas, {"CDFILIAL"}), "0001\n0002\n");
            EXPECT_EQ(month(d, "Janeiro").substr(month(d, "Janeiro").size() - 2), "|N");
            EXPECT_FALSE(s.boSimulaDd);
            EXPECT_TRUE(d.dbgPadrao->Focused());
            d.cdsMes.SetFiltered(false);
            EXPECT_EQ(d.cdsMes.RecordCount(), 24);
        });
    });
    platform.clearMessages();
}

TEST_F(SimulaDespDiv, GivenAnEffectedBranch_WhenTyping_ThenNothingIsTakenAndEditIsOffered) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        // The effected branch chosen in the simulation's header, as the operator types it.
        event([&] { s.edtCdFilial->SetFocus(); });
        event([&] { s.edtCdFilial->SetText("0003"); });
        event([&] { s.sbtCancel->SetFocus(); });
        ASSERT_EQ(s.stCdFilial, "0003");
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            ASSERT_EQ(shown(d.cdsDespesas, {"IDITEMORCAMENTO"}), "E\n");
            const std::string may = month(d, "Maio");
            typeMonth(d, "Maio", "5");
            EXPECT_EQ(d.cdsMes.State(), dsBrowse);
            EXPECT_EQ(month(d, "Maio"), may);
            EXPECT_FALSE(d.sbtAlterar->Enabled());
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsMes.State(), dsBrowse);
        });
        EXPECT_FALSE(s.boSimulou || s.boSimulaDd);
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaDespDiv, GivenNoGrossBilling_WhenAMonthIsPosted_ThenTheShareOfBillingIsZero) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        event([&] { s.nbeOrcF->SetFocus(); });
        event([&] { s.nbeOrcF->SetText(""); });
        event([&] { s.TypeChar('0'); });
        event([&] { s.nbeOrcO->SetFocus(); });
        ASSERT_EQ(s.nbeOrcF->GetNumber(), 0);
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            typeMonth(d, "Junho", "500");
            confirm(d);
            EXPECT_EQ(shown(d.cdsDespesas, {"PORCFAT"}), "0,00\n");
            // The month's own share is of the branch's billing of June.
            EXPECT_EQ(month(d, "Junho"),
                      "Junho|500,00|" + share(RoundDec(50000 / billing("0001", 6), 2)) + "|S");
        });
    });
    platform.clearMessages();
}

TEST_F(SimulaDespDiv, GivenAPostedMonth_WhenTheSimulationIsSaved_ThenTheBudgetHoldsIt) {
    loaded();
    const double april = misc("0001", 4);
    simulate([&](TfrmSimulaResult& s) {
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            typeMonth(d, "Março", "2000");
            confirm(d);
        });
        platform.clearMessages();
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), "confirm: Filial possui orçamento de Despesas  realizado. A "
                              "confirmação desta alteração irá sobrepor os valores existentes. "
                              "Confirma operação? -> Yes\nconfirm: Confirma alteração no "
                              "orçamento da filial? -> Yes\n");
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
    EXPECT_EQ(savedSimulations(), 1);
    EXPECT_EQ(misc("0001", 3), 2000);
    EXPECT_EQ(misc("0001", 4), april);
    // A new simulation reads the saved month back from the budget.
    simulate([&](TfrmSimulaResult& s) {
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(month(d, "Março").substr(0, 16), "Março|2.000,00|");
        });
    });
}

TEST_F(SimulaDespDiv, GivenARefusedLoad_WhenOpening_ThenTheErrorShowsAndTheNextOpeningWorks) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        // A year the server has no such version for.
        const int year = s.speAno->Value();
        s.speAno->SetValue(1999);
        platform.onModal("TfrmSimulaDespDiv", [](TForm& f) { f.Close(); });
        event([&] { s.btnDespDiv->Click(); });
        EXPECT_EQ(messages(), "error: Versão 2 do ano 1999 não cadastrada.\n");
        platform.clearMessages();
        EXPECT_FALSE(platform.progressVisible());
        EXPECT_EQ(app.cursor(), crDefault);
        EXPECT_FALSE(TfrmSimulaDespDiv::boIdCriado);
        EXPECT_FALSE(s.cdsItensDiversas.Active() && !s.cdsItensDiversas.IsEmpty());

        s.speAno->SetValue(year);
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(shown(d.cdsDespesas, {"CDFILIAL"}), "0001\n");
        });
        EXPECT_FALSE(s.cdsItensDiversas.IsEmpty());
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaDespDiv, GivenAReducedLine_WhenOpened_ThenTheReducedMonthsAreTakenBack) {
    loaded();
    const double may = misc("0001", 5);
    simulate([&](TfrmSimulaResult& s) {
        reduceLine(s.btnReduDespDiv, "50");
        ASSERT_TRUE(s.boSimulaPercDd);
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            EXPECT_EQ(month(d, "Maio").substr(0, 5 + money(may / 2).size()),
                      "Maio|" + money(may / 2));
            EXPECT_EQ(shown(d.cdsDespesas, {"VRTOTAL"}), money(miscYear("0001") / 2) + "\n");
        });
        EXPECT_EQ(s.nbeOrcD->Text(), money(miscYear("0001") / 2));
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaDespDiv, GivenAClosedQuarterAndAReducedLine_WhenOpened_ThenClosedMonthsTakeNoTyping) {
    loaded("fase");
    checkOnMiscPage({"0001"});
    const double february = misc("0001", 2);
    simulate([&](TfrmSimulaResult& s) {
        reduceLine(s.btnReduDespDiv, "50");
        ASSERT_TRUE(s.boSimulaPercDd);
        expenses(s, [&](TfrmSimulaDespDiv& d) {
            // The months taken back keep the phase's permission, as when read from the budget.
            const std::string closed = month(d, "Fevereiro");
            EXPECT_EQ(closed.substr(0, 10 + money(february / 2).size()),
                      "Fevereiro|" + money(february / 2));
            EXPECT_EQ(closed.substr(closed.size() - 2), "|N");
            EXPECT_EQ(month(d, "Abril").substr(month(d, "Abril").size() - 2), "|S");
            typeMonth(d, "Fevereiro", "5");
            EXPECT_FALSE(d.dbgMes->HasOption(dgEditing));
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsMes.State(), dsBrowse);
            EXPECT_EQ(month(d, "Fevereiro").substr(0, 10 + money(february / 2).size()),
                      "Fevereiro|" + money(february / 2));
        });
    });
    platform.clearMessages();
}
