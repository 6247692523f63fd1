// The entry-expense simulation opened from the result simulation over the fixture's budget
// 2026/2 (branch 0001 has an entry item of operation "V", expense 004, and one of operation
// "01", expense 005; entries are budgeted by operation type): what it lists, typing months,
// the toolbar, and the way its months go back into the budget.
#include "tests/screens/CalcFixture.h"
#include "tests/server/FixtureBudget.h"

#include "services/data/DecimalRounding.h"
#include "services/lib/Consiste.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TColumn.h"
#include "services/ui/TDBText.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"
#include "simulation/items/Cli_fyn10350.h"

#include <array>
#include <functional>

namespace {

const char* const kNomes[12] = {"Janeiro",  "Fevereiro", "Março",    "Abril",
                                "Maio",     "Junho",     "Julho",    "Agosto",
                                "Setembro", "Outubro",   "Novembro", "Dezembro"};

std::string money(double v) {
    return FormatFloat("#,##0.00", v);
}

std::string share(double value, double base) {
    return FormatFloat("#,#0.0", base == 0 ? 0 : RoundDec(value * 100 / base, 2));
}

// An entry item of the main screen's budget.
struct Item {
    std::string sequence, operation, expense, name, expenseName;
    std::array<double, 12> months{};
    double total() const {
        double t = 0;
        for (double m : months)
            t += m;
        return t;
    }
};

const char* const kConfDe = "confirm: Filial possui orçamento de despesas  por Lançamento de "
                            "Entrada realizado. A confirmação desta alteração irá sobrepor os "
                            "valores existentes. Confirma operação? -> Yes";
const char* const kConfSimulacao = "confirm: Confirma alteração no orçamento da filial? -> Yes";

} // namespace

class EntrySimulation : public CalcFixture {
protected:
    // Opens the entry dialog from the result screen, runs `steps` in it, then closes it.
    void entries(TfrmSimulaResult& s, const std::function<void(TfrmSimulaEntrada&)>& steps) {
        platform.onModal("TfrmSimulaEntrada", [this, steps](TForm& f) {
            auto& d = static_cast<TfrmSimulaEntrada&>(f);
            steps(d);
            event([&] { d.sbtFechar->Click(); });
        });
        ASSERT_TRUE(s.btnDespEntr->Enabled());
        event([&] { s.btnDespEntr->Click(); });
        ASSERT_EQ(platform.modalsRun().back(), "TfrmSimulaEntrada");
    }

