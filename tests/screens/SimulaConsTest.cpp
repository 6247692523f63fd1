// The consumption line of the result simulation, service by service and month by month,
// against the real server on the fixture's budget 2026/2.
#include "tests/screens/EntryFixture.h"

#include "server/store/Database.h"
#include "server/store/Store.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/Cli_fyn10380.h"
#include "simulation/items/Cli_fyn10370.h"

#include <functional>

namespace {

std::string number(const Variant& v) {
    return v.isNull() ? "~" : FormatFloat("0.##", v.toDouble());
}

// The visible rows of a dataset, the fields of each joined by "|", rows by " / ".
std::string rows(TClientDataSet& ds, std::initializer_list<const char*> fields) {
    std::string out;
    for (int r = 0; r < ds.RecordCount(); ++r) {
        if (r) out += " / ";
        bool first = true;
        for (const char* f : fields) {
            const Variant& v = ds.RowValue(r, ds.FieldByName(f).Index());
            out += (first ? "" : "|") + (v.isNumeric() ? number(v) : v.toText());
            first = false;
        }
    }
    return out;
}

double field(TClientDataSet& ds, const std::string& name) {
    const TField& f = ds.FieldByName(name);
    return f.IsNull() ? 0 : f.AsFloat();
}

} // namespace

class SimulaCons : public EntryFixture {
protected:
    using Steps = std::function<void(TfrmSimulaResult&)>;
    using DialogSteps = std::function<void(TfrmSimulaCons&)>;

    // The consumption dialog opened from its line, worked on, and left by its exit button.
    void consumption(TfrmSimulaResult& s, const DialogSteps& steps) {
        m_opened = false;
        platform.onModal("TfrmSimulaCons", [this, steps](TForm& f) {
            auto& d = static_cast<TfrmSimulaCons&>(f);
            m_opened = true;
            EXPECT_EQ(d.Caption(), "Simulação do Consumo");
            steps(d);
            event([&] { d.sbtFechar->Click(); });
        });
        ASSERT_TRUE(s.btnConsumo->Enabled());
        event([&] { s.btnConsumo->Click(); });
        EXPECT_TRUE(m_opened);
    }

    // Visible month row of a calendar month (-1 when absent).
    static int monthRow(TfrmSimulaCons& d, int month) {
        TClientDataSet& m = d.cdsInsereItens;
        for (int r = 0; r < m.RecordCount(); ++r)
            if (m.RowValue(r, m.FieldByName("MES").Index()).toInt() == month) return r;
        return -1;
    }

    // The operator clicks the month's cell of a column and types the text.
    void typeMonth(TfrmSimulaCons& d, int month, const char* column, const std::string& text) {
        const int row = monthRow(d, month);
        ASSERT_GE(row, 0) << month;
        const int col = d.dbgItensSimulacao->ColumnByFieldName(column)->Index();
        event([&] { d.dbgItensSimulacao->SetFocus(); });
        event([&] { d.dbgItensSimulacao->ClickCell(row, col); });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
    }

    // Confirm on the toolbar, answering its question.
    void confirm(TfrmSimulaCons& d, TModalResult answer = mrYes) {
        ASSERT_TRUE(d.sbtConfirmar->Enabled());
        platform.answerNext(answer);
        event([&] { d.sbtConfirmar->Click(); });
    }

    // The toolbar's edit on the month grid, confirmed without typing anything.
    void editAndConfirm(TfrmSimulaCons& d) {
        event([&] { d.dbgItensSimulacao->SetFocus(); });
        ASSERT_TRUE(d.sbtAlterar->Enabled());
        event([&] { d.sbtAlterar->Click(); });
        EXPECT_EQ(d.cdsInsereItens.State(), dsEdit);
        EXPECT_EQ(d.dbgItensSimulacao->SelectedField()->FieldName(), "QTORCAMENTO");
        confirm(d);
    }

    // Selects the service row of the dialog.
    void selectService(TfrmSimulaCons& d, const std::string& service) {
        event([&] { d.dbgPadrao->SetFocus(); });
        ASSERT_TRUE(d.cdsSimulaCons.Locate("CDSERVFILI", {Variant(service)}));
    }

    // Everything the main screen holds for a branch's consumption in a month.
    double mainScreen(const std::string& branch, const char* month) {
        const DataPacket p = form->cdsItensOrcFatCons.Data();
        double sum = 0;
        for (std::size_t r = 0; r < p.rows.size(); ++r)
            if (p.value(r, "CDFILIAL").toText() == branch &&
                p.value(r, "IDTIPOORCAOP").toText() == "C")
                sum += p.value(r, std::string("VRORCAMENTO") + month).toDouble();
        return sum;
    }

