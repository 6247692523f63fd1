// The labour dialog of the result simulation over the fixture's budget (2026/2, and 2026/1,
// which starts in April), against the real server: its lines and month rows, typing a month,
// the lines it refuses, reopening it, Verify and Cancel, and the save into the budget.
#include "tests/screens/EntryFixture.h"

#include "budget/ModuleState.h"
#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/lib/Consiste.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TDBText.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"
#include "simulation/items/Cli_fyn10330.h"

#include <functional>

namespace {

const char* const kMes[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                              "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

std::string money(double v) {
    return FormatFloat("#,##0.00", v);
}

// A field of a dataset's visible row as text ("~" for null).
std::string cell(TClientDataSet& ds, int row, const std::string& field) {
    const Variant& v = ds.RowValue(row, ds.FieldByName(field).Index());
    if (v.isNull()) return "~";
    if (v.isNumeric()) return FormatFloat("0.####", v.toDouble());
    return v.toText();
}

// Every visible row of a dataset, the fields joined by "|", rows by "\n".
std::string rows(TClientDataSet& ds, const std::vector<std::string>& fields) {
    std::string out;
    for (int r = 0; r < ds.RecordCount(); ++r) {
        for (std::size_t f = 0; f < fields.size(); ++f)
            out += (f ? "|" : "") + cell(ds, r, fields[f]);
        out += "\n";
    }
    return out;
}

} // namespace

class SimulaMaoObra : public EntryFixture {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        startServer().store().transaction(
            [&](srv::Database& db) { return db.execute(sql, params); });
    }

    // Branch 0001's cook line (type 01) holds 1000 × the month number, January 1234.567 (a
    // value whose hundredfold is not whole), in both versions of 2026.
    void distinctLabourMonths() {
        for (int m = 1; m <= 12; ++m)
            exec("UPDATE ITEMORCAMENTO SET " + srv::monthColumn("VRORCAMENTO", m) +
                     " = ? WHERE NRANOORCAOP = '2026' AND CDFILIAL = '0001' AND IDTIPOORCAOP = "
                     "'O' AND CDDESPADMFAT = '01'",
                 {Variant(m == 1 ? 1234.567 : 1000.0 * m)});
    }

    // Branch 0001's billing of a month of version 2: `value` on its first item, 0 on the others.
    void billing(int month, double value) {
        const std::string column = srv::monthColumn("VRORCAMENTO", month);
        const std::string where = " WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
                                  "CDFILIAL = '0001' AND IDTIPOORCAOP = 'F'";
        exec("UPDATE ITEMORCAMENTO SET " + column + " = 0" + where);
        exec("UPDATE ITEMORCAMENTO SET " + column + " = ?" + where +
                 " AND NRSEQITEMORCA = (SELECT MIN(NRSEQITEMORCA) FROM ITEMORCAMENTO" + where + ")",
             {Variant(value)});
    }

    // Opens the labour dialog from the result screen's button, runs `steps`, then closes it.
    void labour(TfrmSimulaResult& s, const std::function<void(TfrmSimulaMaoObra&)>& steps) {
        platform.onModal("TfrmSimulaMaoObra", [this, steps](TForm& f) {
            auto& d = static_cast<TfrmSimulaMaoObra&>(f);
            steps(d);
            event([&] { d.sbtFechar->Click(); });
        });
        ASSERT_TRUE(s.btnMaoObra->Enabled());
        const std::size_t before = platform.modalsRun().size();
        event([&] { s.btnMaoObra->Click(); });
        ASSERT_EQ(platform.modalsRun().size(), before + 1) << messages();
        EXPECT_EQ(platform.modalsRun().back(), "TfrmSimulaMaoObra");
    }

    // The labour lines: branch, budget, type, total and share.
    static std::string lines(TfrmSimulaMaoObra& d) {
        return rows(d.cdsTpMaoObra,
                    {"CDFILIAL", "CDORCAMENTOMO", "CDDESPADMFAT", "VRTPMAOOBRA", "PERCENTUALMO"});
    }

