// The general item simulation (taxes, recoverable taxes, taxes on profit, investments,
// depreciation, administrative fee) opened from the result simulation over the fixture's budget
// 2026, against the real server: what each line shows, a month changed and the line following,
// the reload from the budget, the months that may not be changed, and the save into the budget.
#include "tests/screens/EntryFixture.h"
#include "tests/server/FixtureBudget.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/data/NumberFormat.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDBText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10400.h"

#include <functional>

namespace {

std::string money(double v) {
    return FormatFloat("#,##0.00", v);
}

const char* const kConfImp = "confirm: Filial possui orçamento por Imposto realizado.  A "
                             "confirmação desta alteração irá sobrepor os valores existentes. "
                             "Confirma operação?";
const char* const kConfSimulacao = "confirm: Confirma alteração no orçamento da filial?";
const char* const kAtu = "confirm: Com a atualização, os valores alterados serão substituidos "
                         "pelos lançados no orçamento. Confirma atualização?";

} // namespace

class SimulGeral : public EntryFixture {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        startServer().store().transaction(
            [&](srv::Database& db) { return db.execute(sql, params); });
    }

    // One month of a branch's lines of a type, in version 2: `value` on the first, 0 on others.
    void setMonth(const std::string& branch, const std::string& type, int month, double value) {
        FixtureBudget::setMonth(startServer().store(), branch, type, month, value);
    }

    double stored(const std::string& branch, const std::string& type, int month, int version = 2) {
        return startServer()
            .store()
            .read([&](srv::Database& db) {
                return db.query("SELECT SUM(" + srv::monthColumn("VRORCAMENTO", month) +
                                    ") FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                    "CDVERSORCAOP = ? AND CDFILIAL = ? AND IDTIPOORCAOP = ?",
                                {Variant(version), Variant(branch), Variant(type)});
            })
            .scalar()
            .toDouble();
    }

    // Opens the general dialog from a line's button, runs `steps` in it, then closes it.
    void dialog(TButtonFlat* button, const std::function<void(TfrmSimulGeral&)>& steps) {
        platform.onModal("TfrmSimulGeral", [this, steps](TForm& f) {
            auto& d = static_cast<TfrmSimulGeral&>(f);
            steps(d);
            event([&] { d.sbtFechar->Click(); });
        });
        ASSERT_TRUE(button->Enabled());
        event([&] { button->Click(); });
        ASSERT_EQ(platform.modalsRun().back(), "TfrmSimulGeral");
    }

    // The rows of a grid as shown, cells joined by "|", rows by "\n" (visible columns only).
    static std::string shown(TDBGrid* grid) {
        std::string out;
        for (int row = 0; row < grid->RowCount(); ++row) {
            std::string line;
            for (int c = 0; c < grid->ColumnCount(); ++c)
                if (grid->Column(c)->Visible())
                    line += (line.empty() ? "" : "|") + grid->CellText(row, c);
            out += line + "\n";
        }
        return out;
    }

    static std::string titles(TDBGrid* grid) {
        std::string out;
        for (int c = 0; c < grid->ColumnCount(); ++c)
            if (grid->Column(c)->Visible())
                out += (out.empty() ? "" : "|") + grid->Column(c)->TitleCaption();
        return out;
    }

    static int monthRow(TfrmSimulGeral& d, const std::string& name) {
        for (int row = 0; row < d.dbgItens->RowCount(); ++row)
            if (d.dbgItens->CellText(row, 0) == name) return row;
        return -1;
    }

    // Types a value into a month's cell and confirms it with the toolbar.
    void typeMonth(TfrmSimulGeral& d, const std::string& month, const std::string& text) {
        const int row = monthRow(d, month);
        ASSERT_GE(row, 0) << month;
        event([&] { d.dbgItens->SetFocus(); });
        event([&] { d.dbgItens->ClickCell(row, 1); });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
        if (d.sbtConfirmar->Enabled()) event([&] { d.sbtConfirmar->Click(); });
    }

    // The type letters of the items the dialog shows.
    static std::string letters(TfrmSimulGeral& d) {
        std::string out;
        const int type = d.cdsServico.FieldByName("IDTIPOORCAOP").Index();
        for (int row = 0; row < d.cdsServico.RecordCount(); ++row)
            out += d.cdsServico.RowValue(row, type).toText();
        return out;
    }

    // The general-line flags of the result screen that a dialog touches.
    static std::string flags(TfrmSimulaResult& s) {
        std::string out;
        for (auto [name, flag] : {std::pair{"simulaR", s.boSimulaRecup},
                                  {"atualizaR", s.boAtualizaGeralRecup},
                                  {"simulaI", s.boSimulaImp},
                                  {"atualizaI", s.boAtualizaGeralImp},
                                  {"impAtualizado", s.boImpAtualizado},
                                  {"recuAtualizado", s.boImpRecuAtualizado}})
            if (flag) out += std::string(out.empty() ? "" : " ") + name;
        return out;
    }

    // The rows of the result screen's general items of a letter, whole.
    static std::string generalRows(const TClientDataSet& ds, const std::string& letter) {
        const DataPacket p = ds.Data();
        std::string out;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "IDTIPOORCAOP").toText() != letter) continue;
            for (const FieldDef& f : p.fields)
                out += p.value(r, f.name).toText() + "|";
            out += "\n";
        }
        return out;
    }
};

