// The billing simulation opened from the result simulation's gross-billing button, against
// the real server on the fixture's budget: the services and their months, typing a month,
// what goes back to the result screen, and the save that writes it into the budget.
#include "tests/screens/EntryFixture.h"

#include "server/store/Database.h"
#include "server/store/Schema.h"
#include "server/store/Store.h"
#include "services/ui/TButtonFlat.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TColumn.h"
#include "services/ui/TLabel.h"
#include "services/ui/TMaskEdit.h"
#include "services/ui/TNumberEdit.h"
#include "services/ui/TSpeedButton.h"
#include "simulation/Cli_fyn10300.h"
#include "simulation/items/Cli_fyn10310.h"

#include <functional>

namespace {

const char* const kMes[12] = {"JAN", "FEV", "MAR", "ABR", "MAI", "JUN",
                              "JUL", "AGO", "SET", "OUT", "NOV", "DEZ"};

const char* const kCancelar = "confirm: Cancelar operação?";
const char* const kAtualizar = "confirm: Com a atualização, os valores alterados serão "
                               "substituidos pelos lançados no orçamento. Confirma atualização?";

} // namespace

class SimulaFat : public EntryFixture {
protected:
    void exec(const std::string& sql, const std::vector<Variant>& params = {}) {
        startServer().store().transaction(
            [&](srv::Database& db) { return db.execute(sql, params); });
    }

    // One month of a branch's billing in version `version`: quantity and value of S01, S02
    // and S03 in turn, the first billing item their sum (or `item` when given).
    void servicos(const std::string& branch, int month,
                  const std::vector<std::pair<double, double>>& qtyValue, double item = -1,
                  int version = 2) {
        const std::string where = " WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = ? AND "
                                  "CDFILIAL = ? AND IDTIPOORCAOP = 'F'";
        const char* const codes[] = {"S01", "S02", "S03"};
        double sum = 0;
        for (std::size_t i = 0; i < qtyValue.size(); ++i) {
            exec("UPDATE ITEMSERVORCA SET " + srv::monthColumn("QTORCAMENTO", month) + " = ?, " +
                     srv::monthColumn("VRORCAMENTO", month) + " = ?" + where +
                     " AND CDSERVFILI = ?",
                 {qtyValue[i].first, qtyValue[i].second, version, branch, codes[i]});
            sum += qtyValue[i].second;
        }
        const std::string column = srv::monthColumn("VRORCAMENTO", month);
        exec("UPDATE ITEMORCAMENTO SET " + column + " = 0" + where, {version, branch});
        exec("UPDATE ITEMORCAMENTO SET " + column + " = ?" + where +
                 " AND NRSEQITEMORCA = (SELECT MIN(NRSEQITEMORCA) FROM ITEMORCAMENTO" + where + ")",
             {item < 0 ? sum : item, version, branch, version, branch});
    }

    void state(const std::string& branch, const std::string& service, const std::string& flag) {
        exec("UPDATE ITEMSERVORCA SET IDITEMORCAMENTO = ? WHERE NRANOORCAOP = '2026' AND "
             "CDFILIAL = ? AND IDTIPOORCAOP = 'F' AND CDSERVFILI = ?",
             {flag, branch, service});
    }

    // The billing dialog opened from the result screen, worked on by `steps` and closed.
    void billing(TfrmSimulaResult& s, const std::function<void(TfrmSimulaFat&)>& steps) {
        bool opened = false;
        platform.onModal("TfrmSimulaFat", [&](TForm& f) {
            opened = true;
            auto& d = static_cast<TfrmSimulaFat&>(f);
            steps(d);
            event([&] { d.sbtFechar->Click(); });
        });
        ASSERT_TRUE(s.btnFatBrut->Enabled());
        // The operator's click focuses the button first, leaving the header.
        event([&] { s.btnFatBrut->SetFocus(); });
        event([&] { s.btnFatBrut->Click(); });
        EXPECT_TRUE(opened) << messages();
    }

    // The month period of the result screen: one month of 2026, or the whole year.
    // Typed in the header as the operator does; leaving it (the next focus move) reloads.
    void period(TfrmSimulaResult& s, int month) {
        event([&] { s.chkPeriodo->SetFocus(); });
        if (s.chkPeriodo->Checked() != (month == 0)) event([&] { s.chkPeriodo->Click(); });
        if (!month) return;
        event([&] { s.speAno1->SetFocus(); });
        event([&] { s.speAno1->SetText(TfrmSimulaLinha::Ajusta(month) + "/2026"); });
    }

