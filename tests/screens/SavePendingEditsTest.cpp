// Typed values are never dropped without the operator's word: F5 while editing, Confirm
// while a consumption cell is still being typed, Confirm with the cursor on an item row that
// cannot be edited.
#include "tests/screens/SaveFixture.h"

#include "services/ui/TMenuItem.h"

class PendingEdits : public SaveFixture {
protected:
    void f5(TModalResult answer) {
        platform.answerNext(answer);
        press(VK_F5);
    }

    // The edit state as buttons and datasets show it.
    std::string editState() {
        TfrmCalcOrcaOper& s = *form;
        auto on = [](bool enabled) { return enabled ? "on" : "off"; };
        auto state = [](const TClientDataSet& ds) {
            return ds.State() == dsBrowse ? "browse" : "edit";
        };
        return std::string("billing ") + state(s.cdsItensOrcFatCons) + " items " +
               state(s.cdsItensOrcamento) + " pending " +
               std::to_string(s.cdsItensOrcFatCons.ChangeCount() +
                              s.cdsItensOrcamento.ChangeCount()) +
               " editing " + on(boEditItemOrca) + " confirm " + on(s.sbtConfirmar->Enabled()) +
               " refresh " + on(s.sbtVerificar->Enabled()) + " consumption page " +
               on(s.tshConsumo->Enabled());
    }
};

TEST_F(PendingEdits, GivenValueTypedOnBilling_WhenF5AnsweredNo_ThenTheEditGoesOnAndCanBeSaved) {
    TfrmCalcOrcaOper& screen = loaded();
    typeMonth(screen.dbgItOrcFatur, "0001", "MAR", "4.040");
    const std::string sequence = screen.cdsItensOrcFatCons.FieldByName("NRSEQITEMORCA").AsString();
    const int shows = platform.progressShows();
    f5(mrNo);
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> No\n");
    EXPECT_EQ(platform.progressShows(), shows) << "nothing is read";
    EXPECT_EQ(editState(), "billing edit items browse pending 0 editing on confirm on refresh off "
                           "consumption page off");

    platform.clearMessages();
    clickConfirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0001", "F", "MAR", sequence), 4040);
}

TEST_F(PendingEdits, GivenValueTypedOnBilling_WhenF5AnsweredYes_ThenItIsDroppedAndEditEnds) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = valueOf(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOMAR");
    typeMonth(screen.dbgItOrcFatur, "0002", "MAR", "9");
    f5(mrYes);
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n");
    EXPECT_EQ(editState(),
              "billing browse items browse pending 0 editing off confirm off refresh on "
              "consumption page on");
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOMAR"), before);
    EXPECT_EQ(screen.cdsItensOrcFatCons.FieldByName("CDFILIAL").AsString(), "0002");
    // The row moved to afterwards stays out of edit.
    event([&] { screen.cdsItensOrcFatCons.Locate("CDFILIAL", {Variant("0001")}); });
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsBrowse);
}

TEST_F(PendingEdits, GivenChangesPostedOnAnItemPage_WhenF5AnsweredYes_ThenNoneIsLeftPending) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMatriz);
    event([&] { screen.dbgMatriz->SetFocus(); });
    event([&] { screen.dbgMatriz->ClickCell(0, columnOf(screen.dbgMatriz, "VRORCAMENTOJUL")); });
    typeText("55");
    press(VK_DOWN);
    ASSERT_EQ(screen.cdsItensOrcamento.ChangeCount(), 1);
    f5(mrYes);
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n");
    EXPECT_EQ(editState(),
              "billing browse items browse pending 0 editing off confirm off refresh on "
              "consumption page on");
}

TEST_F(PendingEdits, GivenValueStillBeingTypedOnConsumption_WhenConfirmed_ThenItIsStored) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshConsumo);
    typeMonth(screen.dbgItConsumo, "0002", "AGO", "1.234,5");
    const std::string sequence = screen.cdsItensOrcFatCons.FieldByName("NRSEQITEMORCA").AsString();
    clickConfirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0002", "C", "AGO", sequence), 1234.5);
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOAGO"), "1234.5");
}

// Head-office items list every branch: 0003 is effected, 0004 approved, 0005 without access.
class ClosedCurrentRow : public PendingEdits, public ::testing::WithParamInterface<const char*> {};