TEST_F(SimulGeral, GivenEachGeneralLine_WhenItsButtonIsClicked_ThenTheDialogShowsThatLineOnly) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        std::string got;
        for (TButtonFlat* button : {s.btnImposto, s.btnImpRecup, s.btnImpSLucro, s.btnInvestimentos,
                                    s.btnDepreciacao, s.ButtonFlat4})
            dialog(button, [&](TfrmSimulGeral& d) {
                got += button->Name() + ": " + d.Caption() + " | " + titles(d.dbgPadrao) + " | " +
                       letters(d) + " | " + d.dbtNome->Text() + " | " + d.lblCodTela->Caption() +
                       "\n";
            });
        const std::string name = [&] {
            std::string n;
            const DataPacket p = s.cdsImpRecu.Data();
            for (std::size_t r = 0; r < p.rows.size(); ++r)
                if (p.value(r, "IDTIPOORCAOP").toText() == "I")
                    n = p.value(r, "NMIMPOSTO").toText();
            return n;
        }();
        const std::string recup = [&] {
            std::string n;
            const DataPacket p = s.cdsImpRecu.Data();
            for (std::size_t r = 0; r < p.rows.size(); ++r)
                if (p.value(r, "IDTIPOORCAOP").toText() == "R")
                    n = p.value(r, "NMIMPOSTO").toText();
            return n;
        }();
        ASSERT_FALSE(name.empty());
        EXPECT_EQ(got,
                  "btnImposto: Simulação Imposto | Filial|Imposto|Total|% Imposto|% Faturamento | "
                  "I | " +
                      name +
                      " | FYN10400\n"
                      "btnImpRecup: Simulação Imposto a Recuperar | Filial|Imposto|Total|% Imp. "
                      "Recuperar|% Faturamento | R | " +
                      recup +
                      " | FYN10400\n"
                      "btnImpSLucro: Simulação Imposto Sobre o Lucro | Filial|Imposto|Total|% "
                      "Imp.Lucro|% Faturamento | S | 0001 | FYN10400\n"
                      "btnInvestimentos: Simulação Investimentos | Filial|Total|% Investimentos|% "
                      "Faturamento | N | 0001 | FYN10400\n"
                      "btnDepreciacao: Simulação Depreciação | Filial|Total|% Depreciação|% "
                      "Faturamento | P | 0001 | FYN10400\n"
                      "ButtonFlat4: Simulação Taxa Administrativa | Filial|Total|%Tx. "
                      "Administrativa|% Faturamento | T | 0001 | FYN10400\n");
        // Opening and closing without a change marks nothing.
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_EQ(messages(), "");
    });
}