    std::string stored(const std::string& sql) {
        const srv::QueryResult r =
            server->store().read([&](srv::Database& db) { return db.query(sql); });
        std::string out;
        for (const auto& row : r.rows) {
            for (std::size_t c = 0; c < row.size(); ++c)
                out += (c ? "|" : "") + (row[c].isNumeric() ? number(row[c]) : row[c].toText());
            out += "\n";
        }
        return out;
    }

    void execute(const std::string& sql) {
        startServer().store().transaction([&](srv::Database& db) { return db.execute(sql); });
    }

    bool m_opened = false;
};

TEST_F(SimulaCons, GivenTheWholeYear_WhenMarchIsPosted_ThenMonthServiceAndLineFollow) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double line = s.nbeOrcC->GetNumber();
        ASSERT_GT(line, 0);
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        std::string service;
        double before = 0;
        consumption(s, [&](TfrmSimulaCons& d) {
            EXPECT_EQ(d.lblCodTela->Caption(), "FYN10370");
            ASSERT_GT(d.cdsSimulaCons.RecordCount(), 1);
            // The services run by diners, most first.
            const int diners = d.cdsSimulaCons.FieldByName("QTCOMENSAIS").Index();
            for (int r = 1; r < d.cdsSimulaCons.RecordCount(); ++r)
                EXPECT_GE(d.cdsSimulaCons.RowValue(r - 1, diners).toDouble(),
                          d.cdsSimulaCons.RowValue(r, diners).toDouble());
            EXPECT_EQ(d.cdsSimulaCons.RecNo(), 1);
            service = d.cdsSimulaCons.FieldByName("CDSERVFILI").AsString();
            before = field(d.cdsSimulaCons, "VRCONSUMO");
            // Twelve months of the selected service, January first in this version.
            ASSERT_EQ(d.cdsInsereItens.RecordCount(), 12);
            EXPECT_EQ(d.cdsInsereItens.FieldByName("MES").DisplayText(), "Janeiro");
            EXPECT_EQ(rows(d.cdsInsereItens, {"CDSERVFILI"}).substr(0, service.size()), service);

            typeMonth(d, 3, "QTORCAMENTO", "120");
            typeMonth(d, 3, "VRORCAMENTO", "3.600,00");
            EXPECT_EQ(d.cdsInsereItens.State(), dsEdit);
            EXPECT_FALSE(d.dbgPadrao->Enabled());
            confirm(d);
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_TRUE(d.dbgPadrao->Enabled());
            // The month, its average cost, and the service: the posted row's diners and the
            // twelve months' value.
            const std::string months =
                rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO", "VRPERCMED"});
            EXPECT_NE(months.find(" / 3|120|3600|30 / "), std::string::npos) << months;
            ASSERT_TRUE(d.cdsSimulaConsMes.Locate("CDSERVFILI;CDFILIAL",
                                                  {Variant(service), Variant("0001")}));
            double year = 0;
            for (int m = 1; m <= 12; ++m)
                year += field(d.cdsSimulaConsMes, "VRORCA" + std::to_string(m));
            EXPECT_EQ(number(d.cdsSimulaConsMes.FieldByName("QTORCA3").AsVariant()) + " " +
                          number(d.cdsSimulaConsMes.FieldByName("VRORCA3").AsVariant()),
                      "120 3600");
            ASSERT_TRUE(d.cdsSimulaCons.Locate("CDSERVFILI", {Variant(service)}));
            EXPECT_EQ(field(d.cdsSimulaCons, "QTCOMENSAIS"), 120);
            EXPECT_NEAR(field(d.cdsSimulaCons, "VRCONSUMO"), year, 0.001);
            // Its share is taken on the result's base, net billing being above 0.
            ASSERT_GT(s.nbeOrcL->GetNumber(), 0);
            EXPECT_NEAR(field(d.cdsSimulaCons, "VRPERCFAT"), year * 100 / s.vrsimulacao, 1e-9);
        });
        // The line is the twelve months of every service, and the simulation may be saved.
        EXPECT_TRUE(s.boSimulaCons);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_FALSE(s.btnReduConsumo->Enabled());
        double sum = 0;
        for (s.cdsSimulaConsMes.First(); !s.cdsSimulaConsMes.Eof(); s.cdsSimulaConsMes.Next())
            for (int m = 1; m <= 12; ++m)
                sum += field(s.cdsSimulaConsMes, "VRORCA" + std::to_string(m));
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), sum, 0.005);
        EXPECT_NE(s.nbeOrcC->GetNumber(), line);
    });
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
}

