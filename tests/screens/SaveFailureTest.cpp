// A save that fails, whatever the cause, leaves the screen as the operator had it before
// Confirm, and a second Confirm once the cause is gone stores the typed value.
#include "tests/net/ProtocolTestServer.h"
#include "tests/screens/SaveFixture.h"

#include "services/ui/TEdit.h"
#include "services/ui/TSpinEdit.h"

#include <functional>

enum class Failure { Stopped, Refused, Conflict, Malformed };

std::string PrintToString(Failure failure) {
    switch (failure) {
    case Failure::Stopped:
        return "ServerStopped";
    case Failure::Refused:
        return "ItemEffectedMeanwhile";
    case Failure::Conflict:
        return "ValueChangedByAnotherOperator";
    case Failure::Malformed:
        return "MalformedAnswer";
    }
    return "?";
}

class SaveFailure : public FileServerSaveFixture, public ::testing::WithParamInterface<Failure> {
protected:
    std::unique_ptr<ProtocolTestServer> garbled;

    SaveFailure() : FileServerSaveFixture("save-failure") { startFileServer(); }

    void sql(const std::string& statement, const std::vector<Variant>& params) {
        server->store().transaction(
            [&](srv::Database& db) { return db.execute(statement, params); });
    }

    // Breaks the way to the server, or the stored row the save is about to change, and
    // returns what mends it again.
    std::function<void()> breakWith(Failure failure, const std::string& branch,
                                    const std::string& type, const std::string& month,
                                    const std::string& sequence) {
        const std::string where = " WHERE NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 AND "
                                  "CDFILIAL = ? AND IDTIPOORCAOP = ? AND NRSEQITEMORCA = ?";
        const std::vector<Variant> key{Variant(branch), Variant(type), Variant(sequence)};
        switch (failure) {
        case Failure::Stopped:
            // The client lets go of its kept-alive socket, so the stop does not wait for it.
            event([this] {
                form->netCalcOrcaOper.SetConnected(false);
                form->netGestaoOperac.SetConnected(false);
            });
            server->stop();
            return [this] {
                server.reset();
                startFileServer();
                host.token = server->loginToken(host.op, host.op);
            };
        case Failure::Refused:
            sql("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E'" + where, key);
            return
                [=, this] { sql("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'P'" + where, key); };
        case Failure::Conflict: {
            const std::string column = "VRORCAMENTO" + month;
            sql("UPDATE ITEMORCAMENTO SET " + column + " = " + column + " + 1" + where, key);
            return [=, this] {
                sql("UPDATE ITEMORCAMENTO SET " + column + " = " + column + " - 1" + where, key);
            };
        }
        case Failure::Malformed:
            garbled = std::make_unique<ProtocolTestServer>([](const httplib::Request&) {
                return ProtocolTestServer::Reply{200, R"({"ok":true,"result":{"type":"pac)"};
            });
            host.port = garbled->port();
            event([this] { form->netCalcOrcaOper.SetConnected(false); });
            return [this] {
                host.port = port;
                event([this] { form->netCalcOrcaOper.SetConnected(false); });
            };
        }
        return {};
    }