TEST_F(SimulGeral, GivenMarchAt100_WhenChangedTo150_ThenTheItemAndOnClosingTheLineRiseBy50) {
    setMonth("0001", "F", 3, 4000);
    setMonth("0001", "I", 3, 100);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double taxes = s.nbeOrcImp->GetNumber();
        dialog(s.btnImposto, [&](TfrmSimulGeral& d) {
            EXPECT_EQ(d.doTotalGeral, taxes);
            // The whole year: twelve months from January, March with its share of billing.
            ASSERT_EQ(d.dbgItens->RowCount(), 12);
            EXPECT_EQ(d.dbgItens->CellText(0, 0) + " " + d.dbgItens->CellText(11, 0),
                      "Janeiro Dezembro");
            const int march = monthRow(d, "Março");
            EXPECT_EQ(d.dbgItens->CellText(march, 1) + " " + d.dbgItens->CellText(march, 2),
                      "100,00 2,5");
            const double total = d.cdsServico.FieldByName("TOTAL").AsFloat();

            typeMonth(d, "Março", "150");
            EXPECT_EQ(messages(), "");
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_EQ(d.dbgItens->CellText(march, 1) + " " + d.dbgItens->CellText(march, 2),
                      "150,00 3,8");
            EXPECT_EQ(d.cdsServico.FieldByName("VRORCAMENTOMAR").AsFloat(), 150);
            EXPECT_NEAR(d.cdsServico.FieldByName("TOTAL").AsFloat(), total + 50, 0.001);
            EXPECT_NEAR(d.doTotalGeral, taxes + 50, 0.001);
            // The item's share of the line follows the new total (one item: all of it).
            EXPECT_EQ(shown(d.dbgPadrao).substr(0, 5), "0001|");
            EXPECT_NE(shown(d.dbgPadrao).find("|100,00|"), std::string::npos) << shown(d.dbgPadrao);
            // The result screen's line moves only when the dialog closes.
            EXPECT_EQ(s.nbeOrcImp->GetNumber(), taxes);
        });
        EXPECT_EQ(s.nbeOrcImp->Text(), money(taxes + 50));
        EXPECT_TRUE(s.boSimulaImp);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_FALSE(s.btnReduImp->Enabled());
        EXPECT_EQ(s.nbeOrcL->Text(), money(s.nbeOrcF->GetNumber() - taxes - 50));

        // Reopened without a reload: the values left there.
        dialog(s.btnImposto, [&](TfrmSimulGeral& d) {
            EXPECT_EQ(d.dbgItens->CellText(monthRow(d, "Março"), 1), "150,00");
            EXPECT_NEAR(d.doTotalGeral, taxes + 50, 0.001);
        });
        EXPECT_EQ(s.nbeOrcImp->Text(), money(taxes + 50));
    });
}

TEST_F(SimulGeral,
       GivenTheToolbar_WhenEditIsClickedOnAMonth_ThenTheValueIsTypedAndCancelOrConfirm) {
    setMonth("0001", "P", 7, 700);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double line = s.nbeOrcP->GetNumber();
        dialog(s.btnDepreciacao, [&](TfrmSimulGeral& d) {
            const int july = monthRow(d, "Julho");
            event([&] { d.dbgItens->SetFocus(); });
            event([&] { d.dbgItens->ClickCell(july, 0); });
            ASSERT_TRUE(d.sbtAlterar->Enabled());
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsInsereItens.State(), dsEdit);
            EXPECT_EQ(d.dbgItens->SelectedColumn()->FieldName(), "VRMES");
            EXPECT_TRUE(d.sbtConfirmar->Enabled() && d.sbtCancelar->Enabled());
            EXPECT_FALSE(d.dbgPadrao->Enabled());
            for (char c : std::string("1.234,5"))
                event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_EQ(d.dbgItens->CellText(july, 1), "700,00");
            EXPECT_EQ(d.doTotalGeral, line);

            event([&] { d.sbtAlterar->Click(); });
            for (char c : std::string("1.234,5"))
                event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(d.dbgItens->CellText(july, 1), "1.234,50");
            EXPECT_TRUE(d.dbgPadrao->Enabled());
            EXPECT_TRUE(d.sbtAlterar->Enabled());
            // Rows are never added nor removed.
            event([&] { d.cdsInsereItens.Last(); });
            event([&] { d.cdsInsereItens.Append(); });
            EXPECT_EQ(d.cdsInsereItens.RecordCount(), 12);
        });
        EXPECT_EQ(s.nbeOrcP->Text(), money(line + 534.5));
        EXPECT_EQ(messages(), "");
    });
}