TEST_F(SimulaCons, GivenChangesThatKeepTheTotal_WhenConfirmed_ThenOnlyRealChangesMarkTheLine) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        // Nothing changed: confirming leaves the flags as they were.
        consumption(s, [&](TfrmSimulaCons& d) { editAndConfirm(d); });
        EXPECT_FALSE(s.boSimulaCons);
        EXPECT_FALSE(s.sbtConfirma->Enabled());

        // Less than half a cent is no change to the budget.
        consumption(s, [&](TfrmSimulaCons& d) {
            const int row = monthRow(d, 5);
            const double may =
                d.cdsInsereItens.RowValue(row, d.cdsInsereItens.FieldByName("VRORCAMENTO").Index())
                    .toDouble();
            typeMonth(d, 5, "VRORCAMENTO", FormatFloat("0.000", may + 0.004));
            confirm(d);
            EXPECT_NEAR(
                d.cdsInsereItens.RowValue(row, d.cdsInsereItens.FieldByName("VRORCAMENTO").Index())
                    .toDouble(),
                may + 0.004, 1e-9);
        });
        EXPECT_FALSE(s.boSimulaCons);

        // January's value moved into February: the total stays, the line is simulated.
        double total = 0;
        consumption(s, [&](TfrmSimulaCons& d) {
            total = d.doTotalConsumo;
            const int value = d.cdsInsereItens.FieldByName("VRORCAMENTO").Index();
            const double jan = d.cdsInsereItens.RowValue(monthRow(d, 1), value).toDouble();
            const double feb = d.cdsInsereItens.RowValue(monthRow(d, 2), value).toDouble();
            ASSERT_GE(jan, 100);
            typeMonth(d, 1, "VRORCAMENTO", FormatFloat("0.00", jan - 100));
            typeMonth(d, 2, "VRORCAMENTO", FormatFloat("0.00", feb + 100));
            confirm(d);
            EXPECT_NEAR(d.doTotalConsumo, total, 0.001);
        });
        EXPECT_TRUE(s.boSimulaCons);
        EXPECT_FALSE(s.boAtualizaGeralCons);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), total, 0.005);
    });
}

TEST_F(SimulaCons, GivenOnlyDinersChanged_WhenLeftByTheExitButton_ThenTheLineIsMarked) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double line = s.nbeOrcC->GetNumber();
        consumption(s, [&](TfrmSimulaCons& d) {
            typeMonth(d, 7, "QTORCAMENTO", "77");
            // Moving to another month posts July.
            event([&] { d.dbgItensSimulacao->ClickCell(monthRow(d, 8), 0); });
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_EQ(field(d.cdsSimulaCons, "QTCOMENSAIS"), 77);
        });
        EXPECT_TRUE(s.boSimulaCons);
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), line, 0.005);
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaCons, GivenAPostedMonth_WhenReopened_ThenItIsKeptUntilVerifyBringsTheBudgetBack) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double line = s.nbeOrcC->GetNumber();
        std::string service, budgetMonths;
        consumption(s, [&](TfrmSimulaCons& d) {
            service = d.lineServFili;
            budgetMonths = rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO"});
            typeMonth(d, 3, "QTORCAMENTO", "120");
            typeMonth(d, 3, "VRORCAMENTO", "3600");
            confirm(d);
        });
        ASSERT_TRUE(s.boSimulaCons);
        const double simulated = s.nbeOrcC->GetNumber();
        EXPECT_NE(simulated, line);

        consumption(s, [&](TfrmSimulaCons& d) {
            // The kept data, not the budget's: March as it was left, its average cost again.
            ASSERT_TRUE(d.cdsSimulaCons.Locate("CDSERVFILI", {Variant(service)}));
            const std::string months =
                rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO", "VRPERCMED"});
            EXPECT_NE(months.find(" / 3|120|3600|30 / "), std::string::npos) << months;
            EXPECT_NEAR(d.doTotalConsumo, simulated, 0.005);

            // Verify answered No keeps everything; Yes reads the budget again.
            platform.answerNext(mrNo);
            event([&] { d.sbtVerificar->Click(); });
            ASSERT_TRUE(d.cdsSimulaCons.Locate("CDSERVFILI", {Variant(service)}));
            EXPECT_EQ(rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO", "VRPERCMED"}),
                      months);
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_FALSE(s.boSimulaCons);
            EXPECT_TRUE(s.boAtualizaGeralCons);
            EXPECT_NEAR(d.doTotalConsumo, line, 0.005);
            ASSERT_TRUE(d.cdsSimulaCons.Locate("CDSERVFILI", {Variant(service)}));
            EXPECT_EQ(rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO"}), budgetMonths);
            // The budget's total is the new starting point: confirming marks nothing.
            editAndConfirm(d);
        });
        EXPECT_FALSE(s.boSimulaCons);
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), line, 0.005);
    });
    EXPECT_EQ(messages(),
              "confirm: Confirma operação? -> Yes\n"
              "confirm: Com a atualização, os valores alterados serão substituidos pelos "
              "lançados no orçamento. Confirma atualização? -> No\n"
              "confirm: Com a atualização, os valores alterados serão substituidos pelos "
              "lançados no orçamento. Confirma atualização? -> Yes\n"
              "confirm: Confirma operação? -> Yes\n");
}