    // The month rows (the first `count` of them): position, name and value.
    static std::string months(TfrmSimulaMaoObra& d, int count = 12) {
        const std::string all = rows(d.cdsInseriItens, {"IDORDENACAO", "NMMES", "VALORMO"});
        std::size_t end = 0;
        for (int i = 0; i < count && end != std::string::npos; ++i)
            end = all.find('\n', end == 0 && i == 0 ? 0 : end + 1);
        return end == std::string::npos ? all : all.substr(0, end + 1);
    }

    // Types a branch code in the result screen's header and leaves it, which reloads.
    void chooseBranch(TfrmSimulaResult& s, const std::string& code) {
        event([&] { s.edtCdFilial->SetFocus(); });
        event([&] { s.edtCdFilial->SetText(code); });
        event([&] { s.sbtCancel->SetFocus(); });
    }

    // Selects the labour line of a type (first branch found).
    void selectLine(TfrmSimulaMaoObra& d, const std::string& type) {
        event([&] { d.dbgPadrao->SetFocus(); });
        for (int r = 0; r < d.cdsTpMaoObra.RecordCount(); ++r)
            if (cell(d.cdsTpMaoObra, r, "CDDESPADMFAT") == type) {
                event([&] { d.dbgPadrao->ClickCell(r, 0); });
                return;
            }
        ADD_FAILURE() << "no labour line " << type;
    }

    // Clicks the value cell of a month and types the text into it.
    void typeMonth(TfrmSimulaMaoObra& d, const std::string& name, const std::string& text) {
        event([&] { d.dbgItensSimulacao->SetFocus(); });
        int row = -1;
        for (int r = 0; r < d.cdsInseriItens.RecordCount(); ++r)
            if (cell(d.cdsInseriItens, r, "NMMES") == name) row = r;
        ASSERT_GE(row, 0) << name;
        const int column = d.dbgItensSimulacao->ColumnByFieldName("VALORMO")->Index();
        event([&] { d.dbgItensSimulacao->ClickCell(row, column); });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
    }

    // The toolbar's Confirm, answered Yes.
    void confirm(TfrmSimulaMaoObra& d) {
        platform.answerNext(mrYes);
        event([&] { d.sbtConfirmar->Click(); });
    }

    // The billing of branch 0001 in a month, as the result screen holds it.
    static double billingOf(TfrmSimulaResult& s, int month) {
        EXPECT_TRUE(s.cdsValTotal.Locate("CDFILIAL", {Variant("0001")}));
        return s.cdsValTotal.FieldByName(std::string("VRORCAMENTO") + kMes[month - 1]).AsFloat();
    }

    // Checks branches on the main screen's labour page, so the simulation opens on them.
    void checkOnLabourPage(const std::vector<std::string>& branches) {
        checkOnPage(form->tshMaoObra, form->dbgFilialMaoObra, "IDCHECKO", branches);
        for (const std::string& b : branches)
            ASSERT_EQ(valueOf(form->cdsOrcamentoFilial, b, "IDCHECKO"), "S") << messages();
    }

    // The stored months of a labour line of version 2.
    double stored(const std::string& branch, const std::string& type, int month) {
        return startServer()
            .store()
            .read([&](srv::Database& db) {
                return db.query("SELECT " + srv::monthColumn("VRORCAMENTO", month) +
                                    " FROM ITEMORCAMENTO WHERE NRANOORCAOP = '2026' AND "
                                    "CDVERSORCAOP = 2 AND CDFILIAL = ? AND IDTIPOORCAOP = 'O' "
                                    "AND CDDESPADMFAT = ?",
                                {Variant(branch), Variant(type)});
            })
            .scalar()
            .toDouble();
    }
};