    // Saves the simulation, answering Yes to overwriting the branch's billing and to the save.
    void saveOverBilling(TfrmSimulaResult& s) {
        platform.clearMessages();
        platform.answerNext(mrYes);
        platform.answerNext(mrYes);
        event([&] { s.sbtConfirma->Click(); });
        EXPECT_EQ(messages(), "confirm: Filial possui orçamento por Faturamento realizado.  A "
                              "confirmação desta alteração irá sobrepor os valores existentes. "
                              "Confirma operação? -> Yes\nconfirm: Confirma alteração no "
                              "orçamento da filial? -> Yes\n");
    }

    void service(TfrmSimulaFat& d, const std::string& code, const std::string& branch = "0001") {
        event([&] { d.FocusControl(d.dbgPadrao); });
        event([&] {
            ASSERT_TRUE(
                d.cdsServOrc.Locate("CDSERVFILI;CDFILIAL", {Variant(code), Variant(branch)}));
        });
    }

    // Clicks the month's cell of a column and types the text, one key at a time.
    void type(TfrmSimulaFat& d, const std::string& month, const std::string& field,
              const std::string& text) {
        TClientDataSet& m = d.cdsInseriItens;
        int row = -1;
        for (int r = 0; r < m.RecordCount() && row < 0; ++r)
            if (m.RowValue(r, m.FieldByName("NMMES").Index()).toText() == month) row = r;
        ASSERT_GE(row, 0) << month;
        event([&] { d.FocusControl(d.dbgItensSimulacao); });
        event([&] { d.dbgItensSimulacao->ClickCell(row, columnOf(d.dbgItensSimulacao, field)); });
        for (char c : text)
            event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
    }

    // The month's row of the selected service, the named fields as shown.
    static std::string month(TfrmSimulaFat& d, const std::string& name,
                             const std::vector<std::string>& fields) {
        const std::string all = shown(d.cdsInseriItens, fields);
        const std::size_t at = all.find(name + "|");
        return at == std::string::npos ? "(no " + name + ")"
                                       : all.substr(at, all.find('\n', at) - at);
    }

    static double number(TClientDataSet& ds, const std::string& field) {
        return ds.FieldByName(field).IsNull() ? 0.0 : ds.FieldByName(field).AsFloat();
    }

    // A month of the branch's billing rows on the main screen.
    double mainScreen(const std::string& branch, int month) {
        const DataPacket p = form->cdsItensOrcFatCons.Data();
        double sum = 0;
        for (std::size_t r = 0; r < p.rows.size(); ++r) {
            if (p.value(r, "CDFILIAL").toText() != branch ||
                p.value(r, "IDTIPOORCAOP").toText() != "F")
                continue;
            const Variant& v = p.value(r, std::string("VRORCAMENTO") + kMes[month - 1]);
            if (!v.isNull()) sum += v.toDouble();
        }
        return sum;
    }
};

