#include "tests/screens/SaveFixture.h"

#include "services/ui/TMenuItem.h"

class SaveCancel : public SaveFixture {
protected:
    void confirm(bool yes = true) {
        platform.answerNext(yes ? mrYes : mrNo);
        event([&] { form->sbtConfirmarClick(form->sbtConfirmar); });
    }
};

TEST_F(SaveCancel,
       GivenValueTypedOnBilling_WhenConfirmed_ThenTheServerKeepsItAndTheBudgetIsReadAgain) {
    TfrmCalcOrcaOper& screen = loaded();
    typeMonth(screen.dbgItOrcFatur, "0001", "ABR", "4.321,25");
    // Confirmed while the cell is still being typed in.
    const int shows = platform.progressShows();
    confirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0001", "F", "ABR"), 4321.25);
    EXPECT_GE(platform.progressShows(), shows + 2) << "saving, then reading again";
    EXPECT_FALSE(platform.progressVisible());
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
    EXPECT_EQ(screen.cdsItensOrcFatCons.ChangeCount(), 0);
    EXPECT_FALSE(boEditItemOrca);
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0001", "VRORCAMENTOABR"), "4321.25");
}

TEST_F(SaveCancel,
       GivenDecimalCommaWithoutThousandsDot_WhenConfirmed_ThenTheDecimalsAreKeptAndShown) {
    TfrmCalcOrcaOper& screen = loaded();
    typeMonth(screen.dbgItOrcFatur, "0002", "JUL", "1234,5");
    press(VK_TAB);
    confirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0002", "F", "JUL"), 1234.5);
    EXPECT_EQ(screen.dbgItOrcFatur->CellText(rowOf(screen.dbgItOrcFatur, "0002"),
                                             columnOf(screen.dbgItOrcFatur, "VRORCAMENTOJUL")),
              "1.234,50");
}

TEST_F(SaveCancel,
       GivenServerRefusal_WhenSavingBilling_ThenEveryAccessibleRowIsMarkedAndSentAgainLater) {
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    // 0002 loses its base month: it is sent marked "N"; the others "S".
    clickCell(screen.dbgItOrcFatur, "0002", "DTMESBASEITEM");
    typeText("\b");
    press(VK_TAB);
    typeMonth(screen.dbgItOrcFatur, "0001", "MAI", "77");
    const std::string token = host.token;
    host.token = "expired";
    confirm();
    EXPECT_NE(messages().find("error: "), std::string::npos) << messages();
    EXPECT_FALSE(platform.progressVisible());
    // 0005 has no calculation access: left alone.
    EXPECT_EQ(column(fc, "IDALTERADO").substr(0, 27), "0001=S 0002=N 0003=S 0004=S");
    EXPECT_EQ(fc.ChangeCount(), 4);
    EXPECT_NE(stored("0001", "F", "MAI"), 77);

    // A later save sends them again.
    host.token = token;
    platform.clearMessages();
    confirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0001", "F", "MAI"), 77);
    EXPECT_EQ(fc.ChangeCount(), 0);
}

TEST_F(SaveCancel, GivenConfirmationAnsweredNo_ThenNothingIsSentAndTheCheckColumnIsLeft) {
    TfrmCalcOrcaOper& screen = loaded();
    typeMonth(screen.dbgItOrcFatur, "0001", "JUN", "5");
    event([&] { screen.dbgItOrcFatur->SetSelectedIndex(0); });
    const double before = stored("0001", "F", "JUN");
    confirm(false);
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> No\n");
    EXPECT_DOUBLE_EQ(stored("0001", "F", "JUN"), before);
    EXPECT_EQ(screen.dbgItOrcFatur->SelectedIndex(), 1);
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit) << "the edit goes on";
}

TEST_F(SaveCancel, GivenItemTypedOnLabour_WhenConfirmed_ThenItIsStoredWithoutReload) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0002")}); });
    event([&] { screen.dbgMaoObra->SetFocus(); });
    event([&] { screen.dbgMaoObra->ClickCell(0, columnOf(screen.dbgMaoObra, "VRORCAMENTOOUT")); });
    const std::string sequence = screen.cdsItensOrcamento.FieldByName("NRSEQITEMORCA").AsString();
    typeText("1.000");
    const int shows = platform.progressShows();
    confirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0002", "O", "OUT", sequence), 1000);
    EXPECT_EQ(platform.progressShows(), shows + 1) << "an item page is not read again";
    EXPECT_EQ(screen.cdsItensOrcamento.State(), dsBrowse);
    EXPECT_EQ(screen.cdsItensOrcamento.ChangeCount(), 0);
    EXPECT_DOUBLE_EQ(screen.cdsItensOrcamento.FieldByName("SOMAT").AsFloat(), [&] {
        double sum = 0;
        for (const char* m : CalcOrcaOperData::kMeses)
            sum += screen.cdsItensOrcamento.FieldByName(std::string("VRORCAMENTO") + m).AsFloat();
        return sum;
    }());
    EXPECT_EQ(screen.cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString(), "0002");
}