TEST_F(SimulaMaoObra, GivenAYearStartingInApril_WhenOpened_ThenMonthsRunAprilToMarchWithOneRule) {
    distinctLabourMonths();
    versionFromApril();
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(d.Caption(), "Simulação de Mão de Obra");
            EXPECT_EQ(d.lblCodTela->Caption(), "FYN10330");
            // The server totals the line to the cent.
            const double year = RoundDec(1234.567 + 1000.0 * (78 - 1), 2);
            EXPECT_EQ(lines(d),
                      "0001|MO0001|01|" + FormatFloat("0.####", year) + "|" +
                          FormatFloat("0.####", RoundDec(year * 100 / s.vrsimulacao, 2)) +
                          "\n0001|MO0001|02|91800|" +
                          FormatFloat("0.####", RoundDec(91800 * 100 / s.vrsimulacao, 2)) + "\n");
            EXPECT_EQ(d.dbtNome->Text(), "Cozinheiro");
            EXPECT_EQ(months(d), "01|Abril|4000\n02|Maio|5000\n03|Junho|6000\n04|Julho|7000\n"
                                 "05|Agosto|8000\n06|Setembro|9000\n07|Outubro|10000\n"
                                 "08|Novembro|11000\n09|Dezembro|12000\n10|Janeiro|1234,567\n"
                                 "11|Fevereiro|2000\n12|Março|3000\n");
            // Every month's share is its value over the branch's billing, January included.
            std::string shares, expected;
            for (int r = 0; r < d.cdsInseriItens.RecordCount(); ++r) {
                const int month = d.MesDoNome(cell(d.cdsInseriItens, r, "NMMES"));
                const double value = month == 1 ? 1234.567 : 1000.0 * month;
                shares +=
                    FormatFloat("0.00000000",
                                d.cdsInseriItens
                                    .RowValue(r, d.cdsInseriItens.FieldByName("PRCMAOOBRA").Index())
                                    .toDouble()) +
                    " ";
                expected += FormatFloat("0.00000000", value * 100 / billingOf(s, month)) + " ";
            }
            EXPECT_EQ(shares, expected);
        });
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaMaoObra, GivenMarchBilling80000_WhenMarchIsTyped5000_ThenShare6_25AndLineIsTheSum) {
    billing(3, 80000);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double before = s.nbeOrcO->GetNumber();
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(d.dbgItensSimulacao->ColumnByFieldName("PRCMAOOBRA")->TitleCaption(),
                      "%Faturamento");
            typeMonth(d, "Março", "5000");
            EXPECT_EQ(d.cdsInseriItens.State(), dsEdit);
            EXPECT_TRUE(s.boSimulou && s.boSimulaMo);
            confirm(d);
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            EXPECT_EQ(cell(d.cdsInseriItens, d.cdsInseriItens.RecNo() - 1, "NMMES") + " " +
                          d.cdsInseriItens.FieldByName("VALORMO").DisplayText() + " " +
                          d.cdsInseriItens.FieldByName("PRCMAOOBRA").AsString(),
                      "Março 5.000,00 6,25");
            const double year = 6800.0 * 11 + 5000;
            EXPECT_EQ(d.cdsSimulaItensMo.FieldByName("VRORCAMENTOMAR").AsFloat(), 5000);
            EXPECT_EQ(lines(d),
                      "0001|MO0001|01|" + FormatFloat("0.####", year) + "|" +
                          FormatFloat("0.####", RoundDec(year * 100 / s.vrsimulacao, 2)) +
                          "\n0001|MO0001|02|91800|" +
                          FormatFloat("0.####", RoundDec(91800 * 100 / s.vrsimulacao, 2)) + "\n");
            EXPECT_FALSE(s.boAtualizaGeralMo);

            // Another line shows its own months; the first keeps what was typed.
            selectLine(d, "02");
            EXPECT_EQ(months(d, 2), "01|Janeiro|7650\n02|Fevereiro|7650\n");
            EXPECT_EQ(d.dbtNome->Text(), "Auxiliar de cozinha");
            selectLine(d, "01");
            EXPECT_EQ(months(d, 3), "01|Janeiro|6800\n02|Fevereiro|6800\n03|Março|5000\n");
        });
        // The line on the result screen follows, and the simulation may be saved.
        EXPECT_EQ(s.nbeOrcO->Text(), money(before - 1800));
        EXPECT_TRUE(s.sbtConfirma->Enabled());
    });
    EXPECT_EQ(messages(), "confirm: Confirmar operação? -> Yes\n");
}