TEST_F(SimulGeral, GivenTwoListedBranches_WhenOneBranchsTaxIsChangedAndSaved_ThenOnlyItChanges) {
    setMonth("0001", "I", 3, 100);
    setMonth("0002", "I", 3, 300);
    loaded();
    // Both branches checked on the miscellaneous page: the simulation opens on the list.
    checkOnMiscPage({"0001", "0002"});
    simulate([&](TfrmSimulaResult& s) {
        ASSERT_EQ(s.stCdFilial, "_0001_0002_");
        const double taxes = s.nbeOrcImp->GetNumber();
        dialog(s.btnImposto, [&](TfrmSimulGeral& d) {
            ASSERT_EQ(codes(d.cdsServico), "0001 0002");
            ASSERT_TRUE(d.cdsServico.Locate("CDFILIAL", {Variant("0002")}));
            typeMonth(d, "Março", "500");
        });
        EXPECT_EQ(s.nbeOrcImp->Text(), money(taxes + 200));
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), std::string(kConfImp) + " -> Yes\n" + kConfSimulacao + " -> Yes\n");
    });
    EXPECT_EQ(stored("0001", "I", 3), 100);
    EXPECT_EQ(stored("0002", "I", 3), 500);
}

TEST_F(SimulGeral,
       GivenAValueMovedBetweenMonths_WhenClosed_ThenTheLineIsMarkedThoughItsTotalStays) {
    setMonth("0001", "S", 3, 100);
    setMonth("0001", "S", 4, 100);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const std::string total = s.nbeOrcLu->Text();
        dialog(s.btnImpSLucro, [&](TfrmSimulGeral& d) {
            typeMonth(d, "Março", "50");
            typeMonth(d, "Abril", "150");
        });
        EXPECT_EQ(s.nbeOrcLu->Text(), total);
        EXPECT_TRUE(s.boSimulaSL);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
    });
}

TEST_F(SimulGeral, GivenTheVerifyQuestion_WhenNoThenYes_ThenOnlyYesBringsTheLettersBudgetBack) {
    setMonth("0001", "R", 6, 300);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const std::string taxes = generalRows(s.cdsImpRecu, "I");
        const std::string recoverable = s.nbeOrcR->Text();
        dialog(s.btnImpRecup, [&](TfrmSimulGeral& d) {
            typeMonth(d, "Junho", "900");
            EXPECT_EQ(d.cdsServico.FieldByName("VRORCAMENTOJUN").AsFloat(), 900);
            const std::string before = shown(d.dbgItens) + flags(s);

            platform.answerNext(mrNo);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(shown(d.dbgItens) + flags(s), before);

            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(messages(), std::string(kAtu) + " -> No\n" + kAtu + " -> Yes\n");
            EXPECT_EQ(d.dbgItens->CellText(monthRow(d, "Junho"), 1), "300,00");
            EXPECT_EQ(d.cdsServico.FieldByName("VRORCAMENTOJUN").AsFloat(), 300);
            EXPECT_EQ(letters(d), "R");
            EXPECT_NE(generalRows(d.cdsServico, "I"), "") << "the other letters' items stay";
            EXPECT_EQ(flags(s), "atualizaR recuAtualizado");
            EXPECT_EQ(money(d.doTotalGeral), recoverable);
        });
        // The line is what the budget holds, not marked as simulated; taxes are untouched.
        EXPECT_EQ(s.nbeOrcR->Text(), recoverable);
        EXPECT_EQ(flags(s), "atualizaR");
        EXPECT_EQ(generalRows(s.cdsImpRecu, "I"), taxes);
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
}

TEST_F(SimulGeral,
       GivenTheServerRefusesTheReload_WhenVerified_ThenTheErrorShowsAndTheDialogGoesOn) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        dialog(s.btnDepreciacao, [&](TfrmSimulGeral& d) {
            const std::string months = shown(d.dbgItens);
            exec("DELETE FROM VERSAOORCA WHERE CDANOVERORCA = '2026' AND CDVERSAOORCA = 2");
            platform.answerNext(mrYes);
            EXPECT_FALSE(event([&] { d.sbtVerificar->Click(); }));
            EXPECT_EQ(messages(), std::string(kAtu) + " -> Yes\nerror: Versão 2 do ano 2026 não "
                                                      "cadastrada.\n");
            EXPECT_FALSE(platform.progressVisible());
            EXPECT_FALSE(d.boAtualiza);
            // The server refused before anything was replaced.
            EXPECT_EQ(shown(d.dbgItens), months);
            EXPECT_FALSE(s.boAtualizaGeralDeprec);
        });
    });
}