TEST_F(SimulaCons, GivenAnEffectedServiceAndClosedMonths_WhenTyped_ThenNothingChanges) {
    // The phase of "fase" closes January to March; one of 0001's services is effected.
    execute("UPDATE ITEMSERVORCA SET IDITEMORCAMENTO = 'E' WHERE NRANOORCAOP = '2026' AND "
            "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND IDTIPOORCAOP = 'C' AND CDSERVFILI = "
            "(SELECT MIN(CDSERVFILI) FROM ITEMSERVORCA WHERE NRANOORCAOP = '2026' AND "
            "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND IDTIPOORCAOP = 'C')");
    const std::string effected =
        stored("SELECT CDSERVFILI FROM ITEMSERVORCA WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = "
               "2 AND CDFILIAL = '0001' AND IDTIPOORCAOP = 'C' AND IDITEMORCAMENTO = 'E'");
    ASSERT_FALSE(effected.empty());
    loaded("fase");
    simulate([&](TfrmSimulaResult& s) {
        consumption(s, [&](TfrmSimulaCons& d) {
            ASSERT_GT(d.cdsSimulaCons.RecordCount(), 1);
            selectService(d, effected.substr(0, effected.size() - 1));
            const std::string months =
                rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO"});
            typeMonth(d, 6, "VRORCAMENTO", "999");
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_FALSE(d.sbtAlterar->Enabled());
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            EXPECT_EQ(rows(d.cdsInsereItens, {"MES", "QTORCAMENTO", "VRORCAMENTO"}), months);

            // An open service: March is closed to the phase, April takes typing.
            for (int r = 0; r < d.cdsSimulaCons.RecordCount(); ++r)
                if (d.cdsSimulaCons.RowValue(r, d.cdsSimulaCons.FieldByName("CDSERVFILI").Index())
                            .toText() +
                        "\n" !=
                    effected) {
                    event([&] { d.dbgPadrao->ClickCell(r, 0); });
                    break;
                }
            ASSERT_NE(d.lineServFili + "\n", effected);
            typeMonth(d, 3, "VRORCAMENTO", "999");
            EXPECT_FALSE(d.dbgItensSimulacao->HasOption(dgEditing));
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
            typeMonth(d, 4, "VRORCAMENTO", "999");
            EXPECT_TRUE(d.dbgItensSimulacao->HasOption(dgEditing));
            EXPECT_EQ(d.cdsInsereItens.State(), dsEdit);
            // Signs never go into a value.
            event([&] { d.TypeChar('-'); });
            EXPECT_EQ(d.dbgItensSimulacao->EditorText(), "999");
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(d.cdsInsereItens.State(), dsBrowse);
        });
        EXPECT_FALSE(s.boSimulaCons);
    });
    EXPECT_EQ(messages(), "confirm: Cancelar operação? -> Yes\n");
}

TEST_F(SimulaCons, GivenMarchAlone_WhenPosted_ThenTheServiceAndLineAreMarch) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        chooseMonth(s, "03/2026");
        ASSERT_EQ(s.stMes, "3");
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), mainScreen("0001", "MAR"), 0.005);
        consumption(s, [&](TfrmSimulaCons& d) {
            // One row per service: March, third of the budget year.
            EXPECT_EQ(rows(d.cdsInsereItens, {"MES", "IDORDENA"}), "3|03");
            EXPECT_EQ(d.cdsInsereItens.FieldByName("MES").DisplayText(), "Março");
            typeMonth(d, 3, "QTORCAMENTO", "120");
            typeMonth(d, 3, "VRORCAMENTO", "3600");
            confirm(d);
            EXPECT_EQ(rows(d.cdsInsereItens, {"QTORCAMENTO", "VRORCAMENTO", "VRPERCMED"}),
                      "120|3600|30");
            EXPECT_EQ(field(d.cdsSimulaCons, "QTCOMENSAIS"), 120);
            EXPECT_EQ(field(d.cdsSimulaCons, "VRCONSUMO"), 3600);
        });
        double march = 0;
        for (s.cdsSimulaConsMes.First(); !s.cdsSimulaConsMes.Eof(); s.cdsSimulaConsMes.Next())
            march += field(s.cdsSimulaConsMes, "VRORCA3");
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), march, 0.005);
        EXPECT_TRUE(s.boSimulaCons);
    });
}