TEST_F(SimulaMaoObra, GivenEffectedAndApprovedBranches_WhenTheirMonthsAreTyped_ThenNothingChanges) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        for (const char* branch : {"0003", "0004"}) {
            chooseBranch(s, branch);
            ASSERT_EQ(s.stCdFilial, branch) << messages();
            labour(s, [&](TfrmSimulaMaoObra& d) {
                const std::string flag = branch == std::string("0003") ? "E" : "A";
                EXPECT_EQ(column(d.cdsTpMaoObra, "IDITEMORCAMENTO"),
                          std::string(branch) + "=" + flag + " " + branch + "=" + flag);
                const std::string before = months(d);
                for (const char* type : {"01", "02"}) {
                    selectLine(d, type);
                    event([&] { d.dbgItensSimulacao->SetFocus(); });
                    EXPECT_FALSE(d.sbtAlterar->Enabled());
                    typeMonth(d, "Janeiro", "99");
                    EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
                    event([&] { d.sbtAlterar->Click(); });
                    EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
                }
                EXPECT_FALSE(s.boSimulaMo);
                selectLine(d, "01");
                EXPECT_EQ(months(d), before);
            });
            EXPECT_FALSE(s.sbtConfirma->Enabled());
        }
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaMaoObra, GivenGrossBilling0_WhenAMonthIsPosted_ThenEveryShareIs0) {
    for (int m = 1; m <= 12; ++m)
        billing(m, 0);
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        ASSERT_EQ(s.nbeOrcF->GetNumber(), 0);
        labour(s, [&](TfrmSimulaMaoObra& d) {
            typeMonth(d, "Março", "5000");
            confirm(d);
            EXPECT_EQ(rows(d.cdsTpMaoObra, {"VRTPMAOOBRA", "PERCENTUALMO"}),
                      FormatFloat("0.####", 6800.0 * 11 + 5000) + "|0\n91800|0\n");
            EXPECT_EQ(d.cdsInseriItens.FieldByName("PRCMAOOBRA").AsFloat(), 0);
        });
    });
}

TEST_F(SimulaMaoObra, GivenPostedMonths_WhenReopenedCancelledOrVerified_ThenEachKeepsItsPromise) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        labour(s, [&](TfrmSimulaMaoObra& d) {
            typeMonth(d, "Março", "5000");
            confirm(d);
        });
        // Reopened: what was left there, not the budget.
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(months(d, 3), "01|Janeiro|6800\n02|Fevereiro|6800\n03|Março|5000\n");
            // A later edit cancelled does not forget the month posted before it.
            typeMonth(d, "Abril", "1");
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            EXPECT_TRUE(s.boSimulaMo);
            // Verify answered No changes nothing; Yes brings the budget back.
            platform.answerNext(mrNo);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(d.cdsSimulaItensMo.FieldByName("VRORCAMENTOMAR").AsFloat(), 5000);
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(months(d, 3), "01|Janeiro|6800\n02|Fevereiro|6800\n03|Março|6800\n");
            EXPECT_FALSE(s.boSimulaMo);
        });
        EXPECT_EQ(s.nbeOrcO->Text(), money(91800 + 6800 * 12));
    });
    EXPECT_EQ(messages(), "confirm: Confirmar operação? -> Yes\n"
                          "confirm: Cancela operação? -> Yes\n"
                          "confirm: Com a atualização, os valores alterados serão substituidos "
                          "pelos lançados no orçamento. Confirma atualização? -> No\n"
                          "confirm: Com a atualização, os valores alterados serão substituidos "
                          "pelos lançados no orçamento. Confirma atualização? -> Yes\n");
}

TEST_F(SimulaMaoObra, GivenAnotherLineSimulatedFirst_WhenLabourIsOpened_ThenItsLinesAreThere) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        reduceLine(s.btnReduConsumo, "50");
        ASSERT_TRUE(s.sbtConfirma->Enabled());
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(rows(d.cdsTpMaoObra, {"CDFILIAL", "CDDESPADMFAT", "VRTPMAOOBRA"}),
                      "0001|01|81600\n0001|02|91800\n");
            EXPECT_EQ(d.cdsInseriItens.RecordCount(), 12);
        });
    });
}