TEST_F(SaveCancel, GivenFeePageWithNothingChanged_WhenConfirmed_ThenTheServerIsStillAsked) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshTxAdm);
    event([&] { screen.dbgTxAdm->SetFocus(); });
    press(VK_F3);
    ASSERT_EQ(screen.cdsTxAdm.State(), dsEdit);
    // A refused login proves the call happens although there is nothing to send.
    host.token = "expired";
    confirm();
    EXPECT_EQ(screen.cdsTxAdm.ChangeCount(), 0);
    EXPECT_NE(messages().find("error: "), std::string::npos) << messages();
    EXPECT_FALSE(platform.progressVisible());
}

TEST_F(SaveCancel, GivenEditOnAnItemPage_WhenCancelled_ThenValuesComeBackOnTheSameBranch) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    event([&] { screen.cdsOrcamentoFilial.Locate("CDFILIAL", {Variant("0002")}); });
    event([&] { screen.dbgMaoObra->SetFocus(); });
    event([&] { screen.dbgMaoObra->ClickCell(0, columnOf(screen.dbgMaoObra, "VRORCAMENTOJAN")); });
    const std::string before = screen.cdsItensOrcamento.FieldByName("VRORCAMENTOJAN").AsString();
    typeText("999");
    press(VK_TAB);
    ASSERT_EQ(screen.cdsItensOrcamento.FieldByName("VRORCAMENTOJAN").AsFloat(), 999);
    platform.answerNext(mrYes);
    event([&] { screen.sbtCancelarClick(screen.sbtCancelar); });
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n");
    EXPECT_EQ(screen.cdsOrcamentoFilial.FieldByName("CDFILIAL").AsString(), "0002");
    EXPECT_EQ(screen.cdsItensOrcamento.FieldByName("CDFILIAL").AsString(), "0002");
    EXPECT_EQ(screen.cdsItensOrcamento.FieldByName("VRORCAMENTOJAN").AsString(), before);
    EXPECT_EQ(screen.cdsItensOrcamento.State(), dsBrowse);
    EXPECT_FALSE(boEditItemOrca);
    // The branch list still shows effected branches grey after reading the budget again.
    EXPECT_EQ(valueOf(screen.cdsOrcamentoFilial, "0003", "IDITEMORCAMENTO"), "E");
}

TEST_F(SaveCancel, GivenCancelAnsweredNo_ThenTheEditGoesOn) {
    TfrmCalcOrcaOper& screen = loaded();
    typeMonth(screen.dbgItOrcFatur, "0001", "JAN", "3");
    platform.answerNext(mrNo);
    event([&] { screen.sbtCancelarClick(screen.sbtCancelar); });
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_TRUE(boEditItemOrca);
}

TEST_F(SaveCancel, GivenBaseMonthBeyondTheBudgetYear_WhenConfirmed_ThenNothingIsSent) {
    TfrmCalcOrcaOper& screen = loaded();
    clickCell(screen.dbgItOrcFatur, "0001", "DTMESBASEITEM");
    typeText("012027");
    const double before = server->store()
                              .read([](srv::Database& db) {
                                  return db.query("SELECT DTMESBASEITEM FROM ITEMORCAMENTO WHERE "
                                                  "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND "
                                                  "IDTIPOORCAOP = 'F'");
                              })
                              .scalar()
                              .toDouble();
    confirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n"
                          "error: Ano mês base não pode ser maior que o ano orçado.\n");
    EXPECT_DOUBLE_EQ(server->store()
                         .read([](srv::Database& db) {
                             return db.query("SELECT DTMESBASEITEM FROM ITEMORCAMENTO WHERE "
                                             "CDVERSORCAOP = 2 AND CDFILIAL = '0001' AND "
                                             "IDTIPOORCAOP = 'F'");
                         })
                         .scalar()
                         .toDouble(),
                     before);
}

class SaveAcrossRestart : public FileServerSaveFixture {
protected:
    SaveAcrossRestart() : FileServerSaveFixture("entry") {}
    void confirm() {
        platform.answerNext(mrYes);
        event([&] { form->sbtConfirmarClick(form->sbtConfirmar); });
    }
};

TEST_F(SaveAcrossRestart, GivenValueSaved_WhenServerAndScreenStartAgain_ThenTheValueIsStillThere) {
    startFileServer();
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMaoObra);
    event([&] { screen.dbgMaoObra->SetFocus(); });
    event([&] { screen.dbgMaoObra->ClickCell(0, columnOf(screen.dbgMaoObra, "VRORCAMENTOSET")); });
    const std::string sequence = screen.cdsItensOrcamento.FieldByName("NRSEQITEMORCA").AsString();
    typeText("2.468,5");
    confirm();
    ASSERT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");

    event([&] { screen.Close(); });
    app.freeReleasedForms();
    ASSERT_EQ(frmCalcOrcaOper, nullptr);
    server.reset();
    startFileServer();
    platform.clearMessages();
    TfrmCalcOrcaOper& again = loaded();
    page(again.tshMaoObra);
    ASSERT_TRUE(again.cdsItensOrcamento.Locate("NRSEQITEMORCA", {Variant(sequence)}));
    EXPECT_DOUBLE_EQ(again.cdsItensOrcamento.FieldByName("VRORCAMENTOSET").AsFloat(), 2468.5);
}