    // What the operator sees of the screen, in the order of a glance over it.
    std::string screenState(const std::string& month) {
        TfrmCalcOrcaOper& s = *form;
        auto on = [](bool enabled) { return enabled ? "on" : "off"; };
        auto state = [](const TClientDataSet& ds) {
            return ds.State() == dsEdit ? "edit" : ds.State() == dsInsert ? "insert" : "browse";
        };
        const std::pair<TTabSheet*, char> tabs[] = {
            {s.tshFaturBruto, 'F'}, {s.tshImposto, 'I'},  {s.tshConsumo, 'C'},
            {s.tshMaoObra, 'O'},    {s.tshTxAdm, 'T'},    {s.tshMatriz, 'M'},
            {s.tshDiversas, 'D'},   {s.tshEntradas, 'E'}, {s.tshImpRecup, 'R'},
            {s.tshImpSobLuc, 'S'},  {s.tshInvest, 'N'},   {s.tshDeprec, 'P'}};
        std::string pages;
        for (const auto& [tab, letter] : tabs)
            if (tab->Enabled()) pages += letter;
        const char letter = s.LetraPagina();
        TClientDataSet& rows = letter == 'F'   ? s.cdsItensOrcFatCons
                               : letter == 'T' ? s.cdsTxAdm
                                               : s.cdsItensOrcamento;
        TDBGrid* grid = letter == 'F'   ? s.dbgItOrcFatur
                        : letter == 'T' ? s.dbgTxAdm
                        : letter == 'M' ? s.dbgMatriz
                                        : s.dbgMaoObra;
        const TWinControl* focused = s.ActiveControl();
        // The value the cell shows: the text still being typed, else the stored value.
        const TField* selected = grid->SelectedField();
        const std::string cell = selected && selected->FieldName() == "VRORCAMENTO" + month
                                     ? grid->EditorText()
                                     : rows.FieldByName("VRORCAMENTO" + month).Text();
        return std::string("page ") + s.LetraPagina() + ", focus " +
               (focused ? focused->Name() : "-") + "\n" + "billing " + state(s.cdsItensOrcFatCons) +
               ", items " + state(s.cdsItensOrcamento) + ", fee " + state(s.cdsTxAdm) + ", row " +
               rows.FieldByName("CDFILIAL").AsString() + " " + month + "=" +
               Variant(s.resultValor(cell)).toText() + ", line " +
               std::to_string(rows.CurrentVisibleRow() + 1) + " of " +
               std::to_string(rows.RecordCount()) + "\n" + "editing " + on(boEditItemOrca) +
               ", fee editing " + on(boEditTxAdm) + ", confirm " + on(s.sbtConfirmar->Enabled()) +
               ", cancel " + on(s.sbtCancelar->Enabled()) + ", refresh " +
               on(s.sbtVerificar->Enabled()) + ", effect " + on(s.sbtEfetivar->Enabled()) +
               ", replicate " + on(s.sbtRepliVal->Enabled()) + "\n" + "year " +
               on(s.speAno->Enabled()) + ", version " + on(s.edtVersao->Enabled()) + ", pages " +
               pages + "\n" + "progress " + (platform.progressVisible() ? "open" : "closed") +
               ", cursor " + (platform.Cursor() == crDefault ? "default" : "busy");
    }

    // The fee page's buttons do not follow its edit yet: there the menu's action is run.
    bool confirmByAction = false;
    void confirm() {
        if (!confirmByAction) return clickConfirm();
        platform.answerNext(mrYes);
        event([&] { form->sbtConfirmarClick(nullptr); });
    }

    std::string failureMessage(Failure failure) {
        switch (failure) {
        case Failure::Stopped:
            return "Servidor de aplicação inacessível em 127.0.0.1:" + std::to_string(port) + ".";
        case Failure::Refused:
            return "efetivado e não pode ser alterado";
        case Failure::Conflict:
            return "foi alterado por outro operador";
        case Failure::Malformed:
            return "Resposta inválida do servidor de aplicação para SetItensOrcFatCons";
        }
        return {};
    }

    // Confirm fails: the screen is what it was, the value is pending, nothing is stored.
    void failThenSucceed(const std::string& branch, const std::string& type,
                         const std::string& month, const std::string& sequence,
                         const std::string& expected, double typed) {
        const double before = stored(branch, type, month, sequence);
        const std::string state = screenState(month);
        ASSERT_EQ(state, expected);

        const std::function<void()> mend = breakWith(GetParam(), branch, type, month, sequence);
        confirm();
        EXPECT_NE(messages().find(failureMessage(GetParam())), std::string::npos) << messages();
        EXPECT_EQ(screenState(month), state);
        mend();
        EXPECT_DOUBLE_EQ(stored(branch, type, month, sequence), before);

        platform.clearMessages();
        confirm();
        EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
        EXPECT_DOUBLE_EQ(stored(branch, type, month, sequence), typed);
        EXPECT_FALSE(boEditItemOrca);
        EXPECT_FALSE(boEditTxAdm);
    }
};