TEST_F(SimulaMaoObra, GivenAMonthInMonthMode_WhenSaved_ThenOnlyThatMonthReachesTheBudget) {
    loaded();
    const double april = stored("0001", "01", 4);
    simulate([&](TfrmSimulaResult& s) {
        // March alone: the month box on 03/2026, the whole-year box unchecked.
        chooseMonth(s, "03/2026");
        ASSERT_EQ(s.stMes, "3") << messages();
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(months(d), "03|Março|6800\n");
            typeMonth(d, "Março", "5000");
            confirm(d);
            EXPECT_EQ(rows(d.cdsTpMaoObra, {"CDDESPADMFAT", "VRTPMAOOBRA"}), "01|5000\n02|7650\n");
        });
        EXPECT_EQ(s.nbeOrcO->Text(), money(5000 + 7650));
        platform.answerNext(mrYes); // labour
        platform.answerNext(mrYes); // the simulation
        event([&] { s.sbtConfirma->Click(); });
    });
    EXPECT_EQ(stored("0001", "01", 3), 5000);
    EXPECT_EQ(stored("0001", "01", 4), april);
    // The main screen reloaded the budget with the saved month.
    const DataPacket items = form->cdsItensOrcamento.Data();
    double shown = -1;
    for (std::size_t r = 0; r < items.rows.size(); ++r)
        if (items.value(r, "CDFILIAL").toText() == "0001" &&
            items.value(r, "IDTIPOORCAOP").toText() == "O" &&
            items.value(r, "CDDESPADMFAT").toText() == "01")
            shown = items.value(r, "VRORCAMENTOMAR").toDouble();
    EXPECT_EQ(shown, 5000);
}

TEST_F(SimulaMaoObra, GivenAPhaseWithTheFirstQuarterClosed_ThenOnlyItsOpenMonthsTakeAValue) {
    loaded("fase");
    simulate([&](TfrmSimulaResult& s) {
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(rows(d.cdsInseriItens, {"NMMES", "IDPERMCALC"}).substr(0, 39),
                      "Janeiro|N\nFevereiro|N\nMarço|N\nAbril|S\n");
            typeMonth(d, "Março", "5000");
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            EXPECT_FALSE(d.dbgItensSimulacao->HasOption(dgEditing));
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            EXPECT_FALSE(s.boSimulaMo);
            typeMonth(d, "Abril", "5000");
            confirm(d);
            EXPECT_EQ(months(d, 4), "01|Janeiro|6800\n02|Fevereiro|6800\n03|Março|6800\n"
                                    "04|Abril|5000\n");
            EXPECT_TRUE(s.boSimulaMo);
        });
    });
}

TEST_F(SimulaMaoObra, GivenAListOfBranches_WhenVerified_ThenTheListsLinesComeBack) {
    loaded();
    checkOnLabourPage({"0001", "0002"});
    simulate([&](TfrmSimulaResult& s) {
        ASSERT_EQ(s.stCdFilial, "_0001_0002_");
        ASSERT_EQ(s.edtCdFilial->Text(), "");
        labour(s, [&](TfrmSimulaMaoObra& d) {
            const std::string listed = "0001|01\n0002|01\n0001|02\n0002|02\n";
            EXPECT_EQ(rows(d.cdsTpMaoObra, {"CDFILIAL", "CDDESPADMFAT"}), listed);
            typeMonth(d, "Março", "5000");
            confirm(d);
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            // The list, not the empty branch box: every listed line is back with its budget.
            EXPECT_EQ(rows(d.cdsTpMaoObra, {"CDFILIAL", "CDDESPADMFAT"}), listed);
            EXPECT_EQ(d.cdsSimulaItensMo.RecordCount(), 4);
            EXPECT_EQ(months(d, 3), "01|Janeiro|6800\n02|Fevereiro|6800\n03|Março|6800\n");
        });
    });
    EXPECT_EQ(messages().find("error"), std::string::npos) << messages();
}