TEST_F(SimulaFat, GivenTheWholeYear_WhenOpened_ThenEachServiceShowsItsMonthsAndShares) {
    // March: S01 has no quantity but a value; April's billing is 0 while S02 holds 300.
    servicos("0001", 3, {{0, 1500}, {40, 2500}, {10, 1000}});
    servicos("0001", 4, {{10, 100}, {10, 300}, {10, 0}}, 0);
    exec("UPDATE SERVFILIAL SET NMSERVICO = NULL WHERE CDFILIAL = '0001' AND CDSERVFILI = 'S03'");
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        billing(s, [&](TfrmSimulaFat& d) {
            EXPECT_EQ(d.Caption(), "Simulação do Faturamento");
            EXPECT_EQ(d.lblCodTela->Caption(), "FYN10310");
            EXPECT_EQ(shown(d.cdsServOrc, {"CDFILIAL", "CDSERVFILI", "NMSERVICO"}),
                      "0001|S01|Almoço\n0001|S02|Jantar\n0001|S03|Manual\n");
            EXPECT_EQ(codes(d.cdsInseriItens, "NMMES"),
                      "Janeiro Fevereiro Março Abril Maio Junho Julho Agosto Setembro Outubro "
                      "Novembro Dezembro");
            EXPECT_EQ(codes(d.cdsInseriItens, "CDMES"), "01 02 03 04 05 06 07 08 09 10 11 12");
            // No quantity: the value is the base price of one, the total nothing.
            EXPECT_EQ(
                month(d, "Março",
                      {"NMMES", "QTESTIMADA", "QTORCADA", "VRPRECOBASE", "VRTOTAL", "FATURAMENTO"}),
                "Março|0,00|0,00|1.500,00|0,00|0,00");
            service(d, "S02");
            EXPECT_EQ(codes(d.cdsInseriItens, "CDSERVFILI").substr(0, 7), "S02 S02");
            // 2.500,00 of March's 5.000,00; April's billing is 0: no share rather than 30.000 %.
            EXPECT_EQ(
                month(d, "Março", {"NMMES", "QTORCADA", "VRPRECOBASE", "VRTOTAL", "FATURAMENTO"}),
                "Março|40,00|62,50|2.500,00|50,00");
            EXPECT_EQ(month(d, "Abril", {"NMMES", "VRTOTAL", "FATURAMENTO"}), "Abril|300,00|0,00");
            EXPECT_FALSE(s.boSimulaFat);
        });
        EXPECT_FALSE(s.sbtConfirma->Enabled());
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaFat, GivenAVersionStartingInApril_ThenMonthsRunAprilToMarchAndMayStandsAlone) {
    exec("UPDATE VERSAOORCA SET NRMESINIVERORC = 4 WHERE CDANOVERORCA = '2026' AND "
         "CDVERSAOORCA = 2");
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        billing(s, [&](TfrmSimulaFat& d) {
            EXPECT_EQ(codes(d.cdsInseriItens, "NMMES"),
                      "Abril Maio Junho Julho Agosto Setembro Outubro Novembro Dezembro Janeiro "
                      "Fevereiro Março");
            EXPECT_EQ(codes(d.cdsInseriItens, "CDMES"), "01 02 03 04 05 06 07 08 09 10 11 12");
        });
        period(s, 5);
        billing(s, [&](TfrmSimulaFat& d) {
            EXPECT_EQ(codes(d.cdsInseriItens, "NMMES") + " " + codes(d.cdsInseriItens, "CDMES"),
                      "Maio 02");
            // The service total is May's.
            EXPECT_EQ(number(d.cdsServOrc, "VRSERVCORCA"), number(d.cdsInseriItens, "VRTOTAL"));
        });
    });
}

TEST_F(SimulaFat, GivenAMonthTyped_WhenConfirmed_ThenServiceTotalAndGrossBillingFollowAndStay) {
    servicos("0001", 3, {{40, 1000}, {40, 2500}, {10, 500}});
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const double gross = s.nbeOrcF->GetNumber();
        double year = 0;
        billing(s, [&](TfrmSimulaFat& d) {
            year = number(d.cdsServOrc, "VRSERVCORCA");
            type(d, "Março", "QTORCADA", "10");
            EXPECT_EQ(d.cdsInseriItens.State(), dsEdit);
            EXPECT_TRUE(s.boSimulou && s.boSimulaFat);
            event([&] { d.PressKey(VK_TAB); });
            for (char c : std::string("25,5"))
                event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
            EXPECT_TRUE(d.sbtConfirmar->Enabled());
            EXPECT_FALSE(d.dbgPadrao->Enabled());
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            EXPECT_EQ(month(d, "Março", {"NMMES", "QTORCADA", "VRPRECOBASE", "VRTOTAL"}),
                      "Março|10,00|25,50|255,00");
            ASSERT_TRUE(d.cdsSimulaItens.Locate("CDSERVFILI", {Variant("S01")}));
            EXPECT_EQ(number(d.cdsSimulaItens, "QTORCAMENTOMAR"), 10);
            EXPECT_EQ(number(d.cdsSimulaItens, "VRORCAMENTOMAR"), 255);
            // The service's total is its twelve months, its share of the branch's billing too.
            EXPECT_NEAR(number(d.cdsServOrc, "VRSERVCORCA"), year - 745, 0.005);
            EXPECT_NEAR(number(d.cdsServOrc, "PERCENTUALFAT"),
                        number(d.cdsServOrc, "VRSERVCORCA") * 100 /
                            number(d.cdsServOrc, "VRTOTORCA"),
                        1e-9);
            EXPECT_TRUE(d.dbgPadrao->Enabled());
        });
        // On closing, gross billing follows and the simulation may be saved.
        EXPECT_NEAR(s.nbeOrcF->GetNumber(), gross - 745, 0.011);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        EXPECT_FALSE(s.chkPeriodo->Enabled());

        // Reopened, the dialog shows what it was left with.
        billing(s, [&](TfrmSimulaFat& d) {
            EXPECT_EQ(month(d, "Março", {"NMMES", "QTORCADA", "VRPRECOBASE", "VRTOTAL"}),
                      "Março|10,00|25,50|255,00");
            EXPECT_NEAR(number(d.cdsServOrc, "VRSERVCORCA"), year - 745, 0.005);
            // The reload, answered No then Yes, brings the budget's values back.
            platform.answerNext(mrNo);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(month(d, "Março", {"NMMES", "VRTOTAL"}), "Março|255,00");
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(month(d, "Março", {"NMMES", "QTORCADA", "VRPRECOBASE", "VRTOTAL"}),
                      "Março|40,00|25,00|1.000,00");
            EXPECT_NEAR(number(d.cdsServOrc, "VRSERVCORCA"), year, 0.005);
            EXPECT_FALSE(s.boSimulaFat);
        });
        EXPECT_NEAR(s.nbeOrcF->GetNumber(), gross, 0.011);
    });
    EXPECT_EQ(messages(), std::string(kAtualizar) + " -> No\n" + kAtualizar + " -> Yes\n");
}