TEST_F(SimulGeral, GivenOneMonthSimulated_WhenTheDialogOpensAndReloads_ThenOnlyThatMonthIsWorked) {
    setMonth("0001", "P", 5, 500);
    setMonth("0001", "P", 6, 600);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        chooseMonth(s, "05/2026");
        ASSERT_EQ(s.stMes, "5");
        ASSERT_EQ(s.nbeOrcP->Text(), "500,00");
        dialog(s.btnDepreciacao, [&](TfrmSimulGeral& d) {
            EXPECT_EQ(shown(d.dbgItens), "Maio|500,00|" + d.dbgItens->CellText(0, 2) + "\n");
            EXPECT_EQ(d.cdsServico.FieldByName("TOTAL").AsFloat(), 500);
            typeMonth(d, "Maio", "550");
            EXPECT_EQ(d.cdsServico.FieldByName("TOTAL").AsFloat(), 550);
            EXPECT_EQ(d.doTotalGeral, 550);
            // The reload asks the budget year and the month: May comes back as the budget's.
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(messages(), std::string(kAtu) + " -> Yes\n");
            EXPECT_EQ(shown(d.dbgItens).substr(0, 12), "Maio|500,00|");
            EXPECT_EQ(d.doTotalGeral, 500);
            EXPECT_EQ(d.cdsServico.FieldByName("VRORCAMENTOJUN").AsFloat(), 600);
            typeMonth(d, "Maio", "450");
        });
        EXPECT_EQ(s.nbeOrcP->Text(), "450,00");
    });
}

TEST_F(SimulGeral, GivenAVersionStartingInApril_WhenTheWholeYearIsShown_ThenAprilToMarch) {
    exec("UPDATE VERSAOORCA SET NRMESINIVERORC = 4 WHERE CDANOVERORCA = '2026' AND "
         "CDVERSAOORCA = 2");
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        dialog(s.btnInvestimentos, [&](TfrmSimulGeral& d) {
            std::string months;
            for (int row = 0; row < d.dbgItens->RowCount(); ++row)
                months += d.dbgItens->CellText(row, 0).substr(0, 3) + " ";
            EXPECT_EQ(months, "Abr Mai Jun Jul Ago Set Out Nov Dez Jan Fev Mar ");
        });
    });
}

TEST_F(SimulGeral, GivenTheFirstQuarterClosedToThePhase_WhenTyped_ThenOnlyOpenMonthsChange) {
    setMonth("0001", "N", 3, 100);
    setMonth("0001", "N", 4, 100);
    loaded("fase");
    simulate([&](TfrmSimulaResult& s) {
        const double line = s.nbeOrcN->GetNumber();
        dialog(s.btnInvestimentos, [&](TfrmSimulGeral& d) {
            // The operator's phase closes the first quarter: March takes no key.
            typeMonth(d, "Março", "7");
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_FALSE(d.sbtAlterar->Enabled());
            EXPECT_EQ(d.dbgItens->CellText(monthRow(d, "Março"), 1), "100,00");
            typeMonth(d, "Abril", "7");
            EXPECT_EQ(d.dbgItens->CellText(monthRow(d, "Abril"), 1), "7,00");
        });
        EXPECT_EQ(s.nbeOrcN->Text(), money(line - 93));
        EXPECT_EQ(messages(), "");
    });
}