TEST_P(ClosedCurrentRow, GivenChangeOnAnotherRow_WhenConfirmedThere_ThenTheChangeIsStillSaved) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMatriz);
    TClientDataSet& items = screen.cdsItensOrcamento;
    event([&] { screen.dbgMatriz->SetFocus(); });
    ASSERT_TRUE(items.Locate("CDFILIAL", {Variant("0001")}));
    event([&] {
        screen.dbgMatriz->ClickCell(items.CurrentVisibleRow(),
                                    columnOf(screen.dbgMatriz, "VRORCAMENTOFEV"));
    });
    const std::string sequence = items.FieldByName("NRSEQITEMORCA").AsString();
    typeText("808");
    const int closed = rowOf(screen.dbgMatriz, GetParam());
    ASSERT_GE(closed, 0);
    event(
        [&] { screen.dbgMatriz->ClickCell(closed, columnOf(screen.dbgMatriz, "VRORCAMENTOFEV")); });
    ASSERT_EQ(items.FieldByName("CDFILIAL").AsString(), GetParam());
    ASSERT_EQ(items.ChangeCount(), 1);
    platform.clearMessages();

    clickConfirm();
    EXPECT_EQ(messages(), "confirm: Confirma operação? -> Yes\n");
    EXPECT_DOUBLE_EQ(stored("0001", "M", "FEV", sequence), 808);
    EXPECT_EQ(items.ChangeCount(), 0);
    EXPECT_FALSE(boEditItemOrca);
}

INSTANTIATE_TEST_SUITE_P(EffectedApprovedOrWithoutAccess, ClosedCurrentRow,
                         ::testing::Values("0003", "0004", "0005"),
                         [](const auto& info) { return std::string("Branch") + info.param; });

TEST_F(PendingEdits, GivenARefusedSave_WhenCancelled_ThenTheTypedValueIsDroppedAndEditEnds) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = valueOf(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOOUT");
    typeMonth(screen.dbgItOrcFatur, "0002", "OUT", "31");
    // Another operator effects the branch's billing meanwhile.
    server->store().transaction([](srv::Database& db) {
        return db.execute("UPDATE ITEMORCAMENTO SET IDITEMORCAMENTO = 'E' WHERE NRANOORCAOP = "
                          "'2026' AND CDVERSORCAOP = 2 AND CDFILIAL = '0002' AND "
                          "IDTIPOORCAOP = 'F'");
    });
    clickConfirm();
    ASSERT_NE(messages().find("efetivado e não pode ser alterado"), std::string::npos)
        << messages();
    platform.clearMessages();

    platform.answerNext(mrYes);
    event([&] { screen.sbtCancelar->Click(); });
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n");
    EXPECT_EQ(editState(), "billing browse items browse pending 0 editing off confirm off "
                           "refresh on consumption page on");
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0002", "VRORCAMENTOOUT"), before);
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0002", "IDITEMORCAMENTO"), "E");
}

TEST_F(PendingEdits,
       GivenChangeLeftOnAnotherItemRow_WhenRefreshIsClicked_ThenCancelsQuestionComes) {
    TfrmCalcOrcaOper& screen = loaded();
    page(screen.tshMatriz);
    TClientDataSet& items = screen.cdsItensOrcamento;
    event([&] { screen.dbgMatriz->SetFocus(); });
    event([&] { screen.dbgMatriz->ClickCell(0, columnOf(screen.dbgMatriz, "VRORCAMENTOMAI")); });
    typeText("12");
    // The cursor rests on an effected row: the edit cannot follow it there.
    event([&] {
        screen.dbgMatriz->ClickCell(rowOf(screen.dbgMatriz, "0003"),
                                    columnOf(screen.dbgMatriz, "VRORCAMENTOMAI"));
    });
    ASSERT_EQ(items.ChangeCount(), 1);
    platform.clearMessages();

    platform.answerNext(mrNo);
    event([&] { screen.sbtVerificar->Click(); });
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> No\n");
    EXPECT_EQ(items.ChangeCount(), 1);
    EXPECT_TRUE(boEditItemOrca);

    platform.clearMessages();
    platform.answerNext(mrYes);
    event([&] { screen.mnuVerificar->Click(); });
    EXPECT_EQ(messages(), "confirm: Cancela operação? -> Yes\n");
    EXPECT_EQ(editState(), "billing browse items browse pending 0 editing off confirm off "
                           "refresh on consumption page on");
}