TEST_F(SimulaFat, GivenClosedServicesAndMonths_WhenTyped_ThenNothingChanges) {
    state("0001", "S02", "A");
    state("0001", "S03", "E");
    // The phase of "fase" closes January to March.
    loaded("fase");
    simulate([&](TfrmSimulaResult& s) {
        billing(s, [&](TfrmSimulaFat& d) {
            for (const char* closed : {"S02", "S03"}) {
                service(d, closed);
                const std::string before = shown(d.cdsInseriItens, {"QTORCADA", "VRPRECOBASE"});
                type(d, "Abril", "QTORCADA", "77");
                EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse) << closed;
                EXPECT_FALSE(d.sbtAlterar->Enabled()) << closed;
                event([&] { d.sbtAlterar->Click(); });
                EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse) << closed;
                EXPECT_EQ(shown(d.cdsInseriItens, {"QTORCADA", "VRPRECOBASE"}), before) << closed;
            }
            service(d, "S01");
            type(d, "Fevereiro", "QTORCADA", "5");
            EXPECT_FALSE(d.dbgItensSimulacao->HasOption(dgEditing));
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            // Rows are neither added nor removed.
            const int rows = d.cdsInseriItens.RecordCount();
            EXPECT_FALSE(event([&] { d.cdsInseriItens.Append(); }));
            EXPECT_FALSE(event([&] { d.cdsInseriItens.Delete(); }));
            EXPECT_EQ(d.cdsInseriItens.RecordCount(), rows);
            // Only quantity and base price are typed, in an open month.
            type(d, "Abril", "NDIAUTIL", "5");
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            type(d, "Abril", "QTORCADA", "5");
            EXPECT_TRUE(d.dbgItensSimulacao->HasOption(dgEditing));
            EXPECT_EQ(d.cdsInseriItens.State(), dsEdit);
            EXPECT_TRUE(s.boSimulaFat);
        });
    });
    EXPECT_EQ(messages(), "");
}

TEST_F(SimulaFat, GivenPostedMonths_WhenALaterEditIsCancelled_ThenTheLineStaysSimulated) {
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        billing(s, [&](TfrmSimulaFat& d) {
            // Nothing posted yet: cancelling the only edit leaves nothing simulated.
            type(d, "Maio", "QTORCADA", "3");
            EXPECT_TRUE(s.boSimulaFat);
            platform.answerNext(mrNo);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(d.cdsInseriItens.State(), dsEdit);
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_EQ(d.cdsInseriItens.State(), dsBrowse);
            EXPECT_FALSE(s.boSimulaFat);

            type(d, "Junho", "QTORCADA", "3");
            event([&] { d.sbtConfirmar->Click(); });
            // The edit button starts on the quantity of the current month.
            event([&] { d.dbgItensSimulacao->SetSelectedIndex(0); });
            event([&] { d.sbtAlterar->Click(); });
            EXPECT_EQ(d.cdsInseriItens.State(), dsEdit);
            EXPECT_EQ(d.dbgItensSimulacao->SelectedField()->FieldName(), "QTORCADA");
            platform.answerNext(mrYes);
            event([&] { d.sbtCancelar->Click(); });
            EXPECT_TRUE(s.boSimulaFat);
            EXPECT_EQ(month(d, "Junho", {"NMMES", "QTORCADA"}), "Junho|3,00");
        });
    });
    EXPECT_EQ(messages(), std::string(kCancelar) + " -> No\n" + kCancelar + " -> Yes\n" +
                              kCancelar + " -> Yes\n");
}