    // The entry items of 0001 on the main screen, in sequence order.
    std::vector<Item> mainItems() {
        const DataPacket p = form->cdsItensOrcamento.Data();
        std::vector<Item> items;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "CDFILIAL").toText() != "0001" ||
                p.value(r, "IDTIPOORCAOP").toText() != "E")
                continue;
            Item item{p.value(r, "NRSEQITEMORCA").toText(), p.value(r, "CDTIPOOPER").toText(),
                      p.value(r, "CDDESPPREV").toText(), p.value(r, "NMTIPOOPER").toText(),
                      p.value(r, "NMDESPPREV").toText()};
            for (int m = 0; m < 12; ++m)
                item.months[static_cast<std::size_t>(m)] =
                    p.value(r, "VRORCAMENTO" + TfrmSimulaLinha::Abreviatura(m + 1)).toDouble();
            items.push_back(item);
        }
        return items;
    }

    // The upper grid: "branch|code|name|total|% entry|% billing" per row.
    static std::string items(TfrmSimulaEntrada& d) {
        std::string out;
        TDBGrid* grid = d.dbgPadrao;
        for (int row = 0; row < grid->RowCount(); ++row) {
            for (int c = 0; c < grid->ColumnCount(); ++c)
                out += (c ? "|" : "") + grid->CellText(row, c);
            out += "\n";
        }
        return out;
    }

    // One row of the lower grid: "month=value (share)".
    static std::string month(TfrmSimulaEntrada& d, int row) {
        TDBGrid* grid = d.dbgMeses;
        return grid->CellText(row, 0) + "=" + grid->CellText(row, 1) + " (" +
               grid->CellText(row, 2) + ")";
    }

    // "seq=value" of a month of 0001's stored entry items, in sequence order.
    std::string storedEntries(const std::string& field) {
        return startServer().store().read([&](srv::Database& db) {
            const auto r = db.query("SELECT NRSEQITEMORCA, " + field +
                                        " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                        "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND IDTIPOORCAOP "
                                        "= 'E' ORDER BY NRSEQITEMORCA",
                                    {});
            std::string out;
            for (const auto& row : r.rows)
                out += (out.empty() ? "" : " ") + row[0].toText() + "=" + row[1].toText();
            return out;
        });
    }

    // The lower grid: "month=value (share)" per row.
    static std::string months(TfrmSimulaEntrada& d) {
        std::string out;
        TDBGrid* grid = d.dbgMeses;
        for (int row = 0; row < grid->RowCount(); ++row)
            out += (out.empty() ? "" : " ") + grid->CellText(row, 0) + "=" +
                   grid->CellText(row, 1) + " (" + grid->CellText(row, 2) + ")";
        return out;
    }

    // The billing of 0001 in a month, as the result screen read it.
    static double billing(TfrmSimulaResult& s, int month) {
        EXPECT_TRUE(s.cdsValTotal.Locate("CDFILIAL", {Variant("0001")}));
        return s.cdsValTotal.FieldByName("VRORCAMENTO" + TfrmSimulaLinha::Abreviatura(month))
            .AsFloat();
    }

    // Types `text` in a month row of the lower grid (0-based) and leaves the row downwards.
    void typeMonth(TfrmSimulaEntrada& d, int row, const std::string& text, bool post = true) {
        event([&] { d.FocusControl(d.dbgMeses); });
        event([&] { d.dbgMeses->ClickCell(row, 1); });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
        if (post) event([&] { d.PressKey(row + 1 < d.dbgMeses->RowCount() ? VK_DOWN : VK_UP); });
    }

    void chooseItem(TfrmSimulaEntrada& d, int row) {
        event([&] { d.FocusControl(d.dbgPadrao); });
        event([&] { d.dbgPadrao->ClickCell(row, 0); });
    }

    // A copy of 0001's entry item of operation 01 with its own sequence, state and July.
    void secondItem(const std::string& sequence, const std::string& state, double july) {
        FixtureBudget::copyLines(startServer().store(),
                                 "CDFILIAL = '0001' AND IDTIPOORCAOP = 'E' AND CDTIPOOPER = '01'",
                                 sequence);
        sql("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = ?, VRORCAMENTOJUL = ? WHERE "
            "NRSEQITEMORCA = ?",
            {Variant(state), Variant(july), Variant(sequence)});
    }

    // The months of every item of the result screen's entry dataset: "seq:JAN,FEV,...".
    static std::string kept(TfrmSimulaResult& s) {
        const DataPacket p = s.cdsentrada.Data();
        std::string out;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "CDFILIAL").toText() != "0001" ||
                p.value(r, "IDTIPOORCAOP").toText() != "E")
                continue;
            out += p.value(r, "NRSEQITEMORCA").toText() + ":";
            for (int m = 1; m <= 12; ++m)
                out += (m > 1 ? "," : "") +
                       p.value(r, "VRORCAMENTO" + TfrmSimulaLinha::Abreviatura(m)).toText();
            out += " ";
        }
        return out;
    }

    static std::string kept(const std::vector<Item>& items) {
        std::string out;
        for (const Item& item : items) {
            out += item.sequence + ":";
            for (int m = 0; m < 12; ++m)
                out += (m ? "," : "") + Variant(item.months[static_cast<std::size_t>(m)]).toText();
            out += " ";
        }
        return out;
    }
};