TEST_F(SimulaCons, GivenAVersionStartingInApril_WhenOpened_ThenTheMonthsRunAprilToMarch) {
    versionFromApril();
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        consumption(s, [&](TfrmSimulaCons& d) {
            std::string months;
            for (d.cdsInsereItens.First(); !d.cdsInsereItens.Eof(); d.cdsInsereItens.Next())
                months += d.cdsInsereItens.FieldByName("MES").DisplayText() + " ";
            EXPECT_EQ(months, "Abril Maio Junho Julho Agosto Setembro Outubro Novembro Dezembro "
                              "Janeiro Fevereiro Março ");
        });
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaCons, GivenDinersAndValuesSimulated_WhenSaved_ThenTheBudgetAndMainScreenShowThem) {
    loaded();
    std::string service;
    const double marchBefore = mainScreen("0001", "MAR");
    double marchOfService = 0;
    simulate([&](TfrmSimulaResult& s) {
        consumption(s, [&](TfrmSimulaCons& d) {
            service = d.lineServFili;
            marchOfService =
                d.cdsInsereItens
                    .RowValue(monthRow(d, 3), d.cdsInsereItens.FieldByName("VRORCAMENTO").Index())
                    .toDouble();
            typeMonth(d, 3, "QTORCAMENTO", "120");
            typeMonth(d, 3, "VRORCAMENTO", "3600");
            // April: diners alone.
            typeMonth(d, 4, "QTORCAMENTO", "44");
            confirm(d);
        });
        platform.clearMessages();
        platform.answerNext(mrYes); // consumption
        platform.answerNext(mrYes); // the budget
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(),
                  "confirm: Filial possui orçamento por Consumo realizado. A confirmação desta "
                  "alteração irá sobrepor os valores existentes. Confirma operação? -> Yes\n"
                  "confirm: Confirma alteração no orçamento da filial? -> Yes\n");
        EXPECT_FALSE(s.boSimulaCons);
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
    EXPECT_EQ(stored("SELECT QTORCAMENTOMAR, VRORCAMENTOMAR, QTORCAMENTOABR FROM ITEMSERVORCA "
                     "WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND "
                     "IDTIPOORCAOP = 'C' AND CDSERVFILI = '" +
                     service + "'"),
              "120|3600|44\n");
    // The main screen reloaded: March's consumption moved by the service's change.
    EXPECT_NEAR(mainScreen("0001", "MAR"), marchBefore - marchOfService + 3600, 0.005);
}

TEST_F(SimulaCons, GivenAReducedConsumption_WhenTheDialogOpens_ThenItShowsTheReducedServices) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double line = s.nbeOrcC->GetNumber();
        reduceLine(s.btnReduConsumo, "50");
        ASSERT_TRUE(s.boSimulaPercCons);
        consumption(s, [&](TfrmSimulaCons& d) {
            EXPECT_NEAR(d.doTotalConsumo, line / 2, 0.01 * d.cdsSimulaCons.RecordCount());
            // Every service's months carry the average cost of their reduced values.
            for (int r = 0; r < d.cdsSimulaCons.RecordCount(); ++r) {
                event([&] { d.dbgPadrao->ClickCell(r, 0); });
                ASSERT_EQ(d.cdsInsereItens.RecordCount(), 12);
                for (d.cdsInsereItens.First(); !d.cdsInsereItens.Eof(); d.cdsInsereItens.Next()) {
                    const double diners = field(d.cdsInsereItens, "QTORCAMENTO");
                    EXPECT_NEAR(field(d.cdsInsereItens, "VRPERCMED"),
                                diners > 0 ? field(d.cdsInsereItens, "VRORCAMENTO") / diners : 0,
                                1e-9);
                }
            }
        });
        // Opening and leaving changes nothing: the reduction stays what is to be saved.
        EXPECT_FALSE(s.boSimulaCons);
        EXPECT_TRUE(s.boSimulaPercCons);
        EXPECT_NEAR(s.nbeOrcC->GetNumber(), line / 2, 0.05);
    });
    EXPECT_EQ(messages(), "");
}