TEST_F(SimulGeral,
       GivenBranchesEffectedApprovedOrOutOfReach_WhenTheirMonthsAreTyped_ThenNoneChanges) {
    // 0003 is effected, 0004 approved, 0005 not calculated by this operator.
    for (const char* branch : {"0003", "0004", "0005"})
        setMonth(branch, "N", 4, 100);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        std::string got;
        for (const std::string branch : {"0003", "0004", "0005"}) {
            event([&] { s.edtCdFilial->SetFocus(); });
            event([&] { s.edtCdFilial->SetText(branch); });
            event([&] { s.sbtCancel->SetFocus(); });
            ASSERT_EQ(s.stCdFilial, branch) << messages();
            dialog(s.btnInvestimentos, [&](TfrmSimulGeral& d) {
                ASSERT_EQ(d.cdsServico.FieldByName("CDFILIAL").AsString(), branch);
                typeMonth(d, "Abril", "7");
                got += branch + "=" + d.dbgItens->CellText(monthRow(d, "Abril"), 1) +
                       (d.cdsInsereItens.State() == dsBrowse ? " browse" : " editing") +
                       (d.sbtAlterar->Enabled() ? " +Alterar " : " -Alterar ");
            });
        }
        EXPECT_EQ(got, "0003=100,00 browse -Alterar 0004=100,00 browse -Alterar 0005=100,00 "
                       "browse -Alterar ");
        EXPECT_FALSE(s.boSimulaInves);
        EXPECT_EQ(messages(), "");
    });
}

TEST_F(SimulGeral, GivenTheFeeChangedInTheDialog_WhenSaved_ThenItIsAskedForAndWritten) {
    setMonth("0001", "T", 8, 800);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        dialog(s.ButtonFlat4, [&](TfrmSimulGeral& d) { typeMonth(d, "Agosto", "880"); });
        EXPECT_TRUE(s.boSimulaTxAdm);
        EXPECT_FALSE(s.btnReduTaxaAdm->Enabled());
        ASSERT_TRUE(s.sbtConfirma->Enabled());
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(),
                  "confirm: Filial possui orçamento por Taxa Administrativa realizado. A "
                  "confirmação desta alteração irá sobrepor os valores existentes. Confirma "
                  "operação? -> Yes\n" +
                      std::string(kConfSimulacao) + " -> Yes\n");
    });
    EXPECT_EQ(stored("0001", "T", 8), 880);
}

TEST_F(SimulGeral, GivenTwoInvestmentsOfOneBranch_WhenTheSecondIsSelected_ThenItsOwnMonthsShow) {
    setMonth("0001", "N", 9, 1000);
    FixtureBudget::copyLines(startServer().store(), "CDFILIAL = '0001' AND IDTIPOORCAOP = 'N'",
                             "9999999999");
    exec("UPDATE ITEMORCAMENTO SET VRORCAMENTOSET = 250 WHERE NRSEQITEMORCA = '9999999999'");
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        dialog(s.btnInvestimentos, [&](TfrmSimulGeral& d) {
            ASSERT_EQ(d.cdsServico.RecordCount(), 2);
            ASSERT_TRUE(d.cdsServico.Locate("NRSEQITEMORCA", {Variant("9999999999")}));
            ASSERT_EQ(d.dbgItens->RowCount(), 12);
            EXPECT_EQ(d.dbgItens->CellText(monthRow(d, "Setembro"), 1), "250,00");
            typeMonth(d, "Setembro", "300");
            EXPECT_EQ(d.cdsServico.FieldByName("VRORCAMENTOSET").AsFloat(), 300);
            d.cdsServico.First();
            EXPECT_EQ(d.dbgItens->CellText(monthRow(d, "Setembro"), 1), "1.000,00");
        });
    });
}

TEST_F(SimulGeral, GivenTaxesChangedInTheDialog_WhenSaved_ThenTheMainScreenShowsTheNewMonth) {
    setMonth("0001", "I", 3, 100);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        dialog(s.btnImposto, [&](TfrmSimulGeral& d) { typeMonth(d, "Março", "150"); });
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), std::string(kConfImp) + " -> Yes\n" + kConfSimulacao + " -> Yes\n");
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
    EXPECT_EQ(stored("0001", "I", 3), 150);
    // The main screen reloaded its budget after the simulation closed.
    const DataPacket items = form->cdsItensOrcamento.Data();
    std::string march;
    for (std::size_t r = 0; r < items.rows.size(); ++r)
        if (items.value(r, "CDFILIAL").toText() == "0001" &&
            items.value(r, "IDTIPOORCAOP").toText() == "I")
            march = items.value(r, "VRORCAMENTOMAR").toText();
    EXPECT_EQ(march, "150");
}