TEST_F(SimulaFat, GivenOneServicesMonthSimulated_WhenSaved_ThenTheMainScreenShowsIt) {
    servicos("0001", 3, {{40, 1000}, {40, 2500}, {10, 500}});
    servicos("0001", 4, {{40, 1000}, {40, 2500}, {10, 500}});
    loaded();
    EXPECT_EQ(mainScreen("0001", 3), 4000);
    simulate([&](TfrmSimulaResult& s) {
        period(s, 3);
        billing(s, [&](TfrmSimulaFat& d) {
            EXPECT_EQ(codes(d.cdsInseriItens, "NMMES"), "Março");
            type(d, "Março", "QTORCADA", "10");
            event([&] { d.PressKey(VK_TAB); });
            for (char c : std::string("25,5"))
                event([&] { d.TypeChar(static_cast<unsigned char>(c)); });
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(number(d.cdsServOrc, "VRSERVCORCA"), 255);
        });
        EXPECT_EQ(s.nbeOrcF->Text(), "3.255,00");
        saveOverBilling(s);
        EXPECT_FALSE(s.sbtConfirma->Enabled());
        EXPECT_EQ(s.nbeOrcF->Text(), "3.255,00");
    });
    EXPECT_EQ(mainScreen("0001", 3), 3255);
    EXPECT_EQ(mainScreen("0001", 4), 4000);
}

TEST_F(SimulaFat, GivenValueMovedBetweenMonths_WhenSaved_ThenBothMonthsReachTheBudget) {
    servicos("0001", 3, {{40, 1000}, {40, 2500}, {10, 500}});
    servicos("0001", 4, {{40, 1000}, {40, 2500}, {10, 500}});
    loaded();
    simulate([&](TfrmSimulaResult& s) {
        const std::string gross = s.nbeOrcF->Text();
        billing(s, [&](TfrmSimulaFat& d) {
            service(d, "S01");
            // Half of March's quantity moves to April at the same price: the year is unchanged.
            type(d, "Março", "QTORCADA", "20");
            event([&] { d.sbtConfirmar->Click(); });
            type(d, "Abril", "QTORCADA", "60");
            event([&] { d.sbtConfirmar->Click(); });
        });
        EXPECT_EQ(s.nbeOrcF->Text(), gross);
        EXPECT_TRUE(s.boSimulaFat);
        EXPECT_TRUE(s.sbtConfirma->Enabled());
        saveOverBilling(s);
    });
    EXPECT_EQ(mainScreen("0001", 3), 3500);
    EXPECT_EQ(mainScreen("0001", 4), 4500);
}

TEST_F(SimulaFat, GivenTwoListedBranches_WhenReloaded_ThenBothComeBackFromTheBudget) {
    servicos("0001", 6, {{40, 1000}, {40, 2500}, {10, 500}});
    servicos("0002", 6, {{30, 900}, {20, 800}, {10, 700}});
    loaded();
    checkOnPage(form->tshFaturBruto, form->dbgItOrcFatur, "IDCHECKF", {"0001", "0002"});
    simulate([&](TfrmSimulaResult& s) {
        ASSERT_TRUE(s.chkFilialLista->Checked());
        period(s, 6);
        billing(s, [&](TfrmSimulaFat& d) {
            service(d, "S02", "0002");
            type(d, "Junho", "QTORCADA", "1");
            event([&] { d.sbtConfirmar->Click(); });
            EXPECT_EQ(number(d.cdsServOrc, "VRSERVCORCA"), 40);
            platform.answerNext(mrYes);
            event([&] { d.sbtVerificar->Click(); });
            EXPECT_EQ(shown(d.cdsServOrc, {"CDFILIAL", "CDSERVFILI", "VRSERVCORCA"}),
                      "0001|S01|1.000,00\n0002|S01|900,00\n0001|S02|2.500,00\n"
                      "0002|S02|800,00\n0001|S03|500,00\n0002|S03|700,00\n");
        });
        EXPECT_EQ(s.nbeOrcF->Text(), "6.400,00");
    });
}