TEST_F(EntrySimulation,
       GivenOperationMode_WhenOpened_ThenItemsOtherThanVWithTheirSharesAndTheirYearInOrder) {
    loaded();
    const std::vector<Item> budget = mainItems();
    ASSERT_EQ(budget.size(), 2u);
    const Item& v = budget[0].operation == "V" ? budget[0] : budget[1];
    const Item& op = budget[0].operation == "V" ? budget[1] : budget[0];
    simulate([&](TfrmSimulaResult& s) {
        entries(s, [&](TfrmSimulaEntrada& d) {
            EXPECT_EQ(d.Caption(), "Simulação Despesas Lanc. Entradas");
            EXPECT_EQ(d.lblCodTela->Caption(), "FYN10350");
            EXPECT_EQ(d.dbgMeses->Name(), "dbgMes");
            EXPECT_EQ(d.dbgPadrao->Column(2)->TitleCaption(), "Tipo de Operação");
            EXPECT_EQ(d.dbtNome->DataField(), "NMTIPOOPER");
            EXPECT_EQ(items(d), "0001|01|" + op.name + "|" + money(op.total()) + "|100,0|" +
                                    share(op.total(), s.vrsimulacao) + "\n");
            std::string expected;
            for (int m = 1; m <= 12; ++m) {
                const double value = op.months[static_cast<std::size_t>(m - 1)];
                expected += std::string(m > 1 ? " " : "") + kNomes[m - 1] + "=" + money(value) +
                            " (" +
                            FormatFloat("#,##0.0", RoundDec(value * 100 / billing(s, m), 2)) + ")";
            }
            EXPECT_EQ(months(d), expected);
            EXPECT_EQ(s.sbtConfirma->Enabled(), false);
        });
        // Nothing typed: the line is the item's year and nothing is to be saved.
        EXPECT_EQ(s.nbeOrcE->Text(), money(op.total()));
        EXPECT_FALSE(s.boSimulaDe);
        EXPECT_FALSE(s.sbtConfirma->Enabled());

        // By expense type only the items of operation V are the entries.
        sql("UPDATE PARAMORCAOPERAC SET IDORCDESPENTROP = 'D'");
        entries(s, [&](TfrmSimulaEntrada& d) {
            EXPECT_EQ(d.dbgPadrao->Column(1)->FieldName(), "CDDESPPREV");
            EXPECT_EQ(d.dbgPadrao->Column(2)->TitleCaption(), "Tipo de Despesa");
            EXPECT_EQ(d.dbtNome->DataField(), "NMDESPPREV");
            EXPECT_EQ(items(d), "0001|" + v.expense + "|" + v.expenseName + "|" + money(v.total()) +
                                    "|100,0|" + share(v.total(), s.vrsimulacao) + "\n");
        });
        EXPECT_EQ(s.nbeOrcE->Text(), money(v.total()));
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(EntrySimulation,
       GivenTwoItemsOfOneOperation_WhenTheSecondsJulyIsTypedAndSaved_ThenOnlyThatItemChanges) {
    secondItem("0000000099", "P", 500);
    loaded();
    const std::vector<Item> budget = mainItems();
    ASSERT_EQ(budget.size(), 3u);
    const Item& first = budget[0].operation == "01" ? budget[0] : budget[1];
    const Item& second = budget[2];
    ASSERT_EQ(second.sequence, "0000000099");
    simulate([&](TfrmSimulaResult& s) {
        entries(s, [&](TfrmSimulaEntrada& d) {
            ASSERT_EQ(d.cdsDespesasEnt.RecordCount(), 2);
            // Each item lists its own months.
            chooseItem(d, 1);
            EXPECT_EQ(d.cdsDespesasEnt.FieldByName("NRSEQITEMORCA").AsString(), "0000000099");
            EXPECT_EQ(month(d, 6),
                      "Julho=500,00 (" +
                          FormatFloat("#,##0.0", RoundDec(500 * 100 / billing(s, 7), 2)) + ")");
            chooseItem(d, 0);
            EXPECT_EQ(month(d, 6).substr(0, month(d, 6).find(' ')),
                      "Julho=" + money(first.months[6]));

            chooseItem(d, 1);
            typeMonth(d, 6, "1234,56");
            EXPECT_EQ(messages(), "");
            EXPECT_EQ(d.cdsValorMes.State(), dsBrowse);
            const double total = second.total() - 500 + 1234.56;
            const double all = first.total() + total;
            EXPECT_EQ(d.cdsDespesasEnt.FieldByName("NRSEQITEMORCA").AsString(), "0000000099");
            EXPECT_EQ(items(d), "0001|01|" + first.name + "|" + money(first.total()) + "|" +
                                    share(first.total(), all) + "|" +
                                    share(first.total(), s.vrsimulacao) + "\n0001|01|" +
                                    second.name + "|" + money(total) + "|" + share(total, all) +
                                    "|" + share(total, s.vrsimulacao) + "\n");
            EXPECT_EQ(month(d, 6),
                      "Julho=1.234,56 (" +
                          FormatFloat("#,##0.0", RoundDec(1234.56 * 100 / billing(s, 7), 2)) + ")");
        });
        Item changed = second;
        changed.months[6] = 1234.56;
        EXPECT_EQ(kept(s), kept({budget[0], budget[1], changed}));
        EXPECT_EQ(s.nbeOrcE->Text(), money(first.total() + changed.total()));
        EXPECT_TRUE(s.boSimulaDe);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_FALSE(s.btnReduDespEntr->Enabled());
        // The operating result follows the new line.
        const double result = s.nbeResult->GetNumber();
        EXPECT_NEAR(result + s.nbeOrcE->GetNumber(),
                    s.nbeOrcL->GetNumber() - s.nbeOrcC->GetNumber() - s.nbeOrcO->GetNumber() -
                        s.nbeOrcT->GetNumber() - s.nbeOrcD->GetNumber() - s.nbeOrcLu->GetNumber() -
                        s.nbeOrcP->GetNumber() - s.nbeOrcN->GetNumber() + s.nbeOrcR->GetNumber(),
                    0.001);

        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), std::string(kConfDe) + "\n" + kConfSimulacao + "\n");
    });
    // Stored, and on the main screen after its reload: only the second item's July.
    EXPECT_EQ(storedEntries("VRORCAMENTOJUL"),
              budget[0].sequence + "=" + Variant(budget[0].months[6]).toText() + " " +
                  budget[1].sequence + "=" + Variant(budget[1].months[6]).toText() +
                  " 0000000099=1234.56");
    Item changed = second;
    changed.months[6] = 1234.56;
    EXPECT_EQ(kept(mainItems()), kept({budget[0], budget[1], changed}));
}

TEST_F(EntrySimulation, GivenTwoCheckedBranches_WhenOneBranchsMonthIsTyped_ThenOnlyItsItemChanges) {
    loaded();
    checkOnPage(form->tshEntradas, form->dbgFilialEntradas, "IDCHECKE", {"0001", "0002"});
    const DataPacket before = form->cdsItensOrcamento.Data();
    simulate([&](TfrmSimulaResult& s) {
        ASSERT_EQ(s.stCdFilial, "_0001_0002_");
        entries(s, [&](TfrmSimulaEntrada& d) {
            // The fixture numbers each branch's items alike: the branch tells them apart.
            ASSERT_EQ(codes(d.cdsDespesasEnt) + " " + codes(d.cdsDespesasEnt, "CDTIPOOPER"),
                      "0001 0002 01 01");
            const int sequence = d.cdsDespesasEnt.FieldByName("NRSEQITEMORCA").Index();
            ASSERT_EQ(d.cdsDespesasEnt.RowValue(0, sequence).toText(),
                      d.cdsDespesasEnt.RowValue(1, sequence).toText());
            chooseItem(d, 1);
            typeMonth(d, 6, "77");
        });
        const DataPacket after = s.cdsentrada.Data();
        std::string changed;
        for (std::size_t r = 0; r < after.rows.size(); ++r)
            for (int m = 1; m <= 12; ++m) {
                const std::string field = "VRORCAMENTO" + TfrmSimulaLinha::Abreviatura(m);
                if (after.value(r, field).toDouble() != before.value(r, field).toDouble())
                    changed += after.value(r, "CDFILIAL").toText() + "/" +
                               after.value(r, "IDTIPOORCAOP").toText() + "/" +
                               after.value(r, "CDTIPOOPER").toText() + "/" + field + "=" +
                               after.value(r, field).toText() + " ";
            }
        EXPECT_EQ(changed, "0002/E/01/VRORCAMENTOJUL=77 ");
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(EntrySimulation, GivenJulyAlone_WhenItsValueIsTyped_ThenOnlyJulyGoesBackAndIsTheLine) {
    loaded();
    const std::vector<Item> budget = mainItems();
    simulate([&](TfrmSimulaResult& s) {
        chooseMonth(s, "07/2026");
        ASSERT_EQ(s.stMes, "7");
        entries(s, [&](TfrmSimulaEntrada& d) {
            EXPECT_EQ(d.cdsValorMes.RecordCount(), 1);
            EXPECT_EQ(d.cdsValorMes.FieldByName("CDMES").AsString(), "07");
            typeMonth(d, 0, "700", false);
            platform.answerNext(mrYes);
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(d.cdsDespesasEnt.FieldByName("VRENTRADAS").AsFloat(), 700);
        });
        std::vector<Item> expected = budget;
        for (Item& item : expected)
            if (item.operation == "01") item.months[6] = 700;
        EXPECT_EQ(kept(s), kept(expected));
        EXPECT_EQ(s.nbeOrcE->Text(), "700,00");
    });
}

TEST_F(EntrySimulation, GivenEffectedApprovedOrClosedMonths_WhenEditedOrTyped_ThenNothingChanges) {
    secondItem("0000000098", "A", 500);
    sql("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E' WHERE NRANOORCAOP = '2026' AND "
        "CDFILIAL = '0001' AND IDTIPOORCAOP = 'E' AND CDTIPOOPER = '01' AND NRSEQITEMORCA <> "
        "'0000000098'");
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        entries(s, [&](TfrmSimulaEntrada& d) {
            ASSERT_EQ(d.cdsDespesasEnt.RecordCount(), 2);
            for (int row : {0, 1}) {
                chooseItem(d, row);
                const std::string before = months(d);
                event([&] { d.FocusControl(d.dbgMeses); });
                EXPECT_FALSE(d.sbtAlterar->Enabled()) << row;
                // Neither the toolbar's Edit nor typing puts a month in edit.
                event([&] { d.sbtAlterarClick(d.sbtAlterar); });
                EXPECT_EQ(d.cdsValorMes.State(), dsBrowse) << row;
                typeMonth(d, 2, "99");
                EXPECT_EQ(months(d), before) << row;
            }
        });
        EXPECT_FALSE(s.boSimulaDe);
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(EntrySimulation, GivenAPhaseClosingTheFirstQuarter_ThenThoseMonthsCannotBeTypedNorEdited) {
    loaded("fase");
    simulate([&](TfrmSimulaResult& s) {
        entries(s, [&](TfrmSimulaEntrada& d) {
            const std::string before = months(d);
            typeMonth(d, 1, "5");
            event([&] { d.sbtAlterarClick(d.sbtAlterar); });
            EXPECT_EQ(d.cdsValorMes.State(), dsBrowse);
            EXPECT_EQ(months(d), before);
            EXPECT_FALSE(d.dbgMeses->HasOption(dgEditing));
            // April is open.
            typeMonth(d, 3, "5");
            EXPECT_EQ(month(d, 3).substr(0, 10), "Abril=5,00");
        });
        EXPECT_TRUE(s.boSimulaDe);
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(EntrySimulation, GivenTheToolbar_WhenConfirmingCancellingAndVerifying_ThenAsTheAnswersSay) {
    loaded();
    const std::vector<Item> budget = mainItems();
    const Item& op = budget[0].operation == "01" ? budget[0] : budget[1];
    simulate([&](TfrmSimulaResult& s) {
        entries(s, [&](TfrmSimulaEntrada& d) {
            // An edit cancelled with nothing posted before leaves nothing simulated.
            typeMonth(d, 0, "11", false);
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(d.cdsValorMes.State(), dsBrowse);
            EXPECT_FALSE(s.boSimulaDe);

            // Confirm asks; No keeps the edit, Yes stores the typed value.
            typeMonth(d, 0, "1.500,25", false);
            EXPECT_TRUE(d.sbtConfirmar->Enabled());
            platform.answerNext(mrNo);
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(d.cdsValorMes.State(), dsEdit);
            platform.answerNext(mrYes);
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(d.cdsValorMes.State(), dsBrowse);
            d.cdsValorMes.First();
            EXPECT_EQ(d.cdsValorMes.FieldByName("VRMES").AsFloat(), 1500.25);

            // Cancelling a later edit keeps January simulated.
            typeMonth(d, 1, "7", false);
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_TRUE(s.boSimulaDe);
            EXPECT_EQ(month(d, 0).substr(0, 16), "Janeiro=1.500,25");

            // Verify: No keeps what was typed, Yes brings the budget back.
            platform.answerNext(mrNo);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(month(d, 0).substr(0, 16), "Janeiro=1.500,25");
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(month(d, 0).substr(0, month(d, 0).find(' ')),
                      "Janeiro=" + money(op.months[0]));
            EXPECT_FALSE(s.boSimulaDe);
        });
        EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n"
                              "confirm: Confirma operação? -> No\n"
                              "confirm: Confirma operação? -> Yes\n"
                              "confirm: Cancela operação? -> Yes\n"
                              "confirm: Com a atualização, os valores alterados serão "
                              "substituidos pelos lançados no orçamento. Confirma atualização? "
                              "-> No\n"
                              "confirm: Com a atualização, os valores alterados serão "
                              "substituidos pelos lançados no orçamento. Confirma atualização? "
                              "-> Yes\n");
        EXPECT_EQ(s.nbeOrcE->Text(), money(op.total()));
    });
}

TEST_F(EntrySimulation, GivenAMonthLeftWithTextThatIsNoNumber_WhenClosed_ThenOnlyThatMonthIsLost) {
    loaded();
    const std::vector<Item> budget = mainItems();
    simulate([&](TfrmSimulaResult& s) {
        entries(s, [&](TfrmSimulaEntrada& d) {
            typeMonth(d, 0, "25");
            typeMonth(d, 1, "12abc", false);
            EXPECT_EQ(d.cdsValorMes.State(), dsEdit);
        });
        EXPECT_EQ(messages(), "error: Valor inválido.\n");
        EXPECT_FALSE(TfrmSimulaEntrada::boIdCriado);
        std::vector<Item> expected = budget;
        for (Item& item : expected)
            if (item.operation == "01") item.months[0] = 25;
        EXPECT_EQ(kept(s), kept(expected));
        EXPECT_TRUE(s.boSimulaDe);
        // The next opening is a new dialog with what was kept.
        entries(s, [&](TfrmSimulaEntrada& d) {
            EXPECT_EQ(month(d, 0).substr(0, 13), "Janeiro=25,00");
        });
    });
}

TEST_F(EntrySimulation, GivenAReducedLine_WhenReopenedTypedAndReopened_ThenTheKeptValuesShow) {
    loaded();
    const std::vector<Item> budget = mainItems();
    const Item& op = budget[0].operation == "01" ? budget[0] : budget[1];
    simulate([&](TfrmSimulaResult& s) {
        reduceLine(s.btnReduDespEntr, "50");
        ASSERT_TRUE(s.boSimulaPercDe);
        entries(s, [&](TfrmSimulaEntrada& d) {
            EXPECT_EQ(month(d, 0).substr(0, month(d, 0).find(' ')),
                      "Janeiro=" + money(op.months[0] / 2));
            typeMonth(d, 1, "42");
            // A value with a sign or longer than a hundred characters is refused.
            typeMonth(d, 2, "-1", false);
            EXPECT_EQ(d.dbgMeses->EditorText().find('-'), std::string::npos);
            typeMonth(d, 3, std::string(102, '1'), false);
            EXPECT_EQ(messages(), "error: Valor inválido.\n");
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
        });
        entries(s, [&](TfrmSimulaEntrada& d) {
            EXPECT_EQ(
                month(d, 0),
                "Janeiro=" + money(op.months[0] / 2) + " (" +
                    FormatFloat("#,##0.0", RoundDec(op.months[0] / 2 * 100 / billing(s, 1), 2)) +
                    ")");
            EXPECT_EQ(month(d, 1).substr(0, 15), "Fevereiro=42,00");
        });
    });
}
