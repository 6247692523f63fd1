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

    // The result simulation opened from the main screen, worked on, and closed.
    void simulate(const Steps& steps) {
        platform.onModal("TfrmSimulaResult", [this, steps](TForm& f) {
            auto& s = static_cast<TfrmSimulaResult&>(f);
            steps(s);
            event([&] { s.sbtCancel->Click(); });
        });
        ASSERT_TRUE(form->sbtSimulaRes->Enabled());
        event([&] { form->sbtSimulaRes->Click(); });
    }

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
        platform.answerNext(answer);
        event([&] { d.sbtConfirmar->Click(); });
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