TEST_F(SimulaMaoObra, GivenTwoCooksOfBudgetsSharingADescription_WhenOneIsTyped_ThenOnlyItChanges) {
    // A second labour budget of 0001 under the same description with a second cook, 700.00 a
    // month.
    exec("INSERT INTO ORCAMENTOMO (CDORCAMENTOMO, DSORCAMENTOMO, QTFUNCORCAMO, CDFILIAL) SELECT "
         "'MOX0001', DSORCAMENTOMO, 1, CDFILIAL FROM ORCAMENTOMO WHERE CDORCAMENTOMO = 'MO0001'");
    exec("INSERT INTO ORCAMENTOMOTIPO (CDORCAMENTOMO, CDDESPADMFAT, QTFUNCIONARIO, VRSALARIO, "
         "VRPERCENCARGO) VALUES ('MOX0001', '01', 1, 400, 75)");
    std::string columns, values;
    for (int m = 1; m <= 12; ++m) {
        columns += ", " + srv::monthColumn("VRORCAMENTO", m);
        values += ", 700";
    }
    exec("INSERT INTO ITEMORCAMENTO (NRANOORCAOP, CDVERSORCAOP, CDFILIAL, IDTIPOORCAOP, "
         "NRSEQITEMORCA, CDDESPADMFAT" +
         columns + ") VALUES ('2026', 2, '0001', 'O', '9000000001', '01'" + values + ")");
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        labour(s, [&](TfrmSimulaMaoObra& d) {
            EXPECT_EQ(rows(d.cdsTpMaoObra,
                           {"CDORCAMENTOMO", "DSORCAMENTOMO", "CDDESPADMFAT", "VRTPMAOOBRA"}),
                      "MO0001|Equipe FILIAL CENTRO|01|81600\n"
                      "MOX0001|Equipe FILIAL CENTRO|01|8400\n"
                      "MO0001|Equipe FILIAL CENTRO|02|91800\n");
            event([&] { d.dbgPadrao->SetFocus(); });
            event([&] { d.dbgPadrao->ClickCell(1, 0); });
            EXPECT_EQ(months(d, 1), "01|Janeiro|700\n");
            typeMonth(d, "Março", "5000");
            confirm(d);
            EXPECT_EQ(rows(d.cdsTpMaoObra, {"CDORCAMENTOMO", "VRTPMAOOBRA"}),
                      "MO0001|81600\nMOX0001|12700\nMO0001|91800\n");
            EXPECT_EQ(rows(d.cdsSimulaItensMo, {"NRSEQITEMORCA", "VRORCAMENTOMAR"}),
                      "0000000003|6800\n0000000004|7650\n9000000001|5000\n");
        });
        platform.answerNext(mrYes); // labour
        platform.answerNext(mrYes); // the simulation
        event([&] { s.sbtConfirma->Click(); });
    });
    const auto march = [&](const std::string& sequence) {
        return startServer()
            .store()
            .read([&](srv::Database& db) {
                return db.query("SELECT VRORCAMENTOMAR FROM ITEMORCAMENTO WHERE NRANOORCAOP = "
                                "'2026' AND CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND "
                                "IDTIPOORCAOP = 'O' AND NRSEQITEMORCA = ?",
                                {Variant(sequence)});
            })
            .scalar()
            .toDouble();
    };
    EXPECT_EQ(march("9000000001"), 5000);
    EXPECT_EQ(march("0000000003"), 6800);
}

TEST_F(SimulaMaoObra, GivenTheSimulationDropped_WhenLabourIsReopened_ThenTheBudgetShowsAgain) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const auto typeMarch = [&] {
            labour(s, [&](TfrmSimulaMaoObra& d) {
                typeMonth(d, "Março", "5000");
                confirm(d);
            });
        };
        const auto shownMarch = [&] {
            double march = -1;
            labour(s, [&](TfrmSimulaMaoObra& d) {
                march = d.cdsSimulaItensMo.FieldByName("VRORCAMENTOMAR").AsFloat();
            });
            return march;
        };
        // A save answered No at its last question sends nothing and drops the simulation.
        typeMarch();
        platform.answerNext(mrYes); // labour
        platform.answerNext(mrNo);  // the simulation
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_EQ(shownMarch(), 6800);
        EXPECT_EQ(s.nbeOrcO->Text(), money(81600 + 91800));
        // So does a discard.
        typeMarch();
        platform.answerNext(mrYes);
        event([&] { s.sbtAtualizar->Click(); });
        EXPECT_FALSE(s.boSimulaMo);
        EXPECT_EQ(shownMarch(), 6800);
    });
    EXPECT_EQ(stored("0001", "01", 3), 6800);
}
