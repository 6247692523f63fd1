// Effecting the budget of the branches selected on the billing page, against the real server.
#include "tests/screens/CalcFixture.h"

#include "services/ui/TMenuItem.h"

class Effect : public CalcFixture {
protected:
    // "0001=P 0002=P ..." of the stored budget headers' status.
    std::string headers() {
        return startServer().store().read([&](srv::Database& db) {
            const auto r = db.query("SELECT CDFILIAL, IDSTATUSORCA FROM ORCAMENTOFILIAL WHERE "
                                    "NRANOORCAOP = '2026' AND CDVERSORCAOP = 2 ORDER BY CDFILIAL");
            std::string out;
            for (const auto& row : r.rows)
                out += (out.empty() ? "" : " ") + row[0].toText() + "=" +
                       (row[1].isNull() ? "(null)" : row[1].toText());
            return out;
        });
    }

    // Every stored status of the version's lines, to prove nothing was effected.
    std::string lines() {
        std::string out;
        for (const char* type : {"F", "I", "C", "O", "T", "M", "D", "E", "R", "S", "N", "P"})
            out += std::string(type) + ": " + stored(type, "IDSTATUSORCA") + "\n";
        return out;
    }

    static constexpr const char* kAsked =
        "confirm: Confirma efetivação de todos os itens de orçamento? Somente as filiais "
        "selecionadas na página Faturamento Bruto serão consideradas. -> ";
};

TEST_F(Effect, GivenNoBranchSelectedOrTheQuestionAnsweredNo_ThenNothingIsEffected) {
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = lines();
    click(screen.sbtEfetivar);
    EXPECT_EQ(messages(), "error: Filial a efetivar deve ser informada.\n");

    platform.clearMessages();
    select(screen.dbgItOrcFatur, "0001");
    platform.answerNext(mrNo);
    event([&] { screen.mnuEfetTodo->Click(); });
    EXPECT_EQ(messages(), std::string(kAsked) + "No\n");
    EXPECT_EQ(lines(), before);
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0001", "IDCHECKF"), "S");

    // While a value is being typed the menu item is as inert as its button.
    platform.clearMessages();
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOOUT");
    typeText("9");
    EXPECT_FALSE(screen.sbtEfetivar->Enabled());
    event([&] { screen.mnuEfetTodo->Click(); });
    EXPECT_EQ(messages(), "");
    EXPECT_EQ(screen.cdsItensOrcFatCons.State(), dsEdit);
    EXPECT_EQ(lines(), before);
}

TEST_F(Effect, GivenSelectedBranch_WhenConfirmed_ThenItIsEffectedAndRefusesFurtherChecks) {
    // An unselected branch's empty fee month does not hold the others back.
    emptyMonth("0002", "T", "MAR");
    TfrmCalcOrcaOper& screen = loaded();
    TClientDataSet& fc = screen.cdsItensOrcFatCons;
    EXPECT_EQ(headers(), "0001=P 0002=P 0003=E 0004=A 0005=P 0006=P");
    select(screen.dbgItOrcFatur, "0001");
    // Pressed from another page: the billing page's selection counts.
    page(screen.tshMaoObra);
    platform.answerNext(mrYes);
    click(screen.sbtEfetivar);

    EXPECT_EQ(messages(), std::string(kAsked) + "Yes\n");
    EXPECT_EQ(screen.pgcOrcamento->ActivePage(), screen.tshFaturBruto);
    EXPECT_EQ(headers(), "0001=E 0002=P 0003=E 0004=A 0005=P 0006=P");
    EXPECT_EQ(stored("O", "IDSTATUSORCA").substr(0, 20), "0001=E 0001=E 0002=P");
    EXPECT_EQ(valueOf(fc, "0001", "IDSTATUSORCA"), "E");
    EXPECT_EQ(valueOf(fc, "0001", "IDITEMORCAMENTO"), "E") << "drawn grey";
    EXPECT_EQ(valueOf(fc, "0002", "IDSTATUSORCA"), "P");
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());

    platform.clearMessages();
    select(screen.dbgItOrcFatur, "0001");
    EXPECT_EQ(messages(), "error: Item já efetivado!\n");
}

// A line of the selected branch with an empty month: the client stops the lines the operator
// types before asking the server; the server refuses the others whole.
class EffectMissingMonth : public Effect, public ::testing::WithParamInterface<const char*> {};

TEST_P(EffectMissingMonth, GivenEmptyMonthOfTheSelectedBranch_ThenNothingIsEffected) {
    const std::string type = GetParam();
    emptyMonth("0001", type, "SET");
    TfrmCalcOrcaOper& screen = loaded();
    const std::string before = lines();
    select(screen.dbgItOrcFatur, "0001");
    platform.answerNext(mrYes);
    click(screen.sbtEfetivar);

    const bool testedByClient = std::string("IOTDREM").find(type) != std::string::npos;
    const std::string shown = messages();
    if (testedByClient) {
        EXPECT_EQ(shown, std::string(kAsked) +
                             "Yes\nerror: Operação bloqueada! Existem itens de orçamento sem "
                             "valor informado.\n");
    } else {
        const std::string refused = std::string(kAsked) + "Yes\nerror: ";
        EXPECT_EQ(shown.substr(0, refused.size()), refused);
        EXPECT_EQ(shown.find("sem valor informado"), std::string::npos) << shown;
    }
    EXPECT_EQ(lines(), before);
    EXPECT_EQ(headers(), "0001=P 0002=P 0003=E 0004=A 0005=P 0006=P");
    EXPECT_EQ(valueOf(screen.cdsItensOrcFatCons, "0001", "IDCHECKF"), "S") << "not read again";
    EXPECT_FALSE(boCheck);
    EXPECT_FALSE(platform.progressVisible());
    // The item views are as they were: the labour page shows the branch's labour lines.
    page(screen.tshMaoObra);
    EXPECT_EQ(codes(screen.cdsItensOrcamento), "0001 0001");
}

INSTANTIATE_TEST_SUITE_P(EveryType, EffectMissingMonth,
                         ::testing::Values("I", "O", "T", "D", "R", "E", "M", "F", "C", "S", "N",
                                           "P"));

TEST_F(Effect, GivenAChangePostedAndTheCursorOnAnEffectedRow_ThenEffectingWaitsForConfirmOrCancel) {
    TfrmCalcOrcaOper& screen = loaded();
    select(screen.dbgItOrcFatur, "0001");
    clickCell(screen.dbgItOrcFatur, "0001", "VRORCAMENTOOUT");
    typeText("7");
    // The typed row is posted; the session goes on over the effected row.
    clickCell(screen.dbgItOrcFatur, "0003", "NMFILIAL");
    ASSERT_GT(screen.cdsItensOrcFatCons.ChangeCount(), 0) << messages();
    EXPECT_FALSE(screen.sbtEfetivar->Enabled());
    const std::string before = lines();
    event([&] { screen.mnuEfetTodo->Click(); });
    EXPECT_EQ(lines(), before);
    EXPECT_GT(screen.cdsItensOrcFatCons.ChangeCount(), 0);
}