TEST_P(SaveFailure, GivenValueTypedOnBilling_WhenTheSaveFails_ThenTheEditIsIntactAndConfirmsLater) {
    TfrmCalcOrcaOper& screen = loaded();
    typeMonth(screen.dbgItOrcFatur, "0002", "ABR", "777,7");
    const std::string sequence = screen.cdsItensOrcFatCons.FieldByName("NRSEQITEMORCA").AsString();
    failThenSucceed("0002", "F", "ABR", sequence,
                    "page F, focus dbgItOrcFatur\n"
                    "billing edit, items browse, fee browse, row 0002 ABR=777.7, line 2 of 5\n"
                    "editing on, fee editing off, confirm on, cancel on, refresh off, effect off, "
                    "replicate off\n"
                    "year off, version off, pages F\n"
                    "progress closed, cursor default",
                    777.7);
    EXPECT_EQ(screen.cdsItensOrcFatCons.ChangeCount(), 0);
}

TEST_P(SaveFailure,
       GivenValueTypedOnAnItemPage_WhenTheSaveFails_ThenTheEditIsIntactAndConfirmsLater) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    event([&] { screen.dbgMaoObra->SetFocus(); });
    event([&] { screen.dbgMaoObra->ClickCell(0, columnOf(screen.dbgMaoObra, "VRORCAMENTONOV")); });
    const std::string sequence = screen.cdsItensOrcamento.FieldByName("NRSEQITEMORCA").AsString();
    typeText("321");
    press(VK_TAB);
    failThenSucceed("0001", "O", "NOV", sequence,
                    "page O, focus dbgMaoObra\n"
                    "billing browse, items edit, fee browse, row 0001 NOV=321, line 1 of 2\n"
                    "editing on, fee editing off, confirm on, cancel on, refresh off, effect off, "
                    "replicate off\n"
                    "year off, version off, pages O\n"
                    "progress closed, cursor default",
                    321);
    EXPECT_EQ(screen.cdsItensOrcamento.ChangeCount(), 0);
}

// The head-office page lists every branch: saving shows the rows again from the top.
TEST_P(SaveFailure,
       GivenValueTypedOnTheHeadOfficePage_WhenTheSaveFails_ThenTheCursorStaysOnItsRow) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMatriz);
    TClientDataSet& items = screen.cdsItensOrcamento;
    event([&] { screen.dbgMatriz->SetFocus(); });
    ASSERT_TRUE(items.Locate("CDFILIAL", {Variant("0002")}));
    event([&] {
        screen.dbgMatriz->ClickCell(items.CurrentVisibleRow(),
                                    columnOf(screen.dbgMatriz, "VRORCAMENTODEZ"));
    });
    const std::string sequence = items.FieldByName("NRSEQITEMORCA").AsString();
    typeText("64,5");
    failThenSucceed("0002", "M", "DEZ", sequence,
                    "page M, focus dbgMatriz\n"
                    "billing browse, items edit, fee browse, row 0002 DEZ=64.5, line 2 of 5\n"
                    "editing on, fee editing off, confirm on, cancel on, refresh off, effect off, "
                    "replicate off\n"
                    "year off, version off, pages M\n"
                    "progress closed, cursor default",
                    64.5);
}

TEST_P(SaveFailure, GivenFeeTyped_WhenTheSaveFails_ThenTheEditIsIntactAndConfirmsLater) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    TClientDataSet& fee = screen.cdsTxAdm;
    ASSERT_TRUE(fee.Locate("CDFILIAL", {Variant("0002")}));
    event([&] { screen.dbgTxAdm->SetFocus(); });
    press(VK_F3);
    event([&] {
        screen.dbgTxAdm->ClickCell(fee.CurrentVisibleRow(),
                                   columnOf(screen.dbgTxAdm, "VRORCAMENTOJUN"));
    });
    const std::string sequence = fee.FieldByName("NRSEQITEMORCA").AsString();
    typeText("250");
    press(VK_TAB);
    confirmByAction = true;
    failThenSucceed("0002", "T", "JUN", sequence,
                    "page T, focus dbgTxAdm\n"
                    "billing browse, items browse, fee edit, row 0002 JUN=250, line 2 of 5\n"
                    "editing off, fee editing on, confirm on, cancel on, refresh off, effect off, "
                    "replicate off\n"
                    "year off, version off, pages T\n"
                    "progress closed, cursor default",
                    250);
    EXPECT_EQ(fee.ChangeCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(EachCause, SaveFailure,
                         ::testing::Values(Failure::Stopped, Failure::Refused, Failure::Conflict,
                                           Failure::Malformed),
                         [](const auto& info) { return PrintToString(info.param); });
